// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/record.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A record that does not have the form the program writes: the reason is
// thrown up to parseRecord and becomes the file's problem.
struct BadRecord {
    QString problem;
};

[[noreturn]] void refuse(const QString &problem)
{
    throw BadRecord{problem};
}

QJsonValue field(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        refuse(QStringLiteral("нет поля «%1»").arg(key));
    return value;
}

QString text(const QJsonObject &object, const QString &key, qsizetype maxLength = 100000)
{
    const QJsonValue value = field(object, key);
    if (!value.isString())
        refuse(QStringLiteral("поле «%1» не строка").arg(key));
    const QString s = value.toString();
    if (s.size() > maxLength)
        refuse(QStringLiteral("поле «%1» длиннее %2 знаков").arg(key).arg(maxLength));
    return s;
}

int integer(const QJsonObject &object, const QString &key, int min, int max)
{
    const QJsonValue value = field(object, key);
    const double d = value.toDouble(std::nan(""));
    if (!value.isDouble() || d != std::floor(d) || d < min || d > max)
        refuse(QStringLiteral("поле «%1» не целое число от %2 до %3").arg(key).arg(min).arg(max));
    return int(d);
}

bool boolean(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = field(object, key);
    if (!value.isBool())
        refuse(QStringLiteral("поле «%1» не логическое").arg(key));
    return value.toBool();
}

QJsonObject object(const QJsonObject &parent, const QString &key)
{
    const QJsonValue value = field(parent, key);
    if (!value.isObject())
        refuse(QStringLiteral("поле «%1» не объект").arg(key));
    return value.toObject();
}

QString matching(const QJsonObject &object, const QString &key, const QRegularExpression &form)
{
    const QString s = text(object, key, 200);
    if (!form.match(s).hasMatch())
        refuse(QStringLiteral("поле «%1» не в той форме: %2").arg(key, s.left(40)));
    return s;
}

QDateTime time(const QJsonObject &object, const QString &key)
{
    thread_local const QRegularExpression form(QStringLiteral(
        "^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}(\\.[0-9]+)?(Z|[+-][0-9]{2}:[0-9]{2})$"));
    const QDateTime t = QDateTime::fromString(matching(object, key, form), Qt::ISODateWithMs);
    if (!t.isValid())
        refuse(QStringLiteral("поле «%1» не время").arg(key));
    return t;
}

RecordRow row(const QJsonValue &value)
{
    thread_local const QRegularExpression number(QStringLiteral("^-?([0-9]+|[0-9]+/[0-9]+|[0-9]+ [0-9]+/[0-9]+)$"));
    thread_local const QRegularExpression mistake(QStringLiteral("^([a-z0-9]+(-[a-z0-9]+)*)?$"));
    if (!value.isObject())
        refuse(QStringLiteral("строка задания не объект"));
    const QJsonObject o = value.toObject();
    RecordRow r;
    r.operation = text(o, QStringLiteral("operation"));
    if (r.operation != QLatin1String("*") && r.operation != QLatin1String(":"))
        refuse(QStringLiteral("неизвестное действие «%1»").arg(r.operation.left(10)));
    r.a = matching(o, QStringLiteral("a"), number);
    r.b = matching(o, QStringLiteral("b"), number);
    r.answer = matching(o, QStringLiteral("answer"), number);
    const QJsonObject typed = object(o, QStringLiteral("typed"));
    r.typedWhole = text(typed, QStringLiteral("whole"), 1000);
    r.typedNum = text(typed, QStringLiteral("numerator"), 1000);
    r.typedDen = text(typed, QStringLiteral("denominator"), 1000);
    r.right = boolean(o, QStringLiteral("right"));
    r.mistake = matching(o, QStringLiteral("mistake"), mistake);
    r.explanation = text(o, QStringLiteral("explanation"), 10000);
    return r;
}

