// Saving the library: the save command, the autosave and the quit sequence.
#include "LibraryHousekeeping.h"
#include "LibrarySession.h"
#include "QtAutosaveTimer.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserPreferences.h"

#include <algorithm>

using namespace Persistence;

namespace {

constexpr int AutosaveStartDelayMs = 3000;
constexpr double MaximumAutosaveSeconds = 24 * 60 * 60;

} // namespace

void LibrarySession::gracefullyCommitEditing()
{
    if (m_commitEditing) {
        m_commitEditing();
    }
}

bool LibrarySession::saveContext(ObjectContext* context, StoreError* error)
{
    return m_saver ? m_saver(context, error) : context->save(error);
}

void LibrarySession::logSaveError(const StoreError& error) const
{
    Log::write(QStringLiteral("Error: %1").arg(error.description));
    Log::write(QStringLiteral("UnderlyingError: %1").arg(error.failureReason));
}

bool LibrarySession::saveAction()
{
    gracefullyCommitEditing();
    ObjectContext* context = managedObjectContext();
    if (!context || isReadOnly()) {
        return context != nullptr;
    }
    ContextLocker locker(context);
    if (!context->hasChanges()) {
        return true;
    }
    StoreError error;
    if (saveContext(context, &error)) {
        return true;
    }
    logSaveError(error);
    if (m_ui) {
        m_ui->presentError(PresentableError {localizedString(QStringLiteral("SaveCurrentDataFailed")),
                                             localizedString(QStringLiteral("SaveCurrentDataFailedMessage")),
                                             error.toString()});
    }
    return false;
}

void LibrarySession::setAutosaveTimer(std::unique_ptr<AutosaveTimer> timer)
{
    m_autosave = std::move(timer);
    if (m_autosave) {
        m_autosave->setTimeout([this] { saveAction(); });
    }
}

AutosaveTimer& LibrarySession::autosaveTimer()
{
    if (!m_autosave) {
        setAutosaveTimer(std::make_unique<QtAutosaveTimer>());
    }
    return *m_autosave;
}

void LibrarySession::startAutoSaveTimer()
{
    if (isReadOnly()) {
        return;
    }
    // A period from a hand-edited settings file may not fit a timer's milliseconds: cap it at a day.
    const double seconds = std::min(m_prefs->autoSaveTimeInterval(), MaximumAutosaveSeconds);
    autosaveTimer().start(std::max(1, int(seconds * 1000)));
}

void LibrarySession::autoSaveTimeIntervalChanged()
{
    if (m_autosave && m_autosave->isActive()) {
        startAutoSaveTimer();
    }
}

int LibrarySession::autoSaveTimerInterval() const
{
    return m_autosave && m_autosave->isActive() ? m_autosave->interval() : 0;
}

void LibrarySession::applicationDidFinishLaunching()
{
    autosaveTimer().callOnceAfter(AutosaveStartDelayMs, [this] { startAutoSaveTimer(); });
}

LibrarySession::TerminateReply LibrarySession::applicationShouldTerminate()
{
    ObjectContext* context = m_context.get();
    if (!context || isReadOnly()) {
        return TerminateReply::Now;
    }
    ContextLocker locker(context);
    gracefullyCommitEditing();

    TerminateReply reply = TerminateReply::Now;
    StoreError error;
    if (context->hasChanges() && !saveContext(context, &error)) {
        reply = askAfterFailedQuitSave(error);
    }
    // Runs whatever the answer: the files removed are ones no saved or unsaved record refers to.
    runHousekeeping(context);
    return reply;
}

LibrarySession::TerminateReply LibrarySession::askAfterFailedQuitSave(const StoreError& error)
{
    logSaveError(error);
    const bool dealtWith = m_ui
        && m_ui->presentError(PresentableError {localizedString(QStringLiteral("SaveCurrentDataFailed")),
                                                error.description, error.failureReason});
    if (dealtWith) {
        return TerminateReply::Cancel;
    }
    if (!m_ui) {
        return TerminateReply::Now;
    }
    Alert alert;
    alert.style = AlertStyle::Warning;
    alert.message = localizedString(QStringLiteral("CouldNotSaveWhileQuittingMessage"));
    alert.buttons = {localizedString(QStringLiteral("QuitButton")), localizedString(QStringLiteral("CancelButton"))};
    alert.escapeButton = 1;
    return m_ui->runAlert(alert) == 0 ? TerminateReply::Now : TerminateReply::Cancel;
}

void LibrarySession::runHousekeeping(ObjectContext* context) const
{
    LibraryHousekeeping(context, LibraryPaths::attachmentsPath(), LibraryPaths::iconsPath(),
                        LibraryPaths::applicationCacheFolder())
        .runAll();
}
