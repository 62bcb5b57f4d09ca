// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/result_record.h"

#include "results/class_list.h"
#include "results/record_fields.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// ISO 8601 with the UTC offset written out, whatever zone the time is in: a
// teacher's summary compares times of computers in one school.
QString isoTime(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

QString latin1(const char *text)
{
    return QString::fromLatin1(text);
}

QString operationSign(Operation operation)
{
    return operation == Operation::Multiply ? QStringLiteral("*") : QStringLiteral(":");
}

QString statusWord(ResultStatus status)
{
    for (const StatusWord &s : StatusWords) {
        if (s.status == status)
            return latin1(s.word);
    }
    return QString();
}

QString namingWord(PupilNaming naming)
{
    for (const NamingWord &n : NamingWords) {
        if (n.naming == naming)
            return latin1(n.word);
    }
    return QString();
}

QJsonObject pupilJson(const PupilIdentity &pupil)
{
    QJsonObject json{{QStringLiteral("name"), cleanPupilText(pupil.name)},
                     {QStringLiteral("class"), normalClassName(pupil.className)},
                     {QStringLiteral("login"), pupil.login.left(MaxAccountTextLength)},
                     {QStringLiteral("host"), pupil.host.left(MaxAccountTextLength)}};
    if (pupil.naming != PupilNaming::Unknown)
        json.insert(QStringLiteral("named"), namingWord(pupil.naming));
    return json;
}

QJsonObject scaleJson(const GradeScale &scale)
{
    return QJsonObject{{QStringLiteral("5"), scale.five}, {QStringLiteral("4"), scale.four}, {QStringLiteral("3"), scale.three}};
}

QJsonObject rowJson(const ResultRow &row)
{
    return QJsonObject{
        {QStringLiteral("operation"), operationSign(row.operation)},
        {QStringLiteral("a"), row.a},
        {QStringLiteral("b"), row.b},
        {QStringLiteral("answer"), row.answer},
        {QStringLiteral("typed"), QJsonObject{{QStringLiteral("whole"), row.typedWhole.left(MaxTypedLength)},
                                              {QStringLiteral("numerator"), row.typedNumerator.left(MaxTypedLength)},
                                              {QStringLiteral("denominator"), row.typedDenominator.left(MaxTypedLength)}}},
        {QStringLiteral("right"), row.right},
        {QStringLiteral("mistake"), row.right ? QString() : row.mistake},
        {QStringLiteral("explanation"), row.explanation},
    };
}

const passwd *currentAccount()
{
    return getpwuid(geteuid());
}

} // namespace

QString newResultId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toLower();
}

bool isResultId(const QString &id)
{
    static const QRegularExpression pattern(latin1(ResultIdPattern));
    return pattern.match(id).hasMatch();
}

QString resultFileName(const QString &id)
{
    return id + latin1(ResultSuffix);
}

QByteArray resultJson(const ResultRecord &record, const QString &version)
{
    QJsonArray rows;
    for (const ResultRow &row : record.rows)
        rows.append(rowJson(row));
    QJsonObject json{
        {QStringLiteral("format"), QLatin1String(ResultFormat)},
        {QStringLiteral("program"), QJsonObject{{QStringLiteral("name"), QStringLiteral("drobi")},
                                                {QStringLiteral("version"), version}}},
        {QStringLiteral("id"), record.id},
        {QStringLiteral("pupil"), pupilJson(record.pupil)},
        {QStringLiteral("started"), isoTime(record.started)},
        {QStringLiteral("finished"), isoTime(record.finished)},
        {QStringLiteral("secondsAllowed"), record.secondsAllowed},
        {QStringLiteral("secondsUsed"), record.secondsUsed},
        {QStringLiteral("timeRanOut"), record.timeRanOut},
        {QStringLiteral("status"), statusWord(record.status)},
        {QStringLiteral("rows"), rows},
        {QStringLiteral("right"), record.right},
        {QStringLiteral("wrong"), record.wrong},
        {QStringLiteral("grade"), record.status == ResultStatus::Graded ? record.grade : 0},
    };
    if (record.elapsedSeconds)
        json.insert(QStringLiteral("elapsedSeconds"), *record.elapsedSeconds);
    if (record.gradeScale)
        json.insert(QStringLiteral("gradeScale"), scaleJson(*record.gradeScale));
    return QJsonDocument(json).toJson(QJsonDocument::Indented);
}

