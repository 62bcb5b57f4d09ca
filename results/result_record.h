// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One pupil's test as the results folder keeps it: plain data the window
// fills from its test session, written as one JSON file per test
// (`<id>.drobi.json`, format "drobi-result/1", described by
// data/result.schema.json). Grading the same test again keeps its id, so
// the new record replaces the old one instead of adding a second.
//
// Also who the pupil is: the name typed or taken from the account, the
// login and the computer's name.
//
// QtCore and the fraction engine's row count only: no widgets.

#include "fraction/task_generator.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>

inline constexpr char ResultFormat[] = "drobi-result/1";
// The longest name or class kept, in characters.
inline constexpr int MaxPupilTextLength = 100;

struct PupilIdentity {
    QString name;
    QString className;
    QString login;
    QString host;
};

struct ResultRow {
    Operation operation = Operation::Multiply;
    // Values as the window writes them: "-4 1/2", "3/8", "12".
    QString a;
    QString b;
    QString answer;
    // The three boxes as the pupil typed them, before «Готово!» filled empty ones.
    QString typedWhole;
    QString typedNumerator;
    QString typedDenominator;
    bool right = false;
    // The kind of mistake's stable name (MistakeName); empty when right or not graded.
    QString mistake;
    QString explanation;
};

enum class ResultStatus { Graded, Unfinished };

struct ResultRecord {
    QString id;
    PupilIdentity pupil;
    QDateTime started;
    QDateTime finished;
    int secondsAllowed = 600;
    int secondsUsed = 0;
    bool timeRanOut = false;
    ResultStatus status = ResultStatus::Unfinished;
    std::array<ResultRow, RowCount> rows;
    int right = 0;
    int wrong = 0;
    // 2 to 5 when graded, 0 when unfinished.
    int grade = 0;
};

// A new record id: a random UUID, lower case, without braces.
QString newResultId();
// Whether `id` has the form newResultId() gives; only such ids name files.
bool isResultId(const QString &id);
// The record's file name in the results folder: "<id>.drobi.json".
QString resultFileName(const QString &id);

// The record as UTF-8 JSON, indented. `version` is the program's version.
QByteArray resultJson(const ResultRecord &record, const QString &version);

// A name or class as the pupil typed it, made safe to keep: control
// characters removed, spaces at the ends trimmed, at most
// MaxPupilTextLength characters. Letters of any script stay.
QString cleanPupilText(const QString &text);

// The account running the program and this computer.
QString currentLogin();
QString currentHost();
// The account's full name (the first field of its GECOS entry), or the
// login when the account has none.
QString currentFullName();
