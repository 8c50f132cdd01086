#include "ui/AboutDialog.h"

#include "base/AppInfo.h"

#include <gtest/gtest.h>

TEST(AboutDialogTest, NamesTheVersionLicenceAndAddresses)
{
    const QString text = AboutDialog::text();
    EXPECT_TRUE(text.contains(AppInfo::prettyAppVersion())) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("All rights reserved"))) << text.toStdString();
    const QString home = AppInfo::stringValue(QStringLiteral("ZRProductURL"));
    ASSERT_FALSE(home.isEmpty());
    EXPECT_TRUE(text.contains(QStringLiteral("<a href=\"%1\">").arg(home))) << "a link people can click";
}
