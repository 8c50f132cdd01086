#pragma once

#include "maintenance/MigrationProgress.h"

#include <QAtomicInt>
#include <QString>

#include <functional>

class QObject;
class UserInterface;
struct Alert;
struct PresentableError;

// What the maintenance operations tell while they run, from whatever thread they run on: the
// progress display (message, bar, four counters), alerts and errors for the person. Every call of
// the person's interface and of the progress display is handed to the main thread.
class MigrationReporter
{
public:
    // `mainThreadTarget` lives on the main thread and receives the hand-offs (the application when
    // null); `ui` may be null, then alerts only go to the log.
    MigrationReporter(QObject* mainThreadTarget, UserInterface* ui);
    MigrationReporter(const MigrationReporter&) = delete;
    MigrationReporter& operator=(const MigrationReporter&) = delete;

    // The display of progress (none: nothing is shown). It must outlive the operations.
    void setProgress(MigrationProgress* progress) { m_progress = progress; }

    // Runs `work` on the main thread, waiting for it when `wait` (directly when already there).
    void onMainThread(const std::function<void()>& work, bool wait = true) const;
    int runAlert(const Alert& alert) const;
    // A one-button alert titled by the localized `titleKey`.
    void alert(const QString& titleKey, const QString& messageText, bool critical = false) const;
    void presentError(const PresentableError& error) const;

    void showProgressPanel(const QString& message);
    void resetProgressIndicatorWithMax(int maximum);
    void incrementProgressIndicator();
    void incrementProgressIndicatorWithMessage(const QString& message);
    void setProgressMessageString(const QString& message);
    void incrementProgressProductCount();
    void incrementProgressAttachmentCount();
    void incrementProgressProductFailedCount();
    void incrementProgressAttachmentFailedCount();
    void resetProgressCounters();
    void endProgressSheet();
    int counter(MigrationProgress::Counter which) const;

private:
    void bumpCounter(MigrationProgress::Counter which);
    void zeroCounters();

    QObject* m_mainThreadTarget;
    UserInterface* m_ui;
    MigrationProgress* m_progress = nullptr;
    QAtomicInt m_counters[4];
    int m_barMaximum = 0;
    QAtomicInt m_barValue;
};
