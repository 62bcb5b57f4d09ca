# SPDX-License-Identifier: GPL-3.0-or-later
"""A lesson of 30 pupils of 6Б and the teacher's class window watching it.

Run by bench/class_lesson.sh inside one Xvfb with a private D-Bus session
and AT-SPI bus (tests/lib/a11y_bus.sh). The pupils' windows are driven by
xdotool alone (they stay off the accessibility bus); the class window is
read through AT-SPI, as a screen reader would read its «Список класса».

The plan (seeded, the same every run): the class list holds 6А, 6Б and 6В;
of the 30 pupils of 6Б one never comes (no window), one opens the window
and never presses «Начать тест», two are logged out mid-test (SIGTERM:
«не закончил»), nine let the clock run out, one of them with all ten
answers right (a whole answer in the whole-part box alone), and seventeen
press «Готово!» at staggered times. Windows open in waves of five; each
pupil presses «Начать тест», chooses the class and then the name by
typing part of the surname (the fewest keys that reach the name through
the list's popup), and «Начать». The answers typed are worked out from the
tasks in the pupil's «running» record in the teacher's folder (the record
holds no answer key).

Every 5 s the script reads the class window's «Список класса» (each
pupil's state) and the load average. At the end it prints the summary: the
keys each pupil's name dialog took, who was shown «пишет тест» and for how
long, the final states, the records in the folder, and the grade of the
all-right pupil whose clock ran out.

usage: class_lesson.py <build> <work> <pupils' folder> <teacher's folder> <minutes> [screenshots folder]
"""

from fractions import Fraction
import json
import os
import random
import signal
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "lib"))
import pyatspi  # noqa: E402
from atspi_client import pump, walk, wait_for  # noqa: E402

CLASS = "6Б"
PUPILS = [
    "Алексеев Дмитрий", "Белов Андрей", "Белова Анастасия", "Васильев Кирилл", "Григорьева Полина",
    "Давыдов Артём", "Егорова Виктория", "Жуков Максим", "Зайцева Дарья", "Иванов Никита",
    "Иванова Мария", "Ковалёв Семён", "Ковалёва Софья", "Лебедев Егор", "Морозова Алиса",
    "Новиков Тимофей", "Орлова Ксения", "Павлов Матвей", "Романова Вероника", "Соколов Иван",
    "Соколова Анна", "Тихонова Ульяна", "Фёдоров Глеб", "Харитонова Ева", "Цветков Лев",
    "Чернова Милана", "Шарапов Роман", "Щербакова Василиса", "Юдин Марк", "Яковлева Варвара",
]
OTHERS = {"6А": ["Андреева Ольга", "Борисов Павел", "Волкова Елена"],
          "6В": ["Гусев Олег", "Дмитриева Нина", "Ершов Антон"]}
WAVE = 5
POLL = 5.0

build, work, pupil_folder, teacher_folder, minutes = sys.argv[1:6]
shots = sys.argv[6] if len(sys.argv) > 6 else ""
minutes = int(minutes)
started = []
t0 = time.monotonic()


def now():
    return time.monotonic() - t0


def xdotool(*args, timeout=20):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=timeout).stdout.split()


def window_of(pid, title):
    found = xdotool("search", "--all", "--onlyvisible", "--pid", str(pid), "--name", title)
    return found[0] if found else ""


def plan():
    rng = random.Random(6)
    roles = ["done"] * 17 + ["timeout"] * 8 + ["all-right", "unfinished", "unfinished", "never-starts", "absent"]
    rng.shuffle(roles)
    pupils = []
    for name, role in zip(PUPILS, roles):
        pupils.append({"name": name, "role": role, "keys": None, "tries": 0, "start": None,
                       "after": rng.uniform(25, 150) if role == "done" else rng.uniform(50, 100),
                       "rows": rng.randint(3, 10), "done": role in ("absent", "never-starts")})
    return pupils


