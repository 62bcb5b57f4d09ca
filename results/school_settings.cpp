// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/school_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcSettings, "drobi.settings")

namespace {

template <class... F> struct Overloaded : F... {
    using F::operator()...;
};
// Spelt out for compilers without deduction for aggregates (clang 14).
template <class... F> Overloaded(F...) -> Overloaded<F...>;

// A value the reader accepted: the text or the number its field takes.
struct Value {
    QString text;
    int number = 0;
};

QString keyPath(const SettingKey &row)
{
    return QStringLiteral("%1/%2").arg(QLatin1String(row.group), QLatin1String(row.key));
}

// "[test] minutes=abc": the key and its value as the problems name them.
QString shown(const SettingKey &row, const QString &text)
{
    return QStringLiteral("[%1] %2=%3").arg(QLatin1String(row.group), QLatin1String(row.key), text);
}

void store(const SettingKey &row, const Value &value, SchoolSettings &settings)
{
    std::visit(Overloaded{
                   [&](QString SchoolSettings::*field) { settings.*field = value.text; },
                   [&](int SchoolSettings::*field) { settings.*field = value.number; },
                   [&](bool SchoolSettings::*field) { settings.*field = value.number != 0; },
                   [&](PupilNameSource SchoolSettings::*field) { settings.*field = PupilNameSource(value.number); },
               },
               row.field);
}

bool readWhole(const SettingKey &row, const QString &text, Value *value, QString *problem)
{
    bool ok = false;
    value->number = text.toInt(&ok);
    if (ok && value->number >= row.minimum && value->number <= row.maximum)
        return true;
    *problem = QStringLiteral("%1 is not a whole number from %2 to %3: %4 is used")
                   .arg(shown(row, text), QString::number(row.minimum), QString::number(row.maximum),
                        QLatin1String(row.defaultValue));
    return false;
}

bool readChoice(const SettingKey &row, const QString &text, Value *value, QString *problem)
{
    const QStringList words = QString::fromLatin1(row.value).split(QLatin1Char('|'));
    value->number = int(words.indexOf(text));
    if (value->number >= 0)
        return true;
    const QString choice = words.size() == 2 ? QStringLiteral("neither %1 nor %2").arg(words.constFirst(), words.constLast())
                                             : QStringLiteral("none of %1").arg(words.join(QStringLiteral(", ")));
    *problem = QStringLiteral("%1 is %2: %3 is used").arg(shown(row, text), choice, QLatin1String(row.defaultValue));
    return false;
}

// Why a folder that is not there cannot be reached now: it may be a share
// not mounted yet, or a folder on the way the user may not search.
QString unreachable(const SettingKey &row, const QString &text, int error)
{
    const QString wait = QStringLiteral("results wait on this computer until it can be reached");
    if (error == ENOENT)
        return QStringLiteral("%1 does not exist (yet): results wait on this computer until it does").arg(shown(row, text));
    if (error == ELOOP)
        return QStringLiteral("%1 is a loop of symbolic links: %2").arg(shown(row, text), wait);
    return QStringLiteral("%1 cannot be reached (%2): %3").arg(shown(row, text), QString::fromLocal8Bit(std::strerror(error)), wait);
}

// Why a path of the settings cannot be used at all, named for what it is;
// empty when it can. `reachError` receives the error when the path cannot
// be reached now (a share not mounted yet), which does not make it unusable.
QString unusablePath(const QString &text, bool folder, int *reachError)
{
    if (text.isEmpty())
        return QStringLiteral("is empty");
    if (QDir::isRelativePath(text))
        return QStringLiteral("is not an absolute path");
    // Bytes that are not UTF-8 were read as U+FFFD: the path is not the one written.
    if (text.contains(QChar::ReplacementCharacter))
        return QStringLiteral("is not valid UTF-8, the encoding of file names here");
    struct stat status = {};
    if (::stat(QFile::encodeName(text).constData(), &status) == 0) {
        if (folder && !S_ISDIR(status.st_mode))
            return QStringLiteral("is not a folder");
        if (!folder && !S_ISREG(status.st_mode))
            return QStringLiteral("is not a file");
    } else if (errno == ENAMETOOLONG) {
        return QStringLiteral("is too long for a path");
    } else {
        *reachError = errno;
    }
    return QString();
}

// A folder that cannot be used turns its group off. One that cannot be
// reached now may be a share not mounted yet: it is kept, and records wait
// on this computer until it can be reached. Each is named for what it is.
bool readFolder(const SettingKey &row, const QString &text, Value *value, QString *problem)
{
    int reachError = 0;
    if (const QString why = unusablePath(text, true, &reachError); !why.isEmpty()) {
        *problem = QStringLiteral("%1 %2: %3 are off").arg(shown(row, text), why, QLatin1String(row.group));
        return false;
    }
    if (reachError != 0)
        *problem = unreachable(row, text, reachError);
    value->text = QDir::cleanPath(text);
    return true;
}

// A file that cannot be used is left out, and what it does is off; one
// that cannot be read now is kept (a share not mounted yet), with a line.
bool readFile(const SettingKey &row, const QString &text, Value *value, QString *problem)
{
    int reachError = 0;
    if (const QString why = unusablePath(text, false, &reachError); !why.isEmpty()) {
        *problem = QStringLiteral("%1 %2: it is not used").arg(shown(row, text), why);
        return false;
    }
    if (reachError != 0)
        *problem = QStringLiteral("%1 cannot be read now (%2)").arg(shown(row, text), QString::fromLocal8Bit(std::strerror(reachError)));
    value->text = QDir::cleanPath(text);
    return true;
}

// Checks `text` against its key: true when the field takes `value`, false
// when the default stays. `problem` receives a line in both cases when
// there is something to say.
bool readValue(const SettingKey &row, const QString &text, Value *value, QString *problem)
{
    switch (row.type) {
    case SettingType::Folder:
        return readFolder(row, text, value, problem);
    case SettingType::Choice:
        return readChoice(row, text, value, problem);
    case SettingType::Whole:
        return readWhole(row, text, value, problem);
    case SettingType::File:
        return readFile(row, text, value, problem);
    }
    return false;
}

// A value as text. QSettings' INI reader turns an unquoted value with a
// comma into a list; a folder's name may hold commas, so the list is joined back.
QString text(const QSettings &ini, const QString &key)
{
    const QVariant value = ini.value(key);
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString().trimmed();
}

void readKey(const QSettings &ini, const SettingKey &row, SchoolSettings &settings)
{
    const QString path = keyPath(row);
    if (!ini.contains(path))
        return;
    Value value;
    QString problem;
    if (readValue(row, text(ini, path), &value, &problem))
        store(row, value, settings);
    if (!problem.isEmpty())
        settings.problems << problem;
}

// Without its folder a group is off, and its other keys say nothing.
void readMissingFolders(const QSettings &ini, SchoolSettings &settings)
{
    const QStringList keys = ini.allKeys();
    for (const SettingKey &row : SchoolSettingKeys) {
        const QString group = QString::fromLatin1(row.group) + u'/';
        const bool groupUsed = std::any_of(keys.begin(), keys.end(), [&](const QString &key) { return key.startsWith(group); });
        if (row.type == SettingType::Folder && groupUsed && !ini.contains(keyPath(row)))
            settings.problems << QStringLiteral("[%1] has no %2=: %1 are off").arg(QLatin1String(row.group), QLatin1String(row.key));
    }
}

// Each grade needs at least as many right answers as the one below it.
void readGradeScale(SchoolSettings &settings)
{
    if (settings.gradeScale().isValid())
        return;
    const SchoolSettings defaults;
    settings.problems << QStringLiteral("[test] grade5=%1, grade4=%2, grade3=%3 are not from the most right answers to "
                                        "the fewest: 10, 9 and 8 are used")
                             .arg(settings.gradeFive)
                             .arg(settings.gradeFour)
                             .arg(settings.gradeThree);
    settings.gradeFive = defaults.gradeFive;
    settings.gradeFour = defaults.gradeFour;
    settings.gradeThree = defaults.gradeThree;
}

void readUnknownKeys(const QSettings &ini, SchoolSettings &settings)
{
    for (const QString &key : ini.allKeys()) {
        const bool known = std::any_of(std::begin(SchoolSettingKeys), std::end(SchoolSettingKeys),
                                       [&](const SettingKey &row) { return keyPath(row) == key; });
        if (known)
            continue;
        // Keys before any group are QSettings' "General" group.
        const QString shownKey = key.contains(QLatin1Char('/'))
                                     ? QStringLiteral("[%1] %2").arg(key.section(QLatin1Char('/'), 0, 0), key.section(QLatin1Char('/'), 1))
                                     : key;
        settings.problems << QStringLiteral("%1 is not a setting drobi knows: ignored").arg(shownKey);
    }
}

// A key or a group's name as QSettings reads it: "\" is "/", and "%XX" and
// "%UXXXX" are the character of that hexadecimal code ("min%75tes" is
// "minutes").
QString iniKey(const QString &written)
{
    QString key;
    for (qsizetype i = 0; i < written.size();) {
        const bool wide = written.mid(i + 1, 1) == QLatin1String("U");
        const qsizetype first = i + (wide ? 2 : 1);
        const qsizetype digits = wide ? 4 : 2;
        bool ok = false;
        const ushort code = written.at(i) == u'%' && first + digits <= written.size()
                                ? QStringView(written).mid(first, digits).toUShort(&ok, 16)
                                : 0;
        if (ok) {
            key += QChar(code);
            i = first + digits;
        } else {
            key += written.at(i) == u'\\' ? QChar(u'/') : written.at(i);
            ++i;
        }
    }
    return key;
}

// QSettings passes over a line it cannot read ("folder /srv/x", "minutes:
// 12") and keeps the last of two equal keys, also when one is written with
// %-codes, silently: the administrator would believe a setting is in force
// that is not. Each such line is named.
void readLines(const QString &file, const QByteArray &bytes, SchoolSettings &settings)
{
    const QList<QByteArray> lines = bytes.split('\n');
    QString section = QStringLiteral("General");
    QSet<QString> seen;
    for (qsizetype number = 1; number <= lines.size(); ++number) {
        const QString line = QString::fromUtf8(lines.at(number - 1)).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = iniKey(line.mid(1, line.size() - 2).trimmed());
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString at = QStringLiteral("%1, line %2:").arg(file, QString::number(number));
        if (equals <= 0) {
            settings.problems << QStringLiteral("%1 \"%2\" is not key=value: ignored").arg(at, line.left(60));
            continue;
        }
        const QString written = line.left(equals).trimmed();
        const QString key = section + QLatin1Char('/') + iniKey(written);
        const QString as = iniKey(written) == written ? QString() : QStringLiteral(" (written %1)").arg(written);
        if (seen.contains(key))
            settings.problems << QStringLiteral("%1 %2%3 is set a second time: the last value is used").arg(at, key, as);
        seen.insert(key);
    }
}

// Whether the school's file is there. A path that cannot be looked at (a
// folder on the way the user may not search) counts as there.
bool schoolFileExists(const QString &path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

// The FILE of `--settings FILE` or `--settings=FILE`; empty when the
// command line names none. `problem` receives a line when --settings lacks
// its FILE.
QString namedFile(int argc, char *argv[], const QString &systemFile, QString *problem)
{
    constexpr char joined[] = "--settings=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], joined, sizeof joined - 1) == 0 && argv[i][sizeof joined - 1] != '\0')
            return QFile::decodeName(argv[i] + sizeof joined - 1);
        if (std::strcmp(argv[i], "--settings") != 0)
            continue;
        if (i + 1 < argc && argv[i + 1][0] != '\0')
            return QFile::decodeName(argv[i + 1]);
        *problem = QStringLiteral("--settings needs a FILE: %1 is read instead").arg(systemFile);
        break;
    }
    return QString();
}

} // namespace

