#include "text/RtfReader.h"

#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

// Shows texts readably in failure messages.
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

QString dataPath(const QString& name)
{
    return testDataPath("/platform/text/") + name;
}

struct TextCase
{
    const char* name;
    QByteArray rtf;
    QString text;
};

void PrintTo(const TextCase& textCase, std::ostream* out)
{
    *out << textCase.name;
}

class RtfText : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(RtfText, ReadsThePlainCharacters)
{
    RtfReader reader;
    const auto text = reader.readData(GetParam().rtf);
    ASSERT_TRUE(text.has_value()) << reader.errorString().toStdString();
    EXPECT_EQ(*text, GetParam().text);
    EXPECT_FALSE(reader.isTruncated());
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RtfText,
    ::testing::Values(
        TextCase {"paragraphs", "{\\rtf1\\ansi Hello\\par World}", QStringLiteral("Hello\nWorld")},
        TextCase {"delimiting space belongs to the word", "{\\rtf1 \\b bold\\b0  text}", QStringLiteral("bold text")},
        TextCase {"line and tab", "{\\rtf1 a\\tab b\\line c}", QStringLiteral("a\tb\nc")},
        TextCase {"escaped line break is a paragraph", "{\\rtf1 one\\\r\ntwo\\\nthree}",
                  QStringLiteral("one\ntwo\nthree")},
        TextCase {"raw line breaks are no text", "{\\rtf1 one\r\ntwo}", QStringLiteral("onetwo")},
        TextCase {"cp1252 escapes", "{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'93q\\'94 \\'80}",
                  QStringLiteral("café “q” €")},
        TextCase {"cp1252 without a code page", "{\\rtf1 \\'80\\'9c}", QStringLiteral("€œ")},
        TextCase {"document code page 1251", "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}", QStringLiteral("При")},
        TextCase {"Mac Roman", "{\\rtf1\\mac \\'8e\\'a5}", QStringLiteral("é•")},
        TextCase {"unknown code page falls back to 1252", "{\\rtf1\\ansicpg99999 \\'e9}", QStringLiteral("é")},
        TextCase {"unicode with fallback", "{\\rtf1 \\u8364?x}", QStringLiteral("€x")},
        TextCase {"two fallback bytes", "{\\rtf1\\uc2 \\u8364\\'80\\'80x}", QStringLiteral("€x")},
        TextCase {"no fallback", "{\\rtf1\\uc0 \\u233 x}", QStringLiteral("éx")},
        TextCase {"negative code unit", "{\\rtf1 \\u-4064?}", QString(QChar(0xF020))},
        TextCase {"surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", QString::fromUtf8("\xF0\x9F\x98\x80")},
        TextCase {"lone surrogate is replaced", "{\\rtf1 \\u-10179?x}", QString(QChar(0xFFFD)) + QLatin1Char('x')},
        TextCase {"fallback length belongs to its group", "{\\rtf1 {\\uc3 \\u233 abc}\\u233 ?d}",
                  QStringLiteral("ééd")},
        TextCase {"fallback ends with its group", "{\\rtf1\\uc3 {\\u233 a}b}", QStringLiteral("éb")},
        TextCase {"fallback counts escapes and symbols", "{\\rtf1\\uc2 \\u8217\\'92\\~s}", QStringLiteral("’s")},
        TextCase {"nested groups", "{\\rtf1 a{b{c}d}e}", QStringLiteral("abcde")},
        TextCase {"skipped destinations",
                  "{\\rtf1{\\fonttbl{\\f0 Helvetica;}}{\\colortbl;\\red0\\green0\\blue0;}"
                  "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Secret}}{\\*\\generator Writer;}"
                  "{\\pict\\pngblip 89504e47}{\\*\\unknown hidden {\\b deeper}}visible}",
                  QStringLiteral("visible")},
        TextCase {"binary data is skipped", "{\\rtf1 a\\bin2 }}b{\\pict\\bin3 {{{}c}", QStringLiteral("abc")},
        TextCase {"control symbols", "{\\rtf1 a\\~b\\-c\\_d\\\\e\\{f\\}}", QStringLiteral("a\u00A0bc\u2011d\\e{f}")},
        TextCase {"typographic words",
                  "{\\rtf1 \\lquote a\\rquote \\ldblquote b\\rdblquote \\endash \\emdash \\bullet}",
                  QStringLiteral("‘a’“b”–—•")},
        TextCase {"field result without instruction",
                  "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}}", QStringLiteral("link")},
        TextCase {"font character sets",
                  "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Helvetica;}{\\f1\\fcharset128 Gothic;}}"
                  "\\f0 a\\f1 \\'82\\'a0{\\f0 \\'e9}\\'82\\'a0\\f0 b}",
                  QStringLiteral("aあéあb")},
        TextCase {"text after the document is ignored", "{\\rtf1 a}b}{c", QStringLiteral("a")},
        TextCase {"byte-order mark and white space before the header", "\xEF\xBB\xBF \r\n{\\rtf1 x}",
                  QStringLiteral("x")},
        TextCase {"over-long control word and parameter",
                  "{\\rtf1 \\aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa99999999999999 x}", QStringLiteral("x")}));

struct TruncatedCase
{
    const char* name;
    QByteArray rtf;
    QString text;
};

void PrintTo(const TruncatedCase& truncatedCase, std::ostream* out)
{
    *out << truncatedCase.name;
}

class RtfTruncated : public ::testing::TestWithParam<TruncatedCase>
{
};

