// The readers of password managers' exports: what each maps from its fixture, and how bad input is
// refused as a whole with a clear error.
#include "import/ForeignFormatRegistry.h"
#include "import/KeePassCsvReader.h"
#include "import/KeePassXmlReader.h"
#include "support/TestData.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

QByteArray gzipped(const QByteArray& bytes)
{
    z_stream stream {};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray output(int(deflateBound(&stream, uLong(bytes.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(output.data());
    stream.avail_out = uInt(output.size());
    deflate(&stream, Z_FINISH);
    output.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return output;
}

QString fixture(const char* name)
{
    return testDataPath("/import/foreign/") + QLatin1String(name);
}

QByteArray fixtureBytes(const char* name)
{
    QFile file(fixture(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const ForeignRecord* titled(const ForeignReadResult& result, const QString& title)
{
    for (const ForeignRecord& record : result.records) {
        if (record.title == title) {
            return &record;
        }
    }
    return nullptr;
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

ForeignReadResult readBytes(const QByteArray& bytes, const ForeignReadLimits& limits = {})
{
    const ForeignFormatReader* reader = ForeignFormatRegistry::standard().readerForBytes(bytes);
    if (!reader) {
        return ForeignReadResult::failure({}, QStringLiteral("not recognised"));
    }
    return reader->read(bytes, limits);
}

QByteArray nested(const char* open, const char* close, int depth)
{
    QByteArray bytes;
    for (int i = 0; i < depth; ++i) {
        bytes += open;
    }
    for (int i = 0; i < depth; ++i) {
        bytes += close;
    }
    return bytes;
}

} // namespace

TEST(ForeignReaders, RecogniseByContentNotByName)
{
    const ForeignFormatRegistry& registry = ForeignFormatRegistry::standard();
    const auto nameOf = [&registry](const char* file) {
        const ForeignFormatReader* reader = registry.readerForFile(fixture(file));
        return reader ? reader->name() : QString();
    };
    EXPECT_EQ(nameOf("keepass.xml"), u"KeePass XML");
    EXPECT_EQ(nameOf("keepassxc.csv"), u"KeePassXC CSV");
    EXPECT_EQ(nameOf("bitwarden.json"), u"Bitwarden JSON");
    EXPECT_EQ(nameOf("bitwarden-encrypted.json"), u"Bitwarden JSON");
    EXPECT_EQ(nameOf("enpass.json"), u"Enpass JSON");
    EXPECT_EQ(registry.readerForBytes("{\"name\": \"not an export\"}"), nullptr);
    EXPECT_EQ(registry.readerForBytes("<?xml version=\"1.0\"?><Library/>"), nullptr);
    EXPECT_EQ(registry.readerForBytes("Title,Serial\nA,B\n"), nullptr);
}

TEST(ForeignReaders, KeePassXmlMapsLicencesAndLeavesOutHistoryAndRecycleBin)
{
    const ForeignReadResult result = ForeignFormatRegistry::standard().readFile(fixture("keepass.xml"));
    ASSERT_FALSE(result.error) << result.error->toStdString();
    ASSERT_EQ(result.records.size(), 2);
    EXPECT_EQ(result.skippedNotLicence, 1); // the webmail login
    EXPECT_EQ(titled(result, QStringLiteral("Thrown Away")), nullptr);

    const ForeignRecord* orbit = titled(result, QStringLiteral("Orbit Paint"));
    ASSERT_NE(orbit, nullptr);
    EXPECT_EQ(orbit->serialNumber, u"OP-1234-5678"); // the password of a licence group, not the history's
    EXPECT_EQ(orbit->registeredName, u"Dana Quill");
    EXPECT_EQ(orbit->purchaseDate, u"2024-03-15");
    EXPECT_EQ(orbit->price, u"49.99");
    EXPECT_EQ(orbit->website, u"https://orbitpaint.example.net");
    EXPECT_EQ(orbit->expiryDate, QDate(2027, 6, 30));
    EXPECT_EQ(unmapped(*orbit, QStringLiteral("Group")), u"Personal/Software Licences");
    ASSERT_EQ(orbit->attachments.size(), 1);
    EXPECT_EQ(orbit->attachments.first().fileName, u"licence.txt");
    EXPECT_TRUE(orbit->attachments.first().bytes.startsWith("Orbit Paint licence certificate")); // was gzipped

    const ForeignRecord* quill = titled(result, QStringLiteral("Quillwriter Pro"));
    ASSERT_NE(quill, nullptr);
    EXPECT_EQ(quill->serialNumber, u"QW-7788-AAAA");
    EXPECT_EQ(quill->version, u"7.2"); // from a line of the notes
    EXPECT_FALSE(quill->expiryDate.isValid()); // Expires is False
    EXPECT_EQ(unmapped(*quill, QStringLiteral("Password")), u"account-password");
    EXPECT_EQ(unmapped(*quill, QStringLiteral("Seats")), u"3");
    EXPECT_EQ(unmapped(*quill, QStringLiteral("UserName")), u"dana");
    ASSERT_EQ(quill->attachments.size(), 1);
    EXPECT_TRUE(quill->attachments.first().bytes.startsWith("%PDF"));
}

TEST(ForeignReaders, KeePassCsvUsesGroupsAndNotes)
{
    const ForeignReadResult result = ForeignFormatRegistry::standard().readFile(fixture("keepassxc.csv"));
    ASSERT_FALSE(result.error);
    ASSERT_EQ(result.records.size(), 2);
    EXPECT_EQ(result.skippedNotLicence, 1);
    const ForeignRecord* cad = titled(result, QStringLiteral("Tessellate CAD"));
    ASSERT_NE(cad, nullptr);
    EXPECT_EQ(cad->serialNumber, u"TC-9999-0001");
    EXPECT_EQ(cad->orderNumber, u"ORD-5512");
    EXPECT_EQ(cad->notes, u"Upgrade from v2\nOrder number: ORD-5512"); // a line break inside quotes
    EXPECT_EQ(unmapped(*cad, QStringLiteral("Created")), u"2025-02-01T10:00:00Z");
    EXPECT_EQ(unmapped(*cad, QStringLiteral("Icon")), QString());
    const ForeignRecord* glyph = titled(result, QStringLiteral("Glyph Studio"));
    ASSERT_NE(glyph, nullptr);
    EXPECT_EQ(glyph->serialNumber, u"GS-42-\"quoted\"");
}

TEST(ForeignReaders, BitwardenReadsEveryItemType)
{
    const ForeignReadResult result = ForeignFormatRegistry::standard().readFile(fixture("bitwarden.json"));
    ASSERT_FALSE(result.error);
    EXPECT_EQ(result.records.size(), 3);
    EXPECT_EQ(result.skippedNotLicence, 2); // the card and the identity without a licence field
    const ForeignRecord* forge = titled(result, QStringLiteral("Pixel Forge"));
    ASSERT_NE(forge, nullptr);
    EXPECT_EQ(forge->serialNumber, u"PF-2024-XYZ");
    EXPECT_EQ(forge->version, u"3.1");
    EXPECT_EQ(forge->orderNumber, u"INV-0042");
    EXPECT_EQ(forge->notes, u"Lifetime licence");
    EXPECT_EQ(unmapped(*forge, QStringLiteral("Folder")), u"Licenses");
    const ForeignRecord* sound = titled(result, QStringLiteral("Soundbench"));
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->serialNumber, u"SB-77-11");
    EXPECT_EQ(sound->registeredEmail, u"dana@example.org");
    EXPECT_EQ(sound->website, u"https://soundbench.example.com");
    EXPECT_EQ(unmapped(*sound, QStringLiteral("URL")), u"https://store.example.com");
    EXPECT_EQ(unmapped(*sound, QStringLiteral("Password")), u"store-password");
    const ForeignRecord* office = titled(result, QStringLiteral("Office Suite"));
    ASSERT_NE(office, nullptr);
    EXPECT_EQ(office->registeredName, u"Dana Quill");
    EXPECT_EQ(office->registeredCompany, u"Quill Works");
    EXPECT_EQ(unmapped(*office, QStringLiteral("Identity phone")), u"555-0100");
}

TEST(ForeignReaders, EnpassReadsFieldsAttachmentsAndLeavesOutTrash)
{
    const ForeignReadResult result = ForeignFormatRegistry::standard().readFile(fixture("enpass.json"));
    ASSERT_FALSE(result.error);
    ASSERT_EQ(result.records.size(), 1);
    EXPECT_EQ(result.skippedNotLicence, 1);
    const ForeignRecord& loom = result.records.first();
    EXPECT_EQ(loom.title, u"Vector Loom");
    EXPECT_EQ(loom.serialNumber, u"VL-3141-5926");
    EXPECT_EQ(loom.version, u"5.0");
    EXPECT_EQ(loom.publisher, u"Loomworks");
    EXPECT_EQ(loom.website, u"https://loom.example.com");
    EXPECT_EQ(loom.price, u"EUR 79,00");
    EXPECT_EQ(unmapped(loom, QStringLiteral("Support PIN")), u"8812");
    EXPECT_EQ(unmapped(loom, QStringLiteral("Old key")), QString()); // deleted field
    ASSERT_EQ(loom.attachments.size(), 1);
    EXPECT_EQ(loom.attachments.first().bytes, QByteArray("Invoice #77 for Vector Loom\n"));
}

TEST(ForeignReaders, EncryptedBitwardenIsRefused)
{
    const ForeignReadResult result = ForeignFormatRegistry::standard().readFile(fixture("bitwarden-encrypted.json"));
    ASSERT_TRUE(result.error);
    EXPECT_TRUE(result.error->contains(QLatin1String("encrypted")));
    EXPECT_TRUE(result.records.isEmpty());
}

TEST(ForeignReaders, BrokenDocumentsAreRefusedWhole)
{
    // Truncated in the middle of the second item: the first is not imported either.
    QByteArray bitwarden = fixtureBytes("bitwarden.json");
    EXPECT_TRUE(readBytes(bitwarden.left(bitwarden.indexOf("Soundbench"))).error);
    QByteArray keepass = fixtureBytes("keepass.xml");
    EXPECT_TRUE(readBytes(keepass.left(keepass.indexOf("Software Licences"))).error);
    // Says it is one thing, is another.
    EXPECT_TRUE(readBytes("{\"encrypted\": false, \"items\": 12}").error);
    EXPECT_TRUE(readBytes("{\"items\": [], \"template_type\": 1").error);
    EXPECT_TRUE(readBytes("<KeePassFile><Root><Group></Root></KeePassFile>").error);
    EXPECT_TRUE(readBytes("\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\n\"a\",\"b").error);
}

TEST(ForeignReaders, DeepNestingIsRefused)
{
    const QByteArray json = "{\"encrypted\": false, \"items\": [], \"x\": " + nested("[", "]", 1000) + "}";
    const ForeignReadResult deepJson = readBytes(json);
    ASSERT_TRUE(deepJson.error);
    EXPECT_TRUE(deepJson.error->contains(QLatin1String("nested")));
    const QByteArray xml = "<KeePassFile><Root>" + nested("<Group>", "</Group>", 1000) + "</Root></KeePassFile>";
    const ForeignReadResult deepXml = readBytes(xml);
    ASSERT_TRUE(deepXml.error);
    EXPECT_TRUE(deepXml.error->contains(QLatin1String("nested")));
}

TEST(ForeignReaders, HugeFieldsRefuseTheFile)
{
    const QByteArray huge(10 * 1024 * 1024, 'k');
    const QByteArray json = "{\"encrypted\": false, \"folders\": [], \"items\": [{\"type\": 2, \"name\": \"Big\", "
                            "\"fields\": [{\"name\": \"Serial\", \"value\": \""
        + huge + "\"}]}]}";
    const ForeignReadResult result = readBytes(json);
    ASSERT_TRUE(result.error);
    EXPECT_TRUE(result.error->contains(QLatin1String("too large")));
    EXPECT_TRUE(result.records.isEmpty());
}

TEST(ForeignReaders, WrongEncodingsAreRefused)
{
    // Latin-1 bytes in a file that declares UTF-8, and in CSV that must be UTF-8.
    EXPECT_TRUE(readBytes("<?xml version=\"1.0\" encoding=\"utf-8\"?><KeePassFile><Root><Group><Name>Caf\xE9</Name>"
                          "</Group></Root></KeePassFile>")
                    .error);
    EXPECT_TRUE(readBytes("\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\n\"Software\",\"Caf\xE9\","
                          "\"\",\"K\",\"\",\"\"\n")
                    .error);
    EXPECT_TRUE(readBytes("{\"encrypted\": false, \"items\": [{\"name\": \"Caf\xE9\"}]}").error);
    // UTF-16 text is no export Keymoor reads; the file says why.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("utf16.json"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\xFF\xFE") + QByteArray::fromRawData(reinterpret_cast<const char*>(u"{\"items\":[]}"), 24));
    file.close();
    const ForeignReadResult result = ForeignFormatRegistry::standard().readFile(path);
    ASSERT_TRUE(result.error);
    EXPECT_TRUE(result.error->contains(QLatin1String("UTF-8")));
}

TEST(ForeignReaders, DtdsAndEntitiesAreRefused)
{
    const QByteArray external
        = "<?xml version=\"1.0\"?>\n<!DOCTYPE KeePassFile [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n"
          "<KeePassFile><Root><Group><Entry><String><Key>Serial</Key><Value>&x;</Value></String>"
          "</Entry></Group></Root></KeePassFile>";
    const ForeignReadResult result = readBytes(external);
    ASSERT_TRUE(result.error);
    EXPECT_TRUE(result.error->contains(QLatin1String("document type")));
    EXPECT_FALSE(
        readBytes("<KeePassFile><Root><Group><Name>&undefined;</Name></Group></Root></KeePassFile>").records.size());
}

TEST(ForeignReaders, AttachmentsOverTheLimitAreSkippedWithAWarning)
{
    ForeignReadLimits limits;
    limits.maximumAttachmentSize = 16;
    const ForeignReadResult keepass = readBytes(fixtureBytes("keepass.xml"), limits);
    ASSERT_FALSE(keepass.error);
    EXPECT_EQ(keepass.records.size(), 2);
    EXPECT_TRUE(titled(keepass, QStringLiteral("Orbit Paint"))->attachments.isEmpty()); // unpacked size counts
    EXPECT_EQ(keepass.warnings.size(), 2);
    EXPECT_TRUE(keepass.warnings.first().contains(QLatin1String("larger than 16 bytes")));
    const ForeignReadResult enpass = readBytes(fixtureBytes("enpass.json"), limits);
    EXPECT_TRUE(enpass.records.first().attachments.isEmpty());
    EXPECT_EQ(enpass.warnings.size(), 1);
}

TEST(ForeignReaders, GunzipStopsAtTheLimit)
{
    const QByteArray bomb = gzipped(QByteArray(64 * 1024 * 1024, '\0'));
    ASSERT_LT(bomb.size(), 100 * 1024);
    bool tooLarge = false;
    EXPECT_FALSE(KeePassXmlReader::gunzip(bomb, 1024, &tooLarge));
    EXPECT_TRUE(tooLarge);
    tooLarge = false;
    EXPECT_FALSE(KeePassXmlReader::gunzip("not gzip at all", 1024, &tooLarge));
    EXPECT_FALSE(tooLarge);
    EXPECT_EQ(KeePassXmlReader::gunzip(gzipped("small"), 1024, &tooLarge), QByteArray("small"));
}
