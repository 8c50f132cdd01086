#include "BackgroundJobTracker.h"

#include <QEventLoop>
#include <QThread>
#include <QThreadPool>

#include <algorithm>

BackgroundJobTracker::BackgroundJobTracker(QObject* parent)
    : QObject(parent)
    , m_queue(std::make_unique<QThreadPool>())
{ }

BackgroundJobTracker::~BackgroundJobTracker()
{
    shutDown();
}

void BackgroundJobTracker::start(const QString& name, Work work, Completion onFinished, Placement placement,
                                 QObject* receiver)
{
    const quint64 id = m_nextId++;
    auto returned = std::make_shared<std::promise<void>>();
    Job job;
    job.id = id;
    job.name = name;
    job.workReturned = returned->get_future().share();
    job.onFinished = std::move(onFinished);
    job.hasReceiver = receiver != nullptr;
    job.receiver = receiver;
    // The finish is queued to the tracker: it is dropped if the tracker is gone by then, and the
    // tracker's destructor waits for this function to return, so `this` outlives the call.
    auto run = [this, id, work = std::move(work), returned] {
        const std::optional<QString> error = work ? work() : std::nullopt;
        returned->set_value();
        QMetaObject::invokeMethod(
            this, [this, id, error] { finish(id, error); }, Qt::QueuedConnection);
    };
    if (placement == Placement::OwnThread) {
        job.thread = QThread::create(std::move(run));
        job.thread->setObjectName(name);
    }
    QThread* thread = job.thread;
    m_running.push_back(std::move(job));
    emit jobStarted(name);
    emit countChanged(runningCount());
    if (thread) {
        thread->start();
    } else {
        m_queue->start(std::move(run));
    }
}

void BackgroundJobTracker::finish(quint64 id, const std::optional<QString>& error)
{
    const auto found = std::find_if(m_running.begin(), m_running.end(), [id](const Job& job) { return job.id == id; });
    if (found == m_running.end()) {
        return; // dropped by shutDown()
    }
    Job job = std::move(*found);
    m_running.erase(found);
    if (job.thread) {
        job.thread->wait();
        delete job.thread;
    }
    if (error) {
        emit jobFailed(job.name, *error);
    }
    if (job.onFinished && (!job.hasReceiver || job.receiver)) {
        job.onFinished();
    }
    emit jobFinished(job.name);
    emit countChanged(runningCount());
}

int BackgroundJobTracker::runningCount(const QString& name) const
{
    return int(std::count_if(m_running.begin(), m_running.end(), [&name](const Job& job) { return job.name == name; }));
}

int BackgroundJobTracker::runningCount(const QStringList& names) const
{
    return int(std::count_if(m_running.begin(), m_running.end(),
                             [&names](const Job& job) { return names.contains(job.name); }));
}

void BackgroundJobTracker::waitWhile(const std::function<bool()>& running)
{
    QEventLoop loop;
    while (running()) {
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void BackgroundJobTracker::waitForAll()
{
    waitWhile([this] { return runningCount() > 0; });
}

void BackgroundJobTracker::waitFor(const QString& name)
{
    waitWhile([this, &name] { return runningCount(name) > 0; });
}

void BackgroundJobTracker::waitFor(const QStringList& names)
{
    waitWhile([this, &names] { return runningCount(names) > 0; });
}

void BackgroundJobTracker::waitForWorkToReturn(const QString& name) const
{
    for (const Job& job : m_running) {
        if (job.name == name) {
            job.workReturned.wait();
        }
    }
}

void BackgroundJobTracker::shutDown()
{
    m_queue->clear();
    m_queue->waitForDone();
    for (Job& job : m_running) {
        if (job.thread) {
            job.thread->wait();
            delete job.thread;
        }
    }
    const bool hadJobs = !m_running.empty();
    m_running.clear();
    if (hadJobs) {
        emit countChanged(0);
    }
}
