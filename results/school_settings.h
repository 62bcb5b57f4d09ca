// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The school's settings: one INI file an administrator installs at a fixed
// path. It turns on the results folder, says where pupils' names come from,
// and sets the test's length.
//
// Every key is declared once, in SchoolSettingKeys below (group, key, type,
// where its value goes, default, allowed range, help text): the reader, the
// administrator's check, the settings part of `--help` and the defaults of
// SchoolSettings all come from that table, and a test holds the example file
// (data/drobi.conf.example) to exactly its keys. A new key is a field of
// SchoolSettings and one line of the table.
//
// Nothing here ever stops a pupil's test: a value that cannot be used is
// replaced by its default and named in `problems`, one line each, which the
// programs print on standard error and `--check-settings` lists. With no
// file the settings are the program's defaults, and nothing beyond the
// file's existence is looked at.
//
// QtCore only.

#include "session/session.h"

#include <QLoggingCategory>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <string_view>
#include <variant>

// The settings' problems and the refusal of --settings, on standard error.
Q_DECLARE_LOGGING_CATEGORY(lcSettings)

// The file a school installs; while it exists, only root takes a test with
// another file (see loadSchoolSettings).
inline constexpr char SystemSettingsPath[] = "/etc/xdg/drobi/drobi.conf";

enum class PupilNameSource { Ask, Login };

struct SchoolSettings {
    // The test's length when no file sets it; the table's default below.
    static constexpr int DefaultMinutes = 10;

    // Every field the table fills starts at the table's default.
    SchoolSettings();

    // The file the settings came from; `fileFound` is false when there was none.
    QString file;
    bool fileFound = false;
    // The results folder, an absolute path; empty when results are off.
    QString folder;
    PupilNameSource nameSource;
    // The school's class lists (class_list.h), an absolute path; empty
    // when names are typed freely.
    QString classList;
    int minutes;
    // The fewest right answers for a 5, a 4 and a 3.
    int gradeFive;
    int gradeFour;
    int gradeThree;
    // «Работа над ошибками» offered in the grade box after «Готово!».
    bool practiceAfterTest;
    // Every value that could not be used, and why: one line each.
    QStringList problems;

    bool resultsOn() const { return !folder.isEmpty(); }
    int secondsAllowed() const { return minutes * 60; }
    GradeScale gradeScale() const { return {gradeFive, gradeFour, gradeThree}; }
};

// How a key's value is written and checked.
enum class SettingType {
    // An absolute path of a folder; without a usable one, what the group
    // does is off. The other keys of its group mean nothing without it.
    Folder,
    // One of the words of `value` ("ask|login"); the field gets the word's
    // index (an enum in the words' order, or false/true for "no|yes").
    Choice,
    // A whole number from `minimum` to `maximum`.
    Whole,
    // An absolute path of a file; without a usable one, what the key does
    // is off.
    File,
};

// Where a key's value goes in SchoolSettings.
using SettingField = std::variant<QString SchoolSettings::*, int SchoolSettings::*, bool SchoolSettings::*,
                                  PupilNameSource SchoolSettings::*>;

// One key, as KDE's .kcfg files declare theirs.
struct SettingKey {
    const char *group;
    const char *key;
    SettingType type;
    SettingField field;
    // The value as --help shows it ("DIR", "N"); a Choice's words.
    const char *value;
    // The default, as it would be written in the file; none for a Folder.
    const char *defaultValue = nullptr;
    int minimum = 0;
    int maximum = 0;
    // For --help, lines broken with \n; the range and the default are added.
    const char *help = "";
};

// clang-format off
inline constexpr SettingKey SchoolSettingKeys[] = {
    {.group = "results", .key = "folder", .type = SettingType::Folder, .field = &SchoolSettings::folder, .value = "DIR",
     .help = "absolute path of the teacher's results folder;\neach test is written there as <id>.drobi.json"},
    {.group = "results", .key = "name", .type = SettingType::Choice, .field = &SchoolSettings::nameSource,
     .value = "ask|login", .defaultValue = "ask",
     .help = "ask the pupil's name before the test,\nor use the account's full name"},
    {.group = "results", .key = "classes", .type = SettingType::File, .field = &SchoolSettings::classList, .value = "FILE",
     .help = "the school's class lists, one pupil a line:\nclass;name (or a tab), UTF-8 or Windows-1251;\nthe pupil then chooses the class and the name"},
    {.group = "test", .key = "minutes", .type = SettingType::Whole, .field = &SchoolSettings::minutes, .value = "N",
     .defaultValue = "10", .minimum = 1, .maximum = 90, .help = "the test's length"},
    {.group = "test", .key = "grade5", .type = SettingType::Whole, .field = &SchoolSettings::gradeFive, .value = "N",
     .defaultValue = "10", .minimum = 0, .maximum = 10, .help = "the fewest right answers out of ten for a 5"},
    {.group = "test", .key = "grade4", .type = SettingType::Whole, .field = &SchoolSettings::gradeFour, .value = "N",
     .defaultValue = "9", .minimum = 0, .maximum = 10, .help = "the fewest right answers for a 4"},
    {.group = "test", .key = "grade3", .type = SettingType::Whole, .field = &SchoolSettings::gradeThree, .value = "N",
     .defaultValue = "8", .minimum = 0, .maximum = 10, .help = "the fewest right answers for a 3;\nfewer earn a 2"},
    {.group = "practice", .key = "after_test", .type = SettingType::Choice, .field = &SchoolSettings::practiceAfterTest,
     .value = "no|yes", .defaultValue = "no",
     .help = "offer «Работа над ошибками» after «Готово!»\nwhen a row is wrong"},
};
// clang-format on

