# End-to-end scenarios of quorin-sync.exe, sourced by run-e2e: the real
# console program under Wine, judged by its exit codes, its output (the JSON
# read by a real parser) and `wine reg export`.

CLI_OUT="$work/cli.out"
CLI_ERR="$work/cli.err"

# Runs quorin-sync with the arguments given; its exit code in CLI_STATUS,
# its output in CLI_OUT and CLI_ERR.
cli() {
  CLI_STATUS=0
  harness_wine --never-silent "$cli_exe" "$@" >"$CLI_OUT" 2>"$CLI_ERR" || CLI_STATUS=$?
  stop_if_wine_broken
  sed -i 's/\r$//' "$CLI_OUT" "$CLI_ERR"
}
expect_cli_status() {
  [ "$CLI_STATUS" = "$1" ] ||
    fail "quorin-sync exited $CLI_STATUS, expected $1; stdout: $(cat "$CLI_OUT"); stderr: $(cat "$CLI_ERR")"
}
expect_cli_out() { grep -qF -- "$1" "$CLI_OUT" || fail "stdout lacks \"$1\": $(cat "$CLI_OUT")"; }
expect_cli_err() { grep -qF -- "$1" "$CLI_ERR" || fail "stderr lacks \"$1\": $(cat "$CLI_ERR")"; }

scenario_cli_set_check_show_and_their_exit_codes() {
  cli show
  expect_cli_status 0
  expect_cli_out "QuorinNq   no       -               -"
  expect_cli_out "The eight services do not agree."

  WINEDEBUG=$EVENT_DEBUG cli set --mode line --frames 6
  expect_cli_status 0
  expect_cli_out "Set all eight services to mode 2 (line), frames 6."
  expect_every_service 0x2 0x6
  load_records "$CLI_ERR"
  expect_record_count 1
  expect_record 0 "$SAVED" 1 '*\*' 2 '*\quorin-sync.exe' 4 2 5 line 6 6 \
    14 'QuorinNq: written; mode absent -> 2; frames absent -> 6'

  cli check --mode line --frames 6
  expect_cli_status 0
  cli check --mode scanstart --frames 6
  expect_cli_status 1
  expect_cli_out "QuorinPx7: mode 2 (line), expected 4 (scanstart)"

  # Usage errors change nothing.
  for args in "set --mode line --frames 6x" "set --mode fast --frames 1" "sett" "set --frames 99999999999 --mode off"; do
    # shellcheck disable=SC2086
    cli $args
    expect_cli_status 2
    expect_cli_err "usage: quorin-sync"
  done
  expect_every_service 0x2 0x6

  cli --version
  expect_cli_status 0
  expect_cli_out "quorin-sync $(quorin_define QUORIN_VERSION_TEXT)"
}

scenario_cli_show_json_is_read_by_a_json_parser() {
  seed Quorin 00000004 00000003
  seed QuorinM 00000003 fffffffd
  # A value the driver would not read as a number: named, never counted.
  printf '[%s\\QuorinRv\\Parameters]\n"%s"=dword:00000001\n"%s"=hex:03\n' \
    "$QUORIN_SERVICES_KEY" "$MODE" "$FRAMES" | reg_import
  cli show --json
  expect_cli_status 0
  python3 - "$CLI_OUT" "${QUORIN_SERVICES[@]}" <<'PY' || fail "the JSON is not what was stored: $(cat "$CLI_OUT")"
import json, sys
data = json.load(open(sys.argv[1]))
services = {s["name"]: s for s in data["services"]}
assert [s["name"] for s in data["services"]] == sys.argv[2:]
assert services["Quorin"] == {"name": "Quorin", "present": True, "mode": 4,
                              "meaning": "scanstart", "frames": 3,
                              "mode_stored_as": None, "frames_stored_as": None}
assert services["QuorinRv"]["mode"] == 1 and services["QuorinRv"]["frames"] is None
assert services["QuorinRv"]["frames_stored_as"] == "REG_BINARY, 1 byte"
assert services["QuorinM"]["mode"] == 3 and services["QuorinM"]["meaning"] == "unknown"
assert services["QuorinM"]["frames"] == -3
assert services["QuorinDx"] == {"name": "QuorinDx", "present": False, "mode": None,
                                "meaning": None, "frames": None,
                                "mode_stored_as": None, "frames_stored_as": None}
assert data["agree"] is False and data["mode"] is None and data["frames"] is None
PY
  cli set --mode frame --frames 2
  expect_cli_status 0
  cli show --json
  python3 - "$CLI_OUT" <<'PY' || fail "the JSON does not say all agree: $(cat "$CLI_OUT")"
import json, sys
data = json.load(open(sys.argv[1]))
assert data["agree"] is True and data["mode"] == 1 and data["meaning"] == "frame"
assert data["frames"] == 2 and all(s["present"] for s in data["services"])
PY
}

