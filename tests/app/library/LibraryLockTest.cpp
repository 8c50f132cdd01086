#include "library/LibraryLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The process id of a process that has already ended.
qint64 deadProcessId()
{
    QProcess process;
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 0")});
    if (!process.waitForStarted()) {
        return 0;
    }
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

} // namespace

TEST(LibraryLock, ASecondHolderIsRefusedUntilTheFirstLetsGo)
{
    QTemporaryDir dir;
    const QString library = dir.filePath(QStringLiteral("Keymoor.kmlib"));
    auto first = std::make_unique<LibraryLock>(library);
    ASSERT_TRUE(first->tryLock());
    EXPECT_TRUE(first->isLocked());
    EXPECT_TRUE(first->tryLock()); // taking it again is harmless
    // The lock lives beside the folder, so copies of the folder never carry it.
    EXPECT_TRUE(QFile::exists(library + QStringLiteral(".lock")));
    EXPECT_FALSE(QFile::exists(library));

    LibraryLock second(library + QStringLiteral("/"));
    QString error;
    EXPECT_FALSE(second.tryLock(&error));
    EXPECT_FALSE(second.isLocked());
    EXPECT_TRUE(error.contains(library)) << error.toStdString();
    EXPECT_TRUE(error.contains(QString::number(QCoreApplication::applicationPid()))) << error.toStdString();

    first.reset();
    EXPECT_FALSE(QFile::exists(library + QStringLiteral(".lock")));
    EXPECT_TRUE(second.tryLock(&error));
    second.unlock();
    EXPECT_FALSE(second.isLocked());
}

TEST(LibraryLock, ALockLeftByADeadProcessIsTakenOver)
{
    QTemporaryDir dir;
    const QString library = dir.filePath(QStringLiteral("Keymoor.kmlib"));
    const qint64 pid = deadProcessId();
    ASSERT_GT(pid, 0);
    QFile stale(LibraryLock::lockFilePath(library));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray::number(pid) + "\nkeymoor\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();

    LibraryLock lock(library);
    QString error;
    EXPECT_TRUE(lock.tryLock(&error)) << error.toStdString();
}