SchoolSettings::SchoolSettings()
{
    for (const SettingKey &row : SchoolSettingKeys) {
        Value value;
        QString problem;
        if (row.defaultValue && readValue(row, QLatin1String(row.defaultValue), &value, &problem))
            store(row, value, *this);
    }
}

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
    QFile in(file);
    if (!info.isFile() || !in.open(QIODevice::ReadOnly)) {
        settings.problems << QStringLiteral("%1 cannot be read: the defaults are used").arg(file);
        return settings;
    }
    const QByteArray bytes = in.readAll();
    // QSettings reads a value up to a NUL byte as if it were text.
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0) {
        settings.problems << QStringLiteral("%1, line %2 holds a NUL byte: it is not a text file, the defaults are used")
                                 .arg(file, QString::number(bytes.left(nul).count('\n') + 1));
        return settings;
    }
    const QSettings ini(file, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) {
        settings.problems << QStringLiteral("%1 is not an INI file drobi can read: the defaults are used").arg(file);
        return settings;
    }
    readLines(file, bytes, settings);
    readMissingFolders(ini, settings);
    for (const SettingKey &row : SchoolSettingKeys)
        readKey(ini, row, settings);
    readUnknownKeys(ini, settings);
    readGradeScale(settings);
    return settings;
}

SettingsHost SettingsHost::thisComputer()
{
    return {QLatin1String(SystemSettingsPath), ::geteuid() == 0};
}

