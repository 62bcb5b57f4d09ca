# SPDX-License-Identifier: GPL-3.0-or-later
"""Further scenes of scripts/orca_check.sh, each a short transcript of what
Orca says, run inside its private X server and D-Bus session:

  name-refusal      drobi with name=ask: «Начать тест», then «Начать» with
                    the name blank
  class-pupil-test  the class window: a row chosen, the pupil's test opened
                    with Enter and read line by line with Down
  class-table-row   the class window: a row's cells, one Right arrow each
  practice-task     drobi --practice: the first task read, the right answer
                    typed, Enter on «Проверить»

usage: orca_check_scenes.py <drobi> <work> <scene>
The class window's scenes need classview/tests/make_class_records beside
drobi's build (cmake --build build --target make_class_records).
"""

import os
import re
import subprocess
import sys
import time
from fractions import Fraction

from orca_check_steps import start_orca, start_program, step, stop_all, xdotool

drobi, work, scene = sys.argv[1], sys.argv[2], sys.argv[3]
build = os.path.dirname(drobi)


def wait_window(title, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        found = xdotool("search", "--onlyvisible", "--name", title).split("\n")[0]
        if found:
            return found
        time.sleep(0.1)
    sys.exit(f"no window «{title}» appeared")


def name_refusal():
    conf = os.path.join(work, "drobi.conf")
    with open(conf, "w", encoding="utf-8") as f:
        f.write(f"[results]\nfolder={work}/results\nname=ask\n")
    if not start_program([drobi, "--settings", conf]):
        return 2
    step("window focused")
    step("Space on «Начать тест»: the dialog «Перед началом теста» opens", "space", quiet=1.5)
    wait_window("Перед началом теста")
    step("Enter on «Начать» with the name blank", "Return", quiet=1.5)
    step("Tab to the next field", "Tab")
    step("Shift+Tab back to the name", "shift+Tab")
    return 0


def class_window():
    folder = os.path.join(work, "results")
    maker = os.path.join(build, "classview", "tests", "make_class_records")
    subprocess.run([maker, folder, "12", "1", "--today"], check=True, stdout=subprocess.DEVNULL)
    win = start_program([os.path.join(build, "drobi-class"), folder], "результаты класса")
    if not win:
        sys.exit(2)
    xdotool("windowsize", win, "1250", "800")
    step("class window focused", quiet=1.5)
    # Tab through the filters to the tests table.
    for _ in range(15):
        if any("table" in said for said in step("Tab", "Tab")):
            return win
    sys.exit("Tab never reached the tests table")


def class_table_row():
    class_window()
    step("Down to the next row", "Down")
    for _ in range(12):
        step("Right to the next cell", "Right", quiet=0.6)
    return 0


def class_pupil_test():
    class_window()
    step("Down to the next row", "Down")
    step("Enter: the pupil's test opens", "Return", quiet=2)
    xdotool("windowfocus", "--sync", wait_window("^Тест: "))
    step("the pupil's test focused (as a window manager would)", quiet=2)
    for _ in range(12):
        step("Down to the next line", "Down", quiet=0.6)
    return 0


# A task as the practice writes it: «−1 1/4 · (−2/3)», «8 : 1/4».
TASK = re.compile(r"(-?\d+(?: \d+/\d+|/\d+)?) ([·:]) \(?(-?\d+(?: \d+/\d+|/\d+)?)\)?")


def value(text):
    negative = text.startswith("-")
    magnitude = sum((Fraction(p) for p in text.lstrip("-").split()), Fraction(0))
    return -magnitude if negative else magnitude


def boxes(v):
    sign = "-" if v < 0 else ""
    whole, rest = divmod(abs(v).numerator, abs(v).denominator)
    if rest == 0:
        return [sign + str(whole), "", ""]
    return [sign + str(whole) if whole else sign, str(rest), str(abs(v).denominator)]


def practice_task():
    if not start_program([drobi, "--practice"], "Работа над ошибками"):
        return 2
    said = " ".join(step("practice window focused: the first task", quiet=1.5))
    plain = said.replace("\u2212", "-").replace("\u00a0", " ").replace("\u202f", " ")
    m = TASK.search(plain)
    if not m:
        print(f"no task found in {said!r}", file=sys.stderr)
        return 1
    a, b = value(m[1]), value(m[3])
    answer = boxes(a * b if m[2] == "·" else a / b)
    for i, text in enumerate(answer):
        if text:
            step(f"type {text}", typed=text)
        if i < 2:
            step("Tab to the next box", "Tab")
    step("Enter: «Проверить»", "Return", quiet=1.5)
    step("Tab on", "Tab")
    return 0


SCENES = {"name-refusal": name_refusal, "class-pupil-test": class_pupil_test,
          "class-table-row": class_table_row, "practice-task": practice_task}

if __name__ == "__main__":
    rc = 1
    try:
        if scene not in SCENES:
            sys.exit(f"unknown scene {scene!r}: one of {', '.join(SCENES)}")
        rc = start_orca() and SCENES[scene]()
        rc = 2 if rc is False else rc
    finally:
        stop_all()
    sys.exit(rc)
