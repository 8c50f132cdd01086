#include "SqliteStatement.h"

#include <sqlite3.h>

namespace Persistence {

SqliteStatement::SqliteStatement(sqlite3* db, sqlite3_stmt* statement, bool owned)
    : m_db(db)
    , m_statement(statement)
    , m_owned(owned)
    , m_ok(statement != nullptr)
{ }

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : m_db(other.m_db)
    , m_statement(other.m_statement)
    , m_owned(other.m_owned)
    , m_ok(other.m_ok)
    , m_held(std::move(other.m_held))
{
    other.m_statement = nullptr;
}

SqliteStatement::~SqliteStatement()
{
    if (!m_statement) {
        return;
    }
    if (m_owned) {
        sqlite3_finalize(m_statement);
    } else {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
}

bool SqliteStatement::bind(int index, const QVariant& value)
{
    if (!m_statement) {
        return false;
    }
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(m_statement, index);
    } else {
        switch (value.metaType().id()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(m_statement, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Short:
            rc = sqlite3_bind_int64(m_statement, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_statement, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray& bytes = hold(value.toByteArray());
            rc = sqlite3_bind_blob64(m_statement, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                     SQLITE_STATIC);
            break;
        }
        case QMetaType::QString:
            return bindText(index, *static_cast<const QString*>(value.constData()));
        default:
            return bindText(index, value.toString());
        }
    }
    m_ok = m_ok && rc == SQLITE_OK;
    return rc == SQLITE_OK;
}

const QByteArray& SqliteStatement::hold(const QByteArray& bytes)
{
    return m_held.emplace_back(bytes);
}

bool SqliteStatement::bindInt64(int index, qint64 value)
{
    const bool ok = m_statement && sqlite3_bind_int64(m_statement, index, value) == SQLITE_OK;
    m_ok = m_ok && ok;
    return ok;
}

bool SqliteStatement::bindText(int index, const QString& value)
{
    return bindUtf8(index, value.toUtf8());
}

bool SqliteStatement::bindUtf8(int index, const QByteArray& text)
{
    if (!m_statement) {
        return false;
    }
    const QByteArray& utf8 = hold(text);
    const bool ok = sqlite3_bind_text64(m_statement, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                                        SQLITE_STATIC, SQLITE_UTF8)
        == SQLITE_OK;
    m_ok = m_ok && ok;
    return ok;
}

bool SqliteStatement::next()
{
    if (!m_statement || !m_ok) {
        return false;
    }
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW) {
        return true;
    }
    m_ok = rc == SQLITE_DONE;
    return false;
}

bool SqliteStatement::exec()
{
    next();
    return m_ok;
}

QString SqliteStatement::errorMessage() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

int SqliteStatement::columnCount() const
{
    return m_statement ? sqlite3_column_count(m_statement) : 0;
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

qint64 SqliteStatement::int64(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double SqliteStatement::real(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

QString SqliteStatement::text(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(m_statement, column));
}

QByteArrayView SqliteStatement::utf8(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return QByteArrayView(data, sqlite3_column_bytes(m_statement, column));
}

QByteArray SqliteStatement::blob(int column) const
{
    const void* data = sqlite3_column_blob(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return data ? QByteArray(static_cast<const char*>(data), size) : QByteArray("");
}

QByteArrayView SqliteStatement::bytes(int column) const
{
    const void* data = sqlite3_column_blob(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return data ? QByteArrayView(static_cast<const char*>(data), size) : QByteArrayView("", 0);
}

} // namespace Persistence
