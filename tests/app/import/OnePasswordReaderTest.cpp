#include "import/OnePasswordReader.h"

#include "ZipFixture.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

namespace {

QList<ZipFixtureEntry> fixtureEntries()
{
    return zipEntriesOfFolder(testDataPath("/import/foreign/onepassword/"));
}

// The fixture with export.data replaced.
QByteArray exportWithData(const QByteArray& data)
{
    QList<ZipFixtureEntry> entries = fixtureEntries();
    for (ZipFixtureEntry& entry : entries) {
        if (entry.name == u"export.data") {
            entry.bytes = data;
        }
    }
    return zipFixture(entries);
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

class OnePasswordReaderTest : public ::testing::Test
{
protected:
    OnePasswordReader m_reader;
};

TEST_F(OnePasswordReaderTest, RecognisesTheExportByItsEntries)
{
    const QByteArray archive = zipFixture(fixtureEntries());
    EXPECT_TRUE(m_reader.recognises(archive.left(65536)));
    EXPECT_FALSE(m_reader.recognises(zipFixture({{QStringLiteral("readme.txt"), "hello"}})));
    EXPECT_FALSE(m_reader.recognises("{\"accounts\": [], \"export.data\": 1}"));
}

TEST_F(OnePasswordReaderTest, SoftwareLicenceFieldsLandInTheirProductFields)
{
    const ForeignReadResult result = m_reader.read(zipFixture(fixtureEntries()), {});
    ASSERT_FALSE(result.error) << result.error->toStdString();
    ASSERT_EQ(result.records.size(), 3);
    const ForeignRecord& licence = result.records.at(0);
    EXPECT_EQ(licence.title, QStringLiteral("PixelForge"));
    EXPECT_EQ(licence.serialNumber, QStringLiteral("AAAA-BBBB-CCCC"));
    EXPECT_EQ(licence.version, QStringLiteral("5.2"));
    EXPECT_EQ(licence.registeredName, QStringLiteral("Ada Example"));
    EXPECT_EQ(licence.registeredEmail, QStringLiteral("ada@example.com"));
    EXPECT_EQ(licence.registeredCompany, QStringLiteral("Example Works"));
    EXPECT_EQ(licence.publisher, QStringLiteral("Forge Software"));
    EXPECT_EQ(licence.website, QStringLiteral("https://downloads.example.com/pixelforge"));
    EXPECT_EQ(licence.supportEmail, QStringLiteral("help@forge.example.com"));
    EXPECT_EQ(licence.orderNumber, QStringLiteral("ORD-1001"));
    EXPECT_EQ(licence.purchaseDate, QStringLiteral("2023-01-15"));
    EXPECT_EQ(licence.price, QStringLiteral("59.00")); // what was paid, not the list price
    EXPECT_EQ(licence.expiryDate, QDate(2026, 1, 1));
    EXPECT_EQ(licence.notes, QStringLiteral("Bought in the winter sale."));
    EXPECT_EQ(licence.seats, 3);
    EXPECT_TRUE(unmapped(licence, QStringLiteral("Seats")).isEmpty());
    // Nothing is dropped: the second website, the list price, custom fields and tags are kept.
    EXPECT_EQ(unmapped(licence, QStringLiteral("website")), QStringLiteral("https://forge.example.com"));
    EXPECT_EQ(unmapped(licence, QStringLiteral("retail price")), QStringLiteral("79.00"));
    EXPECT_EQ(unmapped(licence, QStringLiteral("tags")), QStringLiteral("graphics, work"));
}

TEST_F(OnePasswordReaderTest, OnlyAPositiveWholeSeatCountBecomesTheSeatsTheRestStaysInTheNotes)
{
    const struct
    {
        QByteArray fields;
        std::optional<int> seats;
        QString inNotes; // "name: value" of the one unmapped field, if any
    } cases[] = {
        {R"({"id":"f1","title":"Number of licenses","value":{"string":" 12 "}})", 12, {}},
        {R"({"id":"licence_count","title":"","value":{"number":5}})", 5, {}},
        {R"({"id":"f1","title":"Seats","value":{"string":"unlimited"}})", {}, "Seats: unlimited"},
        {R"({"id":"f1","title":"seats","value":{"string":"0"}})", {}, "seats: 0"},
        {R"({"id":"f1","title":"Seats","value":{"number":2.5}})", {}, "Seats: 2.5"},
        {R"({"id":"f1","title":"Seats","value":{"string":"99999999999"}})", {}, "Seats: 99999999999"},
        // The first count is kept; a second one goes to the notes.
        {R"({"id":"f1","title":"Seats","value":{"string":"4"}},{"id":"f2","title":"Seat count","value":{"string":"6"}})",
         4, "Seat count: 6"},
    };
    for (const auto& example : cases) {
        const ForeignReadResult result = m_reader.read(
            exportWithData(R"({"accounts":[{"vaults":[{"items":[{"categoryUuid":"100","overview":{"title":"Tool"},)"
                           R"("details":{"sections":[{"fields":[)"
                           + example.fields + "]}]}}]}]}]}"),
            {});
        ASSERT_EQ(result.records.size(), 1) << example.fields.constData();
        const ForeignRecord& record = result.records.at(0);
        EXPECT_EQ(record.seats, example.seats) << example.fields.constData();
        QStringList notes;
        for (const ForeignField& field : record.unmapped) {
            notes.append(field.name + QStringLiteral(": ") + field.value);
        }
        EXPECT_EQ(notes.join(u'\n'), example.inNotes) << example.fields.constData();
    }
}

TEST_F(OnePasswordReaderTest, OnlyItemsWithALicenceAreReadAndDocumentsAreAttached)
{
    const ForeignReadResult result = m_reader.read(zipFixture(fixtureEntries()), {});
    ASSERT_FALSE(result.error);
    // The plain login and the photo document are no licences; the archived licence is passed over.
    EXPECT_EQ(result.skippedNotLicence, 2);
    QStringList titles;
    for (const ForeignRecord& record : result.records) {
        titles.append(record.title);
    }
    EXPECT_EQ(titles,
              (QStringList {QStringLiteral("PixelForge"), QStringLiteral("Sound Desk"), QStringLiteral("PixelForge")}));

    const ForeignRecord& login = result.records.at(1);
    EXPECT_EQ(login.serialNumber, QStringLiteral("SD-7788-99"));
    EXPECT_EQ(login.website, QStringLiteral("https://sounddesk.example.org/account"));
    EXPECT_EQ(unmapped(login, QStringLiteral("username")), QStringLiteral("ada"));

    // The file field and the Document item of the same title (in any case) both land on the first licence.
    const QList<ForeignAttachment>& attachments = result.records.at(0).attachments;
    ASSERT_EQ(attachments.size(), 2);
    EXPECT_EQ(attachments.at(0).fileName, QStringLiteral("receipt.pdf"));
    EXPECT_TRUE(attachments.at(0).bytes.startsWith("%PDF-1.4 receipt"));
    EXPECT_EQ(attachments.at(1).fileName, QStringLiteral("invoice.pdf"));
    EXPECT_TRUE(result.warnings.isEmpty()) << result.warnings.join(u' ').toStdString();
}

TEST_F(OnePasswordReaderTest, MissingOrOversizedDocumentsAreLeftOutWithAWarning)
{
    ForeignReadLimits limits;
    limits.maximumAttachmentSize = 35; // the receipt (40 bytes) is over, the invoice (32) is not
    QList<ZipFixtureEntry> entries = fixtureEntries();
    entries.removeIf([](const ZipFixtureEntry& entry) { return entry.name.contains(u"DOC2"); });
    const ForeignReadResult result = m_reader.read(zipFixture(entries), limits);
    ASSERT_FALSE(result.error);
    EXPECT_TRUE(result.records.at(0).attachments.isEmpty());
    ASSERT_EQ(result.warnings.size(), 2);
    EXPECT_TRUE(result.warnings.at(0).contains(QStringLiteral("receipt.pdf")));
    EXPECT_TRUE(result.warnings.at(1).contains(QStringLiteral("invoice.pdf")));
}

TEST_F(OnePasswordReaderTest, HostileOrForeignDataIsRefusedWhole)
{
    const QByteArray deep = QByteArray("{\"accounts\":") + QByteArray(1000, '[') + QByteArray(1000, ']') + '}';
    const QByteArray longField
        = "{\"accounts\":[{\"vaults\":[{\"items\":[{\"categoryUuid\":\"100\",\"overview\":{\"title\":\""
        + QByteArray(10 * 1024 * 1024, 'a') + "\"}}]}]}]}";
    const struct
    {
        QByteArray archive;
        const char* expected;
    } cases[] = {
        {exportWithData(deep), "nested more than"},
        {exportWithData(longField), "longer than"},
        {exportWithData("<html>no json</html>"), "not valid JSON"},
        {exportWithData("{\"items\": []}"), "no list of accounts"},
        {exportWithData("{\"accounts\":[{\"vaults\":[{\"items\":[42]}]}]}"), "no object"},
        {zipFixture({{QStringLiteral("export.attributes"), "{}"}}), "no export.data"},
        {zipFixture({{QStringLiteral("../export.data"), "{}"}}), "outside its folder"},
    };
    for (const auto& hostile : cases) {
        const ForeignReadResult result = m_reader.read(hostile.archive, {});
        ASSERT_TRUE(result.error) << hostile.expected;
        EXPECT_TRUE(result.error->contains(QString::fromUtf8(hostile.expected))) << result.error->toStdString();
        EXPECT_TRUE(result.records.isEmpty());
    }
}

} // namespace
