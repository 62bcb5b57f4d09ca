#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The running window matches its desktop entry, so docks and taskbars show it
# with the entry's name and icon:
#   x11      in Xvfb, the window's WM_CLASS class is the entry's StartupWMClass;
#   wayland  under Weston (Debian's compositor) with Qt's Wayland platform, the
#            window's app ID is the entry's name. Weston runs twice: with its
#            headless back end (no screen, no input devices), where the window
#            opens and weston-screenshooter saves it; and with its X11 back end
#            in Xvfb, whose keyboard reaches the program as Wayland key events:
#            there the test is taken by keyboard alone, up to the grade's
#            message box, and saved again.
# Each step waits for what it needs to have happened (the program's side of
# the Wayland protocol, logged, says when), not for a fixed time.
#
# usage: desktop_session.sh <drobi binary> <desktop entry> <x11|wayland> <screenshot folder>
set -euo pipefail

bin=$1
desktop=$2
mode=$3
out=$4
mkdir -p "$out"
fail() { echo "FAIL: $*" >&2; exit 1; }
app_id=$(basename "$desktop" .desktop)

source "$(dirname "${BASH_SOURCE[0]}")/lib/xvfb.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lib/wait.sh"
pids=()
runtime=$(mktemp -d)
chmod 700 "$runtime"
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  stop_xvfb
  rm -rf "$runtime"
}
trap cleanup EXIT

if [ "$mode" = x11 ]; then
  wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
  [ -n "$wm_class" ] || fail "the desktop entry has no StartupWMClass"
  start_xvfb 800x800x24 || fail "Xvfb did not start"
  "$bin" &
  pids+=($!)
  win=$(timeout 20 xdotool search --sync --onlyvisible --pid "${pids[0]}" --name "Тест для 6 класса" | head -n1) \
    || fail "the window did not appear"
  got=$(xprop -id "$win" WM_CLASS)
  # WM_CLASS(STRING) = "instance", "class": the class is what the entry names.
  [ "$(printf '%s\n' "$got" | sed -n 's/.*", "\(.*\)"$/\1/p')" = "$wm_class" ] \
    || fail "$got, but the desktop entry says StartupWMClass=$wm_class"
  echo "ok: $got matches StartupWMClass=$wm_class"
  exit 0
fi
[ "$mode" = wayland ] || fail "mode is x11 or wayland, not $mode"

# start_weston <backend> <socket>: Weston on the socket, with the screenshot
# interface open to clients (--debug); waits for the socket.
start_weston() {
  weston --backend="$1" --use-pixman --socket="$2" --width=800 --height=800 --idle-time=0 \
    --debug --log="$runtime/$2.log" >/dev/null 2>&1 &
  pids+=($!)
  wait_until 20 test -S "$runtime/$2" || fail "weston with $1 did not start: $(tail -n5 "$runtime/$2.log")"
}

# drawn <protocol log> [<toplevels>]: the program has made that many windows
# (one by default) and committed a buffer to a surface after the last of them.
drawn() {
  local line
  line=$(grep -n 'xdg_surface@[0-9]*\.get_toplevel' "$1" | sed -n "${2:-1}s/:.*//p")
  [ -n "$line" ] && tail -n +"$line" "$1" | grep -A5 'wl_surface@[0-9]*\.attach(wl_buffer' | grep -q 'wl_surface@[0-9]*\.commit'
}

# start_drobi <socket>: the program as a Wayland client of that Weston; its
# side of the protocol goes to $runtime/<socket>.protocol. Waits for the
# window's first frame.
start_drobi() {
  WAYLAND_DISPLAY=$1 QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 "$bin" 2>"$runtime/$1.protocol" &
  pids+=($!)
  wait_until 20 drawn "$runtime/$1.protocol" || fail "drobi drew no window under Weston"
  got=$(grep -o 'set_app_id("[^"]*")' "$runtime/$1.protocol" | head -n1)
  [ "$got" = "set_app_id(\"$app_id\")" ] || fail "the window's app ID: ${got:-none}, the desktop entry is $app_id"
}

# screenshot <socket> <file>
screenshot() {
  (cd "$runtime" && WAYLAND_DISPLAY=$1 weston-screenshooter >/dev/null) || fail "weston-screenshooter failed"
  mv "$runtime"/wayland-screenshot-*.png "$2"
}

export XDG_RUNTIME_DIR=$runtime
unset DISPLAY

# Headless: the window opens and can be seen.
start_weston headless-backend.so wl-headless
start_drobi wl-headless
screenshot wl-headless "$out/drobi-wayland-start.png"
echo "ok: headless Weston shows the window, app ID $app_id"

# X11 back end: the test taken by keyboard. Space presses «Начать тест»,
# which hands the focus to the first answer box; each box gets a digit and Tab
# moves on, row by row, until Tab reaches «Готово!», which Space presses.
start_xvfb 900x900x24 || fail "Xvfb did not start"
export XDG_RUNTIME_DIR=$runtime
start_weston x11-backend.so wl-x11
start_drobi wl-x11
protocol="$runtime/wl-x11.protocol"
grep -q 'x11 output .*, window id' "$runtime/wl-x11.log" || fail "no Weston window in Xvfb"
# Keys reach the surface that has Weston's keyboard focus: drobi's window,
# once Weston has told it so. Weston's own window has the X server's focus
# already (it lies under the pointer, and the focus follows the pointer
# while no window manager sets it); setting it anew would take it away from
# Weston for a moment, and its keyboard with it.
has_keyboard() {
  grep -o 'wl_keyboard@[0-9]*\.\(enter\|leave\)(' "$protocol" | tail -n1 | grep -q enter
}
wait_until 20 has_keyboard || fail "drobi's window never got the keyboard"
keys=(space)
for _ in $(seq 30); do keys+=(1 Tab); done
keys+=(space)
xdotool key "${keys[@]}"
# Every key arrives as a press and a release, then the grade's message box,
# a second window, is drawn.
delivered() { [ "$(grep -c 'wl_keyboard@[0-9]*\.key(' "$protocol")" -ge $((2 * ${#keys[@]})) ]; }
wait_until 30 delivered || fail "drobi received $(grep -c 'wl_keyboard@[0-9]*\.key(' "$protocol") of $((2 * ${#keys[@]})) key events"
wait_until 30 drawn "$protocol" 2 || fail "no message box with the grade after the test was taken by keyboard"
screenshot wl-x11 "$out/drobi-wayland-graded.png"
kill -0 "${pids[-1]}" || fail "drobi ended during the test"
echo "ok: the test taken by keyboard under Weston, grade shown"
