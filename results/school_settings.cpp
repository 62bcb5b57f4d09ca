// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/school_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <cstdio>
#include <cstring>

namespace {

// The keys this program knows, as QSettings names them.
constexpr const char *KnownKeys[] = {"results/folder", "results/name", "test/minutes"};

// A value as text. QSettings' INI reader turns an unquoted value with a
// comma into a list; a folder's name may hold commas, so the list is joined back.
QString text(const QSettings &ini, const char *key)
{
    const QVariant value = ini.value(QLatin1String(key));
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString().trimmed();
}

void readFolder(const QSettings &ini, SchoolSettings &settings)
{
    if (!ini.contains(QStringLiteral("results/folder"))) {
        if (ini.contains(QStringLiteral("results/name")))
            settings.problems << QStringLiteral("[results] has no folder=: results are off");
        return;
    }
    const QString folder = text(ini, "results/folder");
    if (folder.isEmpty()) {
        settings.problems << QStringLiteral("[results] folder= is empty: results are off");
        return;
    }
    if (QDir::isRelativePath(folder)) {
        settings.problems << QStringLiteral("[results] folder=%1 is not an absolute path: results are off").arg(folder);
        return;
    }
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        settings.problems << QStringLiteral("[results] folder=%1 is not a folder: results are off").arg(folder);
        return;
    }
    // A share that is not mounted yet looks like a missing folder. Results
    // stay on: they wait on this computer until the folder can be written.
    if (!info.exists())
        settings.problems << QStringLiteral("[results] folder=%1 does not exist (yet): results wait on this computer until it does").arg(folder);
    settings.folder = QDir::cleanPath(folder);
}

void readNameSource(const QSettings &ini, SchoolSettings &settings)
{
    if (!ini.contains(QStringLiteral("results/name")))
        return;
    const QString name = text(ini, "results/name");
    if (name == QLatin1String("ask"))
        settings.nameSource = PupilNameSource::Ask;
    else if (name == QLatin1String("login"))
        settings.nameSource = PupilNameSource::Login;
    else
        settings.problems << QStringLiteral("[results] name=%1 is neither ask nor login: ask is used").arg(name);
}

void readMinutes(const QSettings &ini, SchoolSettings &settings)
{
    if (!ini.contains(QStringLiteral("test/minutes")))
        return;
    const QString value = text(ini, "test/minutes");
    bool ok = false;
    const int minutes = value.toInt(&ok);
    if (ok && minutes >= SchoolSettings::MinMinutes && minutes <= SchoolSettings::MaxMinutes) {
        settings.minutes = minutes;
        return;
    }
    settings.problems << QStringLiteral("[test] minutes=%1 is not a whole number from %2 to %3: %4 is used")
                             .arg(value)
                             .arg(SchoolSettings::MinMinutes)
                             .arg(SchoolSettings::MaxMinutes)
                             .arg(SchoolSettings::DefaultMinutes);
}

void readUnknownKeys(const QSettings &ini, SchoolSettings &settings)
{
    for (const QString &key : ini.allKeys()) {
        bool known = false;
        for (const char *name : KnownKeys)
            known = known || key == QLatin1String(name);
        if (known)
            continue;
        // Keys before any group are QSettings' "General" group.
        const QString shown = key.contains(QLatin1Char('/'))
                                  ? QStringLiteral("[%1] %2").arg(key.section(QLatin1Char('/'), 0, 0), key.section(QLatin1Char('/'), 1))
                                  : key;
        settings.problems << QStringLiteral("%1 is not a setting drobi knows: ignored").arg(shown);
    }
}

// QSettings passes over a line it cannot read ("folder /srv/x", "minutes:
// 12") and keeps the last of two equal keys, silently: the administrator
// would believe a setting is in force that is not. Each such line is named.
void readLines(const QString &file, SchoolSettings &settings)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QString section = QStringLiteral("General");
    QSet<QString> seen;
    int number = 0;
    while (!in.atEnd()) {
        ++number;
        const QString line = QString::fromUtf8(in.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            settings.problems << QStringLiteral("%1, line %2: \"%3\" is not key=value: ignored")
                                     .arg(file)
                                     .arg(number)
                                     .arg(line.left(60));
            continue;
        }
        const QString key = section + QLatin1Char('/') + line.left(equals).trimmed();
        if (seen.contains(key))
            settings.problems << QStringLiteral("%1, line %2: %3 is set a second time: the last value is used")
                                     .arg(file)
                                     .arg(number)
                                     .arg(key);
        seen.insert(key);
    }
}

} // namespace

SchoolSettings readSchoolSettings(const QString &file, bool mustExist)
{
    SchoolSettings settings;
    settings.file = file;
    const QFileInfo info(file);
    if (!info.exists()) {
        if (mustExist)
            settings.problems << QStringLiteral("%1 does not exist: the defaults are used").arg(file);
        return settings;
    }
    settings.fileFound = true;
    if (!info.isFile() || !info.isReadable()) {
        settings.problems << QStringLiteral("%1 cannot be read: the defaults are used").arg(file);
        return settings;
    }
    const QSettings ini(file, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) {
        settings.problems << QStringLiteral("%1 is not an INI file drobi can read: the defaults are used").arg(file);
        return settings;
    }
    readLines(file, settings);
    readFolder(ini, settings);
    readNameSource(ini, settings);
    readMinutes(ini, settings);
    readUnknownKeys(ini, settings);
    return settings;
}

QString settingsFileFromArguments(int argc, char *argv[], QString *error)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--settings") != 0)
            continue;
        if (i + 1 < argc && argv[i + 1][0] != '\0')
            return QFile::decodeName(argv[i + 1]);
        if (error)
            *error = QStringLiteral("--settings needs a FILE: %1 is read instead").arg(QLatin1String(SystemSettingsPath));
        break;
    }
    return QLatin1String(SystemSettingsPath);
}

SchoolSettings loadSchoolSettings(int argc, char *argv[])
{
    QString error;
    const QString file = settingsFileFromArguments(argc, argv, &error);
    SchoolSettings settings = readSchoolSettings(file, file != QLatin1String(SystemSettingsPath));
    if (!error.isEmpty())
        settings.problems.prepend(error);
    for (const QString &problem : std::as_const(settings.problems))
        std::fprintf(stderr, "drobi: %s\n", problem.toUtf8().constData());
    return settings;
}
