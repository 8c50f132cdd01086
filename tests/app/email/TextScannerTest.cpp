#include "EmailTestSupport.h"
#include "email/ZRTextScanner.h"

TEST(TextScanner, ScanningUpToAStringSkipsWhiteSpaceFirstAndFailsWhenItTakesNothing)
{
    ZRTextScanner scanner(QStringLiteral("  \n Name: Jane\nKey: 42"));
    QString taken = QStringLiteral("unchanged");
    EXPECT_FALSE(scanner.scanUpToString(u"Name", &taken)); // the string is right after the white space
    EXPECT_EQ(taken, QStringLiteral("unchanged"));
    EXPECT_EQ(scanner.location(), 0);
    EXPECT_TRUE(scanner.scanString(u"Name:"));
    EXPECT_TRUE(scanner.scanUpToString(u"\n", &taken));
    EXPECT_EQ(taken, QStringLiteral("Jane"));
    EXPECT_TRUE(scanner.scanUpToString(u"missing", &taken)); // runs to the end
    EXPECT_EQ(taken, QStringLiteral("Key: 42"));
    EXPECT_TRUE(scanner.isAtEnd());
    EXPECT_FALSE(scanner.scanUpToString(u"x", &taken));
}

TEST(TextScanner, ScanningAStringIsExactAndCaseSensitive)
{
    ZRTextScanner scanner(QStringLiteral("\tBoundary=abc"));
    EXPECT_FALSE(scanner.scanString(u"boundary"));
    EXPECT_TRUE(scanner.scanString(u"Boundary"));
    EXPECT_TRUE(scanner.scanString(u"="));
    EXPECT_FALSE(scanner.scanString(u""));
}

TEST(TextScanner, CharacterSetSteps)
{
    ZRTextScanner scanner(QStringLiteral("b1\"; charset=x\n"));
    QString value;
    EXPECT_TRUE(scanner.scanUpToCharactersFromSet(u";\n", &value));
    EXPECT_EQ(value, QStringLiteral("b1\""));
    EXPECT_FALSE(scanner.scanUpToCharactersFromSet(u";", &value)); // stands on ";"
    EXPECT_TRUE(scanner.scanCharactersFromSet(u";"));
    EXPECT_FALSE(scanner.scanCharactersFromSet(u";"));
    EXPECT_TRUE(scanner.scanUpToCharactersFromSet(u"\n", &value));
    EXPECT_EQ(value, QStringLiteral("charset=x"));
    EXPECT_TRUE(scanner.isAtEnd()); // only a line break is left
}
