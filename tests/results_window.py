# SPDX-License-Identifier: GPL-3.0-or-later
"""A pupil's test from the window to the teacher's folder, for real.

Started by results_window.sh inside a private X server, D-Bus session and
AT-SPI bus, with a settings file whose results folder is a mounted Samba
share. It starts drobi, presses «Начать тест» by keyboard, types a name and a
class into the dialog (after trying to start with the name blank), reads the
tasks as a screen reader hears them, types right answers into some rows,
wrong ones into others and leaves one row empty, and presses «Готово!». The
grade box opens at once and, once the record is in the share, says in place
that the result reached the teacher, which a screen reader hears as a
notification; the record in the share must say what the window showed: the
name, what was typed, each row's verdict, the counts, the grade and the
revealed answers.

usage: results_window.py <drobi> <settings file> <results folder> <screenshots folder>
"""

import json
import os
import re
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
from atspi_client import application, boxes, written, pump, read_tasks, shown_names, showing, wait_for, walk  # noqa: E402

NAME = "Иванова Мария"
CLASS = "6Б"


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "30", *names], check=True)


def type_text(text):
    if text:
        subprocess.run(["xdotool", "type", "--delay", "30", "--", text], check=True)


def focus(pid, title):
    """Gives the keyboard to the program's window of that title: without a
    window manager no window gets it by itself."""
    window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(pid), "--name", title],
                            check=True, capture_output=True, text=True, timeout=20).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=20)


def type_into(field, text):
    """Types into a field by keyboard until it holds `text`: xdotool maps a
    letter the keyboard lacks onto a spare key first, and a key pressed
    while that happens can be lost."""
    for _ in range(3):
        type_text(text)
        end = time.monotonic() + 3
        while time.monotonic() < end:
            pump(0.1)
            if field.queryText().getText(0, -1) == text:
                return
        keys("ctrl+a", "BackSpace")
    sys.exit(f"FAIL: {text!r} could not be typed into {field.name!r}")


def screenshot(folder, name):
    subprocess.run(["import", "-window", "root", os.path.join(folder, name)], check=False)


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("FAIL: stopped by a timeout"))
    drobi, settings, folder, shots = sys.argv[1:5]
    os.makedirs(shots, exist_ok=True)
    program = subprocess.Popen([drobi, "--settings", settings])
    try:
        app = application()
        window = app.getChildAtIndex(0)
        wait_for("«Начать тест»", lambda: "Начать тест" in shown_names(window))
        focus(program.pid, "Тест для 6 класса")
        # The start button has the focus.
        keys("space")
        dialog = wait_for("the dialog «Перед началом теста»", lambda: next(
            (a for a in app if a is not None and a.name == "Перед началом теста" and showing(a)), None))
        # Starting with the name blank is refused, with a word beside the field.
        before = set(shown_names(dialog))
        keys("Return")
        refusal = wait_for("the refusal of a blank name", lambda: [
            n for n in shown_names(dialog) if n not in before and re.search("[а-я]", n)])
        if "Готово!" in shown_names(window):
            sys.exit("FAIL: the test started with the name blank")
        screenshot(shots, "results-name-dialog-refused.png")
        fields = {a.name: a for a in walk(dialog) if a.getRoleName() == "text"}
        type_into(fields["Фамилия и имя"], NAME)
        keys("Tab")
        type_into(fields["Класс"], CLASS)
        screenshot(shots, "results-name-dialog.png")
        keys("Return")
        wait_for("the task rows", lambda: "Готово!" in shown_names(window))
        focus(program.pid, "Тест для 6 класса")

        tasks = {row: a * b if multiplies else a / b for row, (a, b, multiplies) in read_tasks(window).items()}
        if sorted(tasks) != list(range(10)):
            sys.exit(f"FAIL: the tasks read {sorted(tasks)}")

        # Rows 0-6 right, row 7 wrong (the value doubled), row 8 empty, row
        # 9 with the wrong sign: three wrong, grade 2.
        typed = {}
        for r in range(10):
            v = tasks[r]
            typed[r] = boxes(v) if r <= 6 else boxes(2 * v) if r == 7 else ("", "", "") if r == 8 else boxes(-v)
            for i, text in enumerate(typed[r]):
                type_text(text)
                keys("Tab")
        # After the last box comes «Готово!».
        keys("space")
        ok = wait_for("the grade box", lambda: [
            a for a in walk(app) if a.getRoleName() == "push button" and a.name == "ОК" and showing(a)])[0]
        box = ok.parent
        while box is not None and box.getRoleName() not in ("dialog", "alert", "frame", "window"):
            box = box.parent
        wait_for("the screen reader told the result arrived", lambda: [
            a for a in walk(box or app) if a.getRoleName() == "notification" and showing(a)
            and a.name == "Результат передан учителю."])
        said = " ".join(shown_names(box or app))
        screenshot(shots, "results-grade-box.png")
        if "Ваша оценка 2. Вам нужно повторить тему" not in said or "Результат передан учителю." not in said:
            sys.exit(f"FAIL: the grade box says {said!r}")
        keys("Return")
        wait_for("the revealed answers", lambda: "Ответы" in shown_names(window))
        pump(0.5)
        names = shown_names(window)
        verdicts = [n for n in names if n.endswith("Ответ верный.") or n.endswith("Ответ неверный.")]
        right_shown = sum(n.endswith("Ответ верный.") for n in verdicts)

        records = [f for f in os.listdir(folder) if f.endswith(".drobi.json")]
        leftovers = [f for f in os.listdir(folder) if not f.endswith(".drobi.json")]
        if len(records) != 1 or leftovers:
            sys.exit(f"FAIL: the folder holds {records} and {leftovers}")
        with open(os.path.join(folder, records[0]), encoding="utf-8") as f:
            record = json.load(f)
        problems = []
        expect = {"status": "graded", "right": 7, "wrong": 3, "grade": 2, "timeRanOut": False}
        problems += [f"{k} {record[k]!r}, not {v!r}" for k, v in expect.items() if record[k] != v]
        if record["pupil"]["name"] != NAME or record["pupil"]["class"] != CLASS:
            problems.append(f"pupil {record['pupil']}")
        if len(verdicts) != 10 or right_shown != record["right"]:
            problems.append(f"the window shows {right_shown} right of {len(verdicts)} verdicts")
        for r, row in enumerate(record["rows"]):
            t = row["typed"]
            if (t["whole"], t["numerator"], t["denominator"]) != typed[r]:
                problems.append(f"row {r + 1} typed {t}, not {typed[r]}")
            if row["right"] != (r <= 6):
                problems.append(f"row {r + 1} right {row['right']}")
            if row["answer"] != written(tasks[r]):
                problems.append(f"row {r + 1} answer {row['answer']}, not {written(tasks[r])}")
            if not row["right"] and (not row["mistake"] or not row["explanation"]):
                problems.append(f"row {r + 1} has no mistake named")
        if record["rows"][8]["mistake"] != "no-answer":
            problems.append(f"the empty row's mistake is {record['rows'][8]['mistake']!r}")
        if problems:
            sys.exit("FAIL: the record does not say what the window showed:\n  " + "\n  ".join(problems))
        print(f"record {records[0]}: {record['pupil']['name']}, {record['pupil']['class']}, "
              f"{record['right']} right, grade {record['grade']}, as the window showed; "
              f"a blank name refused with {refusal[0]!r}")
        print("1 passed, 0 failed")
    finally:
        program.kill()
        program.wait()


if __name__ == "__main__":
    main()
