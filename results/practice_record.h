// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One pupil's «Работа над ошибками» as the results folder keeps it: one JSON
// file per practice, `<id>.drobi-practice.json`, format "drobi-practice/1",
// described by data/practice.schema.json. The record type, its writer and
// its strict reader, as result_record.h is for a test.
//
// A practice after a test names the test's id in "test"; the practice of
// `drobi --practice` has none. Each kind worked on keeps its stable name
// (a mistake's MistakeName, or "row-<r>" for the tasks of the test's row r,
// counted from 0), how it ended and every task given: the operands as the
// window writes them, the row whose template made them, the boxes as typed,
// the verdict and the mistake's name. The reader refuses, with a Russian
// reason, anything the writer would not write.
//
// QtCore, the engine and the practice as data: no widgets.

#include "results/result_record.h"
#include "session/practice.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>
#include <optional>
#include <vector>

// The format's constants; data/practice.schema.json says the same, and a
// test holds the two together.
inline constexpr char PracticeFormat[] = "drobi-practice/1";
inline constexpr char PracticeSuffix[] = ".drobi-practice.json";
inline constexpr char KindPattern[] = "^[a-z0-9]+(-[a-z0-9]+)*$";
// The most kinds a record holds: every mistake kind and every row, with room.
inline constexpr int MaxPracticeKinds = 64;

// The states a record writes: a kind ended, or the practice closed first.
struct PracticeStateWord {
    PracticeState state;
    const char *word;
};
inline constexpr std::array<PracticeStateWord, 3> PracticeStateWords{{
    {PracticeState::Mastered, "mastered"},
    {PracticeState::NotYet, "not-yet"},
    {PracticeState::Unfinished, "unfinished"},
}};

struct PracticeRecordTask {
    // The test's row whose template made the task, 0 to 9.
    int row = 0;
    Operation operation = Operation::Multiply;
    QString a;
    QString b;
    QString typedWhole;
    QString typedNumerator;
    QString typedDenominator;
    bool right = false;
    // The mistake's stable name; empty when right.
    QString mistake;
};

struct PracticeRecordKind {
    // MistakeName, or "row-<r>".
    QString kind;
    PracticeState state = PracticeState::Unfinished;
    std::vector<PracticeRecordTask> tasks;
};

struct PracticeRecord {
    QString id;
    // The test practised after; empty for `drobi --practice`.
    QString test;
    // Set by the reader (the writer is given its own).
    QString programVersion;
    PupilIdentity pupil;
    QDateTime started;
    QDateTime finished;
    std::vector<PracticeRecordKind> kinds;
};

// A set's stable name: "wrong-sign", "row-6".
QString practiceKindName(const PracticeTopic &topic);
// The kinds of a closed practice, each with the tasks checked.
std::vector<PracticeRecordKind> practiceKinds(const Practice &practice);

// The record of a closed practice: a new id, the test's id (or none),
// finished now.
PracticeRecord practiceRecord(const Practice &practice, const PupilIdentity &pupil, const QString &test,
                              const QDateTime &started);

// The topic a record's kind names; nullopt for a name no topic has.
std::optional<PracticeTopic> practiceTopicNamed(const QString &kind);

// "<id>.drobi-practice.json".
QString practiceFileName(const QString &id);
// Whether a folder entry is a practice record: `*.drobi-practice.json`, not hidden.
bool isPracticeFileName(const QString &name);

// The record as UTF-8 JSON, indented. `version` is the writing program's.
QByteArray practiceJson(const PracticeRecord &record, const QString &version);

struct PracticeRead {
    std::optional<PracticeRecord> record;
    // Why it was refused, in Russian; empty when read.
    QString problem;
    // SHA-256 of the bytes read (empty when nothing could be read).
    QByteArray sha256;
};
// The record held in `bytes` (at most MaxRecordBytes).
PracticeRead parsePracticeRecord(const QByteArray &bytes);
// Reads one file as readRecordFile reads a test's (no link followed, no
// pipe waited on, nothing over MaxRecordBytes).
PracticeRead readPracticeFile(const QString &path);
