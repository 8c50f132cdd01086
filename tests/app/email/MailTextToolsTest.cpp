#include "email/MailTextTools.h"

#include "EmailTestSupport.h"

TEST(MailTextTools, LineBreaksAreNormalised)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("a\r\nb\r\n"), QStringLiteral("a\nb\n")},
        {QStringLiteral("a\rb\r"), QStringLiteral("a\nb\n")},
        {QStringLiteral("a\r\nb\rc"), QStringLiteral("a\nbc")}, // with any CR LF pair every CR goes
        {QStringLiteral("a\nb"), QStringLiteral("a\nb")},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(stringWithFixedMicrosoftLineBreaks(text), expected);
    }
    EXPECT_EQ(stringByTrimmingLineBreaks(QStringLiteral("a\nb\n")), QStringLiteral("a b "));
}

TEST(MailTextTools, ByteWiseQuotedPrintable)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("a=3Db=\nc=ZZ"), QStringLiteral("a=bcZZ")},
        {QStringLiteral("x="), QStringLiteral("x=")},
        {QStringLiteral("x=4"), QStringLiteral("x=4")}, // "=" second to last stays
        {QStringLiteral("caf=e9_au_lait"), QString::fromUtf8("caf\xC3\xA9_au_lait")}, // byte read as ISO 8859-1
        {QStringLiteral("soft=\r\nbreak"), QStringLiteral("soft\nbreak")},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(decodeQuotedPrintable(text), expected) << text.toStdString();
    }
}

TEST(MailTextTools, QuotedPrintableReadInItsCharset)
{
    struct Case
    {
        const char* encoded;
        ZRTextEncoding::Id encoding;
        const char* expected; // UTF-8
    };
    const Case cases[] = {
        // A character split by a soft line break comes out whole.
        {"Gr=C3=\n=BC=C3=9Fe", ZRTextEncoding::UTF8,
         "Gr\xC3\xBC\xC3\x9F"
         "e"},
        {"R=E9f=E9rence", ZRTextEncoding::ISOLatin1,
         "R\xC3\xA9"
         "f\xC3\xA9rence"},
        {"=80 19", ZRTextEncoding::WindowsCP1252, "\xE2\x82\xAC 19"},
        // Underscores belong to the text (URLs, keys): only encoded words turn them into spaces.
        {"https://x.example/a_b?k=3DKEY_1", ZRTextEncoding::UTF8, "https://x.example/a_b?k=KEY_1"},
        // Blanks before a soft break, CR LF soft breaks and a final "=".
        {"one= \t\r\ntwo=", ZRTextEncoding::UTF8, "onetwo"},
        // "=" not followed by two hexadecimal digits stays.
        {"a=ZZ b==", ZRTextEncoding::UTF8, "a=ZZ b="},
        // Characters that are not ASCII stay as they are, around decoded bytes.
        {"\xC3\xA9t\xC3\xA9 =C3=A9", ZRTextEncoding::ISOLatin1, "\xC3\xA9t\xC3\xA9 \xC3\x83\xC2\xA9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeQuotedPrintable(QString::fromUtf8(c.encoded), c.encoding), QString::fromUtf8(c.expected))
            << c.encoded;
    }
    EXPECT_EQ(decodeUTF8QuotedPrintable(QStringLiteral("Caf=C3=A9_order \"quoted\" ~~")),
              QString::fromUtf8("Caf\xC3\xA9_order \"quoted\" ~~"));
}
