#include "maintenance/MigrationReporter.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// Records what the display is told and whether each call came on the main thread.
class RecordingProgress : public MigrationProgress
{
public:
    void show(const QString& message) override { record(QStringLiteral("show ") + message); }
    void setMessage(const QString& message) override { record(QStringLiteral("message ") + message); }
    void resetBar(int maximum) override { record(QStringLiteral("bar %1").arg(maximum)); }
    void stepBar() override { record(QStringLiteral("step")); }
    void resetCounters() override { record(QStringLiteral("counters")); }
    void setCounter(Counter counter, int value) override
    {
        record(QStringLiteral("%1=%2").arg(int(counter)).arg(value));
    }
    void hide() override { record(QStringLiteral("hide")); }

    QStringList calls;
    bool offMainThread = false;

private:
    void record(const QString& call)
    {
        offMainThread = offMainThread || QThread::currentThread() != QCoreApplication::instance()->thread();
        calls.append(call);
    }
};

} // namespace

TEST(MigrationReporterTest, ReportsFromAWorkerThreadReachTheDisplayOnTheMainThreadInOrder)
{
    RecordingProgress progress;
    MigrationReporter reporter(nullptr, nullptr);
    reporter.setProgress(&progress);
    reporter.incrementProgressAttachmentCount(); // counted before the panel: the panel starts at 0

    QThread* worker = QThread::create([&reporter] {
        reporter.showProgressPanel(QStringLiteral("Exporting"));
        reporter.resetProgressIndicatorWithMax(2);
        reporter.incrementProgressIndicatorWithMessage(QStringLiteral("first"));
        reporter.incrementProgressProductCount();
        reporter.incrementProgressProductCount();
        reporter.incrementProgressAttachmentFailedCount();
        reporter.endProgressSheet();
    });
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    QCoreApplication::processEvents(); // the hide is not waited for
    delete worker;

    EXPECT_FALSE(progress.offMainThread);
    EXPECT_EQ(progress.calls.join(u'|').toStdString(), "1=1|show Exporting|bar 2|message first|step|0=1|0=2|3=1|hide");
    EXPECT_EQ(reporter.counter(MigrationProgress::Counter::Products), 2);
    EXPECT_EQ(reporter.counter(MigrationProgress::Counter::Attachments), 0);
    EXPECT_EQ(reporter.counter(MigrationProgress::Counter::FailedAttachments), 1);
}
