#!/usr/bin/env bash
# Takes screenshots of the desktop program's two windows under Xvfb, driving
# it with the keyboard as a user would: the main window at start, with the
# form list open, with three fields of 1098-E ticked, and the template window.
# Usage: scripts/screenshots.sh [BUILD_DIR [OUT_DIR]]   (defaults: build, BUILD_DIR/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-$build/screenshots}
program=$build/app/OV2021DM

if [ -z "${OV_SCREENSHOTS_IN_XVFB:-}" ]; then
  [ -x "$program" ] || { echo "no $program: build the target OV2021DM first" >&2; exit 1; }
  export OV_SCREENSHOTS_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" "$build" "$out"
fi

mkdir -p "$out"
unset QT_QPA_PLATFORM
"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# wait_window TITLE: prints the id of the first visible window with that title.
wait_window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  echo "window \"$1\" did not appear" >&2
  return 1
}
settle() { sleep 0.5; }
keys() { xdotool key --delay 60 "$@"; }

main=$(wait_window "Orvane Data Merge Module \[ 2021 \]")
xdotool windowfocus --sync "$main" 2>/dev/null || true
settle
import -window "$main" "$out/main_window_start.png"

# The form list, opened from the keyboard.
keys alt+Down
settle
import -window root "$out/main_window_forms_open.png"
keys Escape
settle

# 1098-E with rows 1, 12 and 15 ticked.
xdotool type --delay 80 "1098-E"
keys Tab Tab space
for _ in $(seq 11); do keys Down; done
keys space Down Down Down space
settle
import -window "$main" "$out/main_window_1098-E.png"

keys alt+d
template=$(wait_window "Data Extract Template")
settle
import -window "$template" "$out/template_window_1098-E.png"
import -window root "$out/screen_template_over_main.png"
keys alt+c
settle

echo "screenshots in $out:" >&2
ls -1 "$out" >&2
