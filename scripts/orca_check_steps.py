# SPDX-License-Identifier: GPL-3.0-or-later
"""The steps of scripts/orca_check.sh, run inside its private X server and
D-Bus session: starts the accessibility bus, Orca and the program, drives
the program by keyboard and prints what Orca said after each step."""

import os
import re
import subprocess
import sys
import time

drobi, work = sys.argv[1], sys.argv[2]
log_path = os.path.join(work, "orca.log")
review_first = os.environ.get("ORCA_CHECK_REVIEW_FIRST", "1") == "1"
wait_clock = os.environ.get("ORCA_CHECK_CLOCK") == "1"
started = []


def start(argv, **kw):
    err = open(os.path.join(work, os.path.basename(argv[0]) + ".err"), "w")
    p = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=err, stderr=subprocess.STDOUT, **kw)
    started.append(p)
    return p


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.strip()


class Log:
    """Reads the SPEECH OUTPUT lines Orca added to its debug log."""

    speech = re.compile(r"SPEECH OUTPUT: '(.*)'(?: voice=\w+)?\s*[\[{]")

    def __init__(self):
        self.offset = 0

    def size(self):
        try:
            return os.path.getsize(log_path)
        except OSError:
            return 0

    def settle(self, quiet=0.8, most=8.0):
        """Waits until Orca has written nothing for `quiet` seconds."""
        end = time.time() + most
        last, since = self.size(), time.time()
        while time.time() < end:
            time.sleep(0.1)
            now = self.size()
            if now != last:
                last, since = now, time.time()
            elif time.time() - since >= quiet:
                break

    def said(self):
        with open(log_path, encoding="utf-8", errors="replace") as f:
            f.seek(self.offset)
            text = f.read()
            self.offset = f.tell()
        out = []
        for line in text.splitlines():
            m = self.speech.search(line)
            if m:
                out.append(m.group(1))
        return out


log = Log()
transcript = []


def step(name, *keys, typed=None, quiet=0.8):
    if typed is not None:
        xdotool("type", "--delay", "60", typed)
    for k in keys:
        xdotool("key", "--delay", "60", k)
    log.settle(quiet)
    said = log.said()
    transcript.append((name, said))
    print(f"== {name}")
    for s in said:
        print(f"   {s}")
    return said


def review(label, limit=70):
    """Flat review from the window's top line down to its last."""
    lines = [" ".join(step(f"{label}: top line (Insert+KP_7)", "KP_Insert+KP_Home"))]
    for _ in range(limit):
        said = step(f"{label}: next line (KP_9)", "KP_Page_Up", quiet=0.5)
        if not said:
            break
        lines.append(" ".join(said))
    return lines


def orca_settings():
    """A preferences folder for Orca: its defaults but for three, set by the
    customization file Orca loads at start. No speech server (every
    utterance still goes to the log), no braille display, and the log
    written line by line so each step's speech can be read at once."""
    prefs = os.path.join(work, "orca")
    os.makedirs(prefs, exist_ok=True)
    with open(os.path.join(prefs, "orca-customizations.py"), "w") as f:
        f.write("import orca.debug, orca.settings\n"
                "if orca.debug.debugFile:\n"
                "    orca.debug.debugFile.reconfigure(line_buffering=True)\n"
                "orca.settings.speechServerFactory = ''\n"
                "orca.settings.enableBraille = False\n")
    return prefs


def wait_for_clock_notices():
    """Waits for the clock's spoken notices (nine and a half minutes), then
    types a digit to show the focus stayed in the box."""
    heard = []
    end = time.time() + 600
    while time.time() < end and not any("30 секунд" in s for s in heard):
        time.sleep(5)
        heard += log.said()
    print("== waiting for the clock (until 00:00:30 or ten minutes)")
    for s in heard:
        print(f"   {s}")
    said = step("type 2 into the same box", typed="2")
    print()
    print("== summary")
    for notice in ("Осталась одна минута", "Осталось 30 секунд"):
        print(f"{notice}: {'spoken' if any(notice in s for s in heard) else 'not spoken'}")
    print(f"typing after the notices: {' '.join(said) or 'silence'}")
    return 0


def start_orca():
    """The accessibility bus and Orca; False when Orca did not start."""
    start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    time.sleep(1)
    start(["/usr/bin/orca", "--user-prefs", orca_settings(), "--debug-file", log_path])
    for _ in range(200):
        if os.path.exists(log_path) and "Screen reader on" in open(log_path, errors="replace").read():
            break
        time.sleep(0.1)
    else:
        print("Orca did not start:", open(os.path.join(work, "orca.err")).read(), file=sys.stderr)
        return False
    log.settle()
    log.said()
    return True


def start_program(argv, title=""):
    """Starts a program with Qt's accessibility on and focuses its first
    window (of that title when given); its window id, or "" when none
    appeared."""
    env = dict(os.environ)
    env.update(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    app = start(argv, env=env)
    win = ""
    for _ in range(100):
        found = xdotool("search", "--all", "--onlyvisible", "--pid", str(app.pid), *(["--name", title] if title else []))
        win = found.split("\n")[0]
        if win:
            break
        time.sleep(0.1)
    if not win:
        print("the program's window did not appear", file=sys.stderr)
        return ""
    time.sleep(1)
    xdotool("windowfocus", "--sync", win)
    return win


def main():
    if not start_orca():
        return 2
    win = start_program([drobi])
    if not win:
        return 2
    step("window focused")

    start_lines = review("start screen") if review_first else []

    box_names = []
    for r in range(1, 11):
        for part in ("целая часть", "числитель", "знаменатель"):
            box_names.append(f"Задание {r}, {part}")
    entries = [step("Enter on «Начать тест»", "Return")]
    step("type 1 into the first box", typed="1")
    if wait_clock:
        return wait_for_clock_notices()
    for i in range(1, 30):
        entries.append(step(f"Tab to box {i + 1} ({box_names[i]})", "Tab"))
    step("Tab to «Готово!»", "Tab")
    step("Enter on «Готово!»", "Return", quiet=1.5)
    step("Enter on the result box", "Return", quiet=1.5)
    # Without a window manager nobody gives the focus back to the window
    # when the box closes; a desktop's window manager would.
    xdotool("windowfocus", "--sync", win)
    step("window focused again (as a window manager would)", quiet=1.5)
    graded_lines = review("after grading")

    named = sum(1 for name, said in zip(box_names, entries) if any(name in s for s in said))
    text = "\n".join(graded_lines)
    verdicts = len(re.findall(r"Ответ (?:не)?верный", text))
    print()
    print("== summary")
    print(f"boxes announced with their name: {named}/30")
    if review_first:
        print(f"flat review of the start screen: {len(start_lines)} lines")
    print(f"flat review after grading: {len(graded_lines)} lines")
    print(f"  verdicts reached: {verdicts}/10")
    print(f"  counts reached: {'yes' if 'Правильных ответов' in text and 'Неправильных ответов' in text else 'no'}")
    print(f"  grade reached: {'yes' if 'Оценка' in text else 'no'}")
    clock = re.search(r"\d\d:\d\d:\d\d", text)
    print(f"  clock reached: {'yes' if clock else 'no'}")
    print("  lines read after grading:")
    for line in graded_lines:
        print(f"    | {line}")
    return 0


def stop_all():
    for p in reversed(started):
        p.terminate()
    for p in reversed(started):
        try:
            p.wait(3)
        except subprocess.TimeoutExpired:
            p.kill()


if __name__ == "__main__":
    rc = 1
    try:
        rc = main()
    finally:
        stop_all()
    sys.exit(rc)