bool loadSchoolSettings(int argc, char *argv[], SettingsUse use, SchoolSettings *settings, QString *errorString,
                        const SettingsHost &host)
{
    QString problem;
    const QString named = namedFile(argc, argv, host.systemFile, &problem);
    if (!named.isEmpty() && use == SettingsUse::Test && !host.root && schoolFileExists(host.systemFile)) {
        if (errorString)
            *errorString = QStringLiteral("--settings %1 is refused: a test on this computer follows the school's settings, %2 "
                                          "(to check a file: drobi --check-settings --settings FILE)")
                               .arg(named, host.systemFile);
        return false;
    }
    *settings = readSchoolSettings(named.isEmpty() ? host.systemFile : named, use == SettingsUse::Check || !named.isEmpty());
    if (!problem.isEmpty())
        settings->problems.prepend(problem);
    return true;
}

void logSettingsProblems(const QStringList &problems)
{
    for (const QString &problem : problems)
        qCWarning(lcSettings).noquote() << problem;
}

QString settingsHelp()
{
    QStringList entries;
    qsizetype width = 0;
    for (const SettingKey &row : SchoolSettingKeys) {
        entries << shown(row, QLatin1String(row.value));
        width = std::max(width, entries.constLast().size() + 1);
    }
    QString help;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const SettingKey &row = SchoolSettingKeys[i];
        QString text = QString::fromUtf8(row.help);
        if (row.type == SettingType::Whole)
            text += QStringLiteral(", %1 to %2").arg(row.minimum).arg(row.maximum);
        if (row.defaultValue)
            text += QStringLiteral(" (default %1)").arg(QLatin1String(row.defaultValue));
        const QStringList lines = text.split(QLatin1Char('\n'));
        help += QStringLiteral("  %1%2\n").arg(entries.at(i).leftJustified(width), lines.constFirst());
        for (const QString &line : lines.mid(1))
            help += QString(width + 2, QLatin1Char(' ')) + line + QLatin1Char('\n');
    }
    return help;
}
