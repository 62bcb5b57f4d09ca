#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real drobi in a real X server (Xvfb), waits for its window,
# saves screenshots of the start state and of a running test, checks the
# window's title and size, then leaves through the menu's "Выход" and checks
# that the program ended normally. Also checks the one-line message drobi
# prints when there is no display at all.
#
# usage: smoke_x11.sh <drobi binary> <screenshot folder> [scale factor]
set -euo pipefail

bin=$1
out=$2
scale=${3:-1}
mkdir -p "$out"
suffix=""
[ "$scale" = 1 ] || suffix="-x$scale"

caption='Тест для 6 класса на тему "Умноженния и деление обыкновенных дробей"'

fail() { echo "FAIL: $*" >&2; exit 1; }

# No display: one clear line, non-zero status, no toolkit noise.
if [ "$scale" = 1 ]; then
  set +e
  msg=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" 2>&1)
  rc=$?
  set -e
  [ "$rc" -ne 0 ] || fail "no display: exit status 0"
  [ "$(printf '%s\n' "$msg" | wc -l)" -eq 1 ] || fail "no display: expected one line, got: $msg"
  case "$msg" in *xvfb-run*) ;; *) fail "no display: line does not mention xvfb-run: $msg" ;; esac
fi

# A private X server (tests/lib/xvfb.sh), large enough for the scaled window.
source "$(dirname "${BASH_SOURCE[0]}")/lib/xvfb.sh"
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  stop_xvfb
}
trap cleanup EXIT
start_xvfb "$((640 * scale + 200))x$((700 * scale + 200))x24" || fail "Xvfb did not start"
export QT_SCALE_FACTOR=$scale

"$bin" &
app=$!

win=$(timeout 20 xdotool search --sync --onlyvisible --pid "$app" --name "Тест для 6 класса" | head -n1) \
  || fail "the window did not appear"
sleep 0.5

title=$(xdotool getwindowname "$win")
[ "$title" = "$caption" ] || fail "title is '$title'"

eval "$(xdotool getwindowgeometry --shell "$win")"
want_w=$(awk -v s="$scale" 'BEGIN { printf "%d", 522 * s + 0.5 }')
client_h=$(awk -v s="$scale" 'BEGIN { printf "%d", 629 * s + 0.5 }')
[ "$WIDTH" -eq "$want_w" ] || fail "width $WIDTH, expected $want_w"
menubar=$((HEIGHT - client_h))
[ "$menubar" -ge $((10 * scale)) ] && [ "$menubar" -le $((45 * scale)) ] \
  || fail "height $HEIGHT: expected the ${client_h}-pixel client area plus a menu bar"
echo "window $WIDTH x $HEIGHT (menu bar $menubar) at scale $scale"

xprop -id "$win" _NET_WM_ICON | grep 'Icon (' >/dev/null || fail "the window shows no icon"

import -window "$win" "$out/drobi-start$suffix.png"

# Press "Начать тест" (its centre, in logical pixels, lies at 232, 132 of the client area).
xdotool mousemove --window "$win" "$(awk -v s="$scale" 'BEGIN { printf "%d", 232 * s }')" \
  "$(awk -v s="$scale" -v m="$menubar" 'BEGIN { printf "%d", 132 * s + m }')" click 1
sleep 1.5
kill -0 "$app" || fail "drobi died after starting the test"
import -window "$win" "$out/drobi-running$suffix.png"
# The tasks must be on screen now: the picture differs from the start state.
! cmp -s "$out/drobi-start$suffix.png" "$out/drobi-running$suffix.png" || fail "nothing changed after Начать тест"

# Leave through the menu: open "Меню", go to its last item, "Выход". On a
# busy machine the menu may open late, so try a few times.
for attempt in 1 2 3; do
  xdotool mousemove --window "$win" "$(awk -v s="$scale" 'BEGIN { printf "%d", 15 * s }')" $((menubar / 2)) click 1
  sleep $((attempt))
  xdotool key Up Return
  for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app" 2>/dev/null || break
  echo "menu attempt $attempt did not end drobi; trying again"
  xdotool key Escape
done
if kill -0 "$app" 2>/dev/null; then fail "drobi still runs after Выход"; fi
rc=0
wait "$app" || rc=$?
app=""
[ "$rc" -eq 0 ] || fail "drobi ended with status $rc"
echo "screenshots in $out"
