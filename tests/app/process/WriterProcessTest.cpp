// Runs the real program: writers killed at any moment never lock the person out, racing writers
// get exactly one winner, and start-up problems are reported instead of ending silently.
#include "library/LibraryLock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <gtest/gtest.h>

namespace {

struct ProcessRun
{
    int status = -1;
    QString out;
    QString err;
};

class WriterProcessTest : public ::testing::Test
{
protected:
    QString library() const { return m_home.filePath(QStringLiteral(".local/share/Keymoor/Keymoor.kmlib")); }
    QString lockFile() const { return LibraryLock::lockFilePath(library()); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_home.path());
        for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "KEYMOOR_VERBOSE"}) {
            environment.remove(QString::fromLatin1(name));
        }
        return environment;
    }

    void start(QProcess& process, const QString& program, const QStringList& arguments) const
    {
        process.setProcessEnvironment(environment());
        process.start(program, arguments);
        ASSERT_TRUE(process.waitForStarted()) << program.toStdString();
    }

    ProcessRun keymoor(const QStringList& arguments) const
    {
        QProcess process;
        start(process, QStringLiteral(KEYMOOR_BINARY), arguments);
        ProcessRun run;
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    QStringList titles() const
    {
        const ProcessRun run = keymoor({QStringLiteral("list"), QStringLiteral("--json")});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        QStringList result;
        for (const QJsonValue& product : QJsonDocument::fromJson(run.out.toUtf8()).array()) {
            result.append(product.toObject().value(QStringLiteral("title")).toString());
        }
        return result;
    }

    QTemporaryDir m_home;
};

TEST_F(WriterProcessTest, LockFilesNobodyHoldsBlockNobody)
{
    QDir().mkpath(library());
    const QList<QByteArray> leftovers {QByteArray(), QByteArray("garbage\0\xff", 9), QByteArray("99999999\nx\nhost\n")};
    int round = 0;
    for (const QByteArray& content : leftovers) {
        QFile file(lockFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        QFile::setPermissions(lockFile(), QFileDevice::Permissions());
        const QString title = QStringLiteral("After leftover %1").arg(++round);
        const ProcessRun run = keymoor({QStringLiteral("add"), QStringLiteral("--title"), title});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(titles().contains(title));
    }
}

TEST_F(WriterProcessTest, ALiveHolderRefusesWritersButNotReaders)
{
    ASSERT_EQ(keymoor({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("First")}).status, 0);
    LibraryLock holder(library());
    ASSERT_TRUE(holder.tryLock());

    const ProcessRun refused = keymoor({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Second")});
    EXPECT_NE(refused.status, 0);
    EXPECT_TRUE(refused.err.contains(QString::number(QCoreApplication::applicationPid()))) << refused.err.toStdString();
    EXPECT_TRUE(titles().contains(QStringLiteral("First")));
    EXPECT_FALSE(titles().contains(QStringLiteral("Second")));

    holder.unlock();
    EXPECT_EQ(keymoor({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Second")}).status, 0);
}

TEST_F(WriterProcessTest, RacingHoldersGetExactlyOneWinnerNamedToTheLoser)
{
    // Both start at one instant; the winner holds long enough that a loser slowed by a busy machine
    // still meets the lock.
    for (int round = 0; round < 8; ++round) {
        const QString startAt = QString::number(QDateTime::currentMSecsSinceEpoch() + 500);
        QProcess first;
        QProcess second;
        for (QProcess* process : {&first, &second}) {
            start(*process, QStringLiteral(KEYMOOR_LOCK_HOLDER), {library(), startAt, QStringLiteral("1500")});
        }
        ASSERT_TRUE(first.waitForFinished(10000) && second.waitForFinished(10000));
        const QString a = QString::fromUtf8(first.readAllStandardOutput());
        const QString b = QString::fromUtf8(second.readAllStandardOutput());
        ASSERT_NE(a.startsWith(QStringLiteral("taken")), b.startsWith(QStringLiteral("taken")))
            << a.toStdString() << b.toStdString();
        const QString& winner = a.startsWith(QStringLiteral("taken")) ? a : b;
        const QString& loser = a.startsWith(QStringLiteral("taken")) ? b : a;
        const QString winnerPid = winner.section(QLatin1Char(' '), 1).trimmed();
        EXPECT_TRUE(loser.startsWith(QStringLiteral("refused"))) << loser.toStdString();
        EXPECT_TRUE(loser.contains(QStringLiteral("process ") + winnerPid)) << loser.toStdString();
    }
}

TEST_F(WriterProcessTest, WritersKilledAtAnyMomentNeverLockThePersonOut)
{
    ASSERT_EQ(keymoor({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Seed")}).status, 0);
    // How long a whole add takes here sets the range of the kill moments.
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(keymoor({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Timed")}).status, 0);
    const int span = int(qMax<qint64>(timer.elapsed(), 20));

    QRandomGenerator random(20261207);
    for (int round = 0; round < 200; ++round) {
        QProcess writer;
        const bool holderOnly = round % 4 == 3; // kills between taking the lock and writing the holder too
        if (holderOnly) {
            start(writer, QStringLiteral(KEYMOOR_LOCK_HOLDER), {library(), QStringLiteral("0"), QStringLiteral("50")});
        } else {
            start(writer, QStringLiteral(KEYMOOR_BINARY),
                  {QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("Killed %1").arg(round)});
        }
        QThread::usleep(random.bounded(span * 1000));
        ::kill(pid_t(writer.processId()), SIGKILL);
        writer.waitForFinished();
    }
    const ProcessRun last
        = keymoor({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("After the kills")});
    ASSERT_EQ(last.status, 0) << last.err.toStdString();
    const QStringList all = titles();
    EXPECT_TRUE(all.contains(QStringLiteral("Seed")));
    EXPECT_TRUE(all.contains(QStringLiteral("After the kills")));
}

TEST_F(WriterProcessTest, LookingAtANewAccountCreatesNoLibraryAndSaysHowToStart)
{
    const ProcessRun list = keymoor({QStringLiteral("list")});
    EXPECT_EQ(list.status, 0);
    EXPECT_TRUE(list.err.contains(QStringLiteral("no library yet"))) << list.err.toStdString();
    const ProcessRun json = keymoor({QStringLiteral("list"), QStringLiteral("--json")});
    EXPECT_EQ(json.status, 0);
    EXPECT_TRUE(QJsonDocument::fromJson(json.out.toUtf8()).isArray()) << json.out.toStdString();
    EXPECT_TRUE(QJsonDocument::fromJson(json.out.toUtf8()).array().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(library()).absolutePath()));
}

TEST_F(WriterProcessTest, AFolderThatCannotBeMadeEndsTheProgramWithItsPath)
{
    for (const QString& blocked : {QStringLiteral(".cache/Keymoor"), QStringLiteral(".local/share/Keymoor")}) {
        QTemporaryDir home;
        const QString path = home.filePath(blocked);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        m_home.swap(home);
        const ProcessRun add = keymoor({QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("X")});
        m_home.swap(home);
        EXPECT_EQ(add.status, 1) << add.err.toStdString();
        EXPECT_TRUE(add.err.contains(path)) << add.err.toStdString();
        EXPECT_EQ(add.err.trimmed().count(QLatin1Char('\n')), 0) << add.err.toStdString();
    }
}

} // namespace
