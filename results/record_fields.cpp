// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/record_fields.h"

#include "results/result_record.h"

#include <QRegularExpression>
#include <cmath>

namespace RecordFields {

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

QString text(const QJsonObject &object, const QString &key, qsizetype maxLength)
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
    thread_local const QRegularExpression form(QString::fromLatin1(TimePattern));
    const QDateTime t = QDateTime::fromString(matching(object, key, form), Qt::ISODateWithMs);
    if (!t.isValid())
        refuse(QStringLiteral("поле «%1» не время").arg(key));
    return t;
}

} // namespace RecordFields
