// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/practice_record.h"

#include "results/record_fields.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

using namespace RecordFields;

namespace {

QString latin1(const char *text) { return QString::fromLatin1(text); }
QString utf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QString isoTime(const QDateTime &time) { return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate); }

QString stateWord(PracticeState state)
{
    for (const PracticeStateWord &s : PracticeStateWords) {
        if (s.state == state)
            return latin1(s.word);
    }
    // Still waiting or worked on: the practice was not closed; it counts as
    // unfinished, which it is.
    return latin1(PracticeStateWords.back().word);
}

PracticeRecordTask recordTask(const PracticeTask &given)
{
    const int row = given.task.row;
    return {row,
            RowOperation[size_t(row)],
            QString::fromStdString(WriteFraction(given.task.task.a).text()),
            QString::fromStdString(WriteFraction(given.task.task.b).text()),
            QString::fromStdString(given.typed.whole),
            QString::fromStdString(given.typed.num),
            QString::fromStdString(given.typed.den),
            given.right,
            given.right ? QString() : utf8(MistakeName(given.diagnosis.mistake))};
}

QJsonObject taskJson(const PracticeRecordTask &task)
{
    return QJsonObject{
        {QStringLiteral("row"), task.row},
        {QStringLiteral("operation"), operationWord(task.operation)},
        {QStringLiteral("a"), task.a},
        {QStringLiteral("b"), task.b},
        {QStringLiteral("typed"), QJsonObject{{QStringLiteral("whole"), task.typedWhole.left(MaxTypedLength)},
                                              {QStringLiteral("numerator"), task.typedNumerator.left(MaxTypedLength)},
                                              {QStringLiteral("denominator"), task.typedDenominator.left(MaxTypedLength)}}},
        {QStringLiteral("right"), task.right},
        {QStringLiteral("mistake"), task.right ? QString() : task.mistake},
    };
}

QJsonObject kindJson(const PracticeRecordKind &kind)
{
    QJsonArray tasks;
    for (const PracticeRecordTask &task : kind.tasks)
        tasks.append(taskJson(task));
    return QJsonObject{{QStringLiteral("kind"), kind.kind},
                       {QStringLiteral("state"), stateWord(kind.state)},
                       {QStringLiteral("tasks"), tasks}};
}

// A task as the writer writes it: its row's operation and operands of the
// form the window writes.
PracticeRecordTask readTask(const QJsonValue &value)
{
    thread_local const QRegularExpression number(latin1(ValuePattern));
    thread_local const QRegularExpression mistake(latin1(MistakePattern));
    if (!value.isObject())
        refuse(QStringLiteral("задание не объект"));
    const QJsonObject o = value.toObject();
    PracticeRecordTask t;
    t.row = integer(o, QStringLiteral("row"), 0, RowCount - 1);
    t.operation = RowOperation[size_t(t.row)];
    if (text(o, QStringLiteral("operation"), 1) != operationWord(t.operation))
        refuse(QStringLiteral("действие не то, что в строке %1").arg(t.row));
    t.a = matching(o, QStringLiteral("a"), number);
    t.b = matching(o, QStringLiteral("b"), number);
    const QJsonObject typed = object(o, QStringLiteral("typed"));
    t.typedWhole = text(typed, QStringLiteral("whole"), MaxTypedLength);
    t.typedNumerator = text(typed, QStringLiteral("numerator"), MaxTypedLength);
    t.typedDenominator = text(typed, QStringLiteral("denominator"), MaxTypedLength);
    t.right = boolean(o, QStringLiteral("right"));
    t.mistake = matching(o, QStringLiteral("mistake"), mistake);
    if (t.right != t.mistake.isEmpty())
        refuse(QStringLiteral("у задания и верный ответ, и ошибка, или ни того ни другого"));
    return t;
}

PracticeRecordKind readKind(const QJsonValue &value)
{
    thread_local const QRegularExpression name(latin1(KindPattern));
    if (!value.isObject())
        refuse(QStringLiteral("вид ошибки не объект"));
    const QJsonObject o = value.toObject();
    PracticeRecordKind k;
    k.kind = matching(o, QStringLiteral("kind"), name);
    const QString state = text(o, QStringLiteral("state"), 20);
    const auto word = std::find_if(PracticeStateWords.begin(), PracticeStateWords.end(),
                                   [&](const PracticeStateWord &s) { return state == latin1(s.word); });
    if (word == PracticeStateWords.end())
        refuse(QStringLiteral("неизвестное состояние «%1»").arg(state));
    k.state = word->state;
    const QJsonValue tasks = field(o, QStringLiteral("tasks"));
    if (!tasks.isArray() || tasks.toArray().size() > TasksPerSet)
        refuse(QStringLiteral("заданий не список до %1").arg(TasksPerSet));
    for (const QJsonValue &task : tasks.toArray())
        k.tasks.push_back(readTask(task));
    return k;
}

