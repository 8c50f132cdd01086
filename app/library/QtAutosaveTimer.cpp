#include "QtAutosaveTimer.h"

QtAutosaveTimer::QtAutosaveTimer() = default;

QtAutosaveTimer::~QtAutosaveTimer()
{
    m_timer.stop();
}

void QtAutosaveTimer::setTimeout(std::function<void()> timeout)
{
    QObject::disconnect(m_timeout);
    m_timeout = QObject::connect(&m_timer, &QTimer::timeout, &m_timer, std::move(timeout));
}

void QtAutosaveTimer::start(int intervalMs)
{
    m_timer.start(intervalMs);
}

void QtAutosaveTimer::stop()
{
    m_timer.stop();
}

bool QtAutosaveTimer::isActive() const
{
    return m_timer.isActive();
}

int QtAutosaveTimer::interval() const
{
    return m_timer.interval();
}

void QtAutosaveTimer::callOnceAfter(int delayMs, std::function<void()> call)
{
    // The timer is the context: a call still pending when it is destroyed is dropped.
    QTimer::singleShot(delayMs, &m_timer, std::move(call));
}
