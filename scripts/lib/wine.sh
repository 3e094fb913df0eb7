# Wine for the project's scripts and tests, in one place: the environment,
# Windows paths, the driver services and their export, polling with a
# deadline, and the one rule for starting a Windows program. Sourced, not run.
#
# The start rule. Now and then Wine does not start a program at all: it
# ends at once, often with nothing on either stream. Such a start is made
# again, but only when the program positively did not begin:
#   - Wine printed its own could-not-start words, on either stream; or
#   - the program announces itself (wine_run --announced: the project's
#     test programs, benchmarks and probe print "NAME: started" on stderr
#     first thing in main) and no such line came; or
#   - the program never fails silently (wine_run --never-silent: reg.exe,
#     quorin-sync.exe and the dialog, which says nothing and exits 0 on
#     every path of its own) and it ended non-zero with nothing on either
#     stream.
# A program that began and then failed is never started again: its
# failure stands. At most QUORIN_WINE_ATTEMPTS starts are made; each retry
# is said on stderr and recorded as one line in QUORIN_WINE_RETRIES, so
# that a rising rate shows.

QUORIN_ROOT=${QUORIN_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
QUORIN_WINE_ATTEMPTS=${QUORIN_WINE_ATTEMPTS:-3}
export QUORIN_WINE_RETRIES=${QUORIN_WINE_RETRIES:-$QUORIN_ROOT/build/wine-retries.log}

# The eight driver services, in the store's order, and where they live.
source "$QUORIN_ROOT/scripts/lib/facts.sh"
mapfile -t QUORIN_SERVICES < <(quorin_services)
QUORIN_SERVICES_KEY='HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\services'

# What Wine prints when it could not start the program it was given (not
# its notes on making a prefix, nor a child's failure, which names a
# Windows path L"..."); "failed to open" means the file is not there,
# which no second start mends.
WINE_START_FAILED='ShellExecuteEx failed\|Application could not be started\|^wine: failed to open "\|^wine: could not \(load\|exec\)'
WINE_NO_SUCH_FILE='^wine: failed to open "'
# The line a program of the project's own prints when it has begun.
WINE_ANNOUNCED='^[A-Za-z0-9_.-]*: started'$'\r''\?$'
# wine_run's status when every start failed.
WINE_DID_NOT_START=125

# Exports the Wine environment for the prefix given: quiet, and never a
# Mono or Gecko prompt.
wine_environment() {
  # One locale for every start: Wine's own messages in English, which the
  # start rule reads (start.exe's are translated), and file names in UTF-8.
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
}

# Uses the prefix named by WINEPREFIX, or else the build's own test prefix,
# and makes it on first use: the prefix of the in-process Windows tests.
wine_test_prefix() {
  wine_environment "${WINEPREFIX:-$QUORIN_ROOT/build/wine-test-prefix}"
  "$QUORIN_ROOT/scripts/lib/wine-prefix" "$WINEPREFIX"
}

# A work folder made empty with a fresh prefix of its own, WORK/prefix, whose
# environment is exported; its wineserver is stopped when the caller exits.
wine_own_prefix() { # WORK
  wine_environment "$1/prefix"
  wineserver -k 2>/dev/null || true
  rm -rf "$1"
  mkdir -p "$1"
  "$QUORIN_ROOT/scripts/lib/wine-prefix" "$WINEPREFIX"
  trap 'wineserver -k 2>/dev/null || true' EXIT
}

# Wine's own version, as it prints it (no program is started).
wine_version() { wine --version; }

# A host path as Wine's programs see it, through drive Z:.
windows_path() { local path=$1; printf 'Z:%s\n' "${path//\//\\}"; }

# Polls COMMAND every 50 ms until it succeeds or SECONDS pass. The command
# named by QUORIN_POLL_CHECK, when set, runs before each wait (a harness
# uses it to stop at once when Wine is broken).
poll_until() {
  local seconds=$1
  shift
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ -z "${QUORIN_POLL_CHECK:-}" ] || "$QUORIN_POLL_CHECK"
    [ $SECONDS -lt $end ] || return 1
    sleep 0.05
  done
}

