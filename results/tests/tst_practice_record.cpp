// SPDX-License-Identifier: GPL-3.0-or-later
// The practice record: written from a real practice and read back the same,
// refused when it claims what the writer never writes, and its constants
// held together with data/practice.schema.json.

#include "results/practice_record.h"
#include "runtime/tests/scripted_random_source.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

namespace {

QJsonValue at(const QJsonValue &root, const QStringList &path)
{
    QJsonValue v = root;
    for (const QString &key : path)
        v = v.isArray() ? v.toArray().at(key.toInt()) : v.toObject().value(key);
    return v;
}

// `root` with the value at `path` ("kinds/0/state") replaced.
QJsonValue replaced(const QJsonValue &root, QStringList path, const QJsonValue &value)
{
    if (path.isEmpty())
        return value;
    const QString key = path.takeFirst();
    if (root.isArray()) {
        QJsonArray array = root.toArray();
        array[key.toInt()] = replaced(array.at(key.toInt()), path, value);
        return array;
    }
    QJsonObject object = root.toObject();
    object[key] = replaced(object.value(key), path, value);
    return object;
}

// A practice on a sign mistake: one wrong answer, three right, mastered;
// the second kind, a row's set, closed before it began.
PracticeRecord workedRecord(const QString &test)
{
    Practice practice({{0, Mistake::WrongSign}, {4, Mistake::Other}});
    ScriptedRandomSource random({0.9, 0.3, 0.6, 0.1});
    practice.beginNextSet(random);
    for (const char answer : {'W', 'R', 'R', 'R'}) {
        const PracticeTask *task = practice.nextTask(random);
        const WrittenForm &a = task->answer;
        practice.check(answer == 'R' ? BoxTexts{a.wholeShown ? a.whole : "", a.numShown ? a.num : "", a.denShown ? a.den : ""}
                                     : *MistakenAnswer(task->task, Mistake::WrongSign));
    }
    practice.close();
    PracticeRecord record;
    record.id = QStringLiteral("0b6f3a52-1c1e-4e8f-9b7a-3f2d5c6e7a81");
    record.test = test;
    record.programVersion = QStringLiteral("1.0.0");
    record.pupil = {QStringLiteral("Иванова Мария"), QStringLiteral("6А"), QStringLiteral("maria"), QStringLiteral("pc-7"),
                    PupilNaming::Typed};
    record.started = QDateTime::fromString(QStringLiteral("2026-12-09T10:15:00+03:00"), Qt::ISODate);
    record.finished = record.started.addSecs(300);
    record.kinds = practiceKinds(practice);
    return record;
}

QStringList fields(const PracticeRecord &r)
{
    QStringList out{r.id, r.test, r.programVersion, r.pupil.name, r.pupil.className, r.pupil.login, r.pupil.host,
                    r.started.toString(Qt::ISODate), r.finished.toString(Qt::ISODate)};
    for (const PracticeRecordKind &k : r.kinds) {
        out << k.kind << QString::number(int(k.state));
        for (const PracticeRecordTask &t : k.tasks)
            out << QStringList{QString::number(t.row), t.a, t.b, t.typedWhole, t.typedNumerator, t.typedDenominator,
                               QString::number(t.right), t.mistake}.join(u'|');
    }
    return out;
}

} // namespace

class TestPracticeRecord : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
    void schemaAgrees_data();
    void schemaAgrees();
};

void TestPracticeRecord::roundTrip_data()
{
    QTest::addColumn<QString>("test");
    QTest::newRow("after a test") << "5d1e2c3b-4a59-4687-8f9e-0a1b2c3d4e5f";
    QTest::newRow("drobi --practice") << "";
}

void TestPracticeRecord::roundTrip()
{
    QFETCH(QString, test);
    const PracticeRecord record = workedRecord(test);
    QCOMPARE(record.kinds.size(), size_t(2));
    QCOMPARE(record.kinds[0].kind, "wrong-sign");
    QCOMPARE(record.kinds[0].state, PracticeState::Mastered);
    QCOMPARE(record.kinds[0].tasks.size(), size_t(4));
    QCOMPARE(record.kinds[0].tasks[0].mistake, "wrong-sign");
    QCOMPARE(record.kinds[1].kind, "row-4");
    QCOMPARE(record.kinds[1].state, PracticeState::Unfinished);

    const QByteArray json = practiceJson(record, record.programVersion);
    QCOMPARE(QJsonDocument::fromJson(json).object().contains(QStringLiteral("test")), !test.isEmpty());
    const PracticeRead read = parsePracticeRecord(json);
    QVERIFY2(read.record, qPrintable(read.problem));
    QCOMPARE(fields(*read.record), fields(record));
}

