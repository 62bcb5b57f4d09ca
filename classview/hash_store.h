// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The SHA-256 of each record as it was first read, kept in the teacher's own
// data folder on local disk (an SQLite file through Qt SQL), never on the
// share pupils write into. A record whose bytes differ from those first seen
// has been changed since.

#include <QByteArray>
#include <QHash>
#include <QString>

class HashStore {
public:
    // The database file; an empty path keeps the hashes in memory only.
    explicit HashStore(const QString &path);
    ~HashStore();
    HashStore(const HashStore &) = delete;
    HashStore &operator=(const HashStore &) = delete;

    // The default file, under the user's application data folder.
    static QString defaultPath();

    // True when `id` was seen before with other bytes. The first hash of an
    // id is remembered (written out by commit()).
    bool changedSinceFirstRead(const QString &id, const QByteArray &sha256);
    // Writes the hashes first seen since the last commit, in one transaction.
    void commit();
    // Why the file could not be used, when it could not (the hashes are then
    // kept for this run only).
    QString problem() const { return m_problem; }

private:
    QString m_connection;
    QString m_problem;
    QHash<QString, QByteArray> m_first;
    QHash<QString, QByteArray> m_pending;
};
