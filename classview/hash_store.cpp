// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/hash_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>
#include <QVariant>

HashStore::HashStore(const QString &path)
{
    if (path.isEmpty())
        return;
    m_connection = QStringLiteral("drobi-hashes-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    QDir().mkpath(QFileInfo(path).absolutePath());
    db.setDatabaseName(path);
    if (!db.open()) {
        m_problem = db.lastError().text();
        return;
    }
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS first_read (id TEXT PRIMARY KEY, sha256 BLOB NOT NULL, "
                                   "seen TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP)"))
        || !query.exec(QStringLiteral("SELECT id, sha256 FROM first_read"))) {
        m_problem = query.lastError().text();
        return;
    }
    while (query.next())
        m_first.insert(query.value(0).toString(), query.value(1).toByteArray());
}

HashStore::~HashStore()
{
    if (m_connection.isEmpty())
        return;
    commit();
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

QString HashStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/class-records.sqlite");
}

bool HashStore::changedSinceFirstRead(const QString &id, const QByteArray &sha256)
{
    const auto known = m_first.constFind(id);
    if (known != m_first.constEnd())
        return *known != sha256;
    m_first.insert(id, sha256);
    m_pending.insert(id, sha256);
    return false;
}

void HashStore::commit()
{
    if (m_pending.isEmpty() || m_connection.isEmpty() || !m_problem.isEmpty())
        return;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    db.transaction();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT OR IGNORE INTO first_read (id, sha256) VALUES (?, ?)"));
    for (auto it = m_pending.constBegin(); it != m_pending.constEnd(); ++it) {
        query.bindValue(0, it.key());
        query.bindValue(1, it.value());
        if (!query.exec()) {
            m_problem = query.lastError().text();
            break;
        }
    }
    if (m_problem.isEmpty() ? db.commit() : db.rollback())
        m_pending.clear();
}
