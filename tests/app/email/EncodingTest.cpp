#include "EmailTestSupport.h"
#include "email/ZREmailParser.h"
#include "email/ZRTextEncoding.h"

TEST(Encoding, CharsetAliasesByContainmentInOrder)
{
    const std::pair<const char*, ZRTextEncoding::Id> cases[] = {
        {"text/plain; charset=\"UTF-8\"", ZRTextEncoding::UTF8},
        {"text/plain; charset=utf-8", ZRTextEncoding::UTF8},
        {"text/plain; charset=ISO-8859-15", ZRTextEncoding::ISOLatin1},
        {"iso-8859-2", ZRTextEncoding::ISOLatin2},
        {"Windows-1251", ZRTextEncoding::WindowsCP1251},
        {"windows-1250", ZRTextEncoding::WindowsCP1250},
        {"iso-2022-jp", ZRTextEncoding::ISO2022JP},
        {"macintosh", ZRTextEncoding::MacOSRoman},
        {"us-ascii", ZRTextEncoding::ASCII},
        {"shift_jis", ZRTextEncoding::ShiftJIS},
        {"euc-jp", ZRTextEncoding::JapaneseEUC},
        {"text/plain", ZRTextEncoding::UTF8},
        {"koi8-r", ZRTextEncoding::UTF8},
    };
    for (const auto& [charset, expected] : cases) {
        EXPECT_EQ(ZREmailParser::encodingFromAlias(QString::fromLatin1(charset)), expected) << charset;
    }
}

TEST(Encoding, EveryAliasTargetHasADecoder)
{
    const QByteArray ascii("plain text");
    for (const char* charset :
         {"UTF-8", "windows-1252", "ISO-8859-1", "ISO-8859-2", "windows-1251", "windows-1253", "windows-1254",
          "windows-1250", "ISO-2022-JP", "macintosh", "ascii", "Shift_JIS", "EUC-JP"}) {
        const ZRTextEncoding::Id encoding = ZRTextEncoding::encodingFromAlias(QString::fromLatin1(charset));
        EXPECT_EQ(ZRTextEncoding::decodeStrictly(ascii, encoding), QStringLiteral("plain text")) << charset;
    }
}

TEST(Encoding, DecodingStrictlyAndLeniently)
{
    const QByteArray invalidUtf8("caf\xE9");
    EXPECT_FALSE(ZRTextEncoding::decodeStrictly(invalidUtf8, ZRTextEncoding::UTF8));
    EXPECT_EQ(ZRTextEncoding::decode(invalidUtf8, ZRTextEncoding::UTF8), QString::fromUtf8("caf\xEF\xBF\xBD"));
    EXPECT_EQ(ZRTextEncoding::decodeStrictly(invalidUtf8, ZRTextEncoding::ISOLatin1), QString::fromUtf8("caf\xC3\xA9"));
    EXPECT_FALSE(ZRTextEncoding::decodeStrictly(QByteArray("\x80"), ZRTextEncoding::ASCII));
    EXPECT_FALSE(ZRTextEncoding::decodeStrictly(QByteArray("x"), 999)); // unknown encoding number
    // Mislabelled ASCII is read as UTF-8, its superset.
    EXPECT_EQ(ZRTextEncoding::decode(QByteArray("\xE2\x84\xA2"), ZRTextEncoding::ASCII),
              QString::fromUtf8("\xE2\x84\xA2"));
    // Byte-order marks of Unicode encodings are dropped.
    EXPECT_EQ(ZRTextEncoding::decodeStrictly(QByteArray("\xEF\xBB\xBFTo:"), ZRTextEncoding::UTF8),
              QStringLiteral("To:"));
    EXPECT_EQ(ZRTextEncoding::decodeStrictly(QByteArray("\xFF\xFEO\0K\0", 6), ZRTextEncoding::UTF16),
              QStringLiteral("OK"));
    EXPECT_EQ(ZRTextEncoding::decodeStrictly(QByteArray("\x82\xA0", 2), ZRTextEncoding::ShiftJIS),
              QString::fromUtf8("\xE3\x81\x82"));
    // Larger than one UTF-16 unit per byte is not needed, but long input must come out whole.
    const QByteArray large(100000, 'k');
    EXPECT_EQ(ZRTextEncoding::decode(large, ZRTextEncoding::WindowsCP1252).size(), 100000);
}

TEST(Encoding, EncodedWordsInHeaderValues)
{
    const std::pair<const char*, const char*> cases[] = {
        {"=?UTF-8?Q?Caf=C3=A9_order?= #12", "Caf\xC3\xA9 order #12"},
        // Every encoded word is decoded, in either letter case.
        {"=?UTF-8?Q?One?= and =?utf-8?b?VHdv?= and =?UTF-8?q?Three?=", "One and Two and Three"},
        {"=?iso-8859-1?q?Re=E7u_de_paiement?=", "Re\xC3\xA7u de paiement"},
        // White space between adjacent words goes; a character split between two words comes out whole.
        {"=?UTF-8?B?R3LDvA==?= =?UTF-8?B?w59l?=",
         "Gr\xC3\xBC\xC3\x9F"
         "e"},
        {"=?UTF-8?Q?M=C3?=\t=?UTF-8?Q?=BCller?=", "M\xC3\xBCller"},
        {"=?windows-1251?B?z+Xy8A==?=", "\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80"},
        // "=5F" is an underscore, "_" a space.
        {"=?UTF-8?Q?key=5Fname_here?=", "key_name here"},
        // Text that only looks like an encoded word stays.
        {"Is 2+2=? Really ?= yes", "Is 2+2=? Really ?= yes"},
        {"Total =?x", "Total =?x"},
        // An unknown encoding letter shows the encoded text rather than the raw word.
        {"Hi =?UTF-8?X?abc?= there", "Hi abc there"},
        {"no words at all", "no words at all"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ZREmailParser::decodeString(QString::fromUtf8(text)), QString::fromUtf8(expected)) << text;
    }
}
