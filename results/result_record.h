// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One pupil's test as the results folder keeps it: one JSON file per test,
// `<id>.drobi.json`, format "drobi-result/1", described by
// data/result.schema.json. The one definition of the format: the record
// type, its writer, its strict reader and the format's constants, linked by
// the pupil's program (which writes records from its test session) and by
// the class window (which reads them and grades them again through a test
// session). Grading the same test again keeps its id, so the new record
// replaces the old one instead of adding a second.
//
// Nothing a reader is given is trusted: a file that is not a regular file,
// is empty, larger than MaxRecordBytes, not JSON, of another format or
// version, or lacks a field or has one of the wrong type or form is refused
// with a Russian reason, and nothing of it is used.
//
// Later versions of the program add fields; a field added after the first
// version is optional to the reader (a record without it is read, and what
// it would have said is not checked).
//
// QtCore, the fraction engine's row table and the session's grade scale
// only: no widgets.

#include "fraction/task_generator.h"
#include "session/session.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <array>
#include <optional>

// The format's constants; data/result.schema.json says the same, and a test
// holds the two together.
inline constexpr char ResultFormat[] = "drobi-result/1";
inline constexpr char ResultSuffix[] = ".drobi.json";
// The largest record file read.
inline constexpr qint64 MaxRecordBytes = 1024 * 1024;
// The longest name or class kept, in characters.
inline constexpr int MaxPupilTextLength = 100;
// The longest login or computer name read.
inline constexpr int MaxAccountTextLength = 1000;
// The longest text of an answer box kept in a record: the boxes take any
// paste, a record's reader need not.
inline constexpr int MaxTypedLength = 1000;
// The longest explanation of a row read.
inline constexpr int MaxExplanationLength = 10000;
// The test lengths a record may have: 1 to 90 minutes.
inline constexpr int MinSecondsAllowed = 60;
inline constexpr int MaxSecondsAllowed = 5400;
// The forms of the format's texts, as regular expressions.
inline constexpr char ResultIdPattern[] = "^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$";
inline constexpr char ValuePattern[] = "^-?([0-9]+|[0-9]+/[0-9]+|[0-9]+ [0-9]+/[0-9]+)$";
inline constexpr char TimePattern[] =
    "^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}(\\.[0-9]+)?(Z|[+-][0-9]{2}:[0-9]{2})$";
inline constexpr char MistakePattern[] = "^([a-z0-9]+(-[a-z0-9]+)*)?$";
inline constexpr char VersionPattern[] = "^[0-9]+\\.[0-9]+\\.[0-9]+";

// Running: written when the test starts, so the class window sees who is
// still writing; the final record (graded or unfinished) replaces it under
// the same id.
enum class ResultStatus { Graded, Unfinished, Running };

// Each status and the word the file writes for it.
struct StatusWord {
    ResultStatus status;
    const char *word;
};
inline constexpr std::array<StatusWord, 3> StatusWords{{
    {ResultStatus::Graded, "graded"},
    {ResultStatus::Unfinished, "unfinished"},
    {ResultStatus::Running, "running"},
}};

// How the pupil's name came: typed before the test, or the account's.
enum class PupilNaming { Unknown, Typed, Login };
// Each way and the word the file writes for it ("named"); Unknown is not written.
struct NamingWord {
    PupilNaming naming;
    const char *word;
};
inline constexpr std::array<NamingWord, 2> NamingWords{{
    {PupilNaming::Typed, "typed"},
    {PupilNaming::Login, "login"},
}};

struct PupilIdentity {
    QString name;
    QString className;
    QString login;
    QString host;
    // Unknown in records of versions that did not say.
    PupilNaming naming = PupilNaming::Unknown;
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

struct ResultRecord {
    QString id;
    // The version of the program that wrote the record; set by the reader
    // (the writer is given its own).
    QString programVersion;
    PupilIdentity pupil;
    QDateTime started;
    QDateTime finished;
    int secondsAllowed = 600;
    // As the countdown counted them: the ticks the program handled.
    int secondsUsed = 0;
    // From the start to the end by the computer's steady clock, which goes
    // on while the program is stopped; absent in records of versions that
    // did not say.
    std::optional<qint64> elapsedSeconds;
    bool timeRanOut = false;
    ResultStatus status = ResultStatus::Unfinished;
    std::array<ResultRow, RowCount> rows;
    int right = 0;
    int wrong = 0;
    // 2 to 5 when graded, 0 when unfinished or running.
    int grade = 0;
    // The scale the grade was given by; absent in records of versions
    // that had only the fixed one (10, 9 and 8 right answers).
    std::optional<GradeScale> gradeScale;
};

// A new record id: a random UUID, lower case, without braces.
QString newResultId();
// Whether `id` has the form newResultId() gives; only such ids name files.
bool isResultId(const QString &id);
// The record's file name in the results folder: "<id>.drobi.json".
QString resultFileName(const QString &id);

// The record as UTF-8 JSON, indented. `version` is the writing program's.
QByteArray resultJson(const ResultRecord &record, const QString &version);

// The pupil and the operation as this format writes and reads them; the
// practice record (practice_record.h) writes them the same way.
QJsonObject writePupil(const PupilIdentity &pupil);
// The "pupil" object of `record`, cleaned as the reader cleans it; nullopt
// with the reason in `problem` when it is missing or malformed.
std::optional<PupilIdentity> readPupil(const QJsonObject &record, QString *problem);
// "*" or ":".
QString operationWord(Operation operation);
// A task as a record writes it: "-1 1/2 * 1/3".
QString writtenTask(Operation operation, const QString &a, const QString &b);

// What reading a record gave: the record, or why the file was refused.
struct RecordRead {
    std::optional<ResultRecord> record;
    // Why the file was not read, in Russian; empty when it was.
    QString problem;
    // SHA-256 of the bytes read (empty when nothing could be read).
    QByteArray sha256;
};

// Whether a folder entry is a record to read: `*.drobi.json`, not hidden
// (delivery writes its temporary files as ".<id>...").
bool isRecordFileName(const QString &name);
// The record held in `bytes`.
RecordRead parseRecord(const QByteArray &bytes);
// Reads one file without following a link, without blocking on a pipe and
// without reading more than MaxRecordBytes + 1 bytes.
RecordRead readRecordFile(const QString &path);
// The bytes of a record file, opened and read as readRecordFile does, for
// the other records of the folder (a practice's). Why it was refused, in
// Russian, or an empty text.
QString readRecordBytes(const QString &path, QByteArray *bytes);

// Why the system refused a file or folder, in Russian, for the teacher's
// window and exports: "нет такого файла или папки", "нет доступа", or the
// error's number for the rare others.
QString systemReason(int error);

// A name or class as the pupil typed it, made safe to keep (a class is
// written as normalClassName writes it, class_list.h): control and format
// characters (zero-width, direction marks, overrides, isolates) removed,
// spaces at the ends trimmed, at most
// MaxPupilTextLength characters. Letters of any script stay.
QString cleanPupilText(const QString &text);

// The account running the program and this computer.
QString currentLogin();
QString currentHost();
// The account's full name (the first field of its GECOS entry), or the
// login when the account has none.
QString currentFullName();
