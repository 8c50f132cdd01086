#include "software/AppStreamCatalogue.h"
#include "software/AppStreamReader.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

namespace {

const QString Facts = testDataPath("/platform/software/facts");

AppStreamComponent readFixture(const QString& relativePath)
{
    QString error;
    const auto component = AppStreamReader::readFile(Facts + relativePath, &error);
    EXPECT_TRUE(component.has_value()) << error.toStdString();
    return component.value_or(AppStreamComponent {});
}

TEST(AppStreamReader, ReadsTheFactsOfAComponent)
{
    const AppStreamComponent northwind = readFixture(QStringLiteral("/metainfo/org.example.Northwind.metainfo.xml"));
    EXPECT_EQ(northwind.id, QStringLiteral("org.example.northwind-app"));
    // Untranslated values win whether they come before or after their translations.
    EXPECT_EQ(northwind.name, QStringLiteral("Northwind"));
    EXPECT_EQ(northwind.summary, QStringLiteral("Draw nautical charts"));
    EXPECT_EQ(northwind.developer, QStringLiteral("Northwind Software Ltd."));
    EXPECT_EQ(northwind.homepage, QStringLiteral("https://northwind.example/"));
    // The contact address wins over the help page; the private update contact is never taken.
    EXPECT_EQ(northwind.email, QStringLiteral("support@northwind.example"));
    EXPECT_EQ(northwind.desktopIds, QStringList {QStringLiteral("org.example.Northwind.desktop")});
    // The newest release by version order, not the first or last listed, and not the beta.
    EXPECT_EQ(northwind.newestRelease, QStringLiteral("2.10.0"));
}

TEST(AppStreamReader, ReadsLegacyFiles)
{
    const AppStreamComponent harbour = readFixture(QStringLiteral("/metainfo/harbour.metainfo.xml"));
    EXPECT_EQ(harbour.developer, QStringLiteral("Harbour Tools"));
    EXPECT_EQ(harbour.email, QStringLiteral("help@harbour.example"));
    EXPECT_EQ(harbour.newestRelease, QStringLiteral("1.0"));

    const AppStreamComponent flat = readFixture(QStringLiteral("/appdata/org.example.Flat.appdata.xml"));
    EXPECT_EQ(flat.id, QStringLiteral("org.example.Flat.desktop"));
    EXPECT_EQ(flat.developer, QStringLiteral("Flat Works"));
    EXPECT_TRUE(flat.email.isEmpty()) << "a contact web page is no e-mail address";
    EXPECT_TRUE(flat.newestRelease.isEmpty());
}

TEST(AppStreamReader, RefusesWhatIsNoMetainfo)
{
    for (const char* name : {"/metainfo/broken.metainfo.xml", "/metainfo/not-xml.metainfo.xml",
                             "/metainfo/wrong-root.metainfo.xml", "/metainfo/missing.metainfo.xml"}) {
        QString error;
        EXPECT_FALSE(AppStreamReader::readFile(Facts + QString::fromLatin1(name), &error).has_value()) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
    }
    QByteArray huge = "<component><id>x</id><description><p>";
    huge.append(QByteArray(AppStreamReader::MaximumSize, 'a'));
    huge.append("</p></description></component>");
    QString error;
    EXPECT_FALSE(AppStreamReader::read(huge, &error).has_value());
    EXPECT_FALSE(error.isEmpty());
}

TEST(AppStreamReader, FetchesNoExternalEntities)
{
    const QByteArray data = "<?xml version=\"1.0\"?>\n"
                            "<!DOCTYPE component [<!ENTITY secret SYSTEM \"file:///etc/hostname\">]>\n"
                            "<component><id>org.example.Entity</id><name>&secret;</name></component>";
    QString error;
    const auto component = AppStreamReader::read(data, &error);
    if (component) {
        EXPECT_TRUE(component->name.isEmpty()) << component->name.toStdString();
    } else {
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(AppStreamReader, TakesOnlyEmailAddressesFromContactUrls)
{
    const std::vector<std::pair<const char*, const char*>> cases {
        {"mailto:help@example.org", "help@example.org"},
        {"MAILTO:help@example.org?subject=Hello%20there", "help@example.org"},
        {"mailto:first%2Blast@example.org", "first+last@example.org"},
        {" help@example.org ", "help@example.org"},
        {"https://example.org/contact", ""},
        {"mailto:", ""},
        {"not an address", ""},
        {"a@b@example.org", ""},
        {"someone@localhost", ""},
    };
    for (const auto& [url, address] : cases) {
        EXPECT_EQ(AppStreamReader::emailAddress(QString::fromLatin1(url)), QString::fromLatin1(address)) << url;
    }
}

TEST(AppStreamCatalogue, MatchesDesktopIdsByLaunchableThenByComponentId)
{
    AppStreamCatalogue catalogue({Facts + QStringLiteral("/metainfo"), Facts + QStringLiteral("/appdata"),
                                  Facts + QStringLiteral("/missing-folder")});
    for (const char* id : {"org.example.Northwind", "org.example.Northwind.desktop"}) {
        const auto component = catalogue.componentForDesktopId(QString::fromLatin1(id));
        ASSERT_TRUE(component.has_value()) << id;
        EXPECT_EQ(component->name, QStringLiteral("Northwind")) << id;
    }
    // A legacy component ID with ".desktop" and a plain one.
    EXPECT_EQ(catalogue.componentForDesktopId(QStringLiteral("org.example.Flat"))->name,
              QStringLiteral("Flat Planner"));
    // The earlier folder wins for the same component.
    EXPECT_EQ(catalogue.componentForDesktopId(QStringLiteral("harbour.desktop"))->name,
              QStringLiteral("Harbour Master"));
    // The broken file's launchable is not taken, and files that failed are not in the catalogue.
    EXPECT_FALSE(catalogue.componentForDesktopId(QStringLiteral("org.example.Lighthouse")).has_value());
    EXPECT_FALSE(catalogue.componentForDesktopId(QStringLiteral("org.example.northwind")).has_value());
    EXPECT_FALSE(catalogue.componentForDesktopId(QString()).has_value());
    EXPECT_EQ(catalogue.components().size(), 3);
}

} // namespace
