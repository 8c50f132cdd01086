#include "persistence/Predicate.h"

#include "PersistenceTestSupport.h"

using namespace Persistence;

TEST(PredicateParsing, AcceptsTheFormatsInUse)
{
    struct Case
    {
        QString format;
        QVariantList arguments;
        QString parsed; // the predicate written back
    };
    const QVariantList none;
    const Case cases[] = {
        {"title LIKE[c] %@", {QStringLiteral("Foo*")}, "title LIKE[c] \"Foo*\""},
        {"(name LIKE[c] %@) AND (product.title LIKE[c] %@)",
         {QStringLiteral("a"), QStringLiteral("b")},
         "(name LIKE[c] \"a\") AND (product.title LIKE[c] \"b\")"},
        {"(product.appIcon != self)", none, "product.appIcon != SELF"},
        {"flag == YES OR count >= 3 || NOT text = nil", none, "(flag == true) OR (count >= 3) OR (NOT (text == nil))"},
        {"%K == %d", {QStringLiteral("sortIndex"), 4}, "sortIndex == 4"},
        {"ratio < -1.5 && ratio <> 2", none, "(ratio < -1.5) AND (ratio != 2)"},
        {"text BEGINSWITH[cd] 'é' AND text CONTAINS \"a\\\"b\"", none,
         "(text BEGINSWITH[cd] \"é\") AND (text CONTAINS \"a\\\"b\")"},
        {"TRUEPREDICATE", none, "TRUEPREDICATE"},
        {"#and == 1", none, "and == 1"},
    };
    for (const Case& test : cases) {
        QString error;
        const auto predicate = Predicate::fromFormat(test.format, test.arguments, &error);
        ASSERT_TRUE(predicate) << test.format.toStdString() << ": " << error.toStdString();
        EXPECT_EQ(predicate->toString(), test.parsed) << test.format.toStdString();
    }
}

TEST(PredicateParsing, RejectsMalformedFormatsWithAReason)
{
    struct Case
    {
        QString format;
        QVariantList arguments;
    };
    const Case cases[] = {
        {"", {}},
        {"title LIKE", {}},
        {"title LIKE[x] 'a'", {}},
        {"title == 'unterminated", {}},
        {"(title == 'a'", {}},
        {"title == 'a')", {}},
        {"title == %@", {}},
        {"title == %@", {QStringLiteral("a"), QStringLiteral("b")}},
        {"%K == 1", {42}},
        {"title ~ 'a'", {}},
        {"title == 'a' AND", {}},
        {"title.. == 1", {}},
        {QString(200, u'(') + "a == 1" + QString(200, u')'), {}},
    };
    for (const Case& test : cases) {
        QString error;
        EXPECT_FALSE(Predicate::fromFormat(test.format, test.arguments, &error)) << test.format.toStdString();
        EXPECT_FALSE(error.isEmpty()) << test.format.toStdString();
    }
}

TEST(PredicateMatching, LikeHandlesWildcardsWithoutBacktrackingBlowUp)
{
    struct Case
    {
        const char* text;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"", "", true},
        {"", "*", true},
        {"", "?", false},
        {"abc", "abc", true},
        {"abc", "a?c", true},
        {"abc", "a*", true},
        {"abc", "*c", true},
        {"abc", "*b*", true},
        {"abc", "ab", false},
        {"abc", "abcd", false},
        {"abc", "a**c", true},
        {"aaab", "*a?b", true},
        {"mississippi", "m*iss*ppi", true},
        {"mississippi", "m*iss*x", false},
        {"a*b", "a*b", true},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(likeMatches(QString::fromUtf8(test.text), QString::fromUtf8(test.pattern)), test.matches)
            << test.text << " LIKE " << test.pattern;
    }
    const QString longText(100000, u'a');
    const QString hostile = QString(50, u'*').replace(u'*', QStringLiteral("*a")) + u'b';
    EXPECT_FALSE(likeMatches(longText, hostile)); // finishes, and quickly
}

TEST(PredicateMatching, OptionsFoldCaseAndAccents)
{
    const auto matches = [](const char* format, const QString& value) {
        const auto predicate = Predicate::fromFormat(QString::fromUtf8(format), {value});
        EXPECT_TRUE(predicate);
        return Predicate::compareValues(predicate->op(), predicate->options(), predicate->left().constant, value);
    };
    EXPECT_TRUE(matches("'Straße' ==[c] %@", QStringLiteral("STRASSE"))
                || matches("'straße' ==[c] %@", QStringLiteral("STRAßE")));
    EXPECT_TRUE(matches("'Crème' ==[cd] %@", QStringLiteral("creme")));
    EXPECT_FALSE(matches("'Crème' ==[c] %@", QStringLiteral("creme")));
    EXPECT_TRUE(matches("'ÉTÉ' LIKE[cd] %@", QStringLiteral("et?")));
}
