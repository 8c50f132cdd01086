#include "library/BackgroundJobTracker.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString Import = QStringLiteral("Import");
const QString Export = QStringLiteral("Export");

// Holds a job's work until the test lets it go.
class Gate
{
public:
    BackgroundJobTracker::Work work(std::optional<QString> answer = std::nullopt)
    {
        return [this, answer] {
            m_entered.set_value();
            m_open.get_future().wait();
            return answer;
        };
    }
    void waitUntilEntered() { m_entered.get_future().wait(); }
    void open() { m_open.set_value(); }

private:
    std::promise<void> m_entered;
    std::promise<void> m_open;
};

BackgroundJobTracker::Work succeed()
{
    return [] { return std::optional<QString>(); };
}

} // namespace

TEST(BackgroundJobTracker, WorkRunsOffTheMainThreadAndCompletesOnIt)
{
    BackgroundJobTracker tracker;
    QList<int> counts;
    QObject::connect(&tracker, &BackgroundJobTracker::countChanged, [&counts](int running) { counts.append(running); });
    QThread* const main = QThread::currentThread();
    for (const auto placement : {BackgroundJobTracker::Placement::OwnThread, BackgroundJobTracker::Placement::Queue}) {
        std::atomic<QThread*> workThread = nullptr;
        QThread* completionThread = nullptr;
        int completions = 0;
        tracker.start(
            Import,
            [&workThread] {
                workThread = QThread::currentThread();
                return std::optional<QString>();
            },
            [&] {
                completionThread = QThread::currentThread();
                ++completions;
            },
            placement);
        EXPECT_EQ(tracker.runningCount(), 1);
        tracker.waitForAll();
        EXPECT_EQ(tracker.runningCount(), 0);
        EXPECT_EQ(completions, 1);
        EXPECT_NE(workThread.load(), main);
        EXPECT_EQ(completionThread, main);
    }
    EXPECT_EQ(counts, (QList<int> {1, 0, 1, 0}));
}

TEST(BackgroundJobTracker, CountsAndWaitsByKind)
{
    BackgroundJobTracker tracker;
    Gate gate;
    bool importDone = false;
    tracker.start(Import, gate.work(), [&importDone] { importDone = true; });
    tracker.start(Export, succeed(), {}, BackgroundJobTracker::Placement::Queue);
    tracker.start(Export, succeed());
    EXPECT_EQ(tracker.runningCount(), 3);
    EXPECT_EQ(tracker.runningCount(Export), 2);
    EXPECT_EQ(tracker.runningCount({Import, Export}), 3);
    EXPECT_EQ(tracker.runningCount(QStringLiteral("Other")), 0);

    tracker.waitFor(Export);
    EXPECT_EQ(tracker.runningCount(Export), 0);
    EXPECT_EQ(tracker.runningCount(Import), 1);
    EXPECT_FALSE(importDone);

    gate.open();
    tracker.waitFor({Import, Export});
    EXPECT_TRUE(importDone);
    EXPECT_EQ(tracker.runningCount(), 0);
}

TEST(BackgroundJobTracker, AFailingJobIsReportedOnceAndStillCompletes)
{
    BackgroundJobTracker tracker;
    QList<std::pair<QString, QString>> failures;
    QObject::connect(&tracker, &BackgroundJobTracker::jobFailed,
                     [&failures](const QString& name, const QString& error) {
                         failures.append({name, error});
                     });
    int finished = 0;
    QObject::connect(&tracker, &BackgroundJobTracker::jobFinished, [&finished] { ++finished; });
    bool completed = false;
    tracker.start(
        Import, [] { return std::optional<QString>(QStringLiteral("disk full")); }, [&completed] { completed = true; });
    tracker.start(Export, succeed());
    tracker.waitForAll();
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures.first().first, Import);
    EXPECT_EQ(failures.first().second, QStringLiteral("disk full"));
    EXPECT_TRUE(completed);
    EXPECT_EQ(finished, 2);
}

TEST(BackgroundJobTracker, ACompletionWhoseReceiverIsGoneIsDropped)
{
    BackgroundJobTracker tracker;
    auto receiver = std::make_unique<QObject>();
    bool completed = false;
    Gate gate;
    tracker.start(
        Import, gate.work(), [&completed] { completed = true; }, BackgroundJobTracker::Placement::OwnThread,
        receiver.get());
    receiver.reset();
    gate.open();
    tracker.waitForAll();
    EXPECT_FALSE(completed);
    EXPECT_EQ(tracker.runningCount(), 0);
}

TEST(BackgroundJobTracker, WaitingForTheWorkLeavesTheCompletionToTheEventLoop)
{
    BackgroundJobTracker tracker;
    std::atomic<bool> worked = false;
    bool completed = false;
    tracker.start(
        Export,
        [&worked] {
            QThread::msleep(20);
            worked = true;
            return std::optional<QString>();
        },
        [&completed] { completed = true; });
    tracker.waitForWorkToReturn(Export);
    EXPECT_TRUE(worked);
    EXPECT_FALSE(completed);
    EXPECT_EQ(tracker.runningCount(Export), 1);
    tracker.waitFor(Export);
    EXPECT_TRUE(completed);
}

TEST(BackgroundJobTracker, DestroyingTheTrackerWaitsForRunningWorkAndDropsItsCompletions)
{
    for (const auto placement : {BackgroundJobTracker::Placement::OwnThread, BackgroundJobTracker::Placement::Queue}) {
        auto tracker = std::make_unique<BackgroundJobTracker>();
        Gate gate;
        std::atomic<bool> workReturned = false;
        bool completed = false;
        tracker->start(
            Import,
            [&gate, &workReturned, work = gate.work()] {
                work();
                QThread::msleep(10);
                workReturned = true;
                return std::optional<QString>();
            },
            [&completed] { completed = true; }, placement);
        gate.waitUntilEntered();
        gate.open();
        tracker.reset();
        EXPECT_TRUE(workReturned);
        QCoreApplication::processEvents();
        EXPECT_FALSE(completed);
    }
}
