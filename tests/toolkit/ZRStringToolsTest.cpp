#include "ZRStringTools.h"

#include "ToolkitTestSupport.h"
#include "ZRLog.h"

#include <gtest/gtest.h>

namespace {

struct Conversion
{
    QString input;
    QString expected;
};

} // namespace

TEST(ZRStringTools, XmlEscapingEscapesEveryOccurrenceAndExistingEntitiesAgain)
{
    const Conversion cases[] = {
        {QStringLiteral("a & b"), QStringLiteral("a &amp; b")},
        {QStringLiteral("<tag attr=\"v\">it's</tag>"),
         QStringLiteral("&lt;tag attr=&quot;v&quot;&gt;it&apos;s&lt;/tag&gt;")},
        // An entity already in the text is escaped again: the ampersand goes first.
        {QStringLiteral("&lt;"), QStringLiteral("&amp;lt;")},
        {QStringLiteral("&amp;&"), QStringLiteral("&amp;amp;&amp;")},
        // Escapes late in a text that has grown from earlier escapes are still made.
        {QStringLiteral("<<<<<<<<<<&&&&&&&&&&''''''''''\"\"\"\"\"\">"),
         QStringLiteral("&lt;").repeated(10) + QStringLiteral("&amp;").repeated(10)
             + QStringLiteral("&apos;").repeated(10) + QStringLiteral("&quot;").repeated(6) + QStringLiteral("&gt;")},
        // Control characters and characters outside ASCII pass through.
        {QStringLiteral("\t\x01 Grüße 🔑"), QStringLiteral("\t\x01 Grüße 🔑")},
        {QString(), QString()},
    };
    for (const Conversion& c : cases) {
        EXPECT_EQ(ZR_stringSafeForXML(c.input), c.expected) << c.input.toStdString();
    }
}

TEST(ZRStringTools, MicrosoftLineBreaksBecomeLineFeeds)
{
    const Conversion cases[] = {
        // With one CR LF pair every CR goes, lone ones too, and the line feed stays.
        {QStringLiteral("a\r\nb\rc"), QStringLiteral("a\nbc")},
        // Only lone CRs: each becomes one LF.
        {QStringLiteral("a\rb\r\rc"), QStringLiteral("a\nb\n\nc")},
        {QStringLiteral("a\n\rb"), QStringLiteral("a\n\nb")},
        {QStringLiteral("plain\ntext"), QStringLiteral("plain\ntext")},
        {QStringLiteral("\r\n\r\n"), QStringLiteral("\n\n")},
    };
    for (const Conversion& c : cases) {
        EXPECT_EQ(ZR_stringByConvertingMicrosoftLineBreaks(c.input), c.expected) << c.input.toStdString();
    }
}

TEST(ZRStringTools, TrimmingLineBreaksReplacesOnlyLineFeeds)
{
    EXPECT_EQ(ZR_stringByTrimmingLineBreaks(QStringLiteral("a\r\nb")), QStringLiteral("a\r b"));
    EXPECT_EQ(ZR_stringByTrimmingLineBreaks(QStringLiteral("\n\nx\n")), QStringLiteral("  x "));
    EXPECT_EQ(ZR_stringByTrimmingLineBreaks(QStringLiteral("a\rb")), QStringLiteral("a\rb"));
}

TEST(ZRStringTools, PathSafeTextReplacesSlashesOnly)
{
    EXPECT_EQ(ZR_stringMadeSafeForPath(QStringLiteral("AC/DC: Live\\Tour/")), QStringLiteral("AC_DC: Live\\Tour_"));
}

TEST(ZRStringTools, SubstitutionReplacesEveryCharacterOfTheSet)
{
    const QString vowels = QStringLiteral("aeiou");
    EXPECT_EQ(ZR_stringWithSubstitute(QStringLiteral("serial number"), QStringLiteral("*"), vowels),
              QStringLiteral("s*r**l n*mb*r"));
    // Substitutes longer than one character and empty ones.
    EXPECT_EQ(ZR_stringWithSubstitute(QStringLiteral("a-b-c"), QStringLiteral("--"), QStringLiteral("-")),
              QStringLiteral("a--b--c"));
    EXPECT_EQ(
        ZR_stringWithSubstitute(QStringLiteral("1 2\t3\n"), QString(), [](char32_t c) { return QChar::isSpace(c); }),
        QStringLiteral("123"));
    // Characters outside the basic plane are one character, not two halves.
    EXPECT_EQ(ZR_stringWithSubstitute(QStringLiteral("key🔑key🗝"), QStringLiteral("#"), QStringLiteral("🔑")),
              QStringLiteral("key#key🗝"));
    EXPECT_EQ(
        ZR_stringWithSubstitute(QStringLiteral("x🔑"), QStringLiteral("#"), [](char32_t c) { return c == 0x1F511; }),
        QStringLiteral("x#"));
}

