# SPDX-License-Identifier: GPL-3.0-or-later
"""Takes a test through the AT-SPI bus and fails if the answers leak.

Started by a11y_seal.sh inside a private X server and D-Bus session. It
starts drobi, presses «Начать тест» through its accessible action, and then
fails if any object that is not showing carries a digit in its name,
description, text or value, or if any change event about such an object
carries one. It presses «Готово!», closes the result box through its «ОК»
button, and checks that the revealed answer column is readable and that
every verdict now explains itself.
"""

import os
import re
import signal
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
import atspi_client  # noqa: E402
from atspi_client import find, press, pump, wait_for, walk  # noqa: E402

DIGIT = re.compile(r"\d")
events = []


def showing(acc):
    # An object that is gone says nothing more.
    return atspi_client.showing(acc, if_gone=True)


def settle(quiet=0.3, seconds=15):
    """Lets events arrive until none has come for `quiet` seconds: what the
    program sends about a step has all arrived (a busy machine waits longer,
    up to the deadline)."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        count = len(events)
        pump(quiet)
        if len(events) == count:
            return
    sys.exit(f"FAIL: events kept coming for {seconds} s")


def contents(acc):
    """Everything the object tells a client about what it holds."""
    parts = [acc.name or "", acc.description or ""]
    try:
        text = acc.queryText()
        parts.append(text.getText(0, text.characterCount))
    except NotImplementedError:
        pass
    try:
        parts.append(str(acc.queryValue().currentValue))
    except NotImplementedError:
        pass
    return " ".join(p for p in parts if p)


def on_event(event):
    data = event.any_data if isinstance(event.any_data, str) else ""
    events.append((event.type, event.source, data, showing(event.source)))


def leaks(root):
    return [f"{a.getRoleName()} {contents(a)!r}" for a in walk(root)
            if not showing(a) and DIGIT.search(contents(a))]


def event_leaks():
    return [f"{kind} {data!r}" for kind, _, data, shown in events
            if not shown and DIGIT.search(data)]


def main():
    # A timeout's SIGTERM still ends the program started below.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("FAIL: stopped by a timeout"))
    for kind in ("object:property-change:accessible-name",
                 "object:property-change:accessible-description",
                 "object:text-changed", "object:property-change:accessible-value"):
        pyatspi.Registry.registerEventListener(on_event, kind)

    program = subprocess.Popen([sys.argv[1]])
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for("drobi on the accessibility bus", lambda: next(
            (a for a in desktop if a is not None and a.name == "drobi"), None))
        window = app.getChildAtIndex(0)
        start = wait_for("«Начать тест»", lambda: find(
            window, lambda a: a.name == "Начать тест" and showing(a)))[0]

        press(start)
        wait_for("the task rows", lambda: find(
            window, lambda a: a.name == "Готово!" and showing(a)))
        settle()
        problems = leaks(window) + event_leaks()
        if problems:
            sys.exit("FAIL: hidden controls tell their content:\n  " + "\n  ".join(problems[:20]))
        print(f"running test: {sum(1 for _ in walk(window))} objects, "
              f"{len(events)} change events, nothing hidden carries a digit")

        press(find(window, lambda a: a.name == "Готово!")[0])
        ok = wait_for("the result box's «ОК»", lambda: find(
            app, lambda a: a.getRoleName() == "push button" and a.name == "ОК" and showing(a)))[0]
        press(ok)
        settle()

        answers = wait_for("the revealed answers", lambda: next(
            (a for a in walk(window) if a.name == "Ответы" and showing(a)), None))
        readable = [a.name for a in walk(answers) if a is not answers and showing(a) and DIGIT.search(a.name or "")]
        if len(readable) < 10:
            sys.exit(f"FAIL: the revealed answer column reads {readable}")
        problems = leaks(window) + event_leaks()
        if problems:
            sys.exit("FAIL: hidden controls tell their content:\n  " + "\n  ".join(problems[:20]))
        explained = [a for a in walk(window) if showing(a) and "Решение: " in (a.description or "")]
        if len(explained) != 10:
            sys.exit(f"FAIL: {len(explained)} verdicts explain themselves, not 10")
        print(f"graded: the answer column reads {' '.join(readable)}; 10 verdicts explained")
        print("1 passed, 0 failed")
    finally:
        program.kill()
        program.wait()


if __name__ == "__main__":
    main()
