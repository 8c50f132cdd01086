#pragma once

#include <QString>

// What the maintenance operations show while they run: the progress sheet over the main window, or
// the free-standing window of the start-up upgrade, with a message line, a progress bar and four
// counters. The data migrator calls it on the main thread only (it hands calls over from its
// worker threads); the window draws it, the command line prints a summary, tests record it.
class MigrationProgress
{
public:
    enum class Counter { Products, Attachments, FailedProducts, FailedAttachments };

    MigrationProgress() = default;
    virtual ~MigrationProgress();
    MigrationProgress(const MigrationProgress&) = delete;
    MigrationProgress& operator=(const MigrationProgress&) = delete;

    // Shows the message with an indeterminate bar and the counters at 0.
    virtual void show(const QString& message) = 0;
    virtual void setMessage(const QString& message) = 0;
    // A determinate bar from 0 to `maximum` (50 for 0), at 0.
    virtual void resetBar(int maximum) = 0;
    // One step; at the maximum the bar turns indeterminate again.
    virtual void stepBar() = 0;
    // All four counters to 0, the two failure counters hidden.
    virtual void resetCounters() = 0;
    // Shows a counter's new value (a failure counter is revealed by its first step).
    virtual void setCounter(Counter counter, int value) = 0;
    virtual void hide() = 0;
};