def write_settings():
    os.makedirs(work, exist_ok=True)
    classes = os.path.join(work, "classes.csv")
    with open(classes, "w", encoding="utf-8") as f:
        f.write("Класс;Ученик\n")
        for group, names in [("6А", OTHERS["6А"]), (CLASS, PUPILS), ("6В", OTHERS["6В"])]:
            f.writelines(f"{group};{n}\n" for n in names)
    paths = {}
    for who, folder in (("pupil", pupil_folder), ("teacher", teacher_folder)):
        paths[who] = os.path.join(work, f"{who}.conf")
        with open(paths[who], "w", encoding="utf-8") as f:
            f.write(f"[results]\nfolder={folder}\nname=ask\nclasses={classes}\n[test]\nminutes={minutes}\n")
    return paths


def name_keys(name):
    """The fewest keys that choose `name` from the class's list by typing part
    of the surname: letters, Down to the name in the popup, Enter."""
    best = None
    surname = name.split()[0].lower()
    for k in range(1, len(surname) + 1):
        typed = surname[:k]
        matches = [n for n in PUPILS if typed in n.lower()]
        cost = k + matches.index(name) + 1 + 1
        if best is None or cost < best[0]:
            best = (cost, typed, matches.index(name) + 1)
    return best


def key(*names):
    subprocess.run(["xdotool", "key", "--delay", "25", *names], check=True, timeout=30)


def type_text(text):
    if text:
        subprocess.run(["xdotool", "type", "--delay", "25", "--", text], check=True, timeout=30)


def focus(window):
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=False, timeout=20)


