#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The class window from the outside: `drobi --class FOLDER --export` without
# a display (and the same with the folder of a --settings file), each export
# read back (CSV with Python's csv, XLSX with openpyxl, PDF with pdftotext):
# today's tests unless --date says otherwise, the register's sheet in the
# class list's order, the summary's shares in per cent, a class of 30 on two
# pages and its pupils' pages, a «Кто» of 400 long names kept whole across cells, projector mode
# hiding the names in the PDF; then the window under Xvfb,
# and a record delivered into the folder while it is open, by the program's
# own delivery code (results_driver: the local outbox, the temporary name,
# the rename), appears in it without a click (its title counts the tests),
# within the 10 seconds allowed.
#
# usage: class_window.sh <drobi> <make_class_records> <results_driver>
set -euo pipefail
drobi=$1
make_records=$2
driver=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
# Debian's own Python, which has python3-openpyxl.
python=/usr/bin/python3

here=$(dirname "$0")
source "$here/lib/xvfb.sh"
work=$(mktemp -d)
app=""
cleanup() {
  if [ -n "$app" ]; then kill "$app" 2>/dev/null || true; wait "$app" 2>/dev/null || true; fi
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
# The hashes of records first read go to the user's data folder: a private one.
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$work/run"

folder=$work/results
"$make_records" "$folder" 5 3 --today
# A pupil's name with a quote and the separator; a file that is not a record.
"$python" - "$folder" <<'PY'
import datetime, json, os, sys, uuid
folder = sys.argv[1]
name = sorted(f for f in os.listdir(folder) if f.endswith(".drobi.json"))[0]
record = json.load(open(os.path.join(folder, name), encoding="utf-8"))
record["id"] = str(uuid.uuid4())
record["pupil"]["name"] = 'Ким "Ли"; Ан'
record["pupil"]["class"] = "6Б"
json.dump(record, open(os.path.join(folder, record["id"] + ".drobi.json"), "w", encoding="utf-8"), ensure_ascii=False)
open(os.path.join(folder, "broken.drobi.json"), "w").write('{"format": "drobi-result/1", "rows": [')
# A test of the day before, which an export without --date leaves out.
record["id"] = str(uuid.uuid4())
for time in ("started", "finished"):
    day = datetime.date.fromisoformat(record[time][:10]) - datetime.timedelta(days=1)
    record[time] = day.isoformat() + record[time][10:]
json.dump(record, open(os.path.join(folder, record["id"] + ".drobi.json"), "w", encoding="utf-8"), ensure_ascii=False)
PY

headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$drobi" --class "$folder" "$@"; }
headless --export "$work/out.csv" 2>"$work/err" || fail "CSV export: $(cat "$work/err")"
grep -q "broken.drobi.json" "$work/err" || fail "the unread file is not named: $(cat "$work/err")"
headless --export "$work/all.csv" --date all 2>/dev/null || fail "CSV export of every day"
# The school's class list of 6А: a pupil who did not write, then those who
# did in the reverse of the table's order.
"$python" - "$work" <<'PY'
import csv, sys
rows = list(csv.reader(open(sys.argv[1] + "/out.csv", encoding="utf-8-sig"), delimiter=";"))[1:]
names = [r[0] for r in rows if r[1] == "6А"][::-1]
open(sys.argv[1] + "/classes.csv", "w", encoding="utf-8").write("".join("6А;%s\n" % n for n in ["Новикова Зоя"] + names))
PY
printf '[results]\nfolder=%s\nclasses=%s\n' "$folder" "$work/classes.csv" >"$work/lists.conf"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$drobi" --class --settings "$work/lists.conf" \
  --export "$work/out.xlsx" --group 6А 2>/dev/null || fail "XLSX export"
# The folder named by a school's settings file instead: the same table.
printf '[results]\nfolder=%s\n' "$folder" >"$work/drobi.conf"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$drobi" --class --settings "$work/drobi.conf" \
  --export "$work/settings.csv" 2>/dev/null || fail "CSV export with --settings"
cmp -s "$work/out.csv" "$work/settings.csv" || fail "--settings gave another table than FOLDER"
headless --export "$work/out.pdf" 2>/dev/null || fail "PDF export"
headless --export "$work/projector.pdf" --projector 2>/dev/null || fail "PDF export in projector mode"

"$python" - "$work" <<'PY' || fail "exports do not read back"
import csv, datetime, os, pwd, sys, openpyxl
work = sys.argv[1]
header = ["Ученик", "Класс", "Дата", "Начало", "Минут", "Минут на тест", "Верно", "Оценка", "Состояние", "Проверка",
          "Логин", "Компьютер", "Владелец файла", "Работа над ошибками"] + [str(i) for i in range(1, 11)]
me = pwd.getpwuid(os.getuid()).pw_name
raw = open(work + "/out.csv", "rb").read()
assert raw.startswith(b"\xef\xbb\xbf"), "no byte-order mark"
rows = list(csv.reader(open(work + "/out.csv", encoding="utf-8-sig", newline=""), delimiter=";"))
assert rows[0] == header, rows[0]
assert len(rows) == 7, len(rows)
assert len(list(csv.reader(open(work + "/all.csv", encoding="utf-8-sig"), delimiter=";"))) == 8, "--date all"
assert 'Ким "Ли"; Ан' in [r[0] for r in rows[1:]], [r[0] for r in rows]
for r in rows[1:]:
    assert len(r) == 24 and r[9] == "сходится" and r[13] == "—" and set(r[14:]) <= {"✓", "✗"}, r
    assert r[5] == "10,0" and r[10:13] == ["pupil", "class-pc", me], r
book = openpyxl.load_workbook(work + "/out.xlsx")
sheet = book["Тесты"]
values = list(sheet.values)
assert list(values[0]) == header, values[0]
assert len(values) == 1 + 5 and all(r[1] == "6А" for r in values[1:]), values
assert all(isinstance(r[c], (int, float)) for r in values[1:] for c in (4, 5, 6)), values
# The day and the start are a real date and time.
assert all(isinstance(r[2], datetime.datetime) and isinstance(r[3], (datetime.time, datetime.datetime)) for r in values[1:]), values
# The register's sheet, second: the class list's pupils in its order, the
# grade a number, «не писал» for a pupil without a test.
assert book.sheetnames[1] == "Журнал", book.sheetnames
listed = [line.split(";")[1] for line in open(work + "/classes.csv", encoding="utf-8").read().splitlines()]
journal = list(book["Журнал"].values)
assert [r[1] for r in journal[1:]] == listed, (journal, listed)
grades = {r[0]: int(r[7]) for r in values[1:]}
assert journal[1][3] == "не писал" and all(r[3] == grades[r[1]] for r in journal[2:]), journal
# The summary's shares in whole per cent of the graded tests, halves up.
summary = [list(r) for r in book["Сводка"].values]
graded = next(r[1] for r in summary if r[0] == "Оценённых тестов")
tasks = [r[0] for r in summary].index("Верные ответы по заданиям") + 2
for task, right, share in (r[:3] for r in summary[tasks:tasks + 10]):
    assert share == (200 * right + graded) // (2 * graded), (task, right, share, graded)
PY

# 400 pupils making the same mistakes: «Кто» is longer than a cell holds and
# goes on in the cells to its right, every name kept.
"$make_records" "$work/long" 4 7 --today
"$python" - "$work/long" <<'PY'
import json, os, sys, uuid
folder = sys.argv[1]
files = sorted(f for f in os.listdir(folder) if f.endswith(".drobi.json"))
records = [json.load(open(os.path.join(folder, f), encoding="utf-8")) for f in files]
record = next(r for r in records if r["right"] < 10)
for f in files:
    os.remove(os.path.join(folder, f))
for i in range(400):
    record["id"] = str(uuid.uuid4())
    record["pupil"]["name"] = "Ученица %03d " % i + "ж" * 80
    json.dump(record, open(os.path.join(folder, record["id"] + ".drobi.json"), "w", encoding="utf-8"), ensure_ascii=False)
PY
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$drobi" --class "$work/long" --export "$work/long.xlsx" 2>/dev/null \
  || fail "XLSX export of 400 pupils"
"$python" - "$work/long.xlsx" <<'PY' || fail "a long «Кто» lost names"
import sys, openpyxl
summary = [list(r) for r in openpyxl.load_workbook(sys.argv[1])["Сводка"].values]
heading = [r[0] for r in summary].index("Ошибки класса")
row = summary[heading + 2]
assert row[1] == 400, row[:2]
assert all(len(c) <= 32767 for c in row[2:] if c), [len(c) for c in row[2:] if c]
who = "".join(c for c in row[2:] if c)
assert who.count("Ученица") == 400 and len(who) > 32767, len(who)
PY

text=$(pdftotext -layout "$work/out.pdf" -)
for needle in "Результаты класса" "Оценки" "Верные ответы по заданиям" "Ошибки класса" "Тесты" "Ученик" "Проверка"; do
  grep -qF "$needle" <<<"$text" || fail "the PDF lacks «$needle»"
done
names=$("$python" -c 'import csv,sys; print("\n".join(r[0] for r in list(csv.reader(open(sys.argv[1], encoding="utf-8-sig"), delimiter=";"))[1:]))' "$work/out.csv")
projected=$(pdftotext -layout "$work/projector.pdf" -)
grep -qF "Ученик 1" <<<"$projected" || fail "projector mode shows no «Ученик 1»"
while read -r name; do
  ! grep -qF "${name%% *}" <<<"$projected" || fail "projector mode shows the name $name"
done <<<"$names"

# A class of 30: the summary and the tests on two pages at most; a page
# per pupil with the name, the grade and the verdicts as the window words them.
"$make_records" "$work/class30" 30 5 --today
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$drobi" --class "$work/class30" --export "$work/class30.pdf" 2>/dev/null \
  || fail "PDF export of 30 pupils"
pages=$(pdfinfo "$work/class30.pdf" | awk '/^Pages:/ { print $2 }')
[ "$pages" -le 2 ] || fail "the PDF of 30 pupils takes $pages pages"
# A long name wraps in its cell: the tests table keeps the page's width,
# and its last task's column is still printed.
cp -r "$work/class30" "$work/long30"
"$python" - "$work/long30" <<'PY'
import glob, json, sys
path = sorted(glob.glob(sys.argv[1] + "/*.drobi.json"))[0]
record = json.load(open(path, encoding="utf-8"))
record["pupil"]["name"] = "Константинопольская-Александровская Анастасия-Виктория Вячеславовна"
json.dump(record, open(path, "w", encoding="utf-8"), ensure_ascii=False)
PY
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$drobi" --class "$work/long30" --export "$work/long.pdf" 2>/dev/null \
  || fail "PDF export with a long name"
marks=$(pdftotext -layout "$work/long.pdf" - | "$python" -c '
import sys
rows = [line.count("✓") + line.count("✗") for line in sys.stdin if "✓" in line or "✗" in line]
print(len(rows), min(rows, default=0), max(rows, default=0))')
[ "$marks" = "30 10 10" ] || fail "the tests table lost task columns with a long name (rows, fewest and most marks: $marks)"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$drobi" --class "$work/class30" --export "$work/pupils.pdf" --pupils \
  2>/dev/null || fail "PDF of the pupils' pages"
pages=$(pdfinfo "$work/pupils.pdf" | awk '/^Pages:/ { print $2 }')
[ "$pages" -eq 30 ] || fail "30 pupils' pages took $pages pages"
first=$(pdftotext -f 1 -l 1 "$work/pupils.pdf" -)
for needle in "Абрамова Вера, 6А" "оценка " "— верно." "— неверно." "Решение: "; do
  grep -qF "$needle" <<<"$first" || fail "the first pupil's page lacks «$needle»: $first"
done

# The open window: a record delivered while it runs appears without a click
# (a retake of a pupil already there: every attempt is a row).
start_xvfb 1280x900x24
"$drobi" --class "$folder" --attempt all &
app=$!
window_with() { xdotool search --name "тестов: $1\$" >/dev/null 2>&1; }
deadline=$((SECONDS + 30))
until window_with 6; do
  [ $SECONDS -lt $deadline ] || fail "the window did not show the 6 tests"
  kill -0 "$app" 2>/dev/null || fail "drobi --class ended"
  sleep 0.1
done
"$make_records" "$work/pupil" 1 11 --today
start=$(date +%s%N)
"$driver" submit --outbox "$work/outbox" --folder "$folder" --record "$work/pupil"/*.drobi.json >"$work/delivered" \
  || fail "the record was not delivered: $(cat "$work/delivered")"
deadline=$((SECONDS + 10))
until window_with 7; do
  [ $SECONDS -lt $deadline ] || fail "the delivered record did not appear within 10 s"
  sleep 0.1
done
[ -z "$(ls -A "$work/outbox")" ] || fail "the outbox kept a copy: $(ls -A "$work/outbox")"
echo "ok: exports read back; a delivered record appeared after $((($(date +%s%N) - start) / 1000000)) ms"
