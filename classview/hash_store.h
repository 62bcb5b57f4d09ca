// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the class window saw of each record file when it first read it: the
// SHA-256 of its bytes and who it was about, kept in the teacher's own data
// folder on local disk (an SQLite file through Qt SQL), never on the share
// pupils write into. Keyed on what a pupil cannot choose: the folder and the
// file's name (a record is read only from the file named after its id), not
// on anything written inside the file. A file whose bytes differ from those
// first seen has been changed since; a file first seen and now gone has been
// removed, and what was first read of it still shows who it was.
//
// Nothing is loaded whole: each look-up asks the database by its key, so a
// store of a million files costs nothing at start. Files absent for a school
// year (KeepDays) are forgotten when the store opens.
//
// The look-ups may run on any thread (each opens its own connection for the
// call, as Qt SQL wants); remember() and commit() too.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>

class HashStore {
public:
    static constexpr int KeepDays = 366;

    // What is kept of a record file when it is first read.
    struct FirstRead {
        QByteArray sha256;
        QString pupil;
        QString className;
        QDateTime started;
        // 2..5, or 0 for a test not graded.
        int grade = 0;
    };

    // The database file; an empty path keeps everything in memory only.
    explicit HashStore(const QString &path);
    ~HashStore();
    HashStore(const HashStore &) = delete;
    HashStore &operator=(const HashStore &) = delete;

    // The default file, under the user's application data folder.
    static QString defaultPath();

    // What was first read of these files of `folder`; a file never read
    // before is absent from the answer.
    QHash<QString, FirstRead> firstReads(const QString &folder, const QStringList &fileNames);
    // Every file of `folder` ever read.
    QHash<QString, FirstRead> allFirstReads(const QString &folder);
    // Remembers a file's first read (written out by commit()).
    void remember(const QString &folder, const QString &fileName, const FirstRead &read);
    // Writes the first reads remembered since the last commit, and notes
    // that the files looked up since were still there, in one transaction.
    void commit();
    // Why the file could not be used, when it could not (the store then
    // keeps what it learns for this run only).
    QString problem() const;

private:
    struct Key {
        QString folder;
        QString name;
        friend bool operator==(const Key &, const Key &) = default;
        friend size_t qHash(const Key &key, size_t seed = 0) { return qHashMulti(seed, key.folder, key.name); }
    };
    bool open();
    void setProblem(const QString &problem);

    QString m_path;
    mutable QMutex m_mutex;
    QString m_problem;
    // Remembered and not yet written; also all there is without a file.
    QHash<Key, FirstRead> m_pending;
    QHash<Key, FirstRead> m_memory;
    // Looked up this run, to be marked as seen.
    QSet<Key> m_seen;
};