def wait_until(test, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = test()
        if found:
            return found
        time.sleep(0.1)
    return None


def begin(p):
    """«Начать тест», the class, the name, «Начать»: the keys the dialog took."""
    pid = p["proc"].pid
    main = wait_until(lambda: window_of(pid, "Тест для 6 класса"), 30)
    if not main:
        sys.exit(f"FAIL: {p['name']}'s window did not appear")
    p["window"] = main
    for attempt in range(3):
        focus(main)
        key("space")
        dialog = wait_until(lambda: window_of(pid, "Перед началом теста"), 10)
        if not dialog:
            continue
        focus(dialog)
        cost, typed, downs = name_keys(p["name"])
        type_text("6б")
        key("Tab")
        type_text(typed)
        time.sleep(0.3)
        key(*["Down"] * downs, "Return", "Return")
        p["tries"] += 1
        if wait_until(lambda: not window_of(pid, "Перед началом теста"), 5):
            p["keys"] = 2 + 1 + cost + 1
            p["start"] = now()
            return
        # Refused or a key lost: the dialog is closed and tried again.
        key("Escape")
        time.sleep(0.5)
    sys.exit(f"FAIL: {p['name']} could not start the test")


def record_of(name, status=None):
    for entry in os.listdir(teacher_folder):
        if not entry.endswith(".drobi.json"):
            continue
        try:
            with open(os.path.join(teacher_folder, entry), encoding="utf-8") as f:
                record = json.load(f)
        except (OSError, ValueError):
            continue
        if record["pupil"]["name"] == name and (status is None or record["status"] == status):
            return record
    return None


def value(text):
    """A written value as a Fraction: «-1 1/4», «3/4», «6»."""
    sign = -1 if text.startswith("-") else 1
    total = Fraction(0)
    for part in text.lstrip("-").split():
        total += Fraction(part)
    return sign * total


def right_answer(row):
    """The row's answer as the program writes it: «-1 1/4», «-3/4», «6»."""
    a, b = value(row["a"]), value(row["b"])
    v = a * b if row["operation"] == "*" else a / b
    sign = "-" if v < 0 else ""
    v = abs(v)
    whole, rest = divmod(v.numerator, v.denominator)
    if rest == 0:
        return sign + str(whole)
    fraction = f"{rest}/{v.denominator}"
    return sign + (f"{whole} {fraction}" if whole else fraction)


def boxes(answer):
    """An answer as the three boxes take it: «-1 1/4» → -1, 1, 4; «6» in the
    whole-part box alone; «-3/4» → -, 3, 4."""
    sign = "-" if answer.startswith("-") else ""
    parts = answer.lstrip("-").split()
    if "/" not in parts[-1]:
        return sign + parts[0], "", ""
    num, den = parts[-1].split("/")
    return sign + (parts[0] if len(parts) == 2 else ""), num, den


def type_answers(p, rows):
    """Right answers into the first `rows` rows, then Tab on to «Готово!»."""
    record = wait_until(lambda: record_of(p["name"], "running"), 20)
    if not record:
        sys.exit(f"FAIL: no running record of {p['name']} in the folder")
    # The window is given the keyboard again before every box: another
    # pupil's grade box, opening when that pupil's time runs out, takes it
    # (there is no window manager to keep it where it was).
    for r in range(10):
        for text in boxes(right_answer(record["rows"][r])) if r < rows else ("", "", ""):
            focus(p["window"])
            type_text(text)
            key("Tab")


def windows(pid):
    return xdotool("search", "--all", "--onlyvisible", "--pid", str(pid), "--name", ".")


def press_done(p):
    """«Готово!» (the focus is on it after the last box), until the grade box
    opens; False when it did not."""
    for _ in range(3):
        focus(p["window"])
        key("space")
        if wait_until(lambda: len(windows(p["proc"].pid)) > 1, 5):
            return True
        p["presses"] = p.get("presses", 1) + 1
    return False


class Roster:
    """The class window's «Список класса», read through AT-SPI."""

    def __init__(self, pid):
        desktop = pyatspi.Registry.getDesktop(0)
        self.app = wait_for("the class window on the accessibility bus", lambda: next(
            (a for a in desktop if a is not None and a.get_process_id() == pid), None), 30)
        tab = wait_for("the tab «Список класса»", lambda: [
            a for a in walk(self.app) if a.getRoleName() == "page tab" and "Список класса" in a.name.replace("&", "")])[0]
        # Clicked where it is on screen, as the teacher would.
        box = tab.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2), "click", "1"],
                       check=True, timeout=20)
        self.table = wait_for("the table «Список класса»", lambda: [
            a for a in walk(self.app) if a.getRoleName() == "table" and a.name == "Список класса"])[0]
        self.log = []

    def read(self):
        pump(0.05)
        table = self.table.queryTable()
        states = {}
        for r in range(table.nRows):
            states[table.getAccessibleAt(r, 0).name] = table.getAccessibleAt(r, 1).name
        self.log.append((now(), states, os.getloadavg()[0]))
        return states


def start_class_window(settings):
    env = dict(os.environ)
    proc = subprocess.Popen([os.path.join(build, "drobi-class"), "--settings", settings, "--group", CLASS],
                            env=env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "class.err"), "w"))
    started.append(proc)
    window = wait_until(lambda: window_of(proc.pid, "результаты класса"), 30)
    if not window:
        sys.exit("FAIL: the class window did not appear")
    xdotool("windowsize", window, "900", "1150")
    xdotool("windowmove", window, "700", "0")
    return proc, window


def start_pupil(p, settings):
    home = os.path.join(work, "home", str(PUPILS.index(p["name"])))
    os.makedirs(home, exist_ok=True)
    env = {k: v for k, v in os.environ.items() if k != "QT_LINUX_ACCESSIBILITY_ALWAYS_ON"}
    env.update(HOME=home, XDG_DATA_HOME=os.path.join(home, "data"))
    p["proc"] = subprocess.Popen([os.path.join(build, "drobi"), "--settings", settings], env=env,
                                 stdout=subprocess.DEVNULL, stderr=open(os.path.join(home, "drobi.err"), "w"))
    started.append(p["proc"])


