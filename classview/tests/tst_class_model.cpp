// SPDX-License-Identifier: GPL-3.0-or-later
// The class model on folders of records: every kind of bad file skipped and
// counted, records graded again with the window's rules and flagged where
// they do not agree, a record changed after its first read flagged, and the
// choice of tests and the class summary.

#include "classview/class_model.h"
#include "classview/tests/record_fixture.h"

#include <QtTest>

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

} // namespace

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

    void selectionAndSummary()
    {
        QTemporaryDir dir;
        const QTimeZone msk(3 * 3600);
        const QDate day(2026, 12, 9);
        const auto add = [&](const QString &name, const QString &group, QDate date, QTime time, int wrongRows) {
            FixtureTest t;
            t.name = name;
            t.group = group;
            t.started = QDateTime(date, time, msk);
            for (int r = 0; r < wrongRows; ++r) // row 0's -1/6 written 2/12 with its minus: not reduced
                t.typed[size_t(r)] = r == 0 ? Typed{QStringLiteral("-"), QStringLiteral("2"), QStringLiteral("12")} : Typed{};
            return writeFixture(dir.path(), fixtureRecord(t));
        };
        add(QStringLiteral("Петров Пётр"), QStringLiteral("6Б"), day, QTime(10, 0), 3);
        add(QStringLiteral("Иванова Анна"), QStringLiteral("6Б"), day, QTime(10, 1), 0);
        add(QStringLiteral("Петров Пётр"), QStringLiteral("6Б"), day, QTime(10, 20), 1);
        add(QStringLiteral("Сидоров Олег"), QStringLiteral("6А"), day, QTime(11, 0), 2);
        add(QStringLiteral("Петров Пётр"), QStringLiteral("6Б"), day.addDays(-1), QTime(10, 0), 0);
        // A copy of a record under another name, graded again later: the newer one counts.
        QJsonObject copy = fixtureRecord(FixtureTest{});
        copy[QStringLiteral("pupil")] = QJsonObject{{QStringLiteral("name"), QStringLiteral("Иванова Анна")},
                                                    {QStringLiteral("class"), QStringLiteral("6Б")},
                                                    {QStringLiteral("login"), QString()},
                                                    {QStringLiteral("host"), QString()}};
        copy[QStringLiteral("started")] = QStringLiteral("2026-12-09T09:00:00+03:00");
        const QString id = copy[QStringLiteral("id")].toString();
        copy[QStringLiteral("finished")] = QStringLiteral("2026-12-09T09:05:00+03:00");
        QFile::rename(writeFixture(dir.path(), copy), dir.filePath(QStringLiteral("copy.drobi.json")));
        copy[QStringLiteral("finished")] = QStringLiteral("2026-12-09T09:06:00+03:00");
        writeFixture(dir.path(), copy);

        ResultsFolder folder(dir.path(), nullptr);
        folder.refresh();
        QCOMPARE(folder.entries().size(), 6);
        QCOMPARE(classesOf(folder.entries()), (QStringList{QStringLiteral("6А"), QStringLiteral("6Б")}));

        const QList<ShownTest> b = selectTests(folder.entries(), ClassFilter{QStringLiteral("6Б"), day, QString()}, true);
        QStringList names, states;
        for (const ShownTest &t : b) {
            names << t.name;
            states << stateText(t);
        }
        QCOMPARE(names, (QStringList{QStringLiteral("Ученик 1"), QStringLiteral("Ученик 2"), QStringLiteral("Ученик 1"),
                                     QStringLiteral("Ученик 2")}));
        QCOMPARE(states, (QStringList{QStringLiteral("оценён, попытка 1 из 2"), QStringLiteral("оценён, попытка 1 из 2"),
                                      QStringLiteral("оценён, попытка 2 из 2"), QStringLiteral("оценён, попытка 2 из 2")}));
        QCOMPARE(b[0].entry->record.finished.time(), QTime(9, 6));
        QCOMPARE(selectTests(folder.entries(), ClassFilter{QString(), QDate(), QStringLiteral("петров")}, false).size(), 3);

        const ClassSummary s = summarize(b);
        QCOMPARE(s.tests, 4);
        QCOMPARE(s.grades, (std::array<int, 4>{1, 0, 1, 2}));
        QCOMPARE(s.meanGrade, 4.0);
        QCOMPARE(s.rightPerRow[0], 2);
        QCOMPARE(s.rightPerRow[2], 3);
        // Equal counts keep the diagnosis's own order.
        QCOMPARE(s.mistakes.size(), 2);
        QCOMPARE(s.mistakes.first().kind, Mistake::NoAnswer);
        QCOMPARE(s.mistakes.last().kind, Mistake::NotReduced);
        QCOMPARE(s.mistakes.last().pupils, QStringList{QStringLiteral("Ученик 2")});
        QCOMPARE(s.mistakes.last().title, QString::fromUtf8(MistakeTitle(Mistake::NotReduced).data()));
    }
};

QTEST_APPLESS_MAIN(TestClassModel)
#include "tst_class_model.moc"
