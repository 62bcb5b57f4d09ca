# SPDX-License-Identifier: GPL-3.0-or-later
"""Takes three explanation screenshots of a real test, through AT-SPI.

Started by explanation_screenshots.sh inside a private X server and D-Bus
session: python3 explanation_screenshots.py <drobi binary> <output folder>.

It starts drobi, presses «Начать тест», reads the ten tasks from the names of
the rows' «=» labels, and types into three rows the answers of three kinds of
mistake:
  sign-twice         a minus typed in the whole-part box and again on the
                     numerator of a negative answer;
  mixed-to-improper  the mixed operand of a multiplication made improper as
                     (w + n)/d, the product written as the window writes it;
  slip               the right denominator with the numerator off by one.
The other rows get their right answers. It presses «Готово!», closes the
grade box, checks that each of the three verdicts explains itself with the
words of its kind, then hovers the mouse over each verdict and saves the
window with its tooltip as explanation-<kind>.png. A session whose tasks do
not give the three kinds their words is ended and a new one started.
"""

import math
import os
import signal
import subprocess
import sys
from fractions import Fraction

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests", "lib"))
from atspi_client import TASK, boxes, find, press, pump, showing, wait_for, walk  # noqa: E402

ROWS = 10
MULTIPLY, DIVIDE = "умножить на", "разделить на"

# The opening words of each kind's explanation, as fraction/diagnosis.cpp
# writes them, and the rows tried for it, most telling first.
KINDS = {
    "sign-twice": ("Ответ найден верно, но минус записан дважды", [1, 2, 6, 5, 4, 10]),
    "mixed-to-improper": ("Смешанн", [4, 9, 8]),
    "slip": ("Ход решения верный", [7, 2, 9, 10, 4, 1, 6, 3, 5, 8]),
}


def named(root, name):
    found = find(root, lambda a: a.name == name and showing(a))
    if not found:
        sys.exit(f"FAIL: no showing object named «{name}»")
    return found[0]


def parse(text):
    """An operand as the row's name reads it: "-1 1/4", "-2/3", "16"."""
    negative = text.startswith("-")
    parts = text.lstrip("-").split()
    magnitude = Fraction(0)
    for part in parts:
        magnitude += Fraction(part)
    return -magnitude if negative else magnitude


def split_mixed(x):
    """Sign, whole part, numerator and denominator of x's magnitude."""
    m = abs(x)
    return (-1 if x < 0 else 1), m.numerator // m.denominator, m.numerator % m.denominator, m.denominator


def is_mixed(x):
    _, w, n, _ = split_mixed(x)
    return w != 0 and n != 0


def sign_twice(a, b, op):
    """The right magnitude of a negative answer, with the minus both in the
    whole-part box and on the numerator."""
    e = a * b if op == MULTIPLY else a / b
    if e >= 0 or e.denominator == 1:
        return None
    whole, num, den = boxes(e)
    return (whole, "-" + num, den)


def mixed_to_improper(a, b, op):
    """Each mixed operand of a multiplication made improper as (w + n)/d."""
    if op != MULTIPLY or not (is_mixed(a) or is_mixed(b)):
        return None

    def wrongly(x):
        if not is_mixed(x):
            return x
        s, w, n, d = split_mixed(x)
        return s * Fraction(w + n, d)

    v, e = wrongly(a) * wrongly(b), a * b
    # Values the diagnosis names before this kind.
    if v in (e, -e, a / b) or (e != 0 and v == 1 / e):
        return None
    return boxes(v)


def slip(a, b, op):
    """The right denominator with the numerator one more or less than
    right, or the other way round; not reducible and not whole, so that it
    reads as a slip and nothing else. The answer's sign is kept."""
    e = a * b if op == MULTIPLY else a / b
    p, q = abs(e).numerator, abs(e).denominator
    for typed in ((p + 1, q), (p - 1, q), (p, q + 1), (p, q - 1)):
        if typed[0] >= 1 and typed[1] > 1 and math.gcd(*typed) == 1:
            return boxes(Fraction(*typed) if e > 0 else -Fraction(*typed))
    return None


MAKERS = {"sign-twice": sign_twice, "mixed-to-improper": mixed_to_improper, "slip": slip}


def read_tasks(window):
    tasks = {}
    for acc in walk(window):
        match = TASK.match(acc.name or "")
        if match:
            tasks[int(match[1])] = (parse(match[2]), parse(match[4]), match[3])
    if len(tasks) != ROWS:
        sys.exit(f"FAIL: read {len(tasks)} tasks, not {ROWS}")
    return tasks


def plan(tasks):
    """The typed boxes of every row, and the row of each kind."""
    typed, rows = {}, {}
    for kind, (_, preferred) in KINDS.items():
        for row in preferred:
            if row in typed:
                continue
            answer = MAKERS[kind](*tasks[row])
            if answer:
                typed[row], rows[kind] = answer, row
                break
        else:
            return None, None
    for row, (a, b, op) in tasks.items():
        if row not in typed:
            typed[row] = boxes(a * b if op == MULTIPLY else a / b)
    return typed, rows