TEST(ZRStringTools, SubstitutionWithASubstituteFromTheSetEnds)
{
    // Searching again from the start after each replacement would never end here.
    EXPECT_EQ(ZR_stringWithSubstitute(QStringLiteral("a b"), QStringLiteral("  "), QStringLiteral(" ")),
              QStringLiteral("a  b"));
    EXPECT_EQ(ZR_stringWithSubstitute(QStringLiteral("xx"), QStringLiteral("x"), QStringLiteral("x")),
              QStringLiteral("xx"));
}

TEST(ZRStringTools, SubstitutionWithoutMatchAnswersTheReceiverItself)
{
    const QString text = QStringLiteral("nothing to change");
    const QString result = ZR_stringWithSubstitute(text, QStringLiteral("_"), QStringLiteral("/:"));
    EXPECT_EQ(result.constData(), text.constData());
}

TEST(ZRStringTools, CaseInsensitiveEqualityAndContainment)
{
    EXPECT_TRUE(ZR_isEqualToStringIgnoringCase(QStringLiteral("serial"), QStringLiteral("SERIAL")));
    EXPECT_TRUE(ZR_isEqualToStringIgnoringCase(QStringLiteral("Grüße"), QStringLiteral("GRÜSSE").replace("SS", "ß")));
    EXPECT_FALSE(ZR_isEqualToStringIgnoringCase(QStringLiteral("serial"), QStringLiteral("serials")));
    EXPECT_FALSE(ZR_isEqualToStringIgnoringCase(QStringLiteral(""), QString()));

    EXPECT_TRUE(ZR_containsString(QStringLiteral("Registration Code: X"), QStringLiteral("Code")));
    EXPECT_FALSE(ZR_containsString(QStringLiteral("Registration Code: X"), QStringLiteral("code")));
    EXPECT_TRUE(ZR_containsString(QStringLiteral("Registration Code: X"), QStringLiteral("code"), true));
    // An empty search text is never found (a match must have a length).
    EXPECT_FALSE(ZR_containsString(QStringLiteral("abc"), QString()));
    EXPECT_FALSE(ZR_containsString(QStringLiteral("abc"), QStringLiteral(""), true));
    EXPECT_FALSE(ZR_containsString(QString(), QStringLiteral("a")));
}

TEST(ZRStringTools, SubstringsAroundARange)
{
    const QString text = QStringLiteral("Name: Ann");
    struct Case
    {
        ZRRange range;
        QString before;
        QString after;
    };
    const Case cases[] = {
        {{4, 2}, QStringLiteral("Name"), QStringLiteral("Ann")},
        {{0, 0}, QStringLiteral(""), QStringLiteral("Name: Ann")},
        // A range that ends at the end of the text leaves nothing after it.
        {{6, 3}, QStringLiteral("Name: "), QStringLiteral("")},
        // Ranges reaching outside the text are clamped to it.
        {{6, 100}, QStringLiteral("Name: "), QStringLiteral("")},
        {{50, 1}, QStringLiteral("Name: Ann"), QStringLiteral("")},
        {{-3, 5}, QStringLiteral(""), QStringLiteral("me: Ann")},
        {{4, std::numeric_limits<qsizetype>::max()}, QStringLiteral("Name"), QStringLiteral("")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZR_substringBeforeRange(text, c.range), c.before) << c.range.location << "," << c.range.length;
        EXPECT_EQ(ZR_substringAfterRange(text, c.range), c.after) << c.range.location << "," << c.range.length;
    }
}

TEST(ZRStringTools, SquashingCollapsesDelimiterRuns)
{
    EXPECT_EQ(ZR_squashedStringByRemovingDelimiterCharacter(QStringLiteral("  a   b "), QStringLiteral(" ")),
              QStringLiteral("a b"));
    EXPECT_EQ(ZR_squashedStringByRemovingDelimiterCharacter(QStringLiteral(",,x,,,y,"), QStringLiteral(",")),
              QStringLiteral("x,y"));
    EXPECT_EQ(ZR_squashedStringByRemovingDelimiterCharacter(QStringLiteral("a  b"), QString()), QStringLiteral("a  b"));

    QStringList lines;
    ZRLog::setHandler([&lines](const QString& line) { lines.append(line); });
    EXPECT_TRUE(ZR_squashedStringByRemovingDelimiterCharacter(QStringLiteral("a--b"), QStringLiteral("--")).isNull());
    ZRLog::setHandler(nullptr);
    EXPECT_EQ(lines, QStringList {QStringLiteral("delimiterCharacter can only be one length of 1.")});
}
