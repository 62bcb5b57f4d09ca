// SPDX-License-Identifier: GPL-3.0-or-later
// The class model on folders of records: every kind of bad file skipped and
// counted, records graded again with the window's rules and flagged where
// they do not agree, a record changed after its first read flagged, the
// choice of tests and the class summary as every view draws it; the CSV's
// formula guard, a long XLSX cell split, the command line's day, and what
// counts as saving into the results folder.

#include "classview/pupil_test_view.h"
#include "classview/atomic_file.h"
#include "classview/class_arguments.h"
#include "classview/class_journal.h"
#include "classview/class_model.h"
#include "classview/class_roster.h"
#include "classview/pupil_rows.h"
#include "classview/class_summary.h"
#include "classview/class_table.h"
#include "classview/table_export.h"
#include "classview/tests/record_fixture.h"

#include <QtTest>

#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Typed = std::array<QString, 3>;

QJsonObject goodRecord()
{
    return fixtureRecord(FixtureTest{});
}

// Changes a record's JSON by a path of keys and row indexes: {"rows", 3, "right"}.
QJsonObject changed(QJsonObject record, const QStringList &path, const QJsonValue &value)
{
    std::function<QJsonValue(QJsonValue, int)> set = [&](QJsonValue at, int depth) -> QJsonValue {
        if (depth == path.size())
            return value;
        if (at.isArray()) {
            const int index = path[depth].toInt();
            QJsonArray a = at.toArray();
            a[index] = set(a[index], depth + 1);
            return a;
        }
        QJsonObject o = at.toObject();
        o[path[depth]] = set(o[path[depth]], depth + 1);
        return o;
    };
    return set(record, 0).toObject();
}

// One test shown as the window shows it, read and graded from its record.
ShownTest shownTest(const FixtureTest &t)
{
    auto entry = std::make_shared<TestEntry>();
    const RecordRead read = parseRecord(QJsonDocument(fixtureRecord(t)).toJson());
    if (read.record)
        entry->record = *read.record;
    entry->check = regradeRecord(entry->record);
    return ShownTest{entry, entry->record.pupil.name, 1, 1};
}

// A class's folder: Petrov twice on one day and once the day before, Anna's
// record also under another name and graded again later, Sidorov in 6А.
ResultsFolder classFolder(const QString &path)
{
    const QTimeZone msk(3 * 3600);
    const QDate day(2026, 12, 9);
    const auto add = [&](const QString &name, const QString &group, QDate date, QTime time) {
        FixtureTest t;
        t.name = name;
        t.group = group;
        t.started = QDateTime(date, time, msk);
        return writeFixture(path, fixtureRecord(t));
    };
    add(QStringLiteral("Петров Пётр"), QStringLiteral("6Б"), day, QTime(10, 0));
    add(QStringLiteral("Иванова Анна"), QStringLiteral("6Б"), day, QTime(10, 1));
    add(QStringLiteral("Петров Пётр"), QStringLiteral("6Б"), day, QTime(10, 20));
    add(QStringLiteral("Сидоров Олег"), QStringLiteral("6А"), day, QTime(11, 0));
    add(QStringLiteral("Петров Пётр"), QStringLiteral("6Б"), day.addDays(-1), QTime(10, 0));
    FixtureTest early;
    early.started = QDateTime(day, QTime(9, 0), msk);
    QJsonObject copy = fixtureRecord(early);
    copy[QStringLiteral("finished")] = QStringLiteral("2026-12-09T09:05:00+03:00");
    QFile::rename(writeFixture(path, copy), path + QStringLiteral("/copy.drobi.json"));
    copy[QStringLiteral("finished")] = QStringLiteral("2026-12-09T09:06:00+03:00");
    writeFixture(path, copy);
    ResultsFolder folder(path, nullptr);
    folder.refresh();
    return folder;
}

} // namespace

Q_DECLARE_METATYPE(ClassFilter)

