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
revealed answers. The school sets «Работа над ошибками» after the test:
the grade box's second button opens it, one task is read from the answer
box's description, answered right by keyboard and checked («Верно»), and the
window closed; the practice record reaches the share, and the class window's
CSV export shows it in the column «Работа над ошибками».

usage: results_window.py <drobi> <settings file> <results folder> <screenshots folder>
"""

import csv
import io
import json
import os
import re
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
from atspi_client import application, boxes, operand, written, pump, read_tasks, shown_names, showing, wait_for, walk  # noqa: E402
import pyatspi  # noqa: E402

PRACTICE = "Работа над ошибками"

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


def press_by_keyboard(button):
    """Tabs to a button, then presses it with the space bar."""
    for _ in range(8):
        pump(0.2)
        if button.getState().contains(pyatspi.STATE_FOCUSED):
            keys("space")
            return
        keys("Tab")
    sys.exit(f"FAIL: {button.name!r} never had the keyboard")


def practise_one_task(app, pid):
    """In the practice window: past the example, one task read from the
    answer box's description ("−1 1/2 · 1/3", "1/2 : (−1/3)"), answered right
    and checked with Enter; then the window closed with Escape."""
    window = wait_for("the practice window", lambda: next(
        (a for a in app if a is not None and a.name == PRACTICE and showing(a)), None))
    # Qt gives the dialog the keyboard as it opens (the main window keeps
    # the focus a search by title might hand back to it).
    press_by_keyboard(wait_for("«Дальше»", lambda: next(
        (a for a in walk(window) if a.getRoleName() == "push button" and a.name == "Дальше" and showing(a)), None)))
    whole = wait_for("the task's boxes", lambda: next(
        (a for a in walk(window) if a.name == "Целая часть" and showing(a)), None))
    line = wait_for("the task's line", lambda: whole.description)
    plain = line.replace("\u2212", "-").replace("\u00a0", " ").replace("(", "").replace(")", "")
    a, b = re.split(" [·:] ", plain)
    v = operand(a) * operand(b) if "·" in plain else operand(a) / operand(b)
    for i, text in enumerate(boxes(v)):
        type_text(text)
        if i < 2:
            keys("Tab")
    keys("Return")
    wait_for("«Верно»", lambda: "Верно" in shown_names(window))
    print(f"practice: {line} = {written(v)}, «Верно»")
    keys("Escape")


def class_column(drobi, folder, work):
    """«Проверка» and «Работа над ошибками» of each test in the class
    window's CSV export."""
    out = os.path.join(work, "class.csv")
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    subprocess.run([drobi, "--class", folder, "--export", out, "--date", "all"], check=True, env=env, timeout=30)
    with open(out, encoding="utf-8-sig") as f:
        rows = list(csv.reader(io.StringIO(f.read()), delimiter=";"))
    return [(r[rows[0].index("Проверка")], r[rows[0].index(PRACTICE)]) for r in rows[1:]]


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
        press_by_keyboard(wait_for("the grade box's «Работа над ошибками»", lambda: next(
            (a for a in walk(box or app) if a.getRoleName() == "push button" and a.name == PRACTICE), None)))
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

        practise_one_task(app, program.pid)
        practices = wait_for("the practice record in the share", lambda: [
            f for f in os.listdir(folder) if f.endswith(".drobi-practice.json")])
        with open(os.path.join(folder, practices[0]), encoding="utf-8") as f:
            practice = json.load(f)
        if practice.get("test") != record["id"]:
            sys.exit(f"FAIL: the practice names the test {practice.get('test')!r}, not {record['id']!r}")
        column = class_column(drobi, folder, os.path.dirname(os.path.abspath(settings)))
        print(f"class window's CSV, «Проверка» and «{PRACTICE}»: {column}")
        # One kind begun, one task right, closed before mastered; the share
        # writes every file as its own account, so the login the record gives
        # is not the file's owner: where that makes the test «не сходится»,
        # the practice written the same way is too.
        check = column[0][0] if len(column) == 1 else ""
        if column != [(check, "0 из 1 освоено" + ("" if check == "сходится" else "; " + check))]:
            sys.exit(f"FAIL: the class window's column says {column}")
        print("1 passed, 0 failed")
    finally:
        program.kill()
        program.wait()


if __name__ == "__main__":
    main()