// The table checked when the program is compiled: each type goes into a
// field of its kind, each default is a word or a number the key allows.
namespace SettingKeyRules {

constexpr int wholeNumber(std::string_view text)
{
    int number = 0;
    for (const char c : text)
        number = number >= 0 && number < 100000 && c >= '0' && c <= '9' ? number * 10 + (c - '0') : -1;
    return text.empty() ? -1 : number;
}

constexpr int wordCount(std::string_view words)
{
    return int(std::count(words.begin(), words.end(), '|')) + 1;
}

constexpr bool isWord(std::string_view words, std::string_view word)
{
    for (std::size_t start = 0; start <= words.size();) {
        const std::size_t end = std::min(words.find('|', start), words.size());
        if (words.substr(start, end - start) == word)
            return true;
        start = end + 1;
    }
    return false;
}

constexpr bool sound(const SettingKey &row)
{
    switch (row.type) {
    case SettingType::Folder:
    case SettingType::File:
        return std::holds_alternative<QString SchoolSettings::*>(row.field) && !row.defaultValue;
    case SettingType::Choice:
        return (std::holds_alternative<PupilNameSource SchoolSettings::*>(row.field)
                || (std::holds_alternative<bool SchoolSettings::*>(row.field) && wordCount(row.value) == 2))
               && row.defaultValue && isWord(row.value, row.defaultValue);
    case SettingType::Whole:
        return std::holds_alternative<int SchoolSettings::*>(row.field) && row.defaultValue
               && row.minimum <= wholeNumber(row.defaultValue) && wholeNumber(row.defaultValue) <= row.maximum;
    }
    return false;
}

constexpr int defaultNumber(std::string_view group, std::string_view key)
{
    for (const SettingKey &row : SchoolSettingKeys) {
        if (row.group == group && row.key == key)
            return wholeNumber(row.defaultValue);
    }
    return -1;
}

} // namespace SettingKeyRules

static_assert(std::all_of(std::begin(SchoolSettingKeys), std::end(SchoolSettingKeys), SettingKeyRules::sound),
              "a row of SchoolSettingKeys whose type, field or default do not fit");
static_assert(SettingKeyRules::defaultNumber("test", "minutes") == SchoolSettings::DefaultMinutes);
static_assert(SettingKeyRules::defaultNumber("test", "grade5") == GradeScale().five
              && SettingKeyRules::defaultNumber("test", "grade4") == GradeScale().four
              && SettingKeyRules::defaultNumber("test", "grade3") == GradeScale().three);

// Reads the settings from `file`. A missing file gives the defaults; a
// problem is recorded for it only when `mustExist` (a file named on the
// command line).
SchoolSettings readSchoolSettings(const QString &file, bool mustExist);

// What the settings are read for. A test follows the school's file; the
// administrator's check and the teacher's class window may read another.
enum class SettingsUse { Test, Check, ClassWindow };

// The computer the settings are read on: where its school's file is and
// whether the user is root. Only the tests name another file or user.
struct SettingsHost {
    QString systemFile;
    bool root = false;
    static SettingsHost thisComputer();
};

// This run's settings into `settings`: those of the file `--settings FILE`
// names, or of the school's file. Returns false, with one line in
// `errorString` and `settings` untouched, when `--settings` is refused: for
// a test while the school's file exists and the user is not root, so that
// a pupil cannot give themself more time or switch the results off. The
// values' problems never make it fail: they are in settings->problems.
// Both programs, the pupil's and the class window, load their settings here.
bool loadSchoolSettings(int argc, char *argv[], SettingsUse use, SchoolSettings *settings, QString *errorString,
                        const SettingsHost &host = SettingsHost::thisComputer());

// Each of `problems` on standard error, through lcSettings.
void logSettingsProblems(const QStringList &problems);

// The settings part of --help: one entry per key of the table.
QString settingsHelp();
