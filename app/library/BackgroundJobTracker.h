#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <vector>

class QThread;
class QThreadPool;

// The one place that knows every running background job. A job's work runs on a thread of its own
// or on the background queue; when it returns, its completion runs on the tracker's thread (the
// main thread). Jobs are counted by name, which doubles as their kind, so the command line, the
// tests and the progress sheet can wait for or count one kind. A job that answers an error is
// announced once through jobFailed; the layer that started it decides how to show it.
class BackgroundJobTracker : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BackgroundJobTracker)

public:
    enum class Placement {
        OwnThread, // a QThread made for the job (work that blocks for long, like a helper program)
        Queue, // the shared background queue
    };
    // Runs off the main thread; answers nothing on success, else what went wrong.
    using Work = std::function<std::optional<QString>()>;
    using Completion = std::function<void()>;

    explicit BackgroundJobTracker(QObject* parent = nullptr);
    // Waits for the running work; completions not yet run are dropped.
    ~BackgroundJobTracker() override;

    // The background queue (a thread pool of its own).
    QThreadPool* queue() const { return m_queue.get(); }

    // Starts `work` at once. `onFinished` runs on the main thread when the work has returned, unless
    // `receiver` is given and has been destroyed by then.
    void start(const QString& name, Work work, Completion onFinished = {}, Placement placement = Placement::OwnThread,
               QObject* receiver = nullptr);

    int runningCount() const { return int(m_running.size()); }
    int runningCount(const QString& name) const;
    int runningCount(const QStringList& names) const;

    // Run the event loop until no job (of the names) is running, completions included.
    void waitForAll();
    void waitFor(const QString& name);
    void waitFor(const QStringList& names);
    // Blocks without running the event loop until the work of every running job of the name has
    // returned; their completions follow later through the event loop. For destructors that must
    // outlive the work they started.
    void waitForWorkToReturn(const QString& name) const;
    // Waits for the running work, discards queued jobs that have not started and drops every
    // completion still to come. For the owner's destructor.
    void shutDown();

signals:
    void jobStarted(const QString& name);
    void jobFinished(const QString& name);
    void jobFailed(const QString& name, const QString& error);
    // The number of running jobs changed.
    void countChanged(int running);

private:
    struct Job
    {
        quint64 id = 0;
        QString name;
        QThread* thread = nullptr;
        std::shared_future<void> workReturned;
        Completion onFinished;
        bool hasReceiver = false;
        QPointer<QObject> receiver;
    };

    void finish(quint64 id, const std::optional<QString>& error);
    void waitWhile(const std::function<bool()>& running);

    std::unique_ptr<QThreadPool> m_queue;
    std::vector<Job> m_running;
    quint64 m_nextId = 1;
};
