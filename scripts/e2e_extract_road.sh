#!/usr/bin/env bash
# End-to-end runs of the desktop program under Xvfb, started as a customer's
# application starts it, with a real extract in a folder whose name holds a
# blank and the registry file in a temporary XDG_CONFIG_HOME:
#  1. a valid extract: the one box, the import instructions, is confirmed with
#     a key press; the program ends with exit status 0; the import file's
#     bytes and the registry file are checked.
#  2. an extract with a bad value: the error box, then the main window stays
#     open with the value's row selected (screenshots of both); closing the
#     window as its close box does ends the program with exit status 1, and
#     nothing has been written.
# Usage: scripts/e2e_extract_road.sh [BUILD_DIR [CLOSE_HELPER [OUT_DIR]]]
#   BUILD_DIR     default build; the program is BUILD_DIR/app/OV2021DM
#   CLOSE_HELPER  default BUILD_DIR/tests/gui/x_close_window; without it run 2
#                 ends the program with a signal and its exit status is not checked
#   OUT_DIR       screenshots, default BUILD_DIR/screenshots
# Exit status 0 passed, 1 failed, 77 skipped (no xvfb-run or xdotool).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
close_helper=${2:-$build/tests/gui/x_close_window}
out=${3:-$build/screenshots}
program=$build/app/OV2021DM

if [ -z "${OV_E2E_IN_XVFB:-}" ]; then
  for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed" >&2; exit 77; }
  done
  [ -x "$program" ] || { echo "no $program: build the target OV2021DM first" >&2; exit 1; }
  export OV_E2E_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" "$build" "$close_helper" "$out"
fi

unset QT_QPA_PLATFORM
work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$work/data dir" "$out"
registry=$XDG_CONFIG_HOME/ORVANE/registry.ini
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
shoot() { if command -v import >/dev/null; then import -window "$1" "$out/$2"; fi; }

# wait_window TITLE_REGEX: prints the id of the first visible window so named.
wait_window() {
  local id
  for _ in $(seq 150); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  echo "no window named $1 appeared" >&2
  return 1
}
# wait_gone WINDOW_ID: waits until the window is no longer visible.
wait_gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.1
  done
  return 1
}
# wait_exit: waits up to ten seconds for the program; sets status to its exit
# status, or to "running".
wait_exit() {
  status=running
  for _ in $(seq 100); do
    if ! kill -0 "$pid" 2>/dev/null; then
      status=0
      wait "$pid" || status=$?
      pid=
      return 0
    fi
    sleep 0.1
  done
}
press() { xdotool windowfocus --sync "$1" 2>/dev/null || true; sleep 0.3; xdotool key "$2"; }
settle() { sleep 0.5; }

# --- 1. A valid extract -------------------------------------------------------
extract="$work/data dir/nec.txt"
cp examples/1099-NEC_EXTRACT.txt "$extract"
"$program" "$extract" &
pid=$!
box=$(wait_window '^Data Extract Import Instructions$')
settle
shoot root e2e_instructions.png
press "$box" Return
wait_exit
[ "$status" = 0 ] || fail "run 1: exit status $status, expected 0"
printf '%s\r\n' \
  '"PAYEE ONE",,,,,,,07,,,N/A,,,,,,950.50,,0.00,,0.00,0.00,,0.00,0.00,,,' \
  '"PAYEE TWO",,,,,,,,,,N/A,,,,,,75,,0.00,,0.00,0.00,,0.00,0.00,,,' >"$work/expected.import"
if ! cmp "$work/expected.import" "$work/data dir/2021DM_nec.txt"; then
  fail "run 1: the import file's bytes differ"
fi
printf '%s\n' '[Import\OV2021]' "TextDirectory=$work/data dir/" >"$work/expected.ini"
if ! cmp "$work/expected.ini" "$registry"; then
  fail "run 1: the registry file differs"
fi

# --- 2. An extract with a bad value -----------------------------------------
rm -rf "$XDG_CONFIG_HOME"
bad="$work/data dir/bad.txt"
sed 's/^+75\r$/<b>75<\/b>\r/' examples/1099-NEC_EXTRACT.txt >"$bad"
grep -q '<b>75</b>' "$bad" || fail "run 2: could not make the bad extract"
"$program" "$bad" &
pid=$!
box=$(wait_window '^Orvane Data Merge Module $')
settle
shoot root e2e_error_box.png
press "$box" Return
wait_gone "$box" || fail "run 2: the error box did not close"
main=$(wait_window '^Orvane Data Merge Module \[ 2021 \]$')
settle
shoot "$main" e2e_main_window_after_failure.png
kill -0 "$pid" 2>/dev/null || fail "run 2: the program ended after the error"
[ ! -e "$work/data dir/2021DM_bad.txt" ] || fail "run 2: an import file was written"
[ ! -e "$registry" ] || fail "run 2: the registry was written"
if [ -x "$close_helper" ]; then
  "$close_helper" "$main"
  wait_exit
  [ "$status" = 1 ] || fail "run 2: exit status $status after closing the window, expected 1"
else
  echo "no $close_helper: the exit status of run 2 is not checked" >&2
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "end-to-end runs passed; screenshots in $out" >&2
