// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One pupil's test as its results record (<id>.drobi.json, format
// "drobi-result/1", data/result.schema.json) holds it, and the reading of
// such a file from a folder pupils can write into.
//
// Nothing in a file is trusted: a file that is not a regular file, is empty,
// larger than MaxRecordBytes, not JSON, of another format or version, or
// lacks a field or has one of the wrong type or form is refused with a
// Russian reason, and nothing of it is used. What a record says is checked
// against the program's own rules afterwards (regrade.h).
//
// QtCore only.

#include "fraction/task_generator.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>

// Why the system refused a file or folder, in Russian, for the teacher's
// window and exports: "нет такого файла или папки", "нет доступа", or the
// error's number for the rare others.
QString systemReason(int error);
#include <optional>

inline constexpr qint64 MaxRecordBytes = 1024 * 1024;
inline const QString RecordFormat = QStringLiteral("drobi-result/1");
inline const QString RecordSuffix = QStringLiteral(".drobi.json");

struct RecordRow {
    QString operation; // "*" or ":"
    QString a, b, answer;
    // The boxes as typed, before «Готово!» filled the empty ones.
    QString typedWhole, typedNum, typedDen;
    bool right = false;
    QString mistake;
    QString explanation;
};

enum class RecordStatus { Graded, Unfinished };

struct TestRecord {
    QString id;
    QString programVersion;
    QString pupilName, pupilClass, login, host;
    QDateTime started, finished;
    int secondsAllowed = 0;
    int secondsUsed = 0;
    bool timeRanOut = false;
    RecordStatus status = RecordStatus::Unfinished;
    std::array<RecordRow, RowCount> rows;
    int right = 0;
    int wrong = 0;
    int grade = 0;
};

struct RecordRead {
    std::optional<TestRecord> record;
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
