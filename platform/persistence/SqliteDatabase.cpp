#include "SqliteDatabase.h"

#include <QFile>

#include <sqlite3.h>

namespace Persistence {

SqliteDatabase::~SqliteDatabase()
{
    close();
}

bool SqliteDatabase::open(const QString& path, bool readOnly, bool create)
{
    close();
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (create && !readOnly) {
        flags |= SQLITE_OPEN_CREATE;
    }
    flags |= SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        m_openError = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 10000);
    return true;
}

void SqliteDatabase::close()
{
    for (sqlite3_stmt* statement : std::as_const(m_cache)) {
        sqlite3_finalize(statement);
    }
    m_cache.clear();
    m_lastSql.clear();
    m_lastStatement = nullptr;
    if (m_db) {
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}

SqliteStatement SqliteDatabase::prepare(const QString& sql)
{
    if (m_lastStatement && sql.constData() == m_lastSql.constData() && sql.size() == m_lastSql.size()) {
        return SqliteStatement(m_db, m_lastStatement, false);
    }
    if (sqlite3_stmt* cached = m_cache.value(sql)) {
        m_lastSql = sql;
        m_lastStatement = cached;
        return SqliteStatement(m_db, cached, false);
    }
    sqlite3_stmt* statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (!m_db
        || sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &statement, nullptr)
            != SQLITE_OK) {
        return SqliteStatement(m_db, nullptr, true);
    }
    m_cache.insert(sql, statement);
    m_lastSql = sql;
    m_lastStatement = statement;
    return SqliteStatement(m_db, statement, false);
}

SqliteStatement SqliteDatabase::prepareUncached(const QString& sql)
{
    sqlite3_stmt* statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (m_db) {
        sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &statement, nullptr);
    }
    return SqliteStatement(m_db, statement, true);
}

bool SqliteDatabase::exec(const QString& sql)
{
    return m_db && sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

QString SqliteDatabase::errorMessage() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : m_openError;
}

int SqliteDatabase::changes() const
{
    return m_db ? sqlite3_changes(m_db) : 0;
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db)
    : m_db(db)
    , m_active(db.exec(QStringLiteral("BEGIN IMMEDIATE")))
{ }

SqliteTransaction::~SqliteTransaction()
{
    if (m_active) {
        m_db.exec(QStringLiteral("ROLLBACK"));
    }
}

bool SqliteTransaction::commit()
{
    if (!m_active) {
        return false;
    }
    if (!m_db.exec(QStringLiteral("COMMIT"))) {
        return false; // the destructor rolls back
    }
    m_active = false;
    return true;
}

} // namespace Persistence