def type_into(window, row, texts):
    for part, text in zip(("целая часть", "числитель", "знаменатель"), texts):
        box = named(window, f"Задание {row}, {part}")
        box.queryEditableText().setTextContents(text)
    pump(0.1)


def visible_windows(pid):
    """Geometry (x, y, width, height) of every mapped window of the program."""
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                         capture_output=True, text=True).stdout.split()
    found = []
    for wid in ids:
        shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", wid],
                               capture_output=True, text=True).stdout
        g = dict(line.split("=", 1) for line in shell.split())
        found.append((int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])))
    return found


def shoot(program, window, verdict, path):
    """Hovers the verdict, waits for its tooltip, and saves the window and
    the tooltip in one picture."""
    frame = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    label = verdict.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    # Away first, so that the tooltip of the previous verdict is gone.
    subprocess.run(["xdotool", "mousemove", str(frame.x + 5), str(frame.y + frame.height - 5)], check=True)
    wait_for("the previous tooltip to go", lambda: len(visible_windows(program.pid)) == 1, 10)
    subprocess.run(["xdotool", "mousemove", str(label.x + label.width // 3), str(label.y + label.height // 2)],
                   check=True)
    shown = wait_for("the verdict's tooltip", lambda: (lambda w: w if len(w) > 1 else None)(
        visible_windows(program.pid)), 10)
    pump(0.5)  # its fade-in
    left = min(x for x, _, _, _ in shown)
    top = min(y for _, y, _, _ in shown)
    right = max(x + w for x, _, w, _ in shown)
    bottom = max(y + h for _, y, _, h in shown)
    # The windows on a transparent ground: the X server's black root does
    # not show where the tooltip reaches beyond the window.
    root = path + ".root.png"
    subprocess.run(["import", "-window", "root", root], check=True)
    command = ["convert", "-size", f"{right - left}x{bottom - top}", "xc:none"]
    for x, y, w, h in shown:
        command += ["(", root, "-crop", f"{w}x{h}+{x}+{y}", "+repage", ")",
                    "-geometry", f"+{x - left}+{y - top}", "-composite"]
    subprocess.run(command + [path], check=True)
    os.remove(root)
    return right - left, bottom - top


def session(binary, out):
    """One test; False when its tasks do not give every kind its words."""
    program = subprocess.Popen([binary])
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for("drobi on the accessibility bus", lambda: next(
            (a for a in desktop if a is not None and a.name == "drobi"), None))
        window = app.getChildAtIndex(0)
        press(wait_for("«Начать тест»", lambda: find(window, lambda a: a.name == "Начать тест" and showing(a)))[0])
        wait_for("the task rows", lambda: find(window, lambda a: a.name == "Готово!" and showing(a)))
        pump(0.5)

        tasks = read_tasks(window)
        typed, rows = plan(tasks)
        if typed is None:
            print("these tasks give no row for every kind; a new test")
            return False
        for row in sorted(typed):
            type_into(window, row, typed[row])

        press(named(window, "Готово!"))
        press(wait_for("the grade box's «ОК»", lambda: find(
            app, lambda a: a.getRoleName() == "push button" and a.name == "ОК" and showing(a)))[0])
        pump(1.0)

        verdicts = {}
        for kind, row in rows.items():
            verdict = wait_for(f"row {row}'s verdict", lambda: find(
                window, lambda a: (a.name or "").startswith(f"Задание {row}: Ответ") and showing(a)))[0]
            explanation = (verdict.description or "").split("\n")[0]
            a, b, op = tasks[row]
            print(f"{kind}: row {row} ({a} {op} {b}), typed {typed[row]}: {explanation}")
            if not explanation.startswith(KINDS[kind][0]):
                print(f"row {row} is not explained as {kind}; a new test")
                return False
            verdicts[kind] = verdict

        # Qt shows tooltips only in the active window, and without a window
        # manager no window becomes active unless given the input focus.
        main = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(program.pid), "--name", "Тест"],
                              capture_output=True, text=True, check=True).stdout.split()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", main], check=True)
        pump(0.5)
        for kind, verdict in verdicts.items():
            path = os.path.join(out, f"explanation-{kind}.png")
            width, height = shoot(program, window, verdict, path)
            print(f"saved {path} ({width}x{height})")
        return True
    finally:
        program.kill()
        program.wait()


def main():
    # A timeout's SIGTERM still ends the program started by a session.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("FAIL: stopped by a timeout"))
    binary, out = sys.argv[1], sys.argv[2]
    for _ in range(5):
        if session(binary, out):
            return
    sys.exit("FAIL: five tests in a row did not give the three kinds their words")


if __name__ == "__main__":
    main()