# Whether one start did not begin, by the rule above: KIND (announced,
# never-silent or plain), the exit status and the files holding stdout and
# stderr. Succeeds when the program positively did not begin.
wine_did_not_begin() {
  local kind=$1 status=$2 out=$3 err=$4
  cat "$out" "$err" | grep -q "$WINE_START_FAILED" && return 0
  case $kind in
  announced) ! grep -q "$WINE_ANNOUNCED" "$err" ;;
  never-silent) [ "$status" -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ] ;;
  *) return 1 ;;
  esac
}

# Records a start that did not begin; says so on stderr.
wine_note_retry() { # program attempt status out err
  local what
  what=$(cat "$4" "$5" 2>/dev/null | tr -d '\r' | tr '\n' ' ' | head -c 500)
  echo "wine: $1 did not begin (start $2, exit $3${what:+: $what}); starting it again" >&2
  mkdir -p "$(dirname "$QUORIN_WINE_RETRIES")"
  printf '%s\t%s\t%s\t%s\n' "$(date -u +%FT%TZ)" "$1" "$3" "$what" >>"$QUORIN_WINE_RETRIES"
}

# Runs a Windows program under Wine by the start rule: stdin from
# /dev/null, stdout and stderr passed on once it has ended (announcement
# lines left out), its exit status returned; WINE_DID_NOT_START when no
# start began.
#   wine_run [--announced | --never-silent] PROGRAM [ARG...]
# With --stream (announced programs only), stdout and stderr go out as
# they come, for long runs whose output must survive a kill.
wine_run() {
  local kind=plain stream=
  while :; do
    case ${1:-} in
    --announced) kind=announced ;;
    --never-silent) kind=never-silent ;;
    --stream) stream=1 ;;
    *) break ;;
    esac
    shift
  done
  local out err attempt status
  out=$(mktemp) err=$(mktemp)
  for attempt in $(seq 1 "$QUORIN_WINE_ATTEMPTS"); do
    status=0
    if [ -n "$stream" ]; then
      # stdout straight through, stderr through tee to look for the line;
      # the exit status comes back in $out, which stdout bypasses.
      { { wine "$@" </dev/null 2>&1 1>&3 3>&- && echo 0 >"$out" || echo $? >"$out"; } |
        tee "$err" >&2; } 3>&1
      status=$(cat "$out")
      : >"$out"
    else
      wine "$@" </dev/null >"$out" 2>"$err" || status=$?
    fi
    if ! wine_did_not_begin "$kind" "$status" "$out" "$err"; then
      if [ -z "$stream" ]; then
        cat "$out"
        if [ $kind = announced ]; then grep -v "$WINE_ANNOUNCED" "$err" >&2 || true; else cat "$err" >&2; fi
      fi
      rm -f "$out" "$err"
      return "$status"
    fi
    if grep -q "$WINE_NO_SUCH_FILE" "$out" "$err" || [ "$attempt" -eq "$QUORIN_WINE_ATTEMPTS" ]; then
      break
    fi
    wine_note_retry "$1" "$attempt" "$status" "$out" "$err"
  done
  echo "wine: $1 did not begin in $attempt starts (exit $status): $(cat "$out" "$err" | tr -d '\r' | head -c 1000)" >&2
  rm -f "$out" "$err"
  return $WINE_DID_NOT_START
}

# Starts a dialog program in the background by the start rule (the program
# never fails silently) and waits up to SECONDS for its window, that is for
# the command CHECK to succeed. Its process id in WINE_PID, its stdout and
# stderr in the files OUT and ERR. Fails when the window did not come: the
# program began and ended first, or time ran out, or (WINE_DID_NOT_START)
# no start began.
#   wine_start_dialog SECONDS CHECK OUT ERR PROGRAM [ARG...]
wine_start_dialog() {
  local seconds=$1 check=$2 out=$3 err=$4 attempt status
  shift 4
  for attempt in $(seq 1 "$QUORIN_WINE_ATTEMPTS"); do
    wine "$@" </dev/null >"$out" 2>"$err" &
    WINE_PID=$!
    if ! poll_until "$seconds" wine_window_or_end "$check"; then
      echo "no window from $1 in $seconds s" >&2
      return 1
    fi
    "$check" && return 0
    status=0
    wait "$WINE_PID" || status=$?
    if ! wine_did_not_begin never-silent "$status" "$out" "$err"; then
      echo "$1 ended (exit $status) before its window opened: $(cat "$out" "$err" | head -c 1000)" >&2
      return 1
    fi
    [ "$attempt" -lt "$QUORIN_WINE_ATTEMPTS" ] || break
    wine_note_retry "$1" "$attempt" "$status" "$out" "$err"
  done
  echo "wine: $1 did not begin in $attempt starts (exit $status)" >&2
  return $WINE_DID_NOT_START
}
wine_window_or_end() { "$1" || ! kill -0 "$WINE_PID" 2>/dev/null; }

