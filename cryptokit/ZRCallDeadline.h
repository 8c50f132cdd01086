#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <gio/gio.h>
#include <mutex>
#include <thread>

// A cancellable that cancels itself when a time limit passes, so that a blocking call on D-Bus
// (a Secret Service that does not answer, an unlock prompt nobody answers) returns in bounded time.
// The clock runs from construction until destruction (internal to the library).
class ZRCallDeadline
{
public:
    explicit ZRCallDeadline(std::chrono::milliseconds limit);
    ~ZRCallDeadline();
    ZRCallDeadline(const ZRCallDeadline&) = delete;
    ZRCallDeadline& operator=(const ZRCallDeadline&) = delete;

    GCancellable* cancellable() const { return m_cancellable; }
    // Whether the limit passed and the cancellable was cancelled for it.
    bool expired() const { return m_expired.load(); }

private:
    void watch(std::stop_token stop, std::chrono::milliseconds limit);

    GCancellable* m_cancellable;
    std::atomic<bool> m_expired {false};
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::jthread m_watchdog; // last: stopped and joined before the members above go
};
