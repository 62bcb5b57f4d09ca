// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/hash_store.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>
#include <QVariant>

#include <functional>

namespace {

constexpr char Suffix[] = ".drobi.json";

// One connection to the store's file for the length of a call, on the
// calling thread; closed and removed when the call ends.
class Connection {
public:
    explicit Connection(const QString &path)
        : m_name(QStringLiteral("drobi-first-reads-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        // Another connection (the window's commit, a second window) may hold
        // the file for a moment.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            m_error = db.lastError().text();
    }
    ~Connection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    const QString &error() const { return m_error; }

private:
    QString m_name;
    QString m_error;
};

HashStore::FirstRead readRow(const QSqlQuery &query, int first)
{
    return {query.value(first).toByteArray(), query.value(first + 1).toString(), query.value(first + 2).toString(),
            QDateTime::fromString(query.value(first + 3).toString(), Qt::ISODate), query.value(first + 4).toInt()};
}

// Runs `body` with a connection of its own; the error, if any, in `problem`.
bool withConnection(const QString &path, QString *problem, const std::function<bool(QSqlDatabase &, QString *)> &body)
{
    Connection connection(path);
    if (!connection.error().isEmpty()) {
        *problem = connection.error();
        return false;
    }
    QSqlDatabase db = connection.db();
    return body(db, problem);
}

} // namespace

HashStore::HashStore(const QString &path) : m_path(path)
{
    if (!m_path.isEmpty() && !open())
        m_path.clear();
}

HashStore::~HashStore()
{
    commit();
}

QString HashStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/class-records.sqlite");
}

QString HashStore::problem() const
{
    QMutexLocker lock(&m_mutex);
    return m_problem;
}

void HashStore::setProblem(const QString &problem)
{
    QMutexLocker lock(&m_mutex);
    if (m_problem.isEmpty())
        m_problem = problem;
}

// Makes the table and forgets files absent for a school year. The store of
// version 1.0 (first_read, keyed on the id inside a record) is kept for
// reading: a record's file is named after its id.
bool HashStore::open()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QString problem;
    const bool ok = withConnection(m_path, &problem, [](QSqlDatabase &db, QString *error) {
        QSqlQuery query(db);
        const bool done =
            query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS first_read (id TEXT PRIMARY KEY, sha256 BLOB NOT NULL, "
                                      "seen TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP)"))
            && query.exec(QStringLiteral(
                "CREATE TABLE IF NOT EXISTS record_file (folder TEXT NOT NULL, name TEXT NOT NULL, sha256 BLOB NOT NULL, "
                "pupil TEXT, class TEXT, started TEXT, grade INTEGER, first_seen TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP, "
                "last_seen TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP, PRIMARY KEY (folder, name)) WITHOUT ROWID"))
            && query.exec(QStringLiteral("DELETE FROM record_file WHERE last_seen < datetime('now', '-%1 days')").arg(KeepDays))
            && query.exec(QStringLiteral("DELETE FROM first_read WHERE seen < datetime('now', '-%1 days')").arg(KeepDays));
        if (!done)
            *error = query.lastError().text();
        return done;
    });
    if (!ok)
        setProblem(problem);
    return ok;
}

