#include "core/UpdateProfile.h"

#include <gtest/gtest.h>

TEST(UpdateProfile, TwoEntriesWithValueAndDisplayValue)
{
    const QList<QVariantMap> entries = updateProfileEntries(QStringLiteral("1.0 (100)"), QStringLiteral("Apple Mail"));
    ASSERT_EQ(entries.size(), 2);
    const QVariantMap version {{QStringLiteral("key"), QStringLiteral("prettyAppVersion")},
                               {QStringLiteral("displayKey"), QStringLiteral("Application Version")},
                               {QStringLiteral("value"), QStringLiteral("1.0 (100)")},
                               {QStringLiteral("displayValue"), QStringLiteral("1.0 (100)")}};
    const QVariantMap reader {{QStringLiteral("key"), QStringLiteral("defaultEmailReader")},
                              {QStringLiteral("displayKey"), QStringLiteral("Email Reader")},
                              {QStringLiteral("value"), QStringLiteral("Apple Mail")},
                              {QStringLiteral("displayValue"), QStringLiteral("Apple Mail")}};
    EXPECT_EQ(entries.at(0), version);
    EXPECT_EQ(entries.at(1), reader);

    const QList<QVariantMap> unknown = updateProfileEntries(QStringLiteral("1.0 (100)"), QString());
    EXPECT_EQ(unknown.at(1).value(QStringLiteral("value")), QStringLiteral("Unknown"));
    EXPECT_EQ(unknown.at(1).value(QStringLiteral("displayValue")), QStringLiteral("Unknown"));
}