void TestPracticeRecord::refused_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QJsonValue>("value");

    QTest::newRow("a test record's format") << "format" << QJsonValue(QStringLiteral("drobi-result/1"));
    QTest::newRow("test not an id") << "test" << QJsonValue(QStringLiteral("../x"));
    QTest::newRow("state while working") << "kinds/0/state" << QJsonValue(QStringLiteral("working"));
    QTest::newRow("kind with a capital") << "kinds/0/kind" << QJsonValue(QStringLiteral("Wrong-sign"));
    QTest::newRow("right with a mistake") << "kinds/0/tasks/1/mistake" << QJsonValue(QStringLiteral("slip"));
    QTest::newRow("wrong without a mistake") << "kinds/0/tasks/0/mistake" << QJsonValue(QString());
    QTest::newRow("row past the test") << "kinds/0/tasks/0/row" << QJsonValue(RowCount);
    QTest::newRow("operation not the row's") << "kinds/0/tasks/0/row" << QJsonValue(3);
    QTest::newRow("operand not a value") << "kinds/0/tasks/0/a" << QJsonValue(QStringLiteral("1/2<b>"));
    QTest::newRow("pupil missing") << "pupil" << QJsonValue(QJsonValue::Undefined);
}

void TestPracticeRecord::refused()
{
    QFETCH(QString, path);
    QFETCH(QJsonValue, value);
    const QJsonObject written =
        QJsonDocument::fromJson(practiceJson(workedRecord(QStringLiteral("5d1e2c3b-4a59-4687-8f9e-0a1b2c3d4e5f")),
                                             QStringLiteral("1.0.0")))
            .object();
    QJsonObject changed = replaced(written, path.split(u'/'), value).toObject();
    if (value.isUndefined())
        changed.remove(path);
    const PracticeRead read = parsePracticeRecord(QJsonDocument(changed).toJson());
    QVERIFY(!read.record);
    QVERIFY(!read.problem.isEmpty());
}

void TestPracticeRecord::schemaAgrees_data()
{
    QTest::addColumn<QString>("path"); // in the schema, "/" between keys
    QTest::addColumn<QJsonValue>("value");
    const auto latin = [](const char *s) { return QJsonValue(QString::fromLatin1(s)); };
    QJsonArray states;
    for (const PracticeStateWord &s : PracticeStateWords)
        states << QString::fromLatin1(s.word);
    const QString kind = QStringLiteral("properties/kinds/items/properties/");
    const QString task = kind + QStringLiteral("tasks/items/properties/");

    QTest::newRow("format") << "properties/format/const" << latin(PracticeFormat);
    QTest::newRow("id") << "$defs/uuid/pattern" << latin(ResultIdPattern);
    QTest::newRow("time") << "$defs/time/pattern" << latin(TimePattern);
    QTest::newRow("value") << "$defs/value/pattern" << latin(ValuePattern);
    QTest::newRow("kinds at most") << "properties/kinds/maxItems" << QJsonValue(MaxPracticeKinds);
    QTest::newRow("kind") << kind + "kind/pattern" << latin(KindPattern);
    QTest::newRow("states") << kind + "state/enum" << QJsonValue(states);
    QTest::newRow("tasks at most") << kind + "tasks/maxItems" << QJsonValue(TasksPerSet);
    QTest::newRow("row at most") << task + "row/maximum" << QJsonValue(RowCount - 1);
    QTest::newRow("mistake") << task + "mistake/pattern" << latin(MistakePattern);
    QTest::newRow("typed") << task + "typed/properties/whole/maxLength" << QJsonValue(MaxTypedLength);
    QTest::newRow("name") << "properties/pupil/properties/name/maxLength" << QJsonValue(MaxPupilTextLength);
}

void TestPracticeRecord::schemaAgrees()
{
    QFETCH(QString, path);
    QFETCH(QJsonValue, value);
    QFile file(QStringLiteral(DROBI_SOURCE_DIR "/data/practice.schema.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(at(QJsonDocument::fromJson(file.readAll()).object(), path.split(u'/')), value);
}

QTEST_APPLESS_MAIN(TestPracticeRecord)
#include "tst_practice_record.moc"
