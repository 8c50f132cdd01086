#include "ZRStringsFile.h"

#include "ToolkitTestSupport.h"

#include <gtest/gtest.h>

namespace {

QVariantMap table(std::initializer_list<std::pair<const char*, QString>> entries)
{
    QVariantMap map;
    for (const auto& [key, value] : entries) {
        map.insert(QString::fromUtf8(key), value);
    }
    return map;
}

std::optional<QVariantMap> readFixture(const char* name, QString* error = nullptr)
{
    return ZRStringsFile::fromFile(toolkitFixture(QStringLiteral("strings/") + QString::fromUtf8(name)), error);
}

} // namespace

TEST(ZRStringsFile, ReadsEveryEncodingAndForm)
{
    const QVariantMap simple = table(
        {{"CFBundleName", QStringLiteral("Écrit")}, {"CFBundleGetInfoString", QStringLiteral("Version 1 — 🔑")}});
    const std::pair<const char*, QVariantMap> cases[] = {
        {"utf16le-with-bom.strings", simple},
        {"utf16be-with-bom.strings", simple},
        {"utf16le-without-bom.strings", simple},
        {"utf8-without-bom.strings", simple},
        {"utf8-with-bom.strings", simple},
        {"escapes-comments-and-unquoted-words.strings",
         table({{"CFBundleName", QStringLiteral("Unquoted-Name_1.0")},
                {"Quote", QStringLiteral("say \"hi\"\\ now")},
                {"Controls", QStringLiteral("tab\tnew\nline\rreturn")},
                {"Unicode", QStringLiteral("été")},
                {"Octal", QStringLiteral("AB")},
                {"LoneKey", QStringLiteral("LoneKey")},
                {"Spaced key", QStringLiteral("value on the next line")},
                {"Path", QStringLiteral("http://example.com/a:b")}})},
        {"braces-around-entries.strings", table({{"CFBundleName", QStringLiteral("Braced")}, {"Version", "3"}})},
        {"empty-table.strings", QVariantMap()},
        {"xml-property-list.strings",
         table({{"CFBundleName", QStringLiteral("XML Strings")},
                {"CFBundleGetInfoString", QStringLiteral("From an XML property list")}})},
        {"xml-property-list-in-utf16.strings",
         table({{"CFBundleName", QStringLiteral("XML Strings")},
                {"CFBundleGetInfoString", QStringLiteral("From an XML property list")}})},
        {"binary-property-list.strings",
         table({{"CFBundleName", QStringLiteral("Binary Strings")}, {"Count", QStringLiteral("three")}})},
    };
    for (const auto& [name, expected] : cases) {
        QString error;
        const std::optional<QVariantMap> parsed = readFixture(name, &error);
        ASSERT_TRUE(parsed.has_value()) << name << ": " << error.toStdString();
        EXPECT_EQ(*parsed, expected) << name;
    }
}

TEST(ZRStringsFile, RejectsFaultyTablesWithAReason)
{
    const std::pair<const char*, const char*> cases[] = {
        {"bad-unterminated-string.strings", "unterminated string"},
        {"bad-missing-semicolon.strings", "line 2: expected \";\""},
        {"bad-unterminated-comment.strings", "unterminated comment"},
        {"bad-invalid-utf8.strings", "neither UTF-8 nor UTF-16"},
        {"bad-property-list-not-a-dictionary.strings", "not a dictionary"},
        {"bad-missing-closing-brace.strings", "missing closing brace"},
        {"bad-text-after-closing-brace.strings", "text after the closing brace"},
        {"bad-nested-dictionary-value.strings", "expected a string"},
        {"bad-short-unicode-escape.strings", "four hexadecimal digits"},
        // A binary string whose length disagrees with its NUL byte once aborted the process.
        {"bad-binary-property-list-string-holding-nul.strings", "not a dictionary"},
    };
    for (const auto& [name, reason] : cases) {
        QString error;
        EXPECT_FALSE(readFixture(name, &error).has_value()) << name;
        EXPECT_TRUE(error.contains(QString::fromUtf8(reason))) << name << ": " << error.toStdString();
    }
    QString error;
    EXPECT_FALSE(readFixture("no-such-file.strings", &error).has_value());
    EXPECT_FALSE(error.isEmpty());
}

TEST(ZRStringsFile, RefusesTablesAboveTheSizeBound)
{
    QByteArray huge("\"A\" = \"");
    huge.append(QByteArray(ZRStringsFile::MaximumSize, 'x'));
    huge.append("\";");
    QString error;
    EXPECT_FALSE(ZRStringsFile::fromData(huge, &error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("larger than")));
}

TEST(ZRStringsFile, LaterEntriesReplaceEarlierOnes)
{
    const auto parsed = ZRStringsFile::fromData("\"A\" = \"first\";\n\"A\" = \"second\";");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->value(QStringLiteral("A")).toString(), QStringLiteral("second"));
}