class TestClassModel : public QObject {
    Q_OBJECT

private slots:
    void badFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("problem"); // empty: the file is not even counted
        QTest::newRow("empty") << "empty" << "пустой";
        QTest::newRow("truncated") << "truncated" << "не JSON";
        QTest::newRow("binary") << "binary" << "не JSON";
        QTest::newRow("over 1 MiB") << "huge" << "больше 1 МиБ";
        QTest::newRow("other version") << "version" << "другой формат или версия";
        QTest::newRow("JSON array") << "array" << "не запись";
        QTest::newRow("field missing") << "missing" << "нет поля «grade»";
        QTest::newRow("field of wrong type") << "type" << "«secondsUsed» не целое";
        QTest::newRow("fractional number") << "fraction" << "«secondsUsed» не целое";
        QTest::newRow("nine rows") << "rows" << "заданий не 10";
        QTest::newRow("value not in the window's form") << "value" << "поле «answer» не в той форме";
        QTest::newRow("folder") << "folder" << "папка";
        QTest::newRow("link to a record") << "link" << "ссылка";
        QTest::newRow("pipe") << "pipe" << "не обычный файл";
        QTest::newRow("unreadable") << "unreadable" << "не открывается";
        QTest::newRow("hidden partial file") << "hidden" << "";
        QTest::newRow("other suffix") << "suffix" << "";
    }

    void badFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, problem);
        if (kind == QLatin1String("unreadable") && ::geteuid() == 0)
            QSKIP("root reads any file");
        QTemporaryDir dir;
        const QString good = writeFixture(dir.path(), goodRecord());
        const QByteArray json = QJsonDocument(goodRecord()).toJson();
        const QString bad = dir.filePath(kind == QLatin1String("hidden")   ? QStringLiteral(".x.drobi.json")
                                         : kind == QLatin1String("suffix") ? QStringLiteral("x.drobi.json.part")
                                                                           : QStringLiteral("x.drobi.json"));
        const auto write = [&](const QByteArray &bytes) {
            QFile f(bad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        const auto edited = [&](const QStringList &path, const QJsonValue &v) {
            write(QJsonDocument(changed(goodRecord(), path, v)).toJson());
        };
        if (kind == QLatin1String("empty"))
            write({});
        else if (kind == QLatin1String("truncated"))
            write(json.left(json.size() / 2));
        else if (kind == QLatin1String("binary"))
            write(QByteArray("\x00\xff\xfe{\x01", 5));
        else if (kind == QLatin1String("huge"))
            write(json + QByteArray(MaxRecordBytes, ' '));
        else if (kind == QLatin1String("version"))
            edited({QStringLiteral("format")}, QStringLiteral("drobi-result/2"));
        else if (kind == QLatin1String("array"))
            write("[1, 2, 3]");
        else if (kind == QLatin1String("missing")) {
            QJsonObject o = goodRecord();
            o.remove(QStringLiteral("grade"));
            write(QJsonDocument(o).toJson());
        } else if (kind == QLatin1String("type"))
            edited({QStringLiteral("secondsUsed")}, QStringLiteral("420"));
        else if (kind == QLatin1String("fraction"))
            edited({QStringLiteral("secondsUsed")}, 7.5);
        else if (kind == QLatin1String("rows")) {
            QJsonObject o = goodRecord();
            QJsonArray rows = o[QStringLiteral("rows")].toArray();
            rows.removeLast();
            o[QStringLiteral("rows")] = rows;
            write(QJsonDocument(o).toJson());
        } else if (kind == QLatin1String("value"))
            edited({QStringLiteral("rows"), QStringLiteral("2"), QStringLiteral("answer")}, QStringLiteral("-8.0"));
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("x.drobi.json")));
        else if (kind == QLatin1String("link"))
            QVERIFY(QFile::link(good, bad));
        else if (kind == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(bad).constData(), 0644), 0);
        else if (kind == QLatin1String("unreadable")) {
            write(json);
            QVERIFY(QFile::setPermissions(bad, {}));
        } else
            write(json);

        ResultsFolder folder(dir.path(), nullptr);
        QVERIFY(folder.refresh());
        QCOMPARE(folder.entries().size(), 1);
        QCOMPARE(folder.entries().first()->fileName, QFileInfo(good).fileName());
        QCOMPARE(folder.skipped().size(), problem.isEmpty() ? 0 : 1);
        if (!problem.isEmpty()) {
            QCOMPARE(folder.skipped().first().fileName, QStringLiteral("x.drobi.json"));
            QVERIFY2(folder.skipped().first().problem.contains(problem), qPrintable(folder.skipped().first().problem));
        }
        QVERIFY(!folder.refresh());
    }

    void regrade_data()
    {
        QTest::addColumn<QJsonObject>("record");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("grade");
        QTest::addColumn<QString>("problem"); // empty: it agrees

        FixtureTest t;
        QTest::newRow("all right") << fixtureRecord(t) << 10 << 5 << "";
        // Draws 0: row 0 is -1/2 * 1/3 = -1/6, row 2 is 4 : (-1/2) = -8.
        t.typed[0] = Typed{QStringLiteral("-"), QStringLiteral("2"), QStringLiteral("12")};
        t.typed[5] = Typed{};
        QTest::newRow("two wrong") << fixtureRecord(t) << 8 << 3 << "";
        QTest::newRow("grade raised") << changed(fixtureRecord(t), {QStringLiteral("grade")}, 5) << 8 << 3
                                      << "записана оценка 5, на деле 3";
        QTest::newRow("counts raised") << changed(changed(fixtureRecord(t), {QStringLiteral("right")}, 9), {QStringLiteral("wrong")}, 1)
                                       << 8 << 3 << "записано верных 9";
        QTest::newRow("wrong count changed") << changed(fixtureRecord(t), {QStringLiteral("wrong")}, 1) << 8 << 3
                                             << "записано верных 8, неверных 1";
        QTest::newRow("typed answer changed") << changed(fixtureRecord(FixtureTest{}),
                                                         {QStringLiteral("rows"), QStringLiteral("0"), QStringLiteral("typed"),
                                                          QStringLiteral("numerator")},
                                                         QStringLiteral("5"))
                                              << 9 << 4 << "в заданиях 1";
        QTest::newRow("task made easier") << changed(fixtureRecord(FixtureTest{}),
                                                     {QStringLiteral("rows"), QStringLiteral("0"), QStringLiteral("b")},
                                                     QStringLiteral("1"))
                                          << 9 << 4 << "задания 1 не те";
        QTest::newRow("answer changed") << changed(fixtureRecord(FixtureTest{}),
                                                   {QStringLiteral("rows"), QStringLiteral("2"), QStringLiteral("answer")},
                                                   QStringLiteral("-9"))
                                        << 9 << 4 << "задания 3 не те";
        QTest::newRow("operation changed") << changed(fixtureRecord(FixtureTest{}),
                                                      {QStringLiteral("rows"), QStringLiteral("0"), QStringLiteral("operation")},
                                                      QStringLiteral(":"))
                                           << 9 << 4 << "задания 1 не те";
        // Rows 3, 5 and 8 have whole-number answers, typed in the whole-part
        // box alone: right at the timeout as after «Готово!».
        FixtureTest out;
        out.timeRanOut = true;
        out.secondsUsed = 600;
        QTest::newRow("whole numbers typed alone at the timeout") << fixtureRecord(out) << 10 << 5 << "";
        FixtureTest sign;
        sign.typed[0] = Typed{QString(), QStringLiteral("-1"), QStringLiteral("6")};
        QTest::newRow("minus on the numerator is right") << fixtureRecord(sign) << 10 << 5 << "";
        QTest::newRow("finished before started") << changed(fixtureRecord(FixtureTest{}), {QStringLiteral("finished")},
                                                            QStringLiteral("2026-12-09T10:14:00+03:00"))
                                                 << 10 << 5 << "окончен раньше";
        QTest::newRow("more time than allowed") << changed(fixtureRecord(FixtureTest{}), {QStringLiteral("secondsUsed")}, 661)
                                                << 10 << 5 << "затрачено 661 с";
        QTest::newRow("a minute over, within the grace")
            << changed(changed(fixtureRecord(FixtureTest{}), {QStringLiteral("secondsUsed")}, 660),
                       {QStringLiteral("finished")}, QStringLiteral("2026-12-09T10:25:30+03:00"))
            << 10 << 5 << "";
        FixtureTest unfinished;
        unfinished.unfinished = true;
        QTest::newRow("unfinished") << fixtureRecord(unfinished) << 0 << 0 << "";
        FixtureTest stopped;
        stopped.secondsStopped = 300;
        QTest::newRow("program stopped for 300 s") << fixtureRecord(stopped) << 10 << 5 << "по часам компьютера тест шёл 720 с";
        QTest::newRow("55 minutes from start to end")
            << changed(fixtureRecord(FixtureTest{}), {QStringLiteral("finished")}, QStringLiteral("2026-12-09T11:10:00+03:00"))
            << 10 << 5 << "прошло 3300 с при 600 с";
        FixtureTest lenient;
        lenient.typed[0] = Typed{QStringLiteral("-"), QStringLiteral("2"), QStringLiteral("12")};
        QTest::newRow("a school's own scale")
            << changed(changed(fixtureRecord(lenient), {QStringLiteral("gradeScale"), QStringLiteral("5")}, 9),
                       {QStringLiteral("grade")}, 5)
            << 9 << 5 << "";
    }

    void regrade()
    {
        QFETCH(QJsonObject, record);
        QFETCH(int, right);
        QFETCH(int, grade);
        QFETCH(QString, problem);
        const RecordRead read = parseRecord(QJsonDocument(record).toJson());
        QVERIFY2(read.record, qPrintable(read.problem));
        const Regrade g = regradeRecord(*read.record);
        QCOMPARE(g.right, right);
        QCOMPARE(g.grade, grade);
        if (problem.isEmpty())
            QVERIFY2(g.problems.isEmpty(), qPrintable(g.problems.join(QLatin1Char('\n'))));
        else
            QVERIFY2(g.problems.join(QLatin1Char('\n')).contains(problem), qPrintable(g.problems.join(QLatin1Char('\n'))));
    }

    // The pupil's program and the class window grade every row kind the
    // generator makes alike, however the test ended: each row typed one way
    // in a test whose other rows are right.
    void sidesAgree_data()
    {
        QTest::addColumn<QJsonObject>("record");
        const QList<std::pair<const char *, std::optional<Typed>>> typings{
            {"right", std::nullopt},
            {"empty", Typed{}},
            {"lone minus", Typed{QStringLiteral("-"), QString(), QString()}},
            {"minus twice", Typed{QStringLiteral("-"), QStringLiteral("-1"), QStringLiteral("6")}},
            {"fraction", Typed{QString(), QStringLiteral("1"), QStringLiteral("7")}},
            {"whole alone", Typed{QStringLiteral("-8"), QString(), QString()}},
            {"numerator alone", Typed{QStringLiteral("2"), QStringLiteral("3"), QString()}},
            {"whole and a zero numerator", Typed{QStringLiteral("6"), QStringLiteral("0"), QString()}},
        };
        for (int row = 0; row < RowCount; ++row) {
            for (const auto &[name, typed] : typings) {
                for (const char *ending : {"«Готово!»", "timeout", "timeout, then «Готово!»"}) {
                    FixtureTest t;
                    t.typed[size_t(row)] = typed;
                    t.timeRanOut = ending[0] == 't';
                    t.doneAfterTimeout = std::strlen(ending) > 7;
                    t.secondsUsed = t.timeRanOut ? 600 : 420;
                    QTest::addRow("row %d %s, %s", row, name, ending) << fixtureRecord(t);
                }
            }
        }
    }

    void sidesAgree()
    {
        QFETCH(QJsonObject, record);
        const RecordRead read = parseRecord(QJsonDocument(record).toJson());
        QVERIFY2(read.record, qPrintable(read.problem));
        const Regrade g = regradeRecord(*read.record);
        QVERIFY2(g.problems.isEmpty(), qPrintable(g.problems.join(QLatin1Char('\n'))));
        for (int i = 0; i < RowCount; ++i) {
            const ResultRow &stored = read.record->rows[size_t(i)];
            QCOMPARE(g.rows[size_t(i)].right, stored.right);
            QCOMPARE(g.rows[size_t(i)].explanation, stored.explanation);
            if (!stored.right)
                QCOMPARE(QString::fromUtf8(MistakeName(g.rows[size_t(i)].mistake)), stored.mistake);
        }
        QCOMPARE(g.grade, read.record->grade);
    }

    // A record whose bytes change after the first read is flagged, also by
    // a later run with the same hash store; a new record is not.
    void changedAfterFirstRead()
    {
        QTemporaryDir dir, data;
        const QString store = data.filePath(QStringLiteral("hashes.sqlite"));
        FixtureTest t;
        t.typed[0] = Typed{};
        const QString path = writeFixture(dir.path(), fixtureRecord(t));
        {
            HashStore hashes(store);
            QVERIFY2(hashes.problem().isEmpty(), qPrintable(hashes.problem()));
            ResultsFolder folder(dir.path(), &hashes);
            folder.refresh();
            QCOMPARE(folder.entries().size(), 1);
            QVERIFY(!folder.entries().first()->flagged());
        }
        QVERIFY(QFile::remove(path));
        writeFixture(dir.path(), changed(fixtureRecord(t), {QStringLiteral("pupil"), QStringLiteral("name")}, QStringLiteral("Другой")));
        writeFixture(dir.path(), fixtureRecord(FixtureTest{}));
        HashStore hashes(store);
        ResultsFolder folder(dir.path(), &hashes);
        folder.refresh();
        QCOMPARE(folder.entries().size(), 2);
        for (const EntryPtr &e : folder.entries())
            QCOMPARE(e->changed, e->record.id == t.id);
    }

    // The first read is sealed on the final record: the step from running
    // to the end is no change, a change after the end is, and so is a
    // record made running again.
    void sealAfterRunning_data()
    {
        QTest::addColumn<QStringList>("steps"); // what the file holds at each read
        QTest::addColumn<bool>("flagged");
        QTest::newRow("running, then graded") << QStringList{"running", "graded"} << false;
        QTest::newRow("running twice, then unfinished") << QStringList{"running", "running later", "unfinished"} << false;
        QTest::newRow("graded, then changed") << QStringList{"running", "graded", "graded changed"} << true;
        QTest::newRow("graded, then running again") << QStringList{"graded", "running"} << true;
    }

    void sealAfterRunning()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, flagged);
        QTemporaryDir dir;
        HashStore hashes(QString{});
        ResultsFolder folder(dir.path(), &hashes);
        FixtureTest t;
        for (const QString &step : steps) {
            t.running = step.startsWith(QLatin1String("running"));
            t.unfinished = step == QLatin1String("unfinished");
            t.secondsUsed = step.endsWith(QLatin1String("later")) ? 60 : 420;
            QJsonObject record = fixtureRecord(t);
            if (step.endsWith(QLatin1String("changed")))
                record[QStringLiteral("secondsUsed")] = 300;
            // Replaced under the same name, as delivery replaces it.
            QFile::remove(dir.filePath(t.id + QStringLiteral(".drobi.json")));
            QVERIFY(!writeFixture(dir.path(), record).isEmpty());
            folder.refresh();
            hashes.commit();
        }
        QCOMPARE(folder.entries().size(), 1);
        QCOMPARE(folder.entries().first()->changed, flagged);
    }

    // A running test shows the whole minutes since its start until its time
    // allowed and five minutes more have passed; then the connection is lost.
    void runningState_data()
    {
        QTest::addColumn<int>("secondsSinceStart");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("state");
        QTest::newRow("just started") << 0 << true << "пишет тест, 0 мин";
        QTest::newRow("7.5 minutes") << 450 << true << "пишет тест, 7 мин";
        QTest::newRow("time and grace just used") << 900 << true << "пишет тест, 15 мин";
        QTest::newRow("a second more") << 901 << true << "связь потеряна";
        QTest::newRow("graded long ago") << 9000 << false << "оценён";
    }

    void runningState()
    {
        QFETCH(int, secondsSinceStart);
        QFETCH(bool, running);
        QFETCH(QString, state);
        FixtureTest t;
        t.running = running;
        const ShownTest shown = shownTest(t);
        QVERIFY(shown.entry->check.problems.isEmpty());
        QCOMPARE(shown.entry->check.graded, !running);
        QCOMPARE(stateText(shown, t.started.addSecs(secondsSinceStart)), state);
    }

    // Every pupil of the class listed once, in the list's order, with the
    // state of the last test started under the name, however typed.
    void roster_data()
    {
        QTest::addColumn<QString>("typed");        // the name on the pupil's tests
        QTest::addColumn<QStringList>("statuses"); // the tests, half an hour apart
        QTest::addColumn<QString>("state");        // Петров Пётр's, 10 minutes after the last start
        QTest::newRow("no test") << "Петров Пётр" << QStringList{} << "не начинал";
        QTest::newRow("another pupil's test") << "Петрова Инна" << QStringList{"graded"} << "не начинал";
        QTest::newRow("handed in") << "Петров Пётр" << QStringList{"graded"} << "сдал";
        QTest::newRow("case and spaces") << " петров  ПЁТР " << QStringList{"graded"} << "сдал";
        QTest::newRow("writing") << "Петров Пётр" << QStringList{"running"} << "пишет тест, 10 мин";
        QTest::newRow("window closed") << "Петров Пётр" << QStringList{"unfinished"} << "не закончил";
        QTest::newRow("retake after a grade") << "Петров Пётр" << QStringList{"graded", "running"} << "пишет тест, 10 мин";
        QTest::newRow("lost, then handed in") << "Петров Пётр" << QStringList{"running", "graded"} << "сдал";
    }

    void roster()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, statuses);
        QFETCH(QString, state);
        const ClassList list = parseClassList("6Б;Иванова Анна\n6 б;Петров Пётр\n6А;Сидоров Олег\n6Б;Козлова Мария\n");
        QList<ShownTest> tests;
        FixtureTest t;
        t.name = typed;
        for (const QString &status : statuses) {
            t.running = status == QLatin1String("running");
            t.unfinished = status == QLatin1String("unfinished");
            t.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
            tests << shownTest(t);
            t.started = t.started.addSecs(30 * 60);
        }
        const QList<RosterRow> rows = classRoster(list, QStringLiteral("6б"), tests, t.started.addSecs(-20 * 60));
        QStringList names;
        for (const RosterRow &r : rows)
            names << r.name;
        QCOMPARE(names, QStringList({"Иванова Анна", "Петров Пётр", "Козлова Мария"}));
        QCOMPARE(rows[0].state, QStringLiteral("не начинал"));
        QCOMPARE(rows[1].state, state);
        QCOMPARE(rows[1].entry != nullptr, state != QStringLiteral("не начинал"));
    }

    // Dates and times in the teacher's time zone, not the pupil computer's
    // (the record says 10:15 at +03:00 on 9 December).
    void teacherTime_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("start");
        QTest::newRow("UTC") << QByteArray("UTC") << "09.12.2026" << "07:15";
        QTest::newRow("Yekaterinburg") << QByteArray("Asia/Yekaterinburg") << "09.12.2026" << "12:15";
        QTest::newRow("Honolulu, the day before") << QByteArray("Pacific/Honolulu") << "08.12.2026" << "21:15";
    }

    void teacherTime()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QString, date);
        QFETCH(QString, start);
        const QByteArray before = qgetenv("TZ");
        const auto restore = qScopeGuard([&] {
            before.isNull() ? qunsetenv("TZ") : qputenv("TZ", before);
            tzset();
        });
        qputenv("TZ", zone);
        tzset();
        const ShownTest shown = shownTest(FixtureTest{});
        const QStringList cells = tableRow(shown);
        QCOMPARE(cells[int(TableColumn::Date)], date);
        QCOMPARE(cells[int(TableColumn::Start)], start);
        QCOMPARE(shown.entry->date().toString(QStringLiteral("dd.MM.yyyy")), date);
    }

    // One row per pupil and day, the attempt chosen, by surname in Russian
    // order (Ё after Е, not before А) and then by the rest of the name.
    void pupilRowsChosen_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QStringList>("rows"); // name: grade
        const QStringList others{"Егоров Иван: 4", "Ёлкина Ольга: 5", "Петров Антон: 5"};
        QTest::newRow("last") << int(AttemptChoice::Last) << others + QStringList{"Петров Пётр: 0"};
        QTest::newRow("best") << int(AttemptChoice::Best) << others + QStringList{"Петров Пётр: 5"};
        QTest::newRow("first") << int(AttemptChoice::First) << others + QStringList{"Петров Пётр: 2"};
        QTest::newRow("all") << int(AttemptChoice::All)
                             << others + QStringList{"Петров Пётр: 2", "Петров Пётр: 5", "Петров Пётр: 0"};
    }

    void pupilRowsChosen()
    {
        QFETCH(int, choice);
        QFETCH(QStringList, rows);
        struct Test {
            const char *name;
            int wrong; // -1: unfinished
        };
        const Test tests[] = {{"Петров Пётр", 4}, {"Ёлкина Ольга", 0}, {"Егоров  Иван", 1},
                              {"Петров Антон", 0}, {"Петров Пётр", 0}, {"Петров Пётр", -1}};
        QList<EntryPtr> entries;
        FixtureTest t;
        for (const Test &test : tests) {
            t.name = QString::fromUtf8(test.name);
            t.unfinished = test.wrong < 0;
            t.typed = {};
            for (int r = 0; r < test.wrong; ++r)
                t.typed[size_t(r)] = Typed{};
            t.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
            t.started = t.started.addSecs(600);
            entries << shownTest(t).entry;
        }
        QStringList shown;
        for (const ShownTest &row : pupilRows(selectTests(entries, ClassFilter{}, false), AttemptChoice(choice)))
            shown << row.name.simplified() + QStringLiteral(": ") + QString::number(row.entry->check.grade);
        QCOMPARE(shown, rows);
    }

    // What a pupil may do to their record, and what the teacher then sees
    // of it: «Проверка» (empty: no test shown for the file) and a reason,
    // among the test's or the unread files'. The school gives 10 minutes
    // and names by login.
    void attacks_data()
    {
        QTest::addColumn<QString>("attack");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("reason");
        QTest::newRow("rewritten with a new id after the first read")
            << "new id" << "изменён после первого чтения" << "имя файла не совпадает с номером записи внутри";
        QTest::newRow("deleted after the first read") << "deleted" << "удалён" << "файл удалён после того";
        QTest::newRow("misnamed file") << "misnamed" << "" << "имя файла не совпадает с номером записи внутри";
        QTest::newRow("90 minutes allowed") << "90 minutes" << "не сходится" << "время на тест 90 мин, а в настройках школы 10 мин";
        QTest::newRow("name typed") << "typed" << "не сходится" << "имя ученика введено учеником, а в настройках школы по учётной записи";
        QTest::newRow("clock stopped") << "stopped" << "не сходится" << "по часам компьютера тест шёл";
        QTest::newRow("login not the file's owner") << "owner" << "не сходится" << "записан не от имени ученика: логин pupil, файл принадлежит nobody";
        // The same of a practice that followed the test, shown with it.
        QTest::newRow("practice claims mastered without 3 in a row")
            << "practice mastered" << "не сходится" << "записано «освоено», а по заданиям «не закончено»";
        QTest::newRow("practice verdict turned right")
            << "practice verdict" << "не сходится" << "отметка «верно/неверно» или ошибка в заданиях 2";
        QTest::newRow("practice changed after the first read")
            << "practice changed" << "изменён после первого чтения" << "файл изменён после того";
        QTest::newRow("practice deleted after the first read") << "practice deleted" << "удалён" << "файл удалён после того";
        QTest::newRow("practice gives one task three times")
            << "practice repeat" << "не сходится" << "задание 3 повторяется";
        // A practice that goes with no test is listed among the files.
        QTest::newRow("practice copied onto another pupil's test")
            << "practice unattached: another pupil" << "сходится" << "записана на тест другого ученика";
        QTest::newRow("practice on a day without a test")
            << "practice unattached: next day" << "сходится" << "нет теста этого ученика за этот день";
    }

    void attacks()
    {
        QFETCH(QString, attack);
        QFETCH(QString, check);
        QFETCH(QString, reason);
        if (attack == QLatin1String("owner") && ::geteuid() != 0)
            QSKIP("giving a file to another account needs root");
        QTemporaryDir dir;
        HashStore hashes{QString()};
        FixtureTest t;
        t.secondsStopped = attack == QLatin1String("stopped") ? 3000 : 0;
        QJsonObject json = changed(fixtureRecord(t), {QStringLiteral("pupil"), QStringLiteral("named")},
                                   attack == QLatin1String("typed") ? QStringLiteral("typed") : QStringLiteral("login"));
        if (attack == QLatin1String("90 minutes"))
            json = changed(json, {QStringLiteral("secondsAllowed")}, 5400);
        QString path = writeFixture(dir.path(), json);
        const QString file = QFileInfo(path).fileName();
        if (attack == QLatin1String("owner"))
            QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
        if (attack == QLatin1String("misnamed"))
            QVERIFY(QFile::rename(path, dir.filePath(QStringLiteral("other.drobi.json"))));
        // A practice after the test: a right answer, a sign lost, closed.
        const bool practice = attack.startsWith(QLatin1String("practice"));
        const bool unattached = attack.startsWith(QLatin1String("practice unattached"));
        const bool nextDay = attack.endsWith(QLatin1String("next day"));
        FixtureTest author = t;
        if (attack.endsWith(QLatin1String("another pupil")))
            author.name = QStringLiteral("Петров Пётр");
        QJsonObject practiceRecord =
            fixturePractice(author, nextDay ? QString() : json.value(QStringLiteral("id")).toString(), Mistake::WrongSign,
                            attack == QLatin1String("practice repeat") ? QStringLiteral("WRRR") : QStringLiteral("RW"),
                            t.started.addSecs(nextDay ? 86400 : 900));
        const QStringList task{QStringLiteral("kinds"), QStringLiteral("0"), QStringLiteral("tasks"), QStringLiteral("1")};
        const QJsonValue second = practiceRecord.value(QStringLiteral("kinds"))[0][QStringLiteral("tasks")][1];
        for (const char *again : {"2", "3"}) {
            if (attack == QLatin1String("practice repeat"))
                practiceRecord = changed(practiceRecord, task.mid(0, 3) << QLatin1String(again), second);
        }
        if (attack == QLatin1String("practice mastered"))
            practiceRecord = changed(practiceRecord, {QStringLiteral("kinds"), QStringLiteral("0"), QStringLiteral("state")},
                                     QStringLiteral("mastered"));
        if (attack == QLatin1String("practice verdict"))
            practiceRecord = changed(changed(practiceRecord, task + QStringList{QStringLiteral("right")}, true),
                                     task + QStringList{QStringLiteral("mistake")}, QString());
        const QString practicePath = practice ? writeFixture(dir.path(), practiceRecord) : QString();
        ResultsFolder(dir.path(), &hashes).refresh();
        if (attack == QLatin1String("practice changed") && QFile::remove(practicePath))
            QVERIFY(!writeFixture(dir.path(), changed(practiceRecord, {QStringLiteral("finished")}, QStringLiteral("2026-12-09T10:40:00+03:00"))).isEmpty());
        if (attack == QLatin1String("practice deleted"))
            QVERIFY(QFile::remove(practicePath));
        if (attack == QLatin1String("new id")) {
            FixtureTest allRight;
            allRight.started = t.started;
            QVERIFY(QFile::remove(path));
            QVERIFY(QFile::rename(writeFixture(dir.path(), fixtureRecord(allRight)), path));
        }
        if (attack == QLatin1String("deleted"))
            QVERIFY(QFile::remove(path));
        ResultsFolder folder(dir.path(), &hashes);
        folder.setSchoolRules(SchoolRules{600, PupilNameSource::Login});
        folder.refresh();
        QStringList reasons;
        for (const SkippedFile &f : folder.skipped())
            reasons << f.problem;
        QString shown;
        for (const EntryPtr &e : folder.entries()) {
            QCOMPARE(e->fileName, file);
            shown = e->checkText();
            reasons << e->checkReasons();
            if (practice)
                QCOMPARE(e->practices.size(), unattached ? 0 : 1);
            for (const PracticePtr &p : e->practices) {
                shown = p->checkText();
                reasons << p->checkReasons();
                const QString cell = tableRow({e, e->record.pupil.name, 1, 1})[int(TableColumn::Practice)];
                QVERIFY2(cell.endsWith(shown), qPrintable(cell + QLatin1Char('/') + shown));
            }
            const QString state = stateText({e, e->record.pupil.name, 1, 1});
            QCOMPARE(tableRow({e, e->record.pupil.name, 1, 1})[int(TableColumn::Pupil)], t.name);
            QCOMPARE(summarize({{e, e->record.pupil.name, 1, 1}}).removed, int(e->removed));
            QCOMPARE(e->lost(), state == QStringLiteral("удалён") || state == QStringLiteral("не прочитан"));
        }
        QCOMPARE(shown, check);
        QVERIFY2(reasons.join(QLatin1Char('\n')).contains(reason), qPrintable(reasons.join(QLatin1Char('\n'))));
    }

    // Tests chosen by class, day and name, each pupil's attempts counted
    // within a day, names replaced in projector mode, where the attempts
    // are not told.
    void selection_data()
    {
        QTest::addColumn<ClassFilter>("filter");
        QTest::addColumn<bool>("projector");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("states");
        const QDate day(2026, 12, 9);
        const QString b = QStringLiteral("6Б");
        const QString graded = QStringLiteral("оценён");
        const QString first = QStringLiteral("оценён, попытка 1 из 2"), second = QStringLiteral("оценён, попытка 2 из 2");
        const QString petr = QStringLiteral("Петров Пётр");
        QTest::newRow("6Б on the day, projector")
            << ClassFilter{b, day, {}} << true
            << QStringList{QStringLiteral("Ученик 1"), QStringLiteral("Ученик 2"), QStringLiteral("Ученик 1"), QStringLiteral("Ученик 2")}
            << QStringList{graded, graded, graded, graded};
        QTest::newRow("a name on every day: attempts counted per day")
            << ClassFilter{{}, {}, QStringLiteral("петров")} << false << QStringList{petr, petr, petr}
            << QStringList{graded, first, second};
        QTest::newRow("6А") << ClassFilter{QStringLiteral("6А"), {}, {}} << false
                            << QStringList{QStringLiteral("Сидоров Олег")} << QStringList{graded};
        QTest::newRow("another day") << ClassFilter{b, day.addDays(-1), {}} << false << QStringList{petr}
                                     << QStringList{graded};
    }

    void selection()
    {
        QFETCH(ClassFilter, filter);
        QFETCH(bool, projector);
        QFETCH(QStringList, names);
        QFETCH(QStringList, states);
        QTemporaryDir dir;
        const ResultsFolder folder = classFolder(dir.path());
        QCOMPARE(folder.entries().size(), 6);
        QCOMPARE(classesOf(folder.entries()), (QStringList{QStringLiteral("6А"), QStringLiteral("6Б")}));
        // Of a record under two names, the one graded later counts.
        for (const EntryPtr &e : folder.entries())
            QVERIFY(e->record.started.time() != QTime(9, 0) || e->record.finished.time() == QTime(9, 6));
        QStringList shownNames, shownStates;
        for (const ShownTest &t : selectTests(folder.entries(), filter, projector)) {
            shownNames << t.name;
            shownStates << stateText(t);
            // In projector mode neither login nor computer tells who it is.
            const QStringList cells = tableRow(t);
            QCOMPARE(cells[int(TableColumn::Login)].isEmpty(), projector);
            QCOMPARE(cells[int(TableColumn::Computer)].isEmpty(), projector);
            // Nor the reasons «Проверка» gives on hovering, which name them.
            auto flagged = std::make_shared<TestEntry>(*t.entry);
            flagged->check.problems << QStringLiteral("логин %1, файл принадлежит %2")
                                           .arg(t.entry->record.pupil.login, t.entry->record.pupil.host);
            const QList<ShownTest> one{{flagged, t.name, t.attempt, t.attempts, t.projector}};
            TestsModel model;
            model.reset(&one);
            const QString hover = model.index(0, int(TableColumn::Check)).data(Qt::ToolTipRole).toString();
            QCOMPARE(hover.contains(t.entry->record.pupil.login), !projector);
        }
        if (projector) {
            // The numbers are drawn at random once per run: each pupil has
            // one of 1..n, compared here in the order first seen.
            QStringList seen;
            for (QString &name : shownNames) {
                if (!seen.contains(name))
                    seen << name;
                name = QStringLiteral("Ученик %1").arg(seen.indexOf(name) + 1);
            }
            seen.sort();
            QCOMPARE(seen, QStringList(names.cbegin(), names.cbegin() + seen.size()));
        }
        QCOMPARE(shownNames, names);
        QCOMPARE(shownStates, states);
    }

    // The summary as the window, the PDF and the XLSX show it. Each pupil
    // is given by the rows they got wrong: the first written unreduced, the
    // others left empty.
    void summary_data()
    {
        QTest::addColumn<QList<int>>("wrongRows");
        QTest::addColumn<QList<int>>("grades"); // how many 2, 3, 4, 5
        QTest::addColumn<QString>("mean");
        QTest::addColumn<int>("firstTaskShare"); // per cent
        QTest::addColumn<QStringList>("mistakes");
        QTest::addColumn<QString>("who"); // who made the first
        const auto who = [](std::initializer_list<int> pupils) {
            QStringList names;
            for (int p : pupils)
                names << QStringLiteral("\u2068Ученик %1\u2069").arg(p);
            return names.join(QStringLiteral(", "));
        };
        const QStringList unreduced{QStringLiteral("not-reduced")};
        QTest::newRow("one, all right") << QList<int>{0} << QList<int>{0, 0, 0, 1} << "5,00" << 100 << QStringList() << "";
        QTest::newRow("a 5 and a 4: mean 4,5")
            << QList<int>{0, 1} << QList<int>{0, 0, 1, 1} << "4,50" << 50 << unreduced << who({2});
        QTest::newRow("one of three: 33 %")
            << QList<int>{0, 1, 1} << QList<int>{0, 0, 2, 1} << "4,33" << 33 << unreduced << who({2, 3});
        QTest::newRow("two of three: 67 %")
            << QList<int>{0, 0, 1} << QList<int>{0, 0, 1, 2} << "4,67" << 67 << unreduced << who({3});
        QTest::newRow("one of eight: a half rounds up") << QList<int>{0, 1, 1, 1, 1, 1, 1, 1} << QList<int>{0, 0, 7, 1}
                                                        << "4,13" << 13 << unreduced << who({2, 3, 4, 5, 6, 7, 8});
        QTest::newRow("equal counts in the diagnosis's order")
            << QList<int>{2, 3} << QList<int>{1, 1, 0, 0} << "2,50" << 0
            << QStringList{QStringLiteral("no-answer"), QStringLiteral("not-reduced")} << who({1, 2});
        QTest::newRow("nothing graded") << QList<int>{} << QList<int>{0, 0, 0, 0} << "0,00" << 0 << QStringList() << "";
        // A negative count: a namesake of the pupil before, in another class.
        QTest::newRow("namesakes of two classes are two pupils")
            << QList<int>{1, -1} << QList<int>{0, 0, 2, 0} << "4,00" << 0 << unreduced
            << QStringLiteral("\u2068Ученик 1 (6Б)\u2069, \u2068Ученик 1 (6А)\u2069");
    }

    void summary()
    {
        QFETCH(QList<int>, wrongRows);
        QFETCH(QList<int>, grades);
        QFETCH(QString, mean);
        QFETCH(int, firstTaskShare);
        QFETCH(QStringList, mistakes);
        QFETCH(QString, who);
        QList<ShownTest> tests;
        for (int wrong : wrongRows) {
            FixtureTest t;
            t.name = QStringLiteral("Ученик %1").arg(wrong < 0 ? tests.size() : tests.size() + 1);
            if (wrong < 0)
                t.group = QStringLiteral("6А");
            wrong = std::abs(wrong);
            for (int r = 0; r < wrong; ++r)
                t.typed[size_t(r)] = r == 0 ? Typed{QStringLiteral("-"), QStringLiteral("2"), QStringLiteral("12")} : Typed{};
            tests << shownTest(t);
        }
        const ClassSummary s = summarize(tests);
        QCOMPARE(QList<int>(s.grades.begin(), s.grades.end()), grades);
        QStringList kinds;
        for (const MistakeCount &m : s.mistakes)
            kinds << QString::fromUtf8(MistakeName(m.kind));
        QCOMPARE(kinds, mistakes);

        const QList<SummarySection> sections = summarySections(s);
        QCOMPARE(sections.size(), 3);
        QCOMPARE(sections[0].figures.first().value.text, mean);
        QCOMPARE(sections[0].figures.first().value.number, QString(mean).replace(QLatin1Char(','), QLatin1Char('.')).toDouble());
        const SummaryCell share = sections[1].rows.first().last();
        QCOMPARE(share.text, QString::number(firstTaskShare));
        QCOMPARE(share.number, double(firstTaskShare));
        const QList<QList<SummaryCell>> &rows = sections[2].rows;
        QCOMPARE(rows.isEmpty() ? QString() : rows.first().last().text, who);
    }

    // The register's sheet: the class list's pupils in its order, «не писал»
    // for one without a test, then whoever the list does not hold; without
    // a list, or on the projector, those who wrote. Anna (6Б, grade 5) and
    // Oleg (6А, grade 5) wrote.
    void journal_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("group");
        QTest::addColumn<bool>("projector");
        QTest::addColumn<QStringList>("rows"); // class, name, grade, note
        const QByteArray list = "6Б;Петров Пётр\n6б;иванова  анна\n6А;Козлова Мария\n";
        QTest::newRow("no list") << QByteArray() << "" << false
                                 << QStringList{"6А Сидоров Олег 5 ", "6Б Иванова Анна 5 "};
        QTest::newRow("a class in the list's order")
            << list << "6Б" << false << QStringList{"6Б Петров Пётр не писал ", "6Б иванова анна 5 "};
        QTest::newRow("every class that wrote, one not listed")
            << list << "" << false
            << QStringList{"6А Козлова Мария не писал ", "6А Сидоров Олег 5 нет в списке класса", "6Б Петров Пётр не писал ",
                           "6Б иванова анна 5 "};
        QTest::newRow("projector: no names from the list")
            << list << "" << true << QStringList{"6А Ученик 2 5 ", "6Б Ученик 1 5 "};
    }

    void journal()
    {
        QFETCH(QByteArray, list);
        QFETCH(QString, group);
        QFETCH(bool, projector);
        QFETCH(QStringList, rows);
        QList<ShownTest> tests;
        for (const auto &[name, className] : {std::pair("Иванова Анна", "6Б"), std::pair("Сидоров Олег", "6А")}) {
            FixtureTest t;
            t.name = QString::fromUtf8(name);
            t.group = QString::fromUtf8(className);
            tests << shownTest(t);
            if (projector)
                tests.last().name = QStringLiteral("Ученик %1").arg(tests.size());
            tests.last().projector = projector;
        }
        if (!group.isEmpty())
            tests.removeIf([&](const ShownTest &t) { return t.entry->record.pupil.className != group; });
        QStringList shown;
        for (const JournalRow &r : journalRows(tests, parseClassList(list), group))
            shown << QStringList{r.group, r.name, journalGrade(r).text, journalNote(r)}.join(QLatin1Char(' '));
        QCOMPARE(shown, rows);
    }

    // A pupil's practices with their tests, 20 minutes apart: the column
    // «Работа над ошибками» of the pupil's row of the first day (the last
    // attempt shown) and what the summary counts of the kind practised
    // (made, worked on, mastered, made again later). "test W": a sign lost
    // in task 1; "test R": all right; "practice" after the first test,
    // "free" by `drobi --practice` (the next day: "free+1"), each with its
    // answers: R right, W the sign lost; then "mastered" when the record
    // was changed to say so.
    void practice_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QList<int>>("counts"); // empty: no section
        QTest::newRow("no practice") << QStringList{"test W"} << "—" << QList<int>{};
        QTest::newRow("mastered") << QStringList{"test W", "practice RRR"} << "1 из 1 освоено" << QList<int>{1, 1, 1, 0};
        QTest::newRow("closed mid-way") << QStringList{"test W", "practice WR"} << "0 из 1 освоено" << QList<int>{1, 1, 0, 0};
        QTest::newRow("not yet, made again later")
            << QStringList{"test W", "practice WRWRWRWRWR", "test W"} << "0 из 1 освоено" << QList<int>{1, 1, 0, 1};
        // Made in the attempt shown, as the mistakes' table counts: the last is right.
        QTest::newRow("mastered, right later")
            << QStringList{"test W", "practice WRRR", "test R"} << "1 из 1 освоено" << QList<int>{0, 1, 1, 0};
        QTest::newRow("made again before the practice is not again")
            << QStringList{"test W", "test W", "free RRR"} << "1 из 1 освоено" << QList<int>{1, 1, 1, 0};
        QTest::newRow("practice between two attempts, the last shown")
            << QStringList{"test W", "practice RRR", "test W"} << "1 из 1 освоено" << QList<int>{1, 1, 1, 1};
        QTest::newRow("written mastered counts as its tasks say")
            << QStringList{"test W", "practice RW mastered"} << "0 из 1 освоено; не сходится" << QList<int>{1, 1, 0, 0};
        QTest::newRow("free practice goes with the day's test")
            << QStringList{"test W", "free RRR"} << "1 из 1 освоено" << QList<int>{1, 1, 1, 0};
        QTest::newRow("free practice another day") << QStringList{"test W", "free+1 RRR"} << "—" << QList<int>{};
    }

    void practice()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, column);
        QFETCH(QList<int>, counts);
        QTemporaryDir dir;
        QString firstTest;
        int practices = 0;
        QDateTime at = FixtureTest{}.started;
        for (const QString &step : steps) {
            const QStringList words = step.split(QLatin1Char(' '));
            FixtureTest t;
            t.started = at.addDays(words[0] == QLatin1String("free+1") ? 1 : 0);
            at = at.addSecs(1200);
            if (words[0] == QLatin1String("test")) {
                if (words[1] == QLatin1String("W"))
                    t.typed[0] = Typed{QString(), QStringLiteral("1"), QStringLiteral("6")};
                const QString path = writeFixture(dir.path(), fixtureRecord(t));
                firstTest = firstTest.isEmpty() ? QFileInfo(path).fileName() : firstTest;
                continue;
            }
            const QString test = words[0] == QLatin1String("practice") ? firstTest.section(QLatin1Char('.'), 0, 0) : QString();
            QJsonObject record = fixturePractice(t, test, Mistake::WrongSign, words[1], t.started);
            if (words.size() > 2)
                record = changed(record, {QStringLiteral("kinds"), QStringLiteral("0"), QStringLiteral("state")}, words[2]);
            QVERIFY(!writeFixture(dir.path(), record).isEmpty());
            ++practices;
        }
        ResultsFolder folder(dir.path(), nullptr);
        folder.refresh();
        QList<ShownTest> shown = pupilRows(selectTests(folder.entries(), {}, false), AttemptChoice::Last);
        QCOMPARE(selectTests(folder.entries(), {}, false).first().entry->check.rows[0].mistake,
                 steps.first() == QLatin1String("test W") ? Mistake::WrongSign : Mistake::Right);
        QCOMPARE(tableRow(shown.first())[int(TableColumn::Practice)], column);
        // The pupil's view says how each kind ended by its tasks, as the column counts it.
        QCOMPARE(pupilTestHtml(shown.first()).count(QStringLiteral(": освоено</h4>")), column.startsWith(QLatin1Char('1')) ? 1 : 0);
        // Every practice is shown: with a test, or among the files listed.
        for (const EntryPtr &e : folder.entries())
            practices -= int(e->practices.size());
        QCOMPARE(int(folder.skipped().size()), practices);
        // An honest practice agrees with its check.
        for (const ShownTest &t : shown) {
            for (const PracticePtr &p : t.entry->practices)
                QVERIFY2(p->flagged() == column.contains(QStringLiteral("не сходится")),
                         qPrintable(p->checkReasons().join(QLatin1Char('\n'))));
        }
        QList<int> found;
        for (const PracticeCount &c : summarize(shown).practice) {
            if (c.kind == Mistake::WrongSign)
                found << c.made << c.practised << c.mastered << c.repeated;
        }
        QCOMPARE(found, counts);
    }

    // A name or class a spreadsheet would take for a formula is kept as text.
    void csvDefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QByteArray>("cells"); // the first two fields
        QTest::newRow("a plain name") << "Ким Ли" << "6Б" << QByteArray("Ким Ли;6Б");
        QTest::newRow("=") << "=1+1" << "=A1" << QByteArray("'=1+1;'=A1");
        QTest::newRow("+") << "+7" << "6Б" << QByteArray("'+7;6Б");
        QTest::newRow("-") << "-3" << "6Б" << QByteArray("'-3;6Б");
        QTest::newRow("@") << "@SUM(A1)" << "6Б" << QByteArray("'@SUM(A1);6Б");
    }

    void csvDefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, group);
        QFETCH(QByteArray, cells);
        FixtureTest t;
        t.name = name;
        t.group = group;
        const ShownTest test = shownTest(t);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        QString error;
        QVERIFY2(writeCsv(path, {test}, &error), qPrintable(error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QVERIFY(lines.size() > 1);
        QVERIFY2(lines[1].startsWith(cells + ';'), lines[1].constData());
    }

    // The day chosen is today unless --date says otherwise, for --export too.
    void arguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QDate>("date"); // invalid: every day
        QTest::addColumn<QString>("error");
        const QDate today(2026, 12, 9);
        QTest::newRow("--export without --date: today") << QStringList{"--export", "a.csv"} << today << "";
        QTest::newRow("--date all") << QStringList{"--export", "A.PDF", "--date", "all"} << QDate() << "";
        QTest::newRow("--date a day") << QStringList{"--date", "2026-11-30", "/srv/r"} << QDate(2026, 11, 30) << "";
        QTest::newRow("--date not a day") << QStringList{"--date", "30.11.2026"} << today << "--date needs";
        QTest::newRow("--export of another kind") << QStringList{"--export", "a.txt"} << today << "--export needs";
        QTest::newRow("two folders") << QStringList{"/srv/r", "/srv/s"} << today << "unexpected argument";
        QTest::newRow("--pupils of a PDF") << QStringList{"--export", "a.pdf", "--pupils"} << today << "";
        QTest::newRow("--pupils of a table") << QStringList{"--pupils", "--export", "a.csv"} << today << "--pupils needs";
        QTest::newRow("--date=, joined") << QStringList{"--date=2026-11-30", "--settings=/etc/s.conf"} << QDate(2026, 11, 30) << "";
        QTest::newRow("--projector=, no value to take") << QStringList{"--projector=yes"} << today << "unknown option";
    }

    void arguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QDate, date);
        QFETCH(QString, error);
        ClassArguments parsed;
        QString problem;
        QCOMPARE(parseClassArguments(arguments, QDate(2026, 12, 9), &parsed, &problem), error.isEmpty());
        QVERIFY2(problem.contains(error), qPrintable(problem));
        if (error.isEmpty())
            QCOMPARE(parsed.filter.date, date);
    }

    // Which attempt is a pupil's row: the last unless --attempt says.
    void attemptArgument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("attempt"); // -1: refused
        QTest::newRow("none") << QStringList{} << int(AttemptChoice::Last);
        QTest::newRow("best") << QStringList{"--attempt", "best"} << int(AttemptChoice::Best);
        QTest::newRow("first") << QStringList{"--attempt", "first"} << int(AttemptChoice::First);
        QTest::newRow("worst") << QStringList{"--attempt", "worst"} << -1;
        QTest::newRow("no word") << QStringList{"--attempt"} << -1;
    }

    void attemptArgument()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, attempt);
        ClassArguments parsed;
        QString problem;
        QCOMPARE(parseClassArguments(arguments, QDate(2026, 12, 9), &parsed, &problem), attempt >= 0);
        if (attempt >= 0)
            QCOMPARE(int(parsed.attempt), attempt);
    }

    // A text too long for one spreadsheet cell goes on in the next ones,
    // whole: cut after a ", " where there is one, never inside a character.
    void spreadsheetCells_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cells");
        QTest::newRow("at the limit") << QString(MaxCellCharacters, u'я') << 1;
        QTest::newRow("one over") << QString(MaxCellCharacters + 1, u'я') << 2;
        QTest::newRow("a character beyond plane 0 at the cut")
            << QString(MaxCellCharacters - 1, u'a') + QStringLiteral("𝔸b") << 2;
        QStringList names;
        for (int i = 0; i < 700; ++i)
            names << QStringLiteral("Ученица %1 ").arg(i) + QString(80, u'ж');
        QTest::newRow("700 long names") << names.join(QStringLiteral(", ")) << 3;
    }

    void spreadsheetCells()
    {
        QFETCH(QString, text);
        QFETCH(int, cells);
        const QStringList pieces = ::spreadsheetCells(text);
        QCOMPARE(pieces.size(), cells);
        QCOMPARE(pieces.join(QString()), text);
        for (const QString &piece : pieces) {
            QVERIFY(piece.toUcs4().size() <= MaxCellCharacters);
            QVERIFY(!piece.front().isLowSurrogate());
            if (text.contains(QStringLiteral(", ")) && &piece != &pieces.last())
                QVERIFY(piece.endsWith(QStringLiteral(", ")));
        }
    }

    // What the window warns of before saving: a file in the results folder.
    void savesIntoResults_data()
    {
        QTest::addColumn<QString>("target"); // below a temporary folder holding results/
        QTest::addColumn<bool>("into");
        QTest::newRow("the results folder") << "results/a.csv" << true;
        QTest::newRow("a folder inside it") << "results/sub/a.csv" << true;
        QTest::newRow("a link to it") << "link/a.csv" << true;
        QTest::newRow("a folder beside it") << "results-old/a.csv" << false;
    }

    void savesIntoResults()
    {
        QFETCH(QString, target);
        QFETCH(bool, into);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("results/sub")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("results-old")));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("results")), dir.filePath(QStringLiteral("link"))));
        QCOMPARE(savesInto(dir.filePath(target), dir.filePath(QStringLiteral("results"))), into);
    }
};

QTEST_APPLESS_MAIN(TestClassModel)
#include "tst_class_model.moc"
