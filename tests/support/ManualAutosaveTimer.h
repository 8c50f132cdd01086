#pragma once

#include "library/AutosaveTimer.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

// An autosave clock that only moves when the test advances it: advance() runs every timeout and
// delayed call that falls due, in time order, as a real timer would have.
class ManualAutosaveTimer final : public AutosaveTimer
{
public:
    ManualAutosaveTimer() = default;
    ManualAutosaveTimer(const ManualAutosaveTimer&) = delete;
    ManualAutosaveTimer& operator=(const ManualAutosaveTimer&) = delete;

    void setTimeout(std::function<void()> timeout) override { m_timeout = std::move(timeout); }
    void start(int intervalMs) override
    {
        m_active = true;
        m_interval = intervalMs;
        m_nextTimeout = m_now + intervalMs;
        ++m_starts;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    int interval() const override { return m_interval; }
    void callOnceAfter(int delayMs, std::function<void()> call) override
    {
        m_delayed.emplace_back(m_now + delayMs, std::move(call));
    }

    // Moves the clock on by `ms` milliseconds.
    void advance(long long ms)
    {
        const long long target = m_now + ms;
        while (true) {
            const auto delayed = std::min_element(m_delayed.begin(), m_delayed.end(),
                                                  [](const auto& a, const auto& b) { return a.first < b.first; });
            const bool delayedDue = delayed != m_delayed.end() && delayed->first <= target;
            const bool timeoutDue = m_active && m_nextTimeout <= target;
            if (!delayedDue && !timeoutDue) {
                break;
            }
            if (delayedDue && (!timeoutDue || delayed->first <= m_nextTimeout)) {
                m_now = delayed->first;
                const std::function<void()> call = std::move(delayed->second);
                m_delayed.erase(delayed);
                call();
            } else {
                m_now = m_nextTimeout;
                m_nextTimeout += std::max(1, m_interval);
                ++m_timeouts;
                if (m_timeout) {
                    m_timeout();
                }
            }
        }
        m_now = target;
    }

    long long now() const { return m_now; }
    int timeouts() const { return m_timeouts; }
    int starts() const { return m_starts; }

private:
    std::function<void()> m_timeout;
    std::vector<std::pair<long long, std::function<void()>>> m_delayed;
    long long m_now = 0;
    long long m_nextTimeout = 0;
    int m_interval = 0;
    int m_timeouts = 0;
    int m_starts = 0;
    bool m_active = false;
};
