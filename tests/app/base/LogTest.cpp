#include "base/Log.h"

#include "base/LogFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(Log, ALargeLogIsRotatedKeepingTwoOlderFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Keymoor.log"));
    writeFile(path + QStringLiteral(".1"), "first");
    writeFile(path + QStringLiteral(".2"), "oldest");
    writeFile(path, QByteArray(5 * 1024 * 1024 + 1, 'x'));
    Log::setLogFilePath(path);
    Log::setEchoToStandardError(false);

    Log::write(QStringLiteral("after rotation"));

    EXPECT_TRUE(contentsOf(path).endsWith("after rotation\n"));
    EXPECT_LT(contentsOf(path).size(), 100);
    EXPECT_EQ(contentsOf(path + QStringLiteral(".1")).size(), 5 * 1024 * 1024 + 1);
    EXPECT_EQ(contentsOf(path + QStringLiteral(".2")), QByteArray("first"));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".3")));

    // Exactly at the limit nothing moves.
    writeFile(path, QByteArray(5 * 1024 * 1024, 'y'));
    Log::write(QStringLiteral("at the limit"));
    EXPECT_TRUE(contentsOf(path).endsWith("at the limit\n"));
    EXPECT_EQ(contentsOf(path + QStringLiteral(".2")), QByteArray("first"));
    Log::setLogFilePath(QString());
}

TEST(Log, AnOldLogIsAdoptedWithoutLosingAnything)
{
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("cache/Keymoor.log"));
    const QString moved = dir.filePath(QStringLiteral("state/Keymoor/Keymoor.log"));
    QDir().mkpath(dir.filePath(QStringLiteral("cache")));

    writeFile(old, "earlier lines\n");
    EXPECT_EQ(LogFiles::adoptOldLog(old, moved), QString());
    EXPECT_FALSE(QFileInfo::exists(old));
    EXPECT_EQ(contentsOf(moved), QByteArray("earlier lines\n"));

    // The new place already has a log: the old one becomes the older file, and when that is taken
    // too it stays where it is.
    writeFile(old, "second\n");
    EXPECT_EQ(LogFiles::adoptOldLog(old, moved), QString());
    EXPECT_EQ(contentsOf(moved + QStringLiteral(".1")), QByteArray("second\n"));
    writeFile(old, "third\n");
    EXPECT_EQ(LogFiles::adoptOldLog(old, moved), QString());
    EXPECT_EQ(contentsOf(old), QByteArray("third\n"));
    EXPECT_EQ(contentsOf(moved), QByteArray("earlier lines\n"));

    // A folder that cannot be made is an error and the old log is untouched.
    writeFile(dir.filePath(QStringLiteral("blocker")), "");
    const QString error = LogFiles::adoptOldLog(old, dir.filePath(QStringLiteral("blocker/Keymoor.log")));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(contentsOf(old), QByteArray("third\n"));
}