TEST_P(RtfTruncated, GivesWhatWasReadable)
{
    RtfReader reader;
    const auto text = reader.readData(GetParam().rtf);
    ASSERT_TRUE(text.has_value()) << reader.errorString().toStdString();
    EXPECT_EQ(*text, GetParam().text);
    EXPECT_TRUE(reader.isTruncated());
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RtfTruncated,
    ::testing::Values(TruncatedCase {"mid word", "{\\rtf1 Hello\\par Wor", QStringLiteral("Hello\nWor")},
                      TruncatedCase {"lone backslash", "{\\rtf1 caf\\", QStringLiteral("caf")},
                      TruncatedCase {"half an escape", "{\\rtf1 a\\'e", QStringLiteral("a")},
                      TruncatedCase {"unicode without fallback", "{\\rtf1 \\u233", QStringLiteral("é")},
                      TruncatedCase {"binary data longer than the file", "{\\rtf1 a\\bin99 xyz", QStringLiteral("a")},
                      TruncatedCase {"unclosed inner group", "{\\rtf1 {\\b a}{b", QStringLiteral("ab")}));

TEST(RtfReader, RefusesWhatIsNoRichText)
{
    const QByteArray inputs[] = {QByteArray(), "hello", "{\\rt", "{ \\rtf1 x}", "\\rtf1 x}", "rtfd without a document"};
    for (const QByteArray& input : inputs) {
        RtfReader reader;
        EXPECT_FALSE(reader.readData(input).has_value()) << input.toStdString();
        EXPECT_FALSE(reader.errorString().isEmpty());
    }
}

TEST(RtfReader, BoundsNestingAndSize)
{
    RtfReader reader;
    const int allowed = RtfReader::MaximumDepth - 1;
    const QByteArray deepEnough = "{\\rtf1 " + QByteArray(allowed, '{') + "x" + QByteArray(allowed + 1, '}');
    EXPECT_EQ(reader.readData(deepEnough), QStringLiteral("x"));

    const QByteArray tooDeep = "{\\rtf1 " + QByteArray(allowed + 1, '{') + "x";
    EXPECT_FALSE(reader.readData(tooDeep).has_value());
    EXPECT_TRUE(reader.errorString().contains(QString::number(RtfReader::MaximumDepth)));

    QByteArray tooLarge = "{\\rtf1 ";
    tooLarge.append(QByteArray(RtfReader::MaximumSize, 'a'));
    EXPECT_FALSE(reader.readData(tooLarge).has_value());
    EXPECT_FALSE(reader.errorString().isEmpty());
}

TEST(RtfReader, GarbledInputGivesTextOrAnError)
{
    // Mutations of a real document: whatever the bytes, the reader answers and never crashes.
    QFile file(dataPath(QStringLiteral("word-processor-document.rtf")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    const char alphabet[] = "{}\\'*uc0123456789abf -\r\n\x80\xff";
    QRandomGenerator random(4711);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes = original;
        const int edits = 1 + int(random.bounded(20));
        for (int edit = 0; edit < edits; ++edit) {
            const qsizetype at = 6 + random.bounded(int(bytes.size() - 6));
            bytes[at] = alphabet[random.bounded(int(sizeof(alphabet) - 1))];
        }
        bytes.truncate(6 + random.bounded(int(bytes.size() - 5)));
        RtfReader reader;
        const auto text = reader.readData(bytes);
        EXPECT_TRUE(text.has_value() || !reader.errorString().isEmpty());
    }
}

TEST(RtfReader, ReadsDocumentFiles)
{
    struct
    {
        const char* file;
        QString text;
    } const cases[] = {
        {"notes-from-older-version.rtf",
         QStringLiteral("Registered to Jane Doe\nSerial: ABCD-1234-ÉFGH\n\nUpgrade price: 19€")},
        {"word-processor-document.rtf",
         QStringLiteral("Receipt\nThank you for buying Example App – version 2.\n•\tKey: Пример-あ-€ 42\n"
                        "Visit example.com or call\n555 0100.\n“Done”— thanks.")},
        {"notes-package.rtfd", QStringLiteral("Licence file attached:\n\uFFFC\nKeep it safe.")},
    };
    for (const auto& entry : cases) {
        RtfReader reader;
        const auto text = reader.readFile(dataPath(QString::fromLatin1(entry.file)));
        ASSERT_TRUE(text.has_value()) << entry.file << ": " << reader.errorString().toStdString();
        EXPECT_EQ(*text, entry.text) << entry.file;
        EXPECT_FALSE(reader.isTruncated()) << entry.file;
    }

    RtfReader reader;
    EXPECT_FALSE(reader.readFile(dataPath(QStringLiteral("missing.rtf"))).has_value());
    EXPECT_TRUE(reader.errorString().contains(QStringLiteral("missing.rtf")));
    EXPECT_FALSE(reader.readFile(QDir::tempPath()).has_value()); // a folder without TXT.rtf
}

TEST(RtfReader, ReadsFlattenedPackageData)
{
    QFile file(dataPath(QStringLiteral("notes-package.rtfd/TXT.rtf")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray flattened = QByteArray("rtfd\0\0\0\0\3\0\0\0", 12) + "TXT.rtf" + file.readAll() + "\x89PNG";
    RtfReader reader;
    const auto text = reader.readData(flattened);
    ASSERT_TRUE(text.has_value()) << reader.errorString().toStdString();
    EXPECT_TRUE(text->startsWith(QStringLiteral("Licence file attached:")));
    EXPECT_TRUE(text->endsWith(QStringLiteral("Keep it safe.")));
}

} // namespace