QString cleanPupilText(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        // Control characters (tabs, line breaks) would break a line of the
        // teacher's list; format characters (the direction overrides and
        // isolates, zero-width spaces and joiners, marks) would let a name
        // show itself reversed, reverse its neighbours or look like another.
        // Every other character stays.
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_Format)
            continue;
        kept.append(category == QChar::Separator_Line || category == QChar::Separator_Paragraph ? QChar(u' ') : c);
    }
    kept = kept.simplified();
    // Counted in characters, not UTF-16 units; a pair is never split.
    int units = 0;
    for (int characters = 0; units < kept.size() && characters < MaxPupilTextLength; ++characters)
        units += kept.at(units).isHighSurrogate() && units + 1 < kept.size() ? 2 : 1;
    return kept.left(units).trimmed();
}

QString currentLogin()
{
    if (const passwd *account = currentAccount())
        return QString::fromLocal8Bit(account->pw_name);
    return QString::number(geteuid());
}

QString currentHost()
{
    return QSysInfo::machineHostName();
}

QString currentFullName()
{
    if (const passwd *account = currentAccount()) {
        const QString gecos = QString::fromLocal8Bit(account->pw_gecos ? account->pw_gecos : "");
        const QString name = cleanPupilText(gecos.section(QLatin1Char(','), 0, 0));
        if (!name.isEmpty())
            return name;
    }
    return currentLogin();
}

QString systemReason(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("нет такого файла или папки");
    case EACCES:
    case EPERM:
        return QStringLiteral("нет доступа");
    case ENOTDIR:
        return QStringLiteral("это не папка");
    case EISDIR:
        return QStringLiteral("это папка");
    case ELOOP:
        return QStringLiteral("это ссылка");
    case EIO:
    case EHOSTDOWN:
    case ENOTCONN:
    case ETIMEDOUT:
        return QStringLiteral("ошибка чтения: папка на сервере недоступна");
    default:
        return QStringLiteral("ошибка системы %1").arg(error);
    }
}