QHash<QString, HashStore::FirstRead> HashStore::firstReads(const QString &folder, const QStringList &fileNames)
{
    QHash<QString, FirstRead> found;
    {
        QMutexLocker lock(&m_mutex);
        for (const QString &name : fileNames) {
            const Key key{folder, name};
            if (const auto it = m_memory.constFind(key); it != m_memory.constEnd())
                found.insert(name, *it);
            m_seen.insert(key);
        }
    }
    if (m_path.isEmpty() || fileNames.isEmpty())
        return found;
    QString problem;
    withConnection(m_path, &problem, [&](QSqlDatabase &db, QString *error) {
        db.transaction();
        QSqlQuery byName(db);
        QSqlQuery byId(db);
        byName.prepare(QStringLiteral("SELECT sha256, pupil, class, started, grade FROM record_file WHERE folder = ? AND name = ?"));
        byId.prepare(QStringLiteral("SELECT sha256 FROM first_read WHERE id = ?"));
        for (const QString &name : fileNames) {
            if (found.contains(name))
                continue;
            byName.bindValue(0, folder);
            byName.bindValue(1, name);
            if (!byName.exec()) {
                *error = byName.lastError().text();
                break;
            }
            if (byName.next()) {
                found.insert(name, readRow(byName, 0));
                continue;
            }
            if (!name.endsWith(QLatin1String(Suffix)))
                continue;
            byId.bindValue(0, name.chopped(qsizetype(sizeof Suffix - 1)));
            if (byId.exec() && byId.next())
                found.insert(name, FirstRead{byId.value(0).toByteArray(), {}, {}, {}, 0});
        }
        db.commit();
        return error->isEmpty();
    });
    if (!problem.isEmpty())
        setProblem(problem);
    return found;
}

QHash<QString, HashStore::FirstRead> HashStore::allFirstReads(const QString &folder)
{
    QHash<QString, FirstRead> all;
    {
        QMutexLocker lock(&m_mutex);
        for (auto it = m_memory.constBegin(); it != m_memory.constEnd(); ++it) {
            if (it.key().folder == folder)
                all.insert(it.key().name, *it);
        }
    }
    if (m_path.isEmpty())
        return all;
    QString problem;
    withConnection(m_path, &problem, [&](QSqlDatabase &db, QString *error) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("SELECT name, sha256, pupil, class, started, grade FROM record_file WHERE folder = ?"));
        query.bindValue(0, folder);
        if (!query.exec()) {
            *error = query.lastError().text();
            return false;
        }
        while (query.next())
            all.insert(query.value(0).toString(), readRow(query, 1));
        return true;
    });
    if (!problem.isEmpty())
        setProblem(problem);
    return all;
}

void HashStore::remember(const QString &folder, const QString &fileName, const FirstRead &read)
{
    QMutexLocker lock(&m_mutex);
    const Key key{folder, fileName};
    if (m_memory.contains(key))
        return;
    m_memory.insert(key, read);
    m_pending.insert(key, read);
}

void HashStore::commit()
{
    QHash<Key, FirstRead> pending;
    QSet<Key> seen;
    {
        QMutexLocker lock(&m_mutex);
        if (m_path.isEmpty())
            return;
        pending.swap(m_pending);
        seen.swap(m_seen);
    }
    if (pending.isEmpty() && seen.isEmpty())
        return;
    QString problem;
    const bool ok = withConnection(m_path, &problem, [&](QSqlDatabase &db, QString *error) {
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT OR IGNORE INTO record_file (folder, name, sha256, pupil, class, started, grade) "
                                      "VALUES (?, ?, ?, ?, ?, ?, ?)"));
        for (auto it = pending.constBegin(); it != pending.constEnd() && error->isEmpty(); ++it) {
            int column = 0;
            for (const QVariant &value : {QVariant(it.key().folder), QVariant(it.key().name), QVariant(it->sha256),
                                          QVariant(it->pupil), QVariant(it->className),
                                          QVariant(it->started.toString(Qt::ISODate)), QVariant(it->grade)})
                insert.bindValue(column++, value);
            if (!insert.exec())
                *error = insert.lastError().text();
        }
        QSqlQuery touch(db);
        touch.prepare(QStringLiteral("UPDATE record_file SET last_seen = CURRENT_TIMESTAMP WHERE folder = ? AND name = ?"));
        for (auto it = seen.constBegin(); it != seen.constEnd() && error->isEmpty(); ++it) {
            touch.bindValue(0, it->folder);
            touch.bindValue(1, it->name);
            if (!touch.exec())
                *error = touch.lastError().text();
        }
        return error->isEmpty() ? db.commit() : db.rollback() && false;
    });
    if (!ok) {
        setProblem(problem);
        // Kept for the next try; meanwhile the memory answers.
        QMutexLocker lock(&m_mutex);
        m_pending.insert(pending);
    }
}
