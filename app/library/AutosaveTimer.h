#pragma once

#include <functional>

// The clock the autosave runs on: a repeating timeout and a one-time delayed call. The application
// uses Qt's timers (QtAutosaveTimer); tests use a clock they advance by hand.
class AutosaveTimer
{
public:
    virtual ~AutosaveTimer() = default;

    // What runs at every period; set before start().
    virtual void setTimeout(std::function<void()> timeout) = 0;
    // Starts the repeating timeout with the period in milliseconds, counting from now; a running
    // timer starts over.
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // The period of the last start() in milliseconds.
    virtual int interval() const = 0;
    // Calls `call` once, `delayMs` milliseconds from now, unless the timer is gone by then.
    virtual void callOnceAfter(int delayMs, std::function<void()> call) = 0;

protected:
    AutosaveTimer() = default;
    AutosaveTimer(const AutosaveTimer&) = default;
    AutosaveTimer& operator=(const AutosaveTimer&) = default;
};