namespace {

using namespace RecordFields;

// A running record has no answers (empty); any other has each one.
ResultRow row(const QJsonValue &value, bool running)
{
    thread_local const QRegularExpression number(latin1(ValuePattern));
    thread_local const QRegularExpression mistake(latin1(MistakePattern));
    if (!value.isObject())
        refuse(QStringLiteral("строка задания не объект"));
    const QJsonObject o = value.toObject();
    ResultRow r;
    const QString operation = text(o, QStringLiteral("operation"));
    if (operation == operationSign(Operation::Multiply))
        r.operation = Operation::Multiply;
    else if (operation == operationSign(Operation::Divide))
        r.operation = Operation::Divide;
    else
        refuse(QStringLiteral("неизвестное действие «%1»").arg(operation.left(10)));
    r.a = matching(o, QStringLiteral("a"), number);
    r.b = matching(o, QStringLiteral("b"), number);
    r.answer = running && text(o, QStringLiteral("answer")).isEmpty() ? QString()
                                                                      : matching(o, QStringLiteral("answer"), number);
    const QJsonObject typed = object(o, QStringLiteral("typed"));
    r.typedWhole = text(typed, QStringLiteral("whole"), MaxTypedLength);
    r.typedNumerator = text(typed, QStringLiteral("numerator"), MaxTypedLength);
    r.typedDenominator = text(typed, QStringLiteral("denominator"), MaxTypedLength);
    r.right = boolean(o, QStringLiteral("right"));
    r.mistake = matching(o, QStringLiteral("mistake"), mistake);
    r.explanation = text(o, QStringLiteral("explanation"), MaxExplanationLength);
    return r;
}

ResultStatus status(const QJsonObject &o)
{
    const QString word = text(o, QStringLiteral("status"));
    for (const StatusWord &s : StatusWords) {
        if (word == latin1(s.word))
            return s.status;
    }
    refuse(QStringLiteral("неизвестное состояние «%1»").arg(word.left(20)));
}

PupilNaming naming(const QJsonObject &pupil)
{
    if (!pupil.contains(QStringLiteral("named")))
        return PupilNaming::Unknown;
    const QString word = text(pupil, QStringLiteral("named"));
    for (const NamingWord &n : NamingWords) {
        if (word == latin1(n.word))
            return n.naming;
    }
    refuse(QStringLiteral("неизвестный способ назвать ученика «%1»").arg(word.left(20)));
}

PupilIdentity pupil(const QJsonObject &o)
{
    const QJsonObject pupil = object(o, QStringLiteral("pupil"));
    // Names and classes cleaned as the writer cleans them: a file written
    // by hand gets no control or direction characters onto the screen.
    return {cleanPupilText(text(pupil, QStringLiteral("name"), MaxPupilTextLength)),
            normalClassName(text(pupil, QStringLiteral("class"), MaxPupilTextLength)),
            text(pupil, QStringLiteral("login"), MaxAccountTextLength),
            text(pupil, QStringLiteral("host"), MaxAccountTextLength), naming(pupil)};
}

// The fields later versions added: absent is no problem, present is checked.
void optionalFields(const QJsonObject &o, ResultRecord &t)
{
    if (o.contains(QStringLiteral("elapsedSeconds")))
        t.elapsedSeconds = integer(o, QStringLiteral("elapsedSeconds"), 0, 1 << 30);
    if (o.contains(QStringLiteral("gradeScale"))) {
        const QJsonObject scale = object(o, QStringLiteral("gradeScale"));
        const GradeScale read{integer(scale, QStringLiteral("5"), 0, RowCount), integer(scale, QStringLiteral("4"), 0, RowCount),
                              integer(scale, QStringLiteral("3"), 0, RowCount)};
        if (!read.isValid())
            refuse(QStringLiteral("оценки по числу верных ответов не по порядку"));
        t.gradeScale = read;
    }
}

ResultRecord record(const QJsonObject &o)
{
    thread_local const QRegularExpression uuid(latin1(ResultIdPattern));
    thread_local const QRegularExpression version(latin1(VersionPattern));
    const QJsonValue format = o.value(QStringLiteral("format"));
    if (format.toString() != latin1(ResultFormat))
        refuse(format.isString() ? QStringLiteral("другой формат или версия: «%1»").arg(format.toString().left(40))
                                 : QStringLiteral("не запись теста drobi"));

    ResultRecord t;
    const QJsonObject program = object(o, QStringLiteral("program"));
    if (text(program, QStringLiteral("name")) != QLatin1String("drobi"))
        refuse(QStringLiteral("запись другой программы"));
    t.programVersion = matching(program, QStringLiteral("version"), version);
    t.id = matching(o, QStringLiteral("id"), uuid);
    t.pupil = pupil(o);
    t.started = time(o, QStringLiteral("started"));
    t.finished = time(o, QStringLiteral("finished"));
    t.secondsAllowed = integer(o, QStringLiteral("secondsAllowed"), MinSecondsAllowed, MaxSecondsAllowed);
    t.secondsUsed = integer(o, QStringLiteral("secondsUsed"), 0, 1 << 30);
    t.timeRanOut = boolean(o, QStringLiteral("timeRanOut"));
    t.status = status(o);
    const QJsonValue rows = field(o, QStringLiteral("rows"));
    if (!rows.isArray() || rows.toArray().size() != RowCount)
        refuse(QStringLiteral("заданий не %1").arg(RowCount));
    const QJsonArray list = rows.toArray();
    for (int i = 0; i < RowCount; ++i)
        t.rows[size_t(i)] = row(list.at(i), t.status == ResultStatus::Running);
    t.right = integer(o, QStringLiteral("right"), 0, RowCount);
    t.wrong = integer(o, QStringLiteral("wrong"), 0, RowCount);
    t.grade = integer(o, QStringLiteral("grade"), 0, 5);
    optionalFields(o, t);
    return t;
}

} // namespace

