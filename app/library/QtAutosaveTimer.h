#pragma once

#include "AutosaveTimer.h"

#include <QTimer>

// The autosave clock of the application: a QTimer on the thread that makes it.
class QtAutosaveTimer final : public AutosaveTimer
{
public:
    QtAutosaveTimer();
    ~QtAutosaveTimer() override;
    QtAutosaveTimer(const QtAutosaveTimer&) = delete;
    QtAutosaveTimer& operator=(const QtAutosaveTimer&) = delete;

    void setTimeout(std::function<void()> timeout) override;
    void start(int intervalMs) override;
    void stop() override;
    bool isActive() const override;
    int interval() const override;
    void callOnceAfter(int delayMs, std::function<void()> call) override;

private:
    QTimer m_timer;
    QMetaObject::Connection m_timeout;
};
