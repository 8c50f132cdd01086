#pragma once

#include "SqliteStatement.h"

#include <QHash>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace Persistence {

// One SQLite connection with a cache of prepared statements; closes everything when destroyed.
class SqliteDatabase
{
public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens an existing file (never creates one unless `create`).
    bool open(const QString& path, bool readOnly, bool create);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }

    // A statement from the cache, prepared on first use.
    SqliteStatement prepare(const QString& sql);
    // A statement used once.
    SqliteStatement prepareUncached(const QString& sql);
    bool exec(const QString& sql);

    QString errorMessage() const;
    int changes() const;

private:
    sqlite3* m_db = nullptr;
    QHash<QString, sqlite3_stmt*> m_cache;
    // The statement handed out last and its text. A loop asks for the same shared text each time:
    // while this copy keeps that text alive, the same data pointer means the same statement.
    QString m_lastSql;
    sqlite3_stmt* m_lastStatement = nullptr;
    QString m_openError;
};

// BEGIN IMMEDIATE on construction; ROLLBACK on destruction unless commit() succeeded.
class SqliteTransaction
{
public:
    explicit SqliteTransaction(SqliteDatabase& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    bool isActive() const { return m_active; }
    bool commit();

private:
    SqliteDatabase& m_db;
    bool m_active = false;
};

} // namespace Persistence
