#include "ZRArrayTools.h"

#include "ToolkitTestSupport.h"

#include <gtest/gtest.h>

TEST(ZRArrayTools, FirstObjectOrNull)
{
    EXPECT_FALSE(ZR_firstObject(QVariantList()).isValid());
    EXPECT_EQ(ZR_firstObject(QVariantList {QStringLiteral("a"), 2}), QVariant(QStringLiteral("a")));
    EXPECT_TRUE(ZR_firstObject(QStringList()).isNull());
    EXPECT_EQ(ZR_firstObject(QStringList {QStringLiteral("x"), QStringLiteral("y")}), QStringLiteral("x"));
}

TEST(ZRArrayTools, ContainsAtLeastOneComparesByEquality)
{
    const QVariantList receiver {QStringLiteral("app"), 42, QVariant()};
    EXPECT_TRUE(ZR_containsAtLeastOneObjectInArray(receiver, {QStringLiteral("widget"), 42}));
    EXPECT_TRUE(ZR_containsAtLeastOneObjectInArray(receiver, {QString(QStringLiteral("ap")) + QLatin1Char('p')}));
    EXPECT_FALSE(ZR_containsAtLeastOneObjectInArray(receiver, {QStringLiteral("App"), 43}));
    EXPECT_FALSE(ZR_containsAtLeastOneObjectInArray(receiver, QVariantList()));
    EXPECT_FALSE(ZR_containsAtLeastOneObjectInArray(QVariantList(), {1}));
}

TEST(ZRArrayTools, ContainsAtLeastOneGivesTheSameAnswerForLongLists)
{
    QStringList receiver;
    QStringList others;
    for (int i = 0; i < 500; ++i) {
        receiver.append(QStringLiteral("r%1").arg(i));
        others.append(QStringLiteral("o%1").arg(i));
    }
    EXPECT_FALSE(ZR_containsAtLeastOneObjectInArray(receiver, others));
    others.append(QStringLiteral("r499"));
    EXPECT_TRUE(ZR_containsAtLeastOneObjectInArray(receiver, others));
    EXPECT_TRUE(ZR_containsAtLeastOneObjectInArray(QStringList {QStringLiteral("a")}, {QStringLiteral("a")}));
    EXPECT_FALSE(ZR_containsAtLeastOneObjectInArray(QStringList {QStringLiteral("a")}, QStringList()));
}
