// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/record_trust.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

QString accountName(quint32 uid)
{
    // getpwuid_r, not getpwuid: the folder is read on a worker thread.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size_t(size > 0 ? size : 16384));
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(uid_t(uid), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(uid);
}

QStringList settingsMismatches(const ResultRecord &record, const std::optional<SchoolRules> &rules)
{
    QStringList problems;
    if (!rules)
        return problems;
    if (record.secondsAllowed != rules->secondsAllowed)
        problems << QStringLiteral("время на тест %1 мин, а в настройках школы %2 мин")
                        .arg(QString::number(record.secondsAllowed / 60.0, 'g', 3),
                             QString::number(rules->secondsAllowed / 60.0, 'g', 3));
    const PupilNaming expected =
        rules->nameSource == PupilNameSource::Login ? PupilNaming::Login : PupilNaming::Typed;
    // A record that does not say (of a version before) is not flagged: a
    // pupil writing a record of their own could as well write the school's word.
    if (record.pupil.naming != PupilNaming::Unknown && record.pupil.naming != expected) {
        const auto word = [](PupilNaming n) {
            return n == PupilNaming::Login ? QStringLiteral("по учётной записи") : QStringLiteral("введено учеником");
        };
        problems << QStringLiteral("имя ученика %1, а в настройках школы %2").arg(word(record.pupil.naming), word(expected));
    }
    return problems;
}

bool ownerProves(const FileOwners &owners)
{
    return owners.file != 0 && owners.file != owners.folder && owners.file != owners.reader;
}

QString ownerMismatch(const ResultRecord &record, const FileOwners &owners)
{
    if (!ownerProves(owners))
        return QString();
    const QString owner = accountName(owners.file);
    if (owner == record.pupil.login)
        return QString();
    const QString login = record.pupil.login.isEmpty() ? QStringLiteral("не записан") : record.pupil.login;
    return QStringLiteral("записан не от имени ученика: логин %1, файл принадлежит %2").arg(login, owner);
}
