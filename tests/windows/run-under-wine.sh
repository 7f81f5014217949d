#!/usr/bin/env bash
# Runs the cross-built Windows tests under Wine, in a fresh Wine prefix inside the build folder.
#   tests/windows/run-under-wine.sh WINDOWS_BUILD_DIR VARNEX_SIM
# COM1 and COM2 are mapped onto two stable links in that folder (registry HKLM\Software\Wine\Ports);
# for each test program the links point at fresh ptys:
#   - the plain tests need no port;
#   - win32_serial_tests: COM1 and COM2 are the two ends of one line (socat joins two ptys), the
#     test plays the meter on COM2;
#   - win32_meter_tests: COM1 is the pty of the simulated meter (VARNEX_SIM pty), whose log
#     must show the key the test sent.
set -uo pipefail
WIN_BUILD=$(cd "$1" && pwd)
SIM=$2
TESTS=$WIN_BUILD/tests
WORK=$WIN_BUILD/wine-run
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="

passed=0   # tests, as GoogleTest counts them
failed=0
failures=() # programs
pids=()

cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

result() { # name status: counts the program's tests from its log
  local log=$WORK/$1.log ran ok skipped bad
  ran=$(tr -d '\r' <"$log" | sed -n 's/^\[==========\] \([0-9]*\) tests\? from .* ran\..*/\1/p' | tail -n 1)
  ok=$(tr -d '\r' <"$log" | sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\.$/\1/p' | tail -n 1)
  skipped=$(tr -d '\r' <"$log" | sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?, listed below.*/\1/p' | tail -n 1)
  passed=$((passed + ${ok:-0}))
  bad=$(( ${ran:-0} - ${ok:-0} - ${skipped:-0} ))
  if [ "$2" -eq 0 ] && [ -n "$ran" ]; then
    echo "== $1: ${ok:-0} passed"
  else
    # A program that died before its summary, or whose check after the run failed, counts once.
    [ "$bad" -le 0 ] && bad=1
    failed=$((failed + bad)); failures+=("$1"); echo "== $1: FAILED (exit $2)"
  fi
}

wait_for_link() { # path: the pty behind it exists
  for _ in $(seq 1 200); do [ -e "$1" ] && return 0; sleep 0.05; done
  echo "no pty appeared at $1" >&2; return 1
}

rm -rf "$WORK"; mkdir -p "$WORK"
echo "== preparing a Wine prefix in $WINEPREFIX"
wine wineboot -i >"$WORK/wineboot.log" 2>&1
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$WORK/com1-tty" /f >>"$WORK/wineboot.log" 2>&1
wine reg add 'HKLM\Software\Wine\Ports' /v COM2 /d "$WORK/com2-tty" /f >>"$WORK/wineboot.log" 2>&1
wineserver -w

run_exe() { # name path [wine args...]
  local name=$1 exe=$2; shift 2
  (cd "$(dirname "$exe")" && wine "$exe" --gtest_brief=1 "$@") >"$WORK/$name.log" 2>&1
  local status=$?
  grep -v '^$' "$WORK/$name.log" | tail -n 25
  return $status
}

for t in protocol_tests protocol_allocation_tests windows_core_tests win32_usb_tests nodll/win32_usb_missing_dll_tests; do
  name=$(basename "$t")
  run_exe "$name" "$TESTS/$t.exe"; result "$name" $?
done

# COM1 and COM2 joined. Each pty's slave stays open here too, so socat never sees a hang-up
# when the component closes its port and opens it again.
socat pty,raw,echo=0,link="$WORK/com1-tty" pty,raw,echo=0,link="$WORK/com2-tty" 2>"$WORK/socat.log" &
pids+=($!)
if wait_for_link "$WORK/com1-tty" && wait_for_link "$WORK/com2-tty"; then
  exec 7<>"$WORK/com1-tty" 8<>"$WORK/com2-tty"
  run_exe win32_serial_tests "$TESTS/win32_serial_tests.exe"; result win32_serial_tests $?
  exec 7>&- 8>&-
else
  result win32_serial_tests 1
fi
kill "${pids[-1]}" 2>/dev/null; wait "${pids[-1]}" 2>/dev/null

# COM1 on the simulated meter.
rm -f "$WORK/com1-tty"
"$SIM" pty --link "$WORK/com1-tty" >"$WORK/sim.out" 2>"$WORK/sim.log" &
pids+=($!)
if wait_for_link "$WORK/com1-tty"; then
  run_exe win32_meter_tests "$TESTS/win32_meter_tests.exe"; status=$?
  kill "${pids[-1]}" 2>/dev/null; wait "${pids[-1]}" 2>/dev/null
  if ! grep -q '^key BB' "$WORK/sim.log"; then
    echo "the simulated meter did not receive the key BB:"; cat "$WORK/sim.log"
    [ $status -eq 0 ] && status=1
  fi
  result win32_meter_tests $status
else
  result win32_meter_tests 1
fi

echo "== programs that failed: ${failures[*]:-none}"
echo "Wine: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