TestRecord record(const QJsonObject &o)
{
    thread_local const QRegularExpression uuid(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    thread_local const QRegularExpression version(QStringLiteral("^[0-9]+\\.[0-9]+\\.[0-9]+"));
    const QJsonValue format = o.value(QStringLiteral("format"));
    if (format.toString() != RecordFormat)
        refuse(format.isString() ? QStringLiteral("другой формат или версия: «%1»").arg(format.toString().left(40))
                                 : QStringLiteral("не запись теста drobi"));

    TestRecord t;
    const QJsonObject program = object(o, QStringLiteral("program"));
    if (text(program, QStringLiteral("name")) != QLatin1String("drobi"))
        refuse(QStringLiteral("запись другой программы"));
    t.programVersion = matching(program, QStringLiteral("version"), version);
    t.id = matching(o, QStringLiteral("id"), uuid);
    const QJsonObject pupil = object(o, QStringLiteral("pupil"));
    t.pupilName = text(pupil, QStringLiteral("name"), 100);
    t.pupilClass = text(pupil, QStringLiteral("class"), 100);
    t.login = text(pupil, QStringLiteral("login"), 1000);
    t.host = text(pupil, QStringLiteral("host"), 1000);
    t.started = time(o, QStringLiteral("started"));
    t.finished = time(o, QStringLiteral("finished"));
    t.secondsAllowed = integer(o, QStringLiteral("secondsAllowed"), 60, 5400);
    t.secondsUsed = integer(o, QStringLiteral("secondsUsed"), 0, 1 << 30);
    t.timeRanOut = boolean(o, QStringLiteral("timeRanOut"));
    const QString status = text(o, QStringLiteral("status"));
    if (status == QLatin1String("graded"))
        t.status = RecordStatus::Graded;
    else if (status == QLatin1String("unfinished"))
        t.status = RecordStatus::Unfinished;
    else
        refuse(QStringLiteral("неизвестное состояние «%1»").arg(status.left(20)));
    const QJsonValue rows = field(o, QStringLiteral("rows"));
    if (!rows.isArray() || rows.toArray().size() != RowCount)
        refuse(QStringLiteral("заданий не %1").arg(RowCount));
    const QJsonArray list = rows.toArray();
    for (int i = 0; i < RowCount; ++i)
        t.rows[size_t(i)] = row(list.at(i));
    t.right = integer(o, QStringLiteral("right"), 0, RowCount);
    t.wrong = integer(o, QStringLiteral("wrong"), 0, RowCount);
    t.grade = integer(o, QStringLiteral("grade"), 0, 5);
    return t;
}

} // namespace

bool isRecordFileName(const QString &name)
{
    return name.endsWith(RecordSuffix) && !name.startsWith(QLatin1Char('.')) && name.size() > RecordSuffix.size();
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

RecordRead readRecordFile(const QString &path)
{
    RecordRead read;
    const QByteArray name = QFile::encodeName(path);
    // O_NOFOLLOW: a link planted under a record's name is not followed;
    // O_NONBLOCK: a pipe under that name does not hold the reader.
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ELOOP)
            read.problem = QStringLiteral("ссылка, а не файл");
        else
            read.problem = QStringLiteral("не открывается: %1").arg(systemReason(error));
        return read;
    }
    struct stat info {};
    QByteArray bytes;
    if (::fstat(fd, &info) != 0) {
        read.problem = QStringLiteral("не открывается: %1").arg(systemReason(errno));
    } else if (S_ISDIR(info.st_mode)) {
        read.problem = QStringLiteral("папка, а не файл");
    } else if (!S_ISREG(info.st_mode)) {
        read.problem = QStringLiteral("не обычный файл");
    } else if (info.st_size > MaxRecordBytes) {
        read.problem = QStringLiteral("больше 1 МиБ");
    } else {
        // The size may change while reading: the buffer grows as needed, but
        // never beyond one byte over the limit.
        bytes.resize(qsizetype(info.st_size) + 1);
        qsizetype total = 0;
        while (true) {
            if (total == bytes.size()) {
                if (bytes.size() > MaxRecordBytes)
                    break;
                bytes.resize(std::min<qsizetype>(bytes.size() * 2, MaxRecordBytes + 1));
            }
            const ssize_t n = ::read(fd, bytes.data() + total, size_t(bytes.size() - total));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                read.problem = QStringLiteral("не читается: %1").arg(systemReason(errno));
                break;
            }
            if (n == 0)
                break;
            total += n;
        }
        bytes.resize(total);
    }
    ::close(fd);
    if (!read.problem.isEmpty())
        return read;
    return parseRecord(bytes);
}
