#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Screenshots of the class window for the README, under a private Xvfb: the
# tests table, a pupil's test, the class summary and projector mode (also
# turned on with F11 while a pupil's test is open), on a folder of
# plausible records written for the day; «Работа над ошибками» after the
# tests: its column in the table and its table in the summary; then the
# exports: the XLSX's sheet «Журнал» as LibreOffice shows it (soffice, from
# libreoffice-calc-nogui or libreoffice-calc) and one pupil's page of
# --pupils (pdftoppm). The class list's tab during a lesson is
# bench/class_lesson.sh's (LESSON_SHOTS=docs).
#
# usage: scripts/class_screenshots.sh <build folder> <output folder>
set -euo pipefail
build=$(realpath "$1")
mkdir -p "$2"
out=$(realpath "$2")
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/tests/lib/xvfb.sh"
work=$(mktemp -d)
app=""
cleanup() {
  if [ -n "$app" ]; then kill "$app" 2>/dev/null || true; wait "$app" 2>/dev/null || true; fi
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME=$work/data LC_ALL=C.UTF-8

folder=$work/results
"$build/classview/tests/make_class_records" "$folder" 56 5 --today --practice
printf '{"format": "drobi-result/1", "rows": [' >"$folder/0ab1c2d3-unfinished-copy.drobi.json"
# One pupil changed a grade by hand.
python=/usr/bin/python3
"$python" - "$folder" <<'PY'
import json, os, sys
folder = sys.argv[1]
for name in sorted(os.listdir(folder)):
    if not name.endswith(".drobi.json") or name.startswith("0ab"):
        continue
    path = os.path.join(folder, name)
    record = json.load(open(path, encoding="utf-8"))
    if record["pupil"]["name"] == "Морозов Егор" and record["grade"] < 5:
        record["grade"] = 5
        json.dump(record, open(path, "w", encoding="utf-8"), ensure_ascii=False)
        break
PY

start_xvfb 1400x1000x24
shot() { # <name> [args...]: the window as it is now
  sleep 1
  import -window "$window" "$out/$1.png"
}
open_window() {
  "$build/drobi" --class "$folder" "$@" &
  app=$!
  for _ in $(seq 100); do
    window=$(xdotool search --name "результаты класса" 2>/dev/null | head -n1) && [ -n "$window" ] && break
    sleep 0.1
  done
  xdotool windowsize "$window" 1400 1000
  sleep 0.5
}
close_window() { kill "$app"; wait "$app" 2>/dev/null || true; app=""; }

open_window
shot class-table
# The column «Работа над ошибками»: the first row's cell moved to it.
xdotool mousemove --window "$window" 60 115 click 1
for _ in $(seq 13); do xdotool key Right; done
shot class-practice-column
# The summary tab.
xdotool mousemove --window "$window" 140 70 click 1
shot class-summary
# Down to its last table, «Работа над ошибками».
xdotool mousemove --window "$window" 700 500
for _ in $(seq 30); do xdotool click 5; done
shot class-practice-summary
xdotool mousemove --window "$window" 140 70
# Back to the tests; a pupil's test: the first row opened with Enter.
xdotool mousemove --window "$window" 40 70 click 1
sleep 0.5
xdotool mousemove --window "$window" 60 115 click 1 key Return
sleep 1
pupil=$(xdotool search --name "^Тест: " | head -n1)
xdotool windowsize "$pupil" 1100 640
sleep 1
import -window "$pupil" "$out/class-pupil.png"
close_window

open_window --projector --group 6Б
xdotool mousemove --window "$window" 140 70 click 1
sleep 0.5
# Down to the class's mistakes.
xdotool mousemove --window "$window" 700 500
for _ in $(seq 12); do xdotool click 5; done
shot class-projector
close_window

# Projector mode turned on (F11) while a pupil's test is open: the test
# closes, and nothing on the screen names a pupil.
open_window
xdotool mousemove --window "$window" 60 115 click 1 key Return
sleep 1
[ -n "$(xdotool search --onlyvisible --name "^Тест: ")" ] || { echo "the pupil's test did not open" >&2; exit 1; }
xdotool mousemove --window "$window" 700 500 key F11
sleep 1.5
if [ -n "$(xdotool search --onlyvisible --name "^Тест: ")" ]; then
  echo "a pupil's test stayed open in projector mode" >&2
  exit 1
fi
import -window root "$out/class-projector-test-open.png"
close_window
# The register's sheet of 6Б with the school's class list: its pupils in the
# list's order, one who did not write among them, as LibreOffice prints it
# (its headless build has no PNG filter): a copy holding «Журнал» alone,
# made PDF by LibreOffice, its page cut to the table.
"$python" - "$folder" "$work/classes.csv" <<'PY'
import json, os, sys
records = [json.load(open(os.path.join(sys.argv[1], f), encoding="utf-8"))
           for f in os.listdir(sys.argv[1]) if f.endswith(".drobi.json") and not f.startswith("0ab")]
names = sorted({r["pupil"]["name"] for r in records if r["pupil"]["class"] == "6Б"})
names.insert(3, "Новикова Зоя")
open(sys.argv[2], "w", encoding="utf-8").write("".join("6Б;%s\n" % n for n in names))
PY
printf '[results]\nfolder=%s\nclasses=%s\n' "$folder" "$work/classes.csv" >"$work/drobi.conf"
"$build/drobi" --class --settings "$work/drobi.conf" --group 6Б --export "$work/class.xlsx" 2>/dev/null
"$python" - "$work/class.xlsx" "$work/journal.xlsx" <<'PY'
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
for name in book.sheetnames:
    if name != "Журнал":
        del book[name]
book["Журнал"].print_options.gridLines = True
book["Журнал"].print_options.headings = True
book.save(sys.argv[2])
PY
soffice -env:UserInstallation="file://$work/lo" --headless --convert-to pdf --outdir "$work" "$work/journal.xlsx" >/dev/null
pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$work/journal.pdf" "$work/journal"
convert "$work/journal.png" -trim -bordercolor white -border 12 "$out/class-journal-libreoffice.png"

# The first pupil's page of --pupils.
"$build/drobi" --class "$folder" --group 6Б --export "$work/pupils.pdf" --pupils 2>/dev/null
pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$work/pupils.pdf" "$out/class-pupil-page"
echo "screenshots in $out"
