#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVarLengthArray>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace Persistence {

// A prepared statement borrowed from SqliteDatabase's cache (or owned, when not cached). Bindings
// are cleared and the statement reset when the wrapper goes away, so a cached statement is always
// ready for its next use. Bound text and bytes are held by the wrapper until then, so SQLite reads
// them in place instead of copying each value.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3* db, sqlite3_stmt* statement, bool owned);
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    SqliteStatement(const SqliteStatement&) = delete;
    ~SqliteStatement();

    bool isValid() const { return m_statement != nullptr; }

    // Binds 1-based parameters: null, bool, integers, double, QString, QByteArray.
    bool bind(int index, const QVariant& value);
    bool bindInt64(int index, qint64 value);
    bool bindText(int index, const QString& value);
    bool bindUtf8(int index, const QByteArray& utf8);

    // Steps once: true with a row available; false when done or on error (see succeeded()).
    bool next();
    // Runs a statement that returns no rows.
    bool exec();
    bool succeeded() const { return m_ok; }
    QString errorMessage() const;

    int columnCount() const;
    bool isNull(int column) const;
    qint64 int64(int column) const;
    double real(int column) const;
    QString text(int column) const;
    // The text as stored, valid until the next step.
    QByteArrayView utf8(int column) const;
    QByteArray blob(int column) const;
    // The bytes as stored, valid until the next step (empty, not null, for an empty blob).
    QByteArrayView bytes(int column) const;

private:
    // Keeps bound bytes alive until the statement is reset.
    const QByteArray& hold(const QByteArray& bytes);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    bool m_owned = false;
    bool m_ok = true;
    QVarLengthArray<QByteArray, 8> m_held; // most statements bind a few texts: no allocation for those
};

} // namespace Persistence