PracticeRecord readRecord(const QJsonObject &o)
{
    thread_local const QRegularExpression uuid(latin1(ResultIdPattern));
    thread_local const QRegularExpression version(latin1(VersionPattern));
    if (o.value(QStringLiteral("format")).toString() != latin1(PracticeFormat))
        refuse(QStringLiteral("не запись работы над ошибками drobi"));
    PracticeRecord r;
    const QJsonObject program = object(o, QStringLiteral("program"));
    if (text(program, QStringLiteral("name")) != QLatin1String("drobi"))
        refuse(QStringLiteral("запись другой программы"));
    r.programVersion = matching(program, QStringLiteral("version"), version);
    r.id = matching(o, QStringLiteral("id"), uuid);
    if (o.contains(QStringLiteral("test")))
        r.test = matching(o, QStringLiteral("test"), uuid);
    QString problem;
    const std::optional<PupilIdentity> pupil = readPupil(o, &problem);
    if (!pupil)
        refuse(problem);
    r.pupil = *pupil;
    r.started = time(o, QStringLiteral("started"));
    r.finished = time(o, QStringLiteral("finished"));
    const QJsonValue kinds = field(o, QStringLiteral("kinds"));
    if (!kinds.isArray() || kinds.toArray().size() > MaxPracticeKinds)
        refuse(QStringLiteral("видов ошибок не список до %1").arg(MaxPracticeKinds));
    for (const QJsonValue &kind : kinds.toArray())
        r.kinds.push_back(readKind(kind));
    return r;
}

} // namespace

QString practiceKindName(const PracticeTopic &topic)
{
    return topic.isRow() ? QStringLiteral("row-%1").arg(topic.row) : utf8(MistakeName(topic.mistake));
}

std::vector<PracticeRecordKind> practiceKinds(const Practice &practice)
{
    std::vector<PracticeRecordKind> kinds;
    for (const PracticeSet &set : practice.sets()) {
        PracticeRecordKind kind{practiceKindName(set.topic), set.state, {}};
        for (const PracticeTask &task : set.tasks) {
            if (task.checked)
                kind.tasks.push_back(recordTask(task));
        }
        kinds.push_back(std::move(kind));
    }
    return kinds;
}

PracticeRecord practiceRecord(const Practice &practice, const PupilIdentity &pupil, const QString &test,
                              const QDateTime &started)
{
    return {newResultId(), test, QString(), pupil, started, QDateTime::currentDateTime(), practiceKinds(practice)};
}

std::optional<PracticeTopic> practiceTopicNamed(const QString &kind)
{
    if (kind.startsWith(QLatin1String("row-"))) {
        bool number = false;
        const int row = kind.mid(4).toInt(&number);
        if (number && row >= 0 && row < RowCount && kind == QStringLiteral("row-%1").arg(row))
            return PracticeTopic{Mistake::Other, row};
        return std::nullopt;
    }
    for (int m = int(Mistake::Right); m <= int(Mistake::Other); ++m) {
        if (kind == utf8(MistakeName(Mistake(m))))
            return PracticeTopic{Mistake(m), -1};
    }
    return std::nullopt;
}

QString practiceFileName(const QString &id) { return id + latin1(PracticeSuffix); }

bool isPracticeFileName(const QString &name)
{
    const QString suffix = latin1(PracticeSuffix);
    return name.endsWith(suffix) && !name.startsWith(QLatin1Char('.')) && name.size() > suffix.size();
}

QByteArray practiceJson(const PracticeRecord &record, const QString &version)
{
    QJsonArray kinds;
    for (const PracticeRecordKind &kind : record.kinds)
        kinds.append(kindJson(kind));
    QJsonObject json{
        {QStringLiteral("format"), latin1(PracticeFormat)},
        {QStringLiteral("program"), QJsonObject{{QStringLiteral("name"), QStringLiteral("drobi")},
                                                {QStringLiteral("version"), version}}},
        {QStringLiteral("id"), record.id},
        {QStringLiteral("pupil"), writePupil(record.pupil)},
        {QStringLiteral("started"), isoTime(record.started)},
        {QStringLiteral("finished"), isoTime(record.finished)},
        {QStringLiteral("kinds"), kinds},
    };
    if (!record.test.isEmpty())
        json.insert(QStringLiteral("test"), record.test);
    return QJsonDocument(json).toJson(QJsonDocument::Indented);
}

PracticeRead parsePracticeRecord(const QByteArray &bytes)
{
    PracticeRead read;
    read.sha256 = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    if (bytes.isEmpty() || bytes.size() > MaxRecordBytes) {
        read.problem = bytes.isEmpty() ? QStringLiteral("пустой файл") : QStringLiteral("больше 1 МиБ");
        return read;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        read.problem = QStringLiteral("не JSON-объект (ошибка у байта %1)").arg(error.offset);
        return read;
    }
    try {
        read.record = readRecord(document.object());
    } catch (const BadRecord &bad) {
        read.problem = bad.problem;
    }
    return read;
}

PracticeRead readPracticeFile(const QString &path)
{
    QByteArray bytes;
    PracticeRead read;
    read.problem = readRecordBytes(path, &bytes);
    return read.problem.isEmpty() ? parsePracticeRecord(bytes) : read;
}