def due(p, t):
    """The pupil's next step if its time has come: «Готово!» or the logout."""
    if p["role"] not in ("done", "unfinished") or p["done"] or p["start"] is None or t < p["start"] + p["after"]:
        return
    if p["role"] == "done":
        type_answers(p, p["rows"])
        if not press_done(p):
            print(f"{p['name']}: «Готово!» did not open the grade box", file=sys.stderr)
    elif p["role"] == "unfinished":
        p["proc"].send_signal(signal.SIGTERM)
    p["done"] = True
    p["ended"] = now()


def screenshot(window):
    if shots:
        subprocess.run(["xdotool", "windowraise", window], check=False)
        time.sleep(1.5)
        subprocess.run(["import", "-window", window, os.path.join(shots, "class-live-writing.png")], check=False)


def run_lesson(pupils, roster, class_window):
    last_poll = -POLL
    shot = False

    def tick():
        nonlocal last_poll, shot
        t = now()
        for p in pupils:
            due(p, now())
        if t - last_poll >= POLL:
            last_poll = t
            states = roster.read()
            writing = sum(s.startswith("пишет тест, 1 мин") or s.startswith("пишет тест, 2 мин") for s in states.values())
            if not shot and writing >= 5:
                screenshot(class_window)
                shot = True

    coming = [p for p in pupils if p["role"] != "absent"]
    for w in range(0, len(coming), WAVE):
        wave = coming[w:w + WAVE]
        for p in wave:
            start_pupil(p, settings["pupil"])
        for p in wave:
            if p["role"] == "never-starts":
                p["window"] = wait_until(lambda: window_of(p["proc"].pid, "Тест для 6 класса"), 30)
                continue
            begin(p)
            if p["role"] in ("all-right", "timeout"):
                type_answers(p, 10 if p["role"] == "all-right" else p["rows"])
            tick()
    last_start = max(p["start"] for p in pupils if p["start"] is not None)
    end = last_start + minutes * 60 + 15
    while now() < end:
        tick()
        time.sleep(0.2)
    roster.read()


def summary(pupils, roster):
    print()
    print("== the name dialog: keys typed per pupil (class, Tab, letters, Down, Enter, «Начать»)")
    keys = [p["keys"] for p in pupils if p["keys"] is not None]
    print(f"   {len(keys)} pupils: min {min(keys)}, median {statistics.median(keys):g}, max {max(keys)}; "
          f"tried twice: {sum(p['tries'] > 1 for p in pupils)}")
    print("== what the class window's «Список класса» showed (polls every 5 s)")
    first = {}
    ended = {}
    for t, states, _ in roster.log:
        for name, state in states.items():
            if state.startswith("пишет тест"):
                first.setdefault(name, t)
            elif name in first and state in ("сдал", "не закончил"):
                ended.setdefault(name, (t, state))
    final = roster.log[-1][1]
    header = f"   {'pupil':<22} {'plan':<13} {'keys':>4} {'writing from':>12} {'until':>6} {'shown':>6}  final"
    print(header)
    for p in pupils:
        n = p["name"]
        f = f"{first[n]:.0f} s" if n in first else "-"
        e = f"{ended[n][0]:.0f} s" if n in ended else "-"
        span = f"{ended[n][0] - first[n]:.0f} s" if n in ended else "-"
        print(f"   {n:<22} {p['role']:<13} {p['keys'] or '-':>4} {f:>12} {e:>6} {span:>6}  {final.get(n, '(missing)')}")
    counts = {}
    for state in final.values():
        counts[state] = counts.get(state, 0) + 1
    spans = [ended[n][0] - first[n] for n in ended]
    print(f"   shown «пишет тест»: {len(first)} pupils; until «сдал»/«не закончил»: "
          f"min {min(spans):.0f} s, median {statistics.median(spans):.0f} s, max {max(spans):.0f} s")
    for how, roles in (("«Готово!»", ("done",)), ("the logout", ("unfinished",)), ("the clock", ("timeout", "all-right"))):
        late = [ended[p["name"]][0] - p.get("ended", p["start"] + minutes * 60)
                for p in pupils if p["name"] in ended and p["role"] in roles]
        print(f"   from {how} to the first poll showing it: median {statistics.median(late):.0f} s, "
              f"max {max(late):.0f} s ({len(late)} pupils)")
    print(f"   final states of {len(final)} pupils: " + ", ".join(f"{s} {c}" for s, c in sorted(counts.items())))
    return final


