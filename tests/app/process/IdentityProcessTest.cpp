// Runs the real program in a scratch home: a new product takes the person's name and address from
// the Thunderbird profile there, and the log lands in the state folder, bringing the old one along.
#include "support/TestData.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void copyTree(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + path.mid(from.size());
        QDir().mkpath(QFileInfo(target).absolutePath());
        ASSERT_TRUE(QFile::copy(path, target)) << target.toStdString();
    }
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(IdentityProcess, AddFillsTheRegistrationFromThunderbirdAndLogsInTheStateFolder)
{
    QTemporaryDir home;
    copyTree(testDataPath("/identity/thunderbird-home"), home.path());
    const QString oldLog = home.filePath(QStringLiteral(".cache/Keymoor/Keymoor.log"));
    QDir().mkpath(QFileInfo(oldLog).absolutePath());
    {
        QFile file(oldLog);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("a line of an earlier version\n");
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "KEYMOOR_VERBOSE",
                             "GIT_CONFIG_GLOBAL"}) {
        environment.remove(QString::fromLatin1(name));
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KEYMOOR_BINARY),
                  {QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("X"), QStringLiteral("--json")});
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    ASSERT_EQ(process.exitCode(), 0) << err.toStdString();

    const QJsonObject product = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    EXPECT_EQ(product.value(QStringLiteral("title")).toString(), QStringLiteral("X"));
    EXPECT_EQ(product.value(QStringLiteral("registeredName")).toString(), QString::fromUtf8("Zoë \"Z\" Hartmann"));
    EXPECT_EQ(product.value(QStringLiteral("registeredEmail")).toString(), QStringLiteral("zoe@hartmann.example"));

    const QString log = home.filePath(QStringLiteral(".local/state/Keymoor/Keymoor.log"));
    EXPECT_TRUE(contentsOf(log).startsWith("a line of an earlier version\n")) << contentsOf(log).toStdString();
    EXPECT_FALSE(QFileInfo::exists(oldLog));
}
