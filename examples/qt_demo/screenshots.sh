#!/bin/sh
# Runs the demo in a virtual X display, drags a zoom window with xdotool and saves a
# screenshot before and after the drag.
#   examples/qt_demo/screenshots.sh [build dir] [output dir]
# Needs the Debian packages xvfb, xdotool and x11-apps (xwd) or imagemagick.
set -eu
BUILD=${1:-build}
OUT=${2:-$BUILD/examples/qt_demo_shots}
DEMO=$BUILD/examples/qt_demo
DISPLAY_NO=:97
[ -x "$DEMO" ] || { echo "no $DEMO: build first (make demo)"; exit 1; }
for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "missing $tool: apt-get install -y xvfb xdotool x11-apps"; exit 1; }
done
mkdir -p "$OUT"

Xvfb $DISPLAY_NO -screen 0 1100x800x24 -nolisten tcp >/dev/null 2>&1 &
XPID=$!
trap 'kill $DEMO_PID $XPID 2>/dev/null || true' EXIT INT TERM
sleep 1
DISPLAY=$DISPLAY_NO QT_QPA_PLATFORM=xcb "$DEMO" &
DEMO_PID=$!
export DISPLAY=$DISPLAY_NO

# Wait for the window, then put it at the screen's corner.
WIN=""
for _ in $(seq 1 50); do
  WIN=$(xdotool search --name "interactive 2-D chart" 2>/dev/null | head -1 || true)
  [ -n "$WIN" ] && break
  sleep 0.2
done
[ -n "$WIN" ] || { echo "the demo window did not appear"; exit 1; }
xdotool windowmove "$WIN" 0 0
sleep 1.5

shot() {
  if command -v import >/dev/null; then
    import -window root "$1"
  else
    xwd -root -silent | convert xwd:- "$1"
  fi
}

shot "$OUT/before_zoom.png"
# Zoom window (the demo's start mode): a drag across the middle of the signal.
eval "$(xdotool getwindowgeometry --shell "$WIN")"
x0=$((X + 330)); y0=$((Y + 250)); x1=$((X + 560)); y1=$((Y + 430))
xdotool mousemove $x0 $y0 sleep 0.2 mousedown 1 sleep 0.1
for i in 1 2 3 4 5 6 7 8 9 10; do
  xdotool mousemove $((x0 + (x1 - x0) * i / 10)) $((y0 + (y1 - y0) * i / 10)) sleep 0.05
done
xdotool mouseup 1
sleep 1.5
shot "$OUT/after_zoom.png"
echo "screenshots: $OUT/before_zoom.png $OUT/after_zoom.png"
