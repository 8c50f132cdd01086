#include "import/SnipeItCsvReader.h"

#include "support/TestData.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray fixture(const char* name)
{
    QFile file(testDataPath("/import/foreign/snipeit/") + QString::fromUtf8(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

QString unmapped(const ForeignRecord& record, const QString& name)
{
    for (const ForeignField& field : record.unmapped) {
        if (field.name == name) {
            return field.value;
        }
    }
    return {};
}

class SnipeItCsvReaderTest : public ::testing::Test
{
protected:
    SnipeItCsvReader m_reader;
};

TEST_F(SnipeItCsvReaderTest, RecognisesLicenceListsByTheirHeaderOnly)
{
    EXPECT_TRUE(m_reader.recognises(fixture("licenses-import.csv")));
    EXPECT_TRUE(m_reader.recognises(fixture("licenses-export.csv")));
    EXPECT_TRUE(m_reader.recognises("\xEF\xBB\xBF\"name\",\"product key\",\"seats\"\n"));
    // A password manager's CSV, an asset list without licence columns, a header without a key column.
    EXPECT_FALSE(m_reader.recognises("\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\n"));
    EXPECT_FALSE(m_reader.recognises("Item Name,Serial Number,Asset Tag,Model Name\n"));
    EXPECT_FALSE(m_reader.recognises("Name,Licensed To Name,Seats\n"));
}

TEST_F(SnipeItCsvReaderTest, ImportColumnsLandInTheirProductFields)
{
    const ForeignReadResult result = m_reader.read(fixture("licenses-import.csv"), {});
    ASSERT_FALSE(result.error) << result.error->toStdString();
    ASSERT_EQ(result.records.size(), 3);
    const ForeignRecord& suite = result.records.at(0);
    EXPECT_EQ(suite.title, QStringLiteral("Photo Suite"));
    EXPECT_EQ(suite.serialNumber, QStringLiteral("PS-1111-2222"));
    EXPECT_EQ(suite.registeredName, QStringLiteral("Ada Example"));
    EXPECT_EQ(suite.registeredEmail, QStringLiteral("ada@example.com"));
    EXPECT_EQ(suite.publisher, QStringLiteral("Forge Software"));
    EXPECT_EQ(suite.purchaseDate, QStringLiteral("2024-03-01"));
    EXPECT_EQ(suite.price, QStringLiteral("199.00"));
    EXPECT_EQ(suite.orderNumber, QStringLiteral("PO-77"));
    EXPECT_EQ(suite.expiryDate, QDate(2027, 3, 1));
    EXPECT_EQ(suite.notes, QStringLiteral("Volume licence, renewed yearly"));
    EXPECT_EQ(suite.seats, 5);
    EXPECT_TRUE(unmapped(suite, QStringLiteral("Seats")).isEmpty());
    EXPECT_EQ(unmapped(suite, QStringLiteral("Supplier")), QStringLiteral("Reseller Ltd"));
    EXPECT_EQ(unmapped(suite, QStringLiteral("Category")), QStringLiteral("Graphics"));

    // A quoted key over two lines stays whole; an expiry that is no date is kept as written.
    const ForeignRecord& compiler = result.records.at(1);
    EXPECT_EQ(compiler.serialNumber, QStringLiteral("CP-9\n9"));
    EXPECT_FALSE(compiler.expiryDate.isValid());
    EXPECT_EQ(unmapped(compiler, QStringLiteral("Expiration Date")), QStringLiteral("someday"));

    // The row without a name is left out, and said so.
    EXPECT_EQ(result.records.at(2).title, QStringLiteral("Diagram Tool"));
    ASSERT_EQ(result.warnings.size(), 1);
    EXPECT_TRUE(result.warnings.first().contains(QStringLiteral("Row 4 ")));
}

TEST_F(SnipeItCsvReaderTest, ReadsTheRegistersOwnExport)
{
    const ForeignReadResult result = m_reader.read(fixture("licenses-export.csv"), {});
    ASSERT_FALSE(result.error);
    ASSERT_EQ(result.records.size(), 1);
    const ForeignRecord& pack = result.records.first();
    EXPECT_EQ(pack.title, QStringLiteral("Office Pack"));
    EXPECT_EQ(pack.serialNumber, QStringLiteral("OP-ABCD-EFGH"));
    EXPECT_EQ(pack.registeredName, QStringLiteral("Example Works"));
    EXPECT_EQ(pack.expiryDate, QDate(2026, 6, 30));
    EXPECT_EQ(unmapped(pack, QStringLiteral("ID")), QStringLiteral("12"));
    EXPECT_EQ(unmapped(pack, QStringLiteral("Remaining")), QStringLiteral("4"));
}

TEST_F(SnipeItCsvReaderTest, BadInputIsRefusedWhole)
{
    const QByteArray header = "Name,Product Key,Seats\n";
    const QByteArray cases[] = {
        header + "Tool,\xff\xfe-not-utf8,1\n",
        header + "Tool," + QByteArray(2 * 1024 * 1024, 'k') + ",1\n",
        "Group,Title,Username\nTool,x,y\n",
    };
    for (const QByteArray& bytes : cases) {
        const ForeignReadResult result = m_reader.read(bytes, {});
        EXPECT_TRUE(result.error) << bytes.left(60).toStdString();
        EXPECT_TRUE(result.records.isEmpty());
    }
}

} // namespace
