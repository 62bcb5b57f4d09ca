// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Getting a record into the results folder without losing it.
//
// A record is first kept in a local outbox, written atomically. Delivery
// then writes it into the folder under a temporary name the teacher's side
// ignores (".<id>.drobi.json.part"), created new with mode 0640 and never
// through a link, flushes it to the disk, renames it to "<id>.drobi.json"
// and reads it back by name: only when the bytes match is the outbox copy
// removed. Whatever fails on the way (the share gone, permission denied,
// disk full, the program killed), the record stays in the outbox for the
// next try, and since the final name is the record's id, a try never makes
// a second copy.
//
// The folder may be a drop box that pupils may write into but not list or
// read (mode 3733, or Samba's equivalent): nothing here lists the folder or
// opens anything in it but names it made itself.
//
// QtCore and POSIX: no widgets. Safe to call from a worker thread.

#include <QByteArray>
#include <QString>
#include <QStringList>

struct DeliveryResult {
    bool delivered = false;
    // Why not, in one line naming the step and the system's reason.
    QString error;
};

// The outbox and the courier know a record by a key: a test record by its
// id, a practice record by its file name ("<id>.drobi-practice.json",
// practice_record.h). The file name the key gives, the same in the outbox and
// in the folder; empty for a key of neither form.
QString recordFileName(const QString &key);
// The temporary name of a record's file while it is written.
QString resultTempName(const QString &id);

// Writes `bytes` into `folder` as `finalName` by way of `tempName`, reads it
// back and compares. A leftover `tempName` (of a killed run, or a link
// planted there) is removed first, never followed. Nothing partial is left
// under either name when it fails.
DeliveryResult deliverFile(const QString &folder, const QString &finalName, const QString &tempName,
                           const QByteArray &bytes);

// The local outbox: records waiting for the folder, one file per record.
class Outbox
{
public:
    explicit Outbox(const QString &dir);
    // <AppLocalDataLocation>/outbox; needs the application object.
    static QString defaultPath();

    const QString &dir() const { return m_dir; }
    // Keeps a record, replacing one with the same id (QSaveFile).
    bool store(const QString &id, const QByteArray &bytes, QString *error) const;
    // The ids of the records waiting, oldest first.
    QStringList waitingIds() const;
    // Removes a waiting record undelivered: a newer copy of it reached the
    // folder another way.
    void remove(const QString &id) const;
    // Delivers one waiting record and removes it from the outbox once it is
    // in the folder, unless it was stored again meanwhile. Another process
    // delivering the same record at the same time makes this one wait for
    // the next try; in one process the courier runs one delivery at a time.
    DeliveryResult deliver(const QString &id, const QString &folder) const;

private:
    QString path(const QString &id) const;
    QString m_dir;
};
