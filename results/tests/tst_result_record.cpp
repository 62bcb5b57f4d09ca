// SPDX-License-Identifier: GPL-3.0-or-later
// The results record's one definition: what the writer writes the reader
// reads back unchanged, and the format's constants are those of its JSON
// Schema.

#include "results/result_record.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimeZone>

Q_DECLARE_METATYPE(ResultRecord)

namespace {

// A record with every field set to something other than its default.
ResultRecord fullRecord(ResultStatus status)
{
    ResultRecord r;
    r.id = newResultId();
    r.programVersion = QStringLiteral("1.2.3");
    r.pupil = {QStringLiteral("Иванова Мария"), QStringLiteral("6Б"), QStringLiteral("ivanova"), QStringLiteral("pc-07"),
               PupilNaming::Login};
    r.started = QDateTime(QDate(2026, 12, 9), QTime(10, 15, 7), QTimeZone(3 * 3600));
    r.finished = QDateTime(QDate(2026, 12, 9), QTime(7, 22, 30), QTimeZone::utc());
    r.secondsAllowed = 900;
    r.secondsUsed = 437;
    r.elapsedSeconds = 1234;
    r.gradeScale = GradeScale{9, 7, 5};
    r.timeRanOut = true;
    r.status = status;
    for (int i = 0; i < RowCount; ++i) {
        ResultRow &row = r.rows[size_t(i)];
        row.operation = RowOperation[size_t(i)];
        row.a = QStringLiteral("-4 1/%1").arg(i + 2);
        row.b = QStringLiteral("%1/7").arg(i + 1);
        row.answer = QString::number(-i);
        row.typedWhole = i % 2 ? QStringLiteral("-") : QString();
        row.typedNumerator = QString::number(i * 11);
        row.typedDenominator = i == 3 ? QStringLiteral("абв") : QString();
        row.right = i % 3 == 0;
        row.mistake = row.right ? QString() : QStringLiteral("sign-twice");
        row.explanation = QStringLiteral("Строка %1.").arg(i);
    }
    r.right = 4;
    r.wrong = 6;
    r.grade = status == ResultStatus::Graded ? 2 : 0;
    return r;
}

// A time and the offset from UTC it was written with.
QString moment(const QDateTime &t)
{
    return QString::number(t.toMSecsSinceEpoch()) + QLatin1Char('@') + QString::number(t.offsetFromUtc());
}

// Every field as text, in a fixed order: a difference shows its index.
QStringList fields(const ResultRecord &r)
{
    QStringList out{r.id,
                    r.programVersion,
                    r.pupil.name,
                    r.pupil.className,
                    r.pupil.login,
                    r.pupil.host,
                    moment(r.started),
                    moment(r.finished),
                    QString::number(r.secondsAllowed),
                    QString::number(r.secondsUsed),
                    QString::number(r.timeRanOut),
                    QString::number(int(r.status)),
                    QString::number(r.right),
                    QString::number(r.wrong),
                    QString::number(r.grade),
                    QString::number(int(r.pupil.naming)),
                    r.elapsedSeconds ? QString::number(*r.elapsedSeconds) : QStringLiteral("absent"),
                    r.gradeScale ? QStringLiteral("%1 %2 %3").arg(r.gradeScale->five).arg(r.gradeScale->four).arg(r.gradeScale->three)
                                 : QStringLiteral("absent")};
    for (const ResultRow &row : r.rows)
        out << QString::number(int(row.operation)) << row.a << row.b << row.answer << row.typedWhole << row.typedNumerator
            << row.typedDenominator << QString::number(row.right) << row.mistake << row.explanation;
    return out;
}

QJsonValue at(const QJsonObject &root, const QString &path)
{
    QJsonValue v = root;
    for (const QString &key : path.split(QLatin1Char('/')))
        v = v.toObject().value(key);
    return v;
}

} // namespace

class TestResultRecord : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void schemaAgrees_data();
    void schemaAgrees();
};

