// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The strict field readers of the records' formats (result_record.h,
// practice_record.h): each takes a field of the form the program writes or
// refuses the whole record, throwing BadRecord with the reason in Russian,
// which the record's parse function catches. Internal to the results
// library.

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

class QRegularExpression;

namespace RecordFields {

// A record that does not have the form the program writes: the reason is
// thrown up to the parse function and becomes the file's problem.
struct BadRecord {
    QString problem;
};

[[noreturn]] void refuse(const QString &problem);
QJsonValue field(const QJsonObject &object, const QString &key);
QString text(const QJsonObject &object, const QString &key, qsizetype maxLength = 100000);
int integer(const QJsonObject &object, const QString &key, int min, int max);
bool boolean(const QJsonObject &object, const QString &key);
QJsonObject object(const QJsonObject &parent, const QString &key);
QString matching(const QJsonObject &object, const QString &key, const QRegularExpression &form);
QDateTime time(const QJsonObject &object, const QString &key);

} // namespace RecordFields
