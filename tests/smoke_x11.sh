#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real drobi in a real X server (Xvfb), waits for its window,
# saves screenshots of the start state and of a running test, checks the
# window's title and size, then leaves through the menu's "Выход" and checks
# that the program ended normally. Everything is done with the keyboard, as
# a pupil without a mouse would, and each step waits for the window's
# answer (tests/lib/wait.sh), not for a fixed time. Also checks the one-line message drobi
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
source "$(dirname "${BASH_SOURCE[0]}")/lib/wait.sh"
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

# capture <file>: the window's picture, once two captures in a row agree
# (the window has finished drawing what it was drawing).
capture() {
  local previous="$1.previous"
  settled() {
    import -window "$win" "$1"
    cmp -s "$1" "$previous" && return 0
    mv "$1" "$previous"
    return 1
  }
  rm -f "$previous"
  wait_until 10 settled "$1" || fail "the window kept changing"
  rm -f "$previous"
}

title=$(xdotool getwindowname "$win")
[ "$title" = "$caption" ] || fail "title is '$title'"

eval "$(xdotool getwindowgeometry --shell "$win")"
want_w=$(python3 -c "print(round(522 * $scale))")
client_h=$(python3 -c "print(round(629 * $scale))")
[ "$WIDTH" -eq "$want_w" ] || fail "width $WIDTH, expected $want_w"
menubar=$((HEIGHT - client_h))
[ "$menubar" -ge $((10 * scale)) ] && [ "$menubar" -le $((45 * scale)) ] \
  || fail "height $HEIGHT: expected the ${client_h}-pixel client area plus a menu bar"
echo "window $WIDTH x $HEIGHT (menu bar $menubar) at scale $scale"

xprop -id "$win" _NET_WM_ICON | grep 'Icon (' >/dev/null || fail "the window shows no icon"

capture "$out/drobi-start$suffix.png"

# "Начать тест" has the focus: Space presses it, and the tasks appear.
xdotool windowfocus --sync "$win"
xdotool key space
started() {
  import -window "$win" "$out/drobi-running$suffix.png"
  ! cmp -s "$out/drobi-start$suffix.png" "$out/drobi-running$suffix.png"
}
wait_until 10 started || fail "nothing changed after Начать тест"
kill -0 "$app" || fail "drobi died after starting the test"
capture "$out/drobi-running$suffix.png"

# Leave through the menu: Alt puts the menu bar under the keyboard, Down
# opens "Меню", Up goes round to its last item, "Выход", Return chooses it.
xdotool key alt Down
menu_open() { [ "$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l)" -ge 2 ]; }
wait_until 10 menu_open || fail "the menu did not open"
xdotool key Up Return
ended() { ! kill -0 "$app" 2>/dev/null; }
wait_until 10 ended || fail "drobi still runs after Выход"
rc=0
wait "$app" || rc=$?
app=""
[ "$rc" -eq 0 ] || fail "drobi ended with status $rc"
echo "screenshots in $out"
