#include "ZRCallDeadline.h"

ZRCallDeadline::ZRCallDeadline(std::chrono::milliseconds limit)
    : m_cancellable(g_cancellable_new())
    , m_watchdog([this, limit](std::stop_token stop) { watch(stop, limit); })
{ }

ZRCallDeadline::~ZRCallDeadline()
{
    m_watchdog.request_stop();
    if (m_watchdog.joinable()) {
        m_watchdog.join();
    }
    g_object_unref(m_cancellable);
}

void ZRCallDeadline::watch(std::stop_token stop, std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_mutex);
    // Wakes early only when the deadline is destroyed (a stop request); otherwise the limit passed.
    m_wake.wait_for(lock, stop, limit, [] { return false; });
    if (!stop.stop_requested()) {
        m_expired = true;
        g_cancellable_cancel(m_cancellable);
    }
}
