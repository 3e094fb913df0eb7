# Shared by the README's commands: package checks and a virtual display.
# Sourced, not run.

QUORIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$QUORIN_ROOT/scripts/lib/facts.sh"

# The Debian packages that building and running the tool under Wine needs.
QUORIN_RUN_PACKAGES=(
  cmake make g++-mingw-w64-x86-64 wine wine64
  xvfb xdotool imagemagick x11-utils
)
# Those that the tests, analysis, fuzzing, benchmarks and releases need too.
QUORIN_PACKAGES=(
  "${QUORIN_RUN_PACKAGES[@]}"
  g++ libgtest-dev googletest xclip
  clang-14 libclang-rt-14-dev clang-tidy cppcheck zip unzip curl
  python3 python3-pefile wixl msitools osslsigncode openssl
)

# Installs the packages named that are missing: with apt-get when root,
# otherwise it prints the one command to run and fails.
ensure_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  else
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    return 1
  fi
}

# Node.js and npm, for the tests' npm tools (the SBOM's schema check): the
# machine's own when it has them (they need not come from Debian), otherwise
# Debian's packages.
ensure_node() {
  if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    ensure_packages nodejs npm
  fi
}

# Starts Xvfb on a free display and exports DISPLAY; stop_xvfb ends it.
start_xvfb() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  QUORIN_XVFB_PID=$!
  local deadline=$((SECONDS + 20))
  while [ ! -s "$fdfile" ]; do
    if [ $SECONDS -ge $deadline ] || ! kill -0 "$QUORIN_XVFB_PID" 2>/dev/null; then
      echo "Xvfb did not start" >&2
      rm -f "$fdfile"
      return 1
    fi
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

stop_xvfb() {
  if [ -n "${QUORIN_XVFB_PID:-}" ]; then
    kill "$QUORIN_XVFB_PID" 2>/dev/null || true
    wait "$QUORIN_XVFB_PID" 2>/dev/null || true
    QUORIN_XVFB_PID=
  fi
}
