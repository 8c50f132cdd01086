#include "ZRSystem.h"

#include "ToolkitTestSupport.h"
#include "ZRLog.h"
#include "ZRNetworking.h"

#include <gtest/gtest.h>

TEST(ZRSystem, VersionTextsPackIntoHexadecimalDigits)
{
    const std::pair<const char*, qint32> cases[] = {
        {"10.5.8", 0x1050},
        {"10.6", 0x1060},
        {"12", 0x1200},
        {"22.04", 0x2240},
        {"6.1.0-18-amd64", 0x0610},
        // Parts beyond their digits stay at the largest value, so newer is never smaller.
        {"5.15.0", 0x0590},
        {"123.4", 0x9940},
        {"99999999999999999999.1", 0x9910},
        {"  7", 0x0700},
        {"", -1},
        {"unknown", -1},
        {"v12", -1},
    };
    for (const auto& [text, packed] : cases) {
        EXPECT_EQ(ZRSystem::packedVersion(QString::fromUtf8(text)), packed) << text;
    }
}

TEST(ZRSystem, RunningSystemReportsAMaskedVersion)
{
    const qint32 version = ZRSystem::version();
    ASSERT_NE(version, -1);
    EXPECT_EQ(version & 0xf, 0);
    EXPECT_GT(version, 0);
}

TEST(ZRNetworking, NullHostIsACallerError)
{
    QStringList lines;
    ZRLog::setHandler([&lines](const QString& line) { lines.append(line); });
    EXPECT_FALSE(ZRNetworking::ZR_isTargetHostReachable(QString()));
    EXPECT_FALSE(ZRNetworking::ZR_isTargetHostReachable(QStringLiteral("")));
    ZRLog::setHandler(nullptr);
    EXPECT_EQ(lines, QStringList {QStringLiteral("host can not be nil.")});
}

TEST(ZRNetworking, LocalhostIsReachable)
{
    EXPECT_TRUE(ZRNetworking::ZR_isTargetHostReachable(QStringLiteral("localhost")));
    EXPECT_TRUE(ZRNetworking::ZR_isTargetHostReachable(QStringLiteral("127.0.0.1")));
}
