#include "ZRBundle.h"

#include "ToolkitTestSupport.h"
#include "ZRLog.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ZRBundle openFixture(const char* name, const QStringList& languages = {QStringLiteral("en-US")})
{
    std::optional<ZRBundle> bundle = ZRBundle::bundleWithPath(toolkitFixture(QStringLiteral("bundles/") + name));
    EXPECT_TRUE(bundle.has_value()) << name;
    bundle->setPreferredLanguages(languages);
    return *bundle;
}

QString text(const QVariantMap& map, const char* key)
{
    return map.value(QString::fromUtf8(key)).toString();
}

} // namespace

TEST(ZRBundle, ReadsXmlAndBinaryInformationPropertyLists)
{
    const QVariantMap xml = openFixture("XmlInfo.app").infoDictionary();
    EXPECT_EQ(text(xml, "CFBundleIdentifier"), QStringLiteral("com.example.xmlapp"));
    EXPECT_EQ(text(xml, "CFBundleShortVersionString"), QStringLiteral("2.1"));
    const QVariantMap binary = openFixture("BinaryInfo.app").infoDictionary();
    EXPECT_EQ(text(binary, "CFBundleExecutable"), QStringLiteral("BinaryApp"));
    EXPECT_DOUBLE_EQ(binary.value(QStringLiteral("LSMinimumSystemVersion")).toDouble(), 10.5);
    const QVariantMap flat = openFixture("FlatLayout.wdgt").infoDictionary();
    EXPECT_EQ(text(flat, "CFBundleName"), QStringLiteral("Flat Widget"));
}

TEST(ZRBundle, PicksTheLocalizationByPreferredLanguage)
{
    struct Case
    {
        const char* bundle;
        QStringList languages;
        const char* key;
        QString expected;
    };
    const Case cases[] = {
        {"XmlInfo.app", {QStringLiteral("fr-CA"), QStringLiteral("en")}, "CFBundleName", QStringLiteral("Appli XML")},
        {"XmlInfo.app", {QStringLiteral("en-GB")}, "CFBundleName", QStringLiteral("XML App (English)")},
        // German has a folder but no localized Info.plist: the development region takes over.
        {"XmlInfo.app", {QStringLiteral("de")}, "CFBundleName", QStringLiteral("XML App (English)")},
        {"XmlInfo.app", {QStringLiteral("ja")}, "NSHumanReadableCopyright", QStringLiteral("© 2009 Example")},
        // Old folder names spelled out in English are found from language codes.
        {"BinaryInfo.app", {QStringLiteral("de-AT")}, "CFBundleDisplayName", QStringLiteral("Binär")},
        {"BinaryInfo.app", {QStringLiteral("fr")}, "CFBundleDisplayName", QStringLiteral("Binär")},
        {"FlatLayout.wdgt", {QStringLiteral("it")}, "CFBundleDisplayName", QStringLiteral("Flat (English)")},
    };
    for (const Case& c : cases) {
        const QVariantMap localized = openFixture(c.bundle, c.languages).localizedInfoDictionary();
        EXPECT_EQ(text(localized, c.key), c.expected) << c.bundle << " " << c.languages.join(',').toStdString();
    }
}

TEST(ZRBundle, PrioritizedDictionaryKeepsPlainValuesOverLocalizedOnes)
{
    const QVariantMap french = ZR_prioritizedInfoDictionary(openFixture("XmlInfo.app", {QStringLiteral("fr")}));
    // In both: the value of Info.plist is kept.
    EXPECT_EQ(text(french, "CFBundleName"), QStringLiteral("XML App"));
    // Only localized, or only plain: present either way.
    EXPECT_EQ(text(french, "CFBundleGetInfoString"), QStringLiteral("Appli en français"));
    EXPECT_EQ(text(french, "NSHumanReadableCopyright"), QStringLiteral("© 2009 Exemple"));
    EXPECT_EQ(text(french, "CFBundleIdentifier"), QStringLiteral("com.example.xmlapp"));

    const QVariantMap binary = ZR_prioritizedInfoDictionary(openFixture("BinaryInfo.app"));
    EXPECT_EQ(text(binary, "CFBundleExecutable"), QStringLiteral("BinaryApp"));
    EXPECT_EQ(text(binary, "CFBundleDisplayName"), QStringLiteral("Binär"));
}

TEST(ZRBundle, UnreadableInformationListLeavesTheLocalizedEntries)
{
    QStringList lines;
    ZRLog::setHandler([&lines](const QString& line) { lines.append(line); });
    const QVariantMap merged = ZR_prioritizedInfoDictionary(openFixture("UnreadableInfo.app"));
    ZRLog::setHandler(nullptr);
    EXPECT_EQ(merged, (QVariantMap {{QStringLiteral("CFBundleName"), QStringLiteral("Only Localized")}}));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.front().contains(QStringLiteral("UnreadableInfo.app/Contents/Info.plist")));
}

TEST(ZRBundle, IconFileIsFoundWithOrWithoutItsExtension)
{
    EXPECT_EQ(ZR_pathForIconFile(openFixture("XmlInfo.app")),
              toolkitFixture(QStringLiteral("bundles/XmlInfo.app/Contents/Resources/AppIcon.icns")));
    EXPECT_EQ(ZR_pathForIconFile(openFixture("BinaryInfo.app")),
              toolkitFixture(QStringLiteral("bundles/BinaryInfo.app/Contents/Resources/Binary.png")));
    EXPECT_EQ(ZR_pathForIconFile(openFixture("FlatLayout.wdgt")),
              toolkitFixture(QStringLiteral("bundles/FlatLayout.wdgt/Icon.png")));
}

TEST(ZRBundle, IconNameCannotLeaveTheResources)
{
    const ZRBundle bundle = openFixture("IconOutsideResources.app");
    ASSERT_TRUE(QFile::exists(bundle.resourcePath() + QStringLiteral("/../Info.plist")));
    EXPECT_TRUE(ZR_pathForIconFile(bundle).isEmpty());
    EXPECT_TRUE(bundle.pathForImageResource(QStringLiteral("/etc/hostname")).isEmpty());
    EXPECT_TRUE(bundle.pathForImageResource(QString()).isEmpty());
}

TEST(ZRBundle, OnlyFoldersAreBundles)
{
    EXPECT_FALSE(ZRBundle::bundleWithPath(toolkitFixture(QStringLiteral("bundles/XmlInfo.app/Contents/Info.plist"))));
    EXPECT_FALSE(ZRBundle::bundleWithPath(toolkitFixture(QStringLiteral("bundles/Missing.app"))));
    EXPECT_FALSE(ZRBundle::bundleWithPath(QString()));
    QTemporaryDir empty;
    const std::optional<ZRBundle> bundle = ZRBundle::bundleWithPath(empty.path());
    ASSERT_TRUE(bundle.has_value());
    EXPECT_TRUE(ZR_prioritizedInfoDictionary(*bundle).isEmpty());
    EXPECT_TRUE(ZR_pathForIconFile(*bundle).isEmpty());
}