void TestResultRecord::roundTrip_data()
{
    QTest::addColumn<ResultRecord>("record");
    for (const StatusWord &s : StatusWords)
        QTest::newRow(s.word) << fullRecord(s.status);
    // At the limits the reader accepts.
    ResultRecord limits = fullRecord(ResultStatus::Graded);
    limits.pupil.name = QString(MaxPupilTextLength, u'я');
    limits.pupil.login = QString(MaxAccountTextLength, u'l');
    limits.rows[9].typedNumerator = QString(MaxTypedLength, u'7');
    limits.rows[0].explanation = QString(MaxExplanationLength, u'ж');
    limits.secondsAllowed = MaxSecondsAllowed;
    limits.rows[4].a = QStringLiteral("32767 32766/32767");
    QTest::newRow("at the limits") << limits;
    ResultRecord shortest = fullRecord(ResultStatus::Graded);
    shortest.secondsAllowed = MinSecondsAllowed;
    shortest.secondsUsed = 0;
    shortest.pupil = {};
    shortest.right = 10;
    shortest.wrong = 0;
    shortest.grade = 5;
    for (ResultRow &row : shortest.rows)
        row = ResultRow{row.operation, QStringLiteral("0"), QStringLiteral("1/2"), QStringLiteral("-1"), {}, {}, {}, true, {}, {}};
    QTest::newRow("empty texts") << shortest;
    ResultRecord keyless = fullRecord(ResultStatus::Running);
    for (ResultRow &row : keyless.rows)
        row.answer.clear();
    QTest::newRow("running, without the answers") << keyless;
    ResultRecord first = fullRecord(ResultStatus::Graded);
    first.pupil.naming = PupilNaming::Typed;
    first.elapsedSeconds.reset();
    first.gradeScale.reset();
    QTest::newRow("typed name") << first;
    first.pupil.naming = PupilNaming::Unknown;
    QTest::newRow("without the fields added after 1.0") << first;
}

void TestResultRecord::roundTrip()
{
    QFETCH(ResultRecord, record);
    const RecordRead read = parseRecord(resultJson(record, record.programVersion));
    QVERIFY2(read.record, qPrintable(read.problem));
    QCOMPARE(fields(*read.record), fields(record));
}

void TestResultRecord::schemaAgrees_data()
{
    QTest::addColumn<QString>("path"); // in the schema, "/" between keys
    QTest::addColumn<QJsonValue>("value");
    const auto latin = [](const char *s) { return QJsonValue(QString::fromLatin1(s)); };
    QJsonArray statuses;
    for (const StatusWord &s : StatusWords)
        statuses << QString::fromLatin1(s.word);

    QTest::newRow("format") << "properties/format/const" << latin(ResultFormat);
    QTest::newRow("statuses") << "properties/status/enum" << QJsonValue(statuses);
    QJsonArray namings;
    for (const NamingWord &n : NamingWords)
        namings << QString::fromLatin1(n.word);
    QTest::newRow("namings") << "properties/pupil/properties/named/enum" << QJsonValue(namings);
    QTest::newRow("grade scale at most") << "properties/gradeScale/properties/5/maximum" << QJsonValue(RowCount);
    QTest::newRow("id") << "properties/id/pattern" << latin(ResultIdPattern);
    QTest::newRow("version") << "properties/program/properties/version/pattern" << latin(VersionPattern);
    QTest::newRow("time") << "$defs/time/pattern" << latin(TimePattern);
    QTest::newRow("value") << "$defs/value/pattern" << latin(ValuePattern);
    QTest::newRow("mistake") << "properties/rows/items/properties/mistake/pattern" << latin(MistakePattern);
    QTest::newRow("name") << "properties/pupil/properties/name/maxLength" << QJsonValue(MaxPupilTextLength);
    QTest::newRow("class") << "properties/pupil/properties/class/maxLength" << QJsonValue(MaxPupilTextLength);
    QTest::newRow("login") << "properties/pupil/properties/login/maxLength" << QJsonValue(MaxAccountTextLength);
    QTest::newRow("host") << "properties/pupil/properties/host/maxLength" << QJsonValue(MaxAccountTextLength);
    for (const char *box : {"whole", "numerator", "denominator"})
        QTest::addRow("typed %s", box) << QStringLiteral("properties/rows/items/properties/typed/properties/%1/maxLength").arg(QLatin1String(box))
                                       << QJsonValue(MaxTypedLength);
    QTest::newRow("explanation") << "properties/rows/items/properties/explanation/maxLength" << QJsonValue(MaxExplanationLength);
    QTest::newRow("shortest test") << "properties/secondsAllowed/minimum" << QJsonValue(MinSecondsAllowed);
    QTest::newRow("longest test") << "properties/secondsAllowed/maximum" << QJsonValue(MaxSecondsAllowed);
    QTest::newRow("rows at least") << "properties/rows/minItems" << QJsonValue(RowCount);
    QTest::newRow("rows at most") << "properties/rows/maxItems" << QJsonValue(RowCount);
    QTest::newRow("right at most") << "properties/right/maximum" << QJsonValue(RowCount);
    QTest::newRow("wrong at most") << "properties/wrong/maximum" << QJsonValue(RowCount);
}

void TestResultRecord::schemaAgrees()
{
    QFETCH(QString, path);
    QFETCH(QJsonValue, value);
    QFile file(QStringLiteral(DROBI_SOURCE_DIR "/data/result.schema.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject schema = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(at(schema, path), value);
}

QTEST_APPLESS_MAIN(TestResultRecord)
#include "tst_result_record.moc"
