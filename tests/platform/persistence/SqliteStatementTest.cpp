#include "persistence/SqliteDatabase.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Persistence;

namespace {

class SqliteStatementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_db.open(m_dir.filePath(QStringLiteral("t.data")), false, true));
        ASSERT_TRUE(m_db.exec(QStringLiteral("CREATE TABLE t (a, b, c)")));
    }

    // What the row with rowid `row` holds in column `column`, as stored.
    QByteArray stored(qint64 row, const char* column)
    {
        SqliteStatement read
            = m_db.prepare(QStringLiteral("SELECT %1, typeof(%1) FROM t WHERE rowid = ?").arg(QLatin1String(column)));
        read.bindInt64(1, row);
        if (!read.next()) {
            return "<no row>";
        }
        return read.text(1).toUtf8() + ':' + read.utf8(0).toByteArray();
    }

    QTemporaryDir m_dir;
    SqliteDatabase m_db;
};

} // namespace

// Bound text is stored byte for byte as QString::toUtf8() encodes it, malformed UTF-16 included.
TEST_F(SqliteStatementTest, TextIsStoredAsItsUtf8)
{
    const QList<QString> texts {
        QString(),
        QStringLiteral(""),
        QStringLiteral("Grüße 🔑 \r\n\t"),
        QString(QChar(0xFEFF)) + QStringLiteral("after a byte-order mark"),
        QString(QChar(u'\0')) + QStringLiteral("after a NUL"),
        QStringLiteral("ends in a lone high surrogate ") + QChar(0xD83D),
        QChar(0xDD11) + QStringLiteral(" starts with a lone low surrogate"),
        QString(QChar(0xDD11)) + QChar(0xD83D) + QStringLiteral(" a reversed pair"),
        QString(3000, QChar(u'é')), // longer than the statement's first text buffer
    };
    for (qsizetype i = 0; i < texts.size(); ++i) {
        SqliteStatement insert = m_db.prepare(QStringLiteral("INSERT INTO t (rowid, a, b, c) VALUES (?, ?, ?, ?)"));
        insert.bindInt64(1, i + 1);
        insert.bindText(2, texts[i]);
        insert.bindText(3, QStringLiteral("second"));
        insert.bind(4, QVariant(texts[i]));
        ASSERT_TRUE(insert.exec());
    }
    for (qsizetype i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(stored(i + 1, "a"), "text:" + texts[i].toUtf8()) << i;
        EXPECT_EQ(stored(i + 1, "b"), "text:second") << i;
        EXPECT_EQ(stored(i + 1, "c"), "text:" + texts[i].toUtf8()) << i;
    }
}

// The last value bound to a parameter is the one stored, whatever kinds came before it.
TEST_F(SqliteStatementTest, TheLastBindingOfAParameterWins)
{
    {
        SqliteStatement insert = m_db.prepare(QStringLiteral("INSERT INTO t (rowid, a, b, c) VALUES (?, ?, ?, ?)"));
        insert.bindInt64(1, 1);
        insert.bindText(2, QStringLiteral("text first"));
        insert.bindInt64(2, 7);
        insert.bindInt64(3, 7);
        insert.bindText(3, QStringLiteral("text last"));
        insert.bindText(4, QStringLiteral("dropped"));
        insert.bind(4, QVariant());
        ASSERT_TRUE(insert.exec());
    }
    EXPECT_EQ(stored(1, "a"), "integer:7");
    EXPECT_EQ(stored(1, "b"), "text:text last");
    EXPECT_EQ(stored(1, "c"), "null:");
    // The statement comes back from the cache with nothing bound.
    SqliteStatement insert = m_db.prepare(QStringLiteral("INSERT INTO t (rowid, a, b, c) VALUES (?, ?, ?, ?)"));
    insert.bindInt64(1, 2);
    ASSERT_TRUE(insert.exec());
    EXPECT_EQ(stored(2, "b"), "null:");
}

// A statement is found again by its text, whether the same shared string or an equal copy; once
// the database is closed and opened again, every statement is prepared anew.
TEST_F(SqliteStatementTest, StatementsAreFoundByTheirTextAndPreparedAnewAfterReopening)
{
    const QString insertSql = QStringLiteral("INSERT INTO t (a) VALUES (?)");
    const QString countSql = QStringLiteral("SELECT count(*) FROM t WHERE a = ?");
    for (int round = 0; round < 2; ++round) {
        for (int i = 1; i <= 3; ++i) {
            SqliteStatement insert = m_db.prepare(insertSql);
            insert.bindText(1, QStringLiteral("x"));
            ASSERT_TRUE(insert.exec());
            SqliteStatement count = m_db.prepare(QString(countSql.constData(), countSql.size()));
            count.bindText(1, QStringLiteral("x"));
            ASSERT_TRUE(count.next());
            EXPECT_EQ(count.int64(0), round * 3 + i);
        }
        m_db.close();
        ASSERT_TRUE(m_db.open(m_dir.filePath(QStringLiteral("t.data")), false, false));
    }
}

// Every text bound into one row is kept until the row is written, however many there are.
TEST_F(SqliteStatementTest, ManyTextsInOneRowAreAllKept)
{
    constexpr int Columns = 20;
    QStringList names;
    for (int i = 0; i < Columns; ++i) {
        names.append(QStringLiteral("c%1").arg(i));
    }
    ASSERT_TRUE(m_db.exec(QStringLiteral("CREATE TABLE wide (%1)").arg(names.join(u','))));
    {
        SqliteStatement insert = m_db.prepare(
            QStringLiteral("INSERT INTO wide VALUES (%1)").arg(QStringList(Columns, QStringLiteral("?")).join(u',')));
        for (int i = 0; i < Columns; ++i) {
            insert.bindText(i + 1, QStringLiteral("value %1 ").arg(i).repeated(i + 1));
        }
        ASSERT_TRUE(insert.exec());
    }
    SqliteStatement read = m_db.prepare(QStringLiteral("SELECT * FROM wide"));
    ASSERT_TRUE(read.next());
    for (int i = 0; i < Columns; ++i) {
        EXPECT_EQ(read.text(i), QStringLiteral("value %1 ").arg(i).repeated(i + 1)) << i;
    }
}
