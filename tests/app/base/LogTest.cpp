#include "base/Log.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Log, LinesReachTheSinkAndTheLogFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("logs/Keymoor.log"));
    Log::setLogFilePath(path);
    Log::setEchoToStandardError(false);
    QStringList seen;
    Log::setSink([&seen](const QString& line) { seen.append(line); });

    Log::write(QStringLiteral("Creating new library..."));
    Log::write(QStringLiteral("Grüße"));
    Log::setSink({});
    Log::write(QStringLiteral("not captured"));

    EXPECT_EQ(seen, QStringList({QStringLiteral("Creating new library..."), QStringLiteral("Grüße")}));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("Creating new library...\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Grüße\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("not captured\n")));
    EXPECT_EQ(file.permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), QFileDevice::Permissions());
    Log::setLogFilePath(QString());
}