# Keeps the prefix's wineserver alive for SECONDS after its last program
# (for ever without), with Wine's background services already running.
# They are started here with their output detached: started by a program
# under test, they would inherit its pipes, and whoever waits for those
# pipes to close would wait for them too. Succeeds when it started a server.
wine_server_warm() {
  wineserver "-p${1:-}" </dev/null >/dev/null 2>&1 || return 1
  wine_run cmd.exe /c exit >/dev/null 2>&1 || true
}

# Stops the prefix's wineserver and waits for it (this also writes the
# registry out to the prefix's files).
wine_server_stop() { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; }

# Exports every driver service's tree into DIR/SERVICE.reg with one start
# of reg.exe: the whole services key, cut into one file per service (only
# their own sections, as reg export writes them); a service without a key
# has no file. Fails when the export does.
export_service_trees() { # dir
  local dir=$1 all
  mkdir -p "$dir"
  rm -f "$dir"/*.reg
  all="$dir/services.export"
  wine_run --never-silent reg export "$QUORIN_SERVICES_KEY" "$(windows_path "$all")" /y >/dev/null ||
    { echo "could not export $QUORIN_SERVICES_KEY" >&2; return 1; }
  iconv -f UTF-16 -t UTF-8 "$all" | tr -d '\r' | awk_services -v dir="$dir" '
    /^\[/ {
      path = substr($0, 2)
      sub(/\]$/, "", path)
      service = service_of(path)
      file = service == "" ? "" : dir "/" service ".reg"
    }
    file != "" { print > file }'
  rm -f "$all"
}

# Runs awk with the options and program given, over stdin, with one more
# function: service_of(PATH), for a registry path (in any case) at or below
# one of the eight services' keys, that service's name as QUORIN_SERVICES
# spells it, and the rest of the path in `below` (lower case, "" for the
# service's own key); "" for any other path.
awk_services() { # [awk option...] program
  local program=${!#}
  # (through the environment: awk -v would read the backslashes as escapes)
  QUORIN_AWK_KEY="$QUORIN_SERVICES_KEY\\" QUORIN_AWK_NAMES="${QUORIN_SERVICES[*]}" awk "${@:1:$#-1}" '
    function service_of(path,   name, i, n, list) {
      if (!service_list_read) {
        services_key = ENVIRON["QUORIN_AWK_KEY"]
        n = split(ENVIRON["QUORIN_AWK_NAMES"], list, " ")
        for (i = 1; i <= n; i++) ours[tolower(list[i])] = list[i]
        service_list_read = 1
      }
      path = tolower(path)
      below = ""
      if (index(path, tolower(services_key)) != 1) return ""
      name = substr(path, length(services_key) + 1)
      sub(/\\.*/, "", name)
      if (!(name in ours)) return ""
      below = substr(path, length(services_key) + length(name) + 1)
      return ours[name]
    }
    '"$program"
}

# Compares two exports by export_service_trees: every service's file the
# same, byte for byte, or both absent. Names each that differs, with the
# difference, on stderr.
compare_service_trees() { # before-dir after-dir
  local service status=0
  for service in "${QUORIN_SERVICES[@]}"; do
    if [ -f "$1/$service.reg" ] || [ -f "$2/$service.reg" ]; then
      if ! cmp -s "$1/$service.reg" "$2/$service.reg"; then
        echo "CHANGED: $service" >&2
        diff "$1/$service.reg" "$2/$service.reg" >&2 || true
        status=1
      fi
    fi
  done
  return $status
}
