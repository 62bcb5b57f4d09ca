# SPDX-License-Identifier: GPL-3.0-or-later
"""An AT-SPI client's toolkit for the scripts that drive the real window as a
screen reader would (tests/a11y_seal.py, tests/results_window.py,
scripts/explanation_screenshots.py): letting events arrive, walking the
tree, pressing, waiting for something with a deadline, and reading the tasks
as the rows' «=» labels say them.

Imported with tests/lib on sys.path; runs inside lib/a11y_bus.sh.
"""

import re
import sys
import time
from fractions import Fraction

import pyatspi
from gi.repository import GLib

# A row's «=» label: «Задание 4: -1 1/4 умножить на -2/3 =».
TASK = re.compile(r"^Задание (\d+): (.+) (умножить на|разделить на) (.+) =$")
MULTIPLY = "умножить на"


def pump(seconds):
    """Lets events arrive for a while."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def showing(acc, if_gone=False):
    """Whether the object is on screen; `if_gone` for an object that is gone."""
    try:
        return acc.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return if_gone


def walk(acc):
    yield acc
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def find(root, predicate):
    return [a for a in walk(root) if predicate(a)]


def shown_names(root):
    return [a.name for a in walk(root) if showing(a) and a.name]


def press(acc):
    action = acc.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press"))


def wait_for(what, getter, seconds=15):
    """What `getter` returns once it is something, or the test fails."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        pump(0.1)
        found = getter()
        if found:
            return found
    sys.exit(f"FAIL: {what} did not appear within {seconds} s")


def application(name="drobi"):
    desktop = pyatspi.Registry.getDesktop(0)
    return wait_for(f"{name} on the accessibility bus", lambda: next(
        (a for a in desktop if a is not None and a.name == name), None))


def operand(text):
    """A value as the window writes it: "-1 1/4", "-2/3", "16"."""
    negative = text.startswith("-")
    magnitude = sum((Fraction(part) for part in text.lstrip("-").split()), Fraction(0))
    return -magnitude if negative else magnitude


def read_tasks(window):
    """Row (0..9) -> (a, b, multiplies) of every task shown."""
    tasks = {}
    for name in shown_names(window):
        match = TASK.match(name)
        if match:
            tasks[int(match[1]) - 1] = (operand(match[2]), operand(match[4]), match[3] == MULTIPLY)
    return tasks


def boxes(v):
    """The three boxes (whole part, numerator, denominator) of v as the window
    writes it; a whole number in the whole-part box alone."""
    sign = "-" if v < 0 else ""
    magnitude = abs(v)
    whole, rest = divmod(magnitude.numerator, magnitude.denominator)
    if rest == 0:
        return sign + str(whole), "", ""
    return (sign + str(whole) if whole else sign), str(rest), str(magnitude.denominator)


def written(v):
    """v on one line as the window writes it: "-1 1/4", "-1/20", "6"."""
    whole, num, den = boxes(v)
    if not num:
        return whole
    return whole + (" " if whole not in ("", "-") else "") + num + "/" + den
