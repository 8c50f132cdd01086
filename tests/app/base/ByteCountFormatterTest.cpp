#include "base/ByteCountFormatter.h"

#include <gtest/gtest.h>

namespace {

struct ByteCountCase
{
    double bytes;
    const char* shown;
};

constexpr double KB = 1024.0;
constexpr double MB = KB * 1024.0;
constexpr double GB = MB * 1024.0;
constexpr double TB = GB * 1024.0;

} // namespace

TEST(ByteCountFormatter, ShowsEachUnitWithTwoOrNoDecimals)
{
    const ByteCountFormatter formatter(QLocale(QLocale::English, QLocale::UnitedStates));
    const ByteCountCase cases[] = {
        {0, "0 B"},
        {512, "512 B"},
        {1023, "1023 B"},
        {1024, "1 KB"},
        {1536, "1.50 KB"},
        {1024 * 1.005, "1 KB"}, // a fractional part of 0.01 or less shows no decimals
        {1024 * 1.02, "1.02 KB"},
        {1048575, "1024.00 KB"}, // just under 1 MB stays in KB
        {MB, "1 MB"},
        {2.25 * GB, "2.25 GB"},
        {1.5 * TB, "1.50 TB"},
        {1024 * TB, "1024 TB"}, // no unit beyond TB
        {5000 * TB, "5000 TB"}, // and no digit grouping
    };
    for (const ByteCountCase& c : cases) {
        EXPECT_EQ(formatter.stringFromByteCount(c.bytes), QString::fromUtf8(c.shown)) << c.bytes;
        EXPECT_EQ(formatter.stringForObjectValue(QVariant(c.bytes)), QString::fromUtf8(c.shown)) << c.bytes;
    }
}

TEST(ByteCountFormatter, UsesTheLocaleDecimalSeparator)
{
    const ByteCountFormatter german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.stringFromByteCount(1536), QStringLiteral("1,50 KB"));
}

TEST(ByteCountFormatter, PassesTextThroughAndRefusesOtherObjects)
{
    const ByteCountFormatter formatter(QLocale::c());
    EXPECT_EQ(formatter.stringForObjectValue(QStringLiteral("unknown size")), QStringLiteral("unknown size"));
    EXPECT_EQ(formatter.stringForObjectValue(QStringLiteral("2048")), QStringLiteral("2048"));
    EXPECT_EQ(formatter.stringForObjectValue(QVariant(qint64(2048))), QStringLiteral("2 KB"));
    EXPECT_TRUE(formatter.stringForObjectValue(QVariant()).isEmpty());
    EXPECT_TRUE(formatter.stringForObjectValue(QVariant(QStringList {QStringLiteral("x")})).isEmpty());
}
