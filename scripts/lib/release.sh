# Release versions and what is derived from them: the rule for versions, a
# program's version as its version block says it, and the installer
# package's codes. Sourced, not run.

QUORIN_ROOT=${QUORIN_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
source "$QUORIN_ROOT/scripts/lib/facts.sh"

# Windows Installer compares only the first three numbers of a version
# (major and minor up to 255, build up to 65535): two packages that differ
# only in the fourth would install beside each other as two products. So
# every release raises one of the first three, and the fourth is always 0.
check_release_version() {
  local version=$1
  if ! [[ "$version" =~ ^([0-9]{1,5})\.([0-9]{1,5})\.([0-9]{1,5})\.([0-9]{1,5})$ ]]; then
    echo "version \"$version\" is not four numbers such as 1.3.0.0" >&2
    return 1
  fi
  local major=$((10#${BASH_REMATCH[1]})) minor=$((10#${BASH_REMATCH[2]}))
  local build=$((10#${BASH_REMATCH[3]})) fourth=$((10#${BASH_REMATCH[4]}))
  if [ "$major" -gt 255 ] || [ "$minor" -gt 255 ] || [ "$build" -gt 65535 ]; then
    echo "version $version is beyond what Windows Installer compares" \
      "(major and minor at most 255, the third number at most 65535)" >&2
    return 1
  fi
  if [ "$fourth" -ne 0 ]; then
    echo "version $version: the fourth number must be 0. Windows Installer does not compare it," \
      "so this package would install beside $major.$minor.$build.0 instead of replacing it." \
      "Raise the third number instead ($major.$minor.$((build + 1)).0) in res/version.h." >&2
    return 1
  fi
}

# The version in a Windows program's version block (its FileVersion text).
exe_version() {
  strings -el "$1" | grep -A1 -x 'FileVersion' | sed -n 2p
}

# A value of an installer package's Property table (ProductCode, say).
msi_property() { # PACKAGE NAME
  msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v name="$2" '$1 == name { print $2 }'
}

# A name-based (SHA-1, version 5) UUID in upper case, from a namespace UUID
# and a name: the same inputs always give the same UUID.
derived_uuid() {
  python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' "$1" "$2"
}

# The README for the person installing a release, with its version, the
# value names and the eight Parameters keys as the program's headers have
# them, and Windows line ends.
write_release_readme() { # VERSION OUT
  local mode frames keys
  mode=$(quorin_string_constant kExternalSynchModeValueName)
  frames=$(quorin_string_constant kSynchFramesNumberValueName)
  keys=$(quorin_services | sed 's/.*/    SYSTEM\\\\CurrentControlSet\\\\services\\\\&\\\\Parameters/')
  [ -n "$mode" ] && [ -n "$frames" ] && [ "$(wc -l <<<"$keys")" = 8 ] ||
    { echo "write_release_readme: the value names or services were not read" >&2; return 1; }
  awk -v version="$1" -v mode="$mode" -v frames="$frames" -v keys="$keys" '
    $0 == "@PARAMETERS_KEYS@" { print keys; next }
    { gsub(/@VERSION@/, version); gsub(/@MODE_VALUE@/, mode); gsub(/@FRAMES_VALUE@/, frames); print }
  ' "$QUORIN_ROOT/release/README.txt" | sed 's/$/\r/' >"$2"
}
