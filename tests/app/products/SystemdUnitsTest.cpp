// The daily reminder's user units, as systemd itself reads them (skipped where systemd-analyze is
// missing). The service names `keymoor` on PATH; for the check it points at a stub executable,
// since systemd refuses a command it cannot find.
#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray unitFile(const char* name)
{
    QFile file(QDir::cleanPath(testDataPath() + QStringLiteral("/../../packaging/systemd/")) + QLatin1Char('/')
               + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

} // namespace

TEST(SystemdUnits, TheTimerRunsTheOneShotServiceDailyAndSystemdAcceptsBoth)
{
    const QByteArray service = unitFile("keymoor-remind.service");
    const QByteArray timer = unitFile("keymoor-remind.timer");
    ASSERT_TRUE(service.contains("\nExecStart=keymoor remind\n"));
    EXPECT_TRUE(timer.contains("\nOnCalendar=daily\n") && timer.contains("\nPersistent=true\n"));

    const QString analyze = QStandardPaths::findExecutable(QStringLiteral("systemd-analyze"));
    if (analyze.isEmpty()) {
        GTEST_SKIP() << "systemd-analyze is not installed";
    }
    QTemporaryDir folder;
    QDir().mkpath(folder.filePath(QStringLiteral("run")));
    const QString stub = folder.filePath(QStringLiteral("keymoor"));
    QFile stubFile(stub);
    ASSERT_TRUE(stubFile.open(QIODevice::WriteOnly));
    stubFile.write("#!/bin/sh\n");
    stubFile.close();
    stubFile.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QList<QPair<QString, QByteArray>> units {
        {QStringLiteral("keymoor-remind.service"),
         QByteArray(service).replace("ExecStart=keymoor", "ExecStart=" + QFile::encodeName(stub))},
        {QStringLiteral("keymoor-remind.timer"), timer}};
    QStringList arguments {QStringLiteral("verify"), QStringLiteral("--user"), QStringLiteral("--man=no")};
    for (const auto& [name, text] : units) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        arguments.append(file.fileName());
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.filePath(QStringLiteral("run")));
    process.setProcessEnvironment(environment);
    process.start(analyze, arguments);
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(process.readAllStandardError() + process.readAllStandardOutput());
    if (process.exitCode() != 0 && output.contains(QStringLiteral("initialize manager"))) {
        GTEST_SKIP() << "systemd-analyze cannot run here: " << output.toStdString();
    }
    EXPECT_EQ(process.exitCode(), 0) << output.toStdString();
    EXPECT_FALSE(output.contains(QStringLiteral("ignoring"))) << output.toStdString();
}
