#include "import/ZipArchive.h"

#include "ZipFixture.h"

#include <gtest/gtest.h>

namespace {

QString readError(const QByteArray& zip, const ZipArchive::Limits& limits = {})
{
    QList<ZipArchive::Entry> entries;
    QString error;
    EXPECT_FALSE(ZipArchive::readAll(zip, limits, &entries, &error));
    EXPECT_TRUE(entries.isEmpty());
    return error;
}

ZipArchive::Limits smallLimits()
{
    ZipArchive::Limits limits;
    limits.maximumEntrySize = 1024 * 1024;
    limits.maximumTotalSize = 2 * 1024 * 1024;
    return limits;
}

TEST(ZipArchiveTest, ReadsEveryFileAndPassesOverFolders)
{
    const QByteArray zip = zipFixture({{QStringLiteral("export.data"), "{\"accounts\":[]}"},
                                       {QStringLiteral("files/"), {}},
                                       {QStringLiteral("files/doc__a.pdf"), QByteArray(100000, 'x')}});
    ASSERT_FALSE(zip.isEmpty());
    QList<ZipArchive::Entry> entries;
    QString error;
    ASSERT_TRUE(ZipArchive::readAll(zip, {}, &entries, &error)) << error.toStdString();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries.at(0).name, QStringLiteral("export.data"));
    EXPECT_EQ(entries.at(0).bytes, QByteArray("{\"accounts\":[]}"));
    EXPECT_EQ(entries.at(1).name, QStringLiteral("files/doc__a.pdf"));
    EXPECT_EQ(entries.at(1).bytes, QByteArray(100000, 'x'));
}

TEST(ZipArchiveTest, RefusesNamesThatLeaveTheFolder)
{
    for (const QString& name : {QStringLiteral("../evil"), QStringLiteral("files/../../evil"),
                                QStringLiteral("/etc/evil"), QStringLiteral("..\\evil"), QStringLiteral("C:/evil")}) {
        const QString error = readError(zipFixture({{QStringLiteral("export.data"), "{}"}, {name, "x"}}));
        EXPECT_TRUE(error.contains(QStringLiteral("outside its folder"))) << name.toStdString() << error.toStdString();
    }
    EXPECT_TRUE(ZipArchive::isSafeEntryName(QStringLiteral("files/a..b.pdf")));
}

TEST(ZipArchiveTest, RefusesEntriesAndTotalsBeyondTheLimits)
{
    // A bomb that says what it is: refused by its declared size before anything is inflated.
    const QByteArray zeros(8 * 1024 * 1024, '\0');
    EXPECT_TRUE(readError(zipFixture({{QStringLiteral("bomb"), zeros}}), smallLimits())
                    .contains(QStringLiteral("larger than allowed")));
    // One that claims to be small: inflating stops at the limit.
    ZipFixtureOptions lying;
    lying.declaredSize = 100;
    EXPECT_FALSE(readError(zipFixture({{QStringLiteral("bomb"), zeros}}, lying), smallLimits()).isEmpty());
    // Entries each within the limit that together pass the total.
    const QByteArray part(900 * 1024, 'p');
    EXPECT_FALSE(
        readError(zipFixture({{QStringLiteral("a"), part}, {QStringLiteral("b"), part}, {QStringLiteral("c"), part}}),
                  smallLimits())
            .isEmpty());
}

TEST(ZipArchiveTest, RefusesEncryptedDamagedAndForeignData)
{
    ZipFixtureOptions encrypted;
    encrypted.markEncrypted = true;
    EXPECT_TRUE(readError(zipFixture({{QStringLiteral("export.data"), "{}"}}, encrypted))
                    .contains(QStringLiteral("encrypted")));
    EXPECT_FALSE(readError("this is no zip at all").isEmpty());
    QByteArray damaged = zipFixture({{QStringLiteral("export.data"), QByteArray(5000, 'd')}});
    damaged[40] = char(damaged.at(40) ^ 0x55); // inside the compressed data
    EXPECT_FALSE(readError(damaged).isEmpty());
}

} // namespace