scenario_cli_set_refused_by_a_read_only_key_exits_four_and_changes_nothing() {
  seed QuorinRv 00000001 00000005
  seed QuorinS 00000001 00000005
  run_probe lock QuorinRv || fail "could not lock the QuorinRv key"
  export_service_trees "$work/before" || fail "could not export the service trees"
  WINEDEBUG=$EVENT_DEBUG cli set --mode scanstart --frames 9
  expect_cli_status 4
  load_records "$CLI_ERR"
  expect_record_count 1
  expect_record 0 "$NOTHING_CHANGED" 4 4 5 scanstart 6 9 \
    9 'QuorinRv: refused (error 5); mode 1 -> 1; frames 5 -> 5' 12 'QuorinS: unchanged; mode 1 -> 1; frames 5 -> 5' \
    15 'refused for want of administrator rights; no value changed'
  expect_cli_err "QuorinRv: refused: access denied; changing it needs administrator rights"
  expect_cli_err "Nothing was changed"
  export_service_trees "$work/after" || fail "could not export the service trees"
  compare_service_trees "$work/before" "$work/after" || fail "a refused set changed a service's tree"
  expect_value Quorin "$MODE" absent
  run_probe unlock QuorinRv || fail "could not unlock the QuorinRv key"
  cli set --mode scanstart --frames 9
  expect_cli_status 0
  expect_every_service 0x4 0x9
}

scenario_cli_set_waits_for_another_save_and_two_at_once_never_interleave() {
  # A save that holds the lock past set's wait: exit 5, nothing written.
  seed Quorin 00000001 00000005
  harness_wine --announced --stream "$probe" hold-save-lock 6 >"$work/hold.out" 2>/dev/null &
  local holder=$! round first second
  poll grep -q "^held" "$work/hold.out" || fail "the probe did not take the save lock"
  cli set --mode scanstart --frames 9
  expect_cli_status 5
  expect_cli_err "Nothing was changed: another save of these settings is in progress"
  expect_value Quorin "$FRAMES" 0x5
  expect_no_service_keys "${QUORIN_SERVICES[@]:1}"
  wait "$holder" || fail "the probe holding the lock failed"

  # Two sets with different settings started together, again and again:
  # both succeed, the eight services always agree on one of the two, and
  # the later save's record found every service as the earlier one left it.
  for round in 1 2 3 4; do
    WINEDEBUG=$EVENT_DEBUG harness_wine --never-silent "$cli_exe" set --mode line --frames 6 \
      >"$work/first.out" 2>"$work/first.err" &
    first=$!
    WINEDEBUG=$EVENT_DEBUG harness_wine --never-silent "$cli_exe" set --mode scanstart --frames 9 \
      >"$work/second.out" 2>"$work/second.err" &
    second=$!
    wait "$first" || fail "round $round: the first set failed: $(cat "$work/first.out" "$work/first.err")"
    wait "$second" || fail "round $round: the second set failed: $(cat "$work/second.out" "$work/second.err")"
    cli show --json
    records_in "$work/first.err" >"$work/records"
    records_in "$work/second.err" >>"$work/records"
    python3 - "$CLI_OUT" "$work/records" <<'PY' || fail "round $round: $(cat "$CLI_OUT" "$work/records")"
import json, re, sys
data = json.load(open(sys.argv[1]))
assert data["agree"] is True and (data["mode"], data["frames"]) in {(2, 6), (4, 9)}, "the services disagree"
records = [line.rstrip("\n").split("|") for line in open(sys.argv[2])]
assert len(records) == 2 and all(r[0] == "0x0004 0x000003e8" for r in records), "not one save record each"
later = next(r for r in records if (int(r[4]), int(r[6])) == (data["mode"], data["frames"]))
earlier = next(r for r in records if r is not later)
for service in later[7:15]:
    old_mode, old_frames = re.search(r"mode (\S+) -> .*; frames (\S+) -> ", service).groups()
    assert (old_mode, old_frames) == (earlier[4], earlier[6]), "the later save saw another state: " + service
PY
  done
}