QJsonObject writePupil(const PupilIdentity &identity) { return pupilJson(identity); }

std::optional<PupilIdentity> readPupil(const QJsonObject &record, QString *problem)
{
    try {
        return pupil(record);
    } catch (const BadRecord &bad) {
        if (problem)
            *problem = bad.problem;
        return std::nullopt;
    }
}

QString operationWord(Operation operation) { return operationSign(operation); }

QString writtenTask(Operation operation, const QString &a, const QString &b)
{
    return a + QLatin1Char(' ') + operationSign(operation) + QLatin1Char(' ') + b;
}

bool isRecordFileName(const QString &name)
{
    const QString suffix = latin1(ResultSuffix);
    return name.endsWith(suffix) && !name.startsWith(QLatin1Char('.')) && name.size() > suffix.size();
}

RecordRead parseRecord(const QByteArray &bytes)
{
    RecordRead read;
    read.sha256 = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    if (bytes.isEmpty()) {
        read.problem = QStringLiteral("пустой файл");
        return read;
    }
    if (bytes.size() > MaxRecordBytes) {
        read.problem = QStringLiteral("больше 1 МиБ");
        return read;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        read.problem = QStringLiteral("не JSON (ошибка у байта %1)").arg(error.offset);
        return read;
    }
    if (!document.isObject()) {
        read.problem = QStringLiteral("не запись теста drobi");
        return read;
    }
    try {
        read.record = record(document.object());
    } catch (const BadRecord &bad) {
        read.problem = bad.problem;
    }
    return read;
}

namespace {

// Reads what an open regular file holds, `size` bytes by its status; the
// size may change while reading, so the buffer grows as needed, but never
// beyond one byte over the limit. The problem, or an empty text.
QString readBounded(int fd, qint64 size, QByteArray *bytes)
{
    bytes->resize(qsizetype(size) + 1);
    qsizetype total = 0;
    QString problem;
    while (problem.isEmpty()) {
        if (total == bytes->size()) {
            if (bytes->size() > MaxRecordBytes)
                break;
            bytes->resize(std::min<qsizetype>(bytes->size() * 2, MaxRecordBytes + 1));
        }
        const ssize_t n = ::read(fd, bytes->data() + total, size_t(bytes->size() - total));
        if (n < 0 && errno != EINTR)
            problem = QStringLiteral("не читается: %1").arg(systemReason(errno));
        else if (n == 0)
            break;
        else if (n > 0)
            total += n;
    }
    bytes->resize(total);
    return problem;
}

// The bytes of an open file, unless it is not a regular file of at most
// MaxRecordBytes; the problem, or an empty text.
QString readOpened(int fd, QByteArray *bytes)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return QStringLiteral("не открывается: %1").arg(systemReason(errno));
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("папка, а не файл");
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("не обычный файл");
    if (info.st_size > MaxRecordBytes)
        return QStringLiteral("больше 1 МиБ");
    return readBounded(fd, info.st_size, bytes);
}

} // namespace

QString readRecordBytes(const QString &path, QByteArray *bytes)
{
    const QByteArray name = QFile::encodeName(path);
    // O_NOFOLLOW: a link planted under a record's name is not followed;
    // O_NONBLOCK: a pipe under that name does not hold the reader.
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return error == ELOOP ? QStringLiteral("ссылка, а не файл")
                              : QStringLiteral("не открывается: %1").arg(systemReason(error));
    }
    const QString problem = readOpened(fd, bytes);
    ::close(fd);
    return problem;
}

RecordRead readRecordFile(const QString &path)
{
    QByteArray bytes;
    RecordRead read;
    read.problem = readRecordBytes(path, &bytes);
    return read.problem.isEmpty() ? parseRecord(bytes) : read;
}
