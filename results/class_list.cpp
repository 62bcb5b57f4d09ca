// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/class_list.h"

#include "results/result_record.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>

namespace {

// Windows-1251's upper half, 0x80 to 0xFF; 0x98 has no character.
constexpr std::array<char16_t, 128> Cp1251{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C,
    0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A,
    0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9,
    0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415,
    0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431,
    0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D,
    0x044E, 0x044F,
};

// The text of a file in UTF-8 or, failing that, in Windows-1251.
QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    QString cyrillic;
    cyrillic.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        cyrillic.append(QChar(byte < 0x80 ? char16_t(byte) : Cp1251[byte - 0x80]));
    }
    return cyrillic;
}

// Latin capitals that look like Cyrillic ones, as a class letter typed on
// the wrong keyboard layout shows them.
QChar cyrillicLookAlike(QChar c)
{
    static const QString latin = QStringLiteral("ABCEHKMOPTX");
    static const QString cyrillic = QStringLiteral("АВСЕНКМОРТХ");
    const qsizetype at = latin.indexOf(c);
    return at < 0 ? c : cyrillic.at(at);
}

QString unquoted(QString field)
{
    field = field.trimmed();
    if (field.size() >= 2 && field.startsWith(QLatin1Char('"')) && field.endsWith(QLatin1Char('"')))
        field = field.mid(1, field.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return field.simplified();
}

bool looksLikeClass(const QString &normal)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{1,2}\\p{L}*$"));
    return form.match(normal).hasMatch();
}

// One line of the file into `list`; `number` counts from 1.
void readLine(const QString &line, int number, ClassList &list, QSet<QString> &seen)
{
    if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
        return;
    static const QRegularExpression separator(QStringLiteral("[;\\t]"));
    QStringList fields = line.split(separator);
    std::transform(fields.begin(), fields.end(), fields.begin(), unquoted);
    const QString className = normalClassName(fields.value(0));
    const QString name = cleanPupilText(fields.mid(1).join(QLatin1Char(' ')));
    if (number == 1 && !looksLikeClass(className))
        return; // the columns' names
    if (!looksLikeClass(className) || name.isEmpty()) {
        list.problems << QStringLiteral("строка %1: нужны класс и имя через «;» или табуляцию").arg(number);
        return;
    }
    const QString key = className + QLatin1Char('\n') + name.toCaseFolded();
    if (seen.contains(key))
        return;
    seen.insert(key);
    list.pupils << ClassList::Pupil{className, name};
}

} // namespace

QString pupilNameKey(const QString &name)
{
    return name.simplified().toCaseFolded();
}

QString normalClassName(const QString &typed)
{
    static const QRegularExpression classWord(QStringLiteral("(?i)\\s*(класс|кл\\.?)\\s*$"));
    QString text = cleanPupilText(typed).remove(classWord);
    static const QRegularExpression between(QStringLiteral("^([0-9]{1,2})[\\s\\-._/]*(\\p{L}*)$"));
    const QRegularExpressionMatch m = between.match(text);
    if (!m.hasMatch())
        return text.trimmed().toUpper();
    QString letters = m.captured(2).toUpper();
    for (QChar &c : letters)
        c = cyrillicLookAlike(c);
    return m.captured(1) + letters;
}

QStringList ClassList::classes() const
{
    QStringList all;
    for (const Pupil &p : pupils) {
        if (!all.contains(p.className))
            all << p.className;
    }
    // "5А" < "6Б" < "10А": by the number first.
    std::sort(all.begin(), all.end(), [](const QString &a, const QString &b) {
        const auto number = [](const QString &s) { return s.left(s.indexOf(QRegularExpression(QStringLiteral("\\D")))).toInt(); };
        return std::make_pair(number(a), a) < std::make_pair(number(b), b);
    });
    return all;
}

QStringList ClassList::namesIn(const QString &className) const
{
    QStringList names;
    for (const Pupil &p : pupils) {
        if (p.className == className)
            names << p.name;
    }
    return names;
}

ClassList parseClassList(const QByteArray &bytes)
{
    ClassList list;
    QSet<QString> seen;
    const QStringList lines = decode(bytes).split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")));
    for (int i = 0; i < lines.size(); ++i)
        readLine(lines[i], i + 1, list, seen);
    return list;
}

bool readClassList(const QString &path, ClassList *list, QString *error)
{
    // A register's export of a whole school is a few hundred kilobytes.
    constexpr qint64 maxBytes = 4 * 1024 * 1024;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("список классов %1 не открывается: %2").arg(path, systemReason(errno));
        return false;
    }
    const QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes) {
        *error = QStringLiteral("список классов %1 больше 4 МиБ").arg(path);
        return false;
    }
    *list = parseClassList(bytes);
    return true;
}