def check_records(pupils):
    files = sorted(os.listdir(teacher_folder))
    records = []
    for entry in files:
        if entry.endswith(".drobi.json"):
            with open(os.path.join(teacher_folder, entry), encoding="utf-8") as f:
                records.append(json.load(f))
    others = [f for f in files if not f.endswith(".drobi.json")]
    names = [r["pupil"]["name"] for r in records]
    doubles = sorted({n for n in names if names.count(n) > 1})
    began = sum(p["start"] is not None for p in pupils)
    by_status = {}
    for r in records:
        s = r["status"] + (", time ran out" if r.get("timeRanOut") else "")
        by_status[s] = by_status.get(s, 0) + 1
    print(f"== records in the folder: {len(records)} for {began} tests started; doubles: {doubles or 'none'}; "
          f"other files: {others or 'none'}")
    print("   " + ", ".join(f"{s} {c}" for s, c in sorted(by_status.items())))
    # Each record as planned: «Готово!» before the clock, the clock run out,
    # or the logout.
    want = {"done": ("graded", False), "timeout": ("graded", True), "all-right": ("graded", True),
            "unfinished": ("unfinished", False)}
    unplanned = [r["pupil"]["name"] for r in records for p in pupils if p["name"] == r["pupil"]["name"]
                 and (r["status"], bool(r.get("timeRanOut"))) != want[p["role"]]]
    print(f"   records not as planned: {unplanned or 'none'}; «Готово!» pressed again: "
          f"{[p['name'] for p in pupils if p.get('presses')] or 'never'}")
    best = next(p for p in pupils if p["role"] == "all-right")
    mine = [r for r in records if r["pupil"]["name"] == best["name"]]
    for r in mine:
        print(f"== all ten right, clock ran out: {best['name']}: {len(mine)} record(s), status {r['status']}, "
              f"time ran out {r['timeRanOut']}, right {r['right']}, grade {r['grade']}")
    problems = []
    if unplanned:
        problems.append("some records are not as planned")
    if doubles or others or len(records) != began:
        problems.append("the folder does not hold one record per test")
    if len(mine) != 1 or mine[0]["grade"] != 5 or not mine[0]["timeRanOut"]:
        problems.append("the all-right pupil whose time ran out did not get one record graded 5")
    return problems


def expected(p):
    return {"absent": "не начинал", "never-starts": "не начинал", "unfinished": "не закончил"}.get(p["role"], "сдал")


def main():
    global settings
    settings = write_settings()
    # A Russian keyboard: xdotool then finds every letter on a key of its
    # own instead of remapping a spare key for each, which can lose a key.
    subprocess.run(["setxkbmap", "-layout", "ru"], check=True)
    pupils = plan()
    class_proc, class_window = start_class_window(settings["teacher"])
    roster = Roster(class_proc.pid)
    run_lesson(pupils, roster, class_window)
    final = summary(pupils, roster)
    problems = check_records(pupils)
    wrong = [f"{p['name']}: {final.get(p['name'])}, not {expected(p)}" for p in pupils if final.get(p["name"]) != expected(p)]
    if wrong:
        problems.append("the final states differ from the plan: " + "; ".join(wrong))
    loads = [load for _, _, load in roster.log]
    print(f"== load average (1 min) during the lesson: mean {statistics.mean(loads):.1f}, max {max(loads):.1f} "
          f"on {os.cpu_count()} cores; lesson {now():.0f} s")
    if problems:
        print("FAIL: " + "; ".join(problems))
        return 1
    print("lesson as planned")
    return 0


rc = 1
try:
    rc = main()
finally:
    for proc in reversed(started):
        if proc.poll() is None:
            proc.kill()
            proc.wait()
sys.exit(rc)
