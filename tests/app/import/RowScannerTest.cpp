#include "import/ZRDelimitedTextParsing.h"

#include <gtest/gtest.h>

namespace {

// "~" in an expected row stands for an empty field.
using Rows = QList<QStringList>;

Rows simplified(const DelimitedRows& rows)
{
    Rows result;
    for (const DelimitedRow& row : rows) {
        QStringList fields;
        for (const DelimitedField& field : row) {
            fields.append(field ? *field : QStringLiteral("~"));
        }
        result.append(fields);
    }
    return result;
}

struct ScanCase
{
    const char* name;
    QString text;
    QString quote;
    Rows expected;
    QString record = QStringLiteral("\n");
    QString field = QStringLiteral(",");
};

class RowScannerTest : public ::testing::TestWithParam<ScanCase>
{
};

TEST_P(RowScannerTest, CutsTextIntoRows)
{
    const ScanCase& c = GetParam();
    EXPECT_EQ(simplified(scannedRowsWithRecordDelimter(c.text, c.record, c.field, c.quote)), c.expected);
}

const QString Q = QStringLiteral("\"");

INSTANTIATE_TEST_SUITE_P(
    Cases, RowScannerTest,
    ::testing::Values(
        ScanCase {"EmptyText", QString(), QString(), {{"~"}}},
        ScanCase {"BlankText", QStringLiteral(" \n\t \n"), QString(), {{"~"}}},
        ScanCase {"TwoRows", QStringLiteral("a,b\nc,d"), QString(), {{"a", "b"}, {"c", "d"}}},
        ScanCase {"FinalLineFeedAddsNoRow", QStringLiteral("a,b\nc,d\n"), QString(), {{"a", "b"}, {"c", "d"}}},
        ScanCase {"TrailingComma", QStringLiteral("a,b,"), QString(), {{"a", "b", "~"}}},
        ScanCase {"TrailingCommaAndLineFeed", QStringLiteral("a,b,\n"), QString(), {{"a", "b", "~"}}},
        ScanCase {"EmptyMiddleField", QStringLiteral("a,,b"), QString(), {{"a", "~", "b"}}},
        ScanCase {"BlankLineBetweenRows", QStringLiteral("a,b\n\nc,d"), QString(), {{"a", "b"}, {"~"}, {"c", "d"}}},
        ScanCase {"BlankLinesAtStartSkipped", QStringLiteral("\n\n  \na,b"), QString(), {{"a", "b"}}},
        ScanCase {"LeadingBlanksDroppedTrailingKept", QStringLiteral("  a ,\tb"), QString(), {{"a ", "b"}}},
        ScanCase {"QuotedDelimiters", QStringLiteral("\"a,b\",\"c\nd\"\ne"), Q, {{"a,b", "c\nd"}, {"e"}}},
        ScanCase {"QuotesBackToBack", QStringLiteral("\"a\"\"b\""), Q, {{"a", "b"}}},
        ScanCase {"TextAfterClosingQuote", QStringLiteral("\"a\"b,c"), Q, {{"a", "b", "c"}}},
        ScanCase {"UnclosedQuoteTakesTheRest", QStringLiteral("x,\"a,b\nc"), Q, {{"x", "a,b\nc"}}},
        ScanCase {"EmptyQuotedField", QStringLiteral("\"\",b"), Q, {{"~", "b"}}},
        ScanCase {"QuoteInsideFieldIsOrdinary", QStringLiteral("a\"b,c"), Q, {{"a\"b", "c"}}},
        ScanCase {"QuotesWithoutQuoting", QStringLiteral("\"a,b\""), QString(), {{"\"a", "b\""}}},
        ScanCase {"SameDelimiterIsOneRow",
                  QStringLiteral("a\nb\nc"),
                  QString(),
                  {{"a", "b", "c"}},
                  QStringLiteral("\n"),
                  QStringLiteral("\n")},
        // Empty tab-separated fields keep their columns, also the first one.
        ScanCase {"EmptyTabFields",
                  QStringLiteral("\ta\t\tb\n"),
                  QString(),
                  {{"~", "a", "~", "b"}},
                  QStringLiteral("\n"),
                  QStringLiteral("\t")},
        // A character of a longer delimiter that does not start it belongs to the field.
        ScanCase {"PartOfALongerDelimiter",
                  QStringLiteral("a:b::c||d"),
                  QString(),
                  {{"a:b", "c"}, {"d"}},
                  QStringLiteral("||"),
                  QStringLiteral("::")}),
    [](const ::testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

} // namespace
