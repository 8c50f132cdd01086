#include "software/SoftwareVersion.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

using Pair = std::pair<const char*, const char*>;

// Each pair is in ascending order; comparing it the other way round must give the opposite.
TEST(SoftwareVersion, OrdersLikeDebian)
{
    const std::vector<Pair> ascending {
        {"1.9", "1.10"},        {"0.9.12", "0.10"},      {"2.10.0~beta1", "2.10.0"},
        {"1.0~rc1", "1.0~rc2"}, {"1.0~~", "1.0~"},       {"1.0", "1.0a"},
        {"1.0a", "1.0+"},       {"1.0", "1.0.1"},        {"9.9", "1:0.1"},
        {"1:2.0", "2:1.0"},     {"1.0-1", "1.0-2"},      {"1.0-1", "1.0-1ubuntu2"},
        {"1.0-9", "1.0.1-1"},   {"2026.01", "2026.1.1"}, {"", "0.1"},
    };
    for (const auto& [lower, higher] : ascending) {
        const QString a = QString::fromLatin1(lower);
        const QString b = QString::fromLatin1(higher);
        EXPECT_LT(SoftwareVersion::compare(a, b), 0) << lower << " < " << higher;
        EXPECT_GT(SoftwareVersion::compare(b, a), 0) << higher << " > " << lower;
    }
}

TEST(SoftwareVersion, TreatsLeadingZerosAndAZeroEpochAsTheSame)
{
    const std::vector<Pair> same {{"1.01", "1.1"}, {"0:1.0", "1.0"}, {"1.0-0", "1.0-0"}, {"007", "7"}};
    for (const auto& [a, b] : same) {
        EXPECT_EQ(SoftwareVersion::compare(QString::fromLatin1(a), QString::fromLatin1(b)), 0) << a << " = " << b;
    }
}

TEST(SoftwareVersion, UpstreamDropsEpochAndRevision)
{
    const std::vector<Pair> cases {
        {"2:1.4.2-3", "1.4.2"},     {"1.0-1ubuntu2", "1.0"}, {"1.0", "1.0"}, {"2:3", "3"},
        {"1:2.0-rc1-4", "2.0-rc1"}, {" 3.1 ", "3.1"},        {"", ""},       {"latest:1", "latest:1"},
    };
    for (const auto& [version, upstream] : cases) {
        EXPECT_EQ(SoftwareVersion::upstream(QString::fromLatin1(version)), QString::fromLatin1(upstream)) << version;
    }
}

} // namespace
