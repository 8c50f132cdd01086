#pragma once

#include "LicenceDue.h"
#include "model/CurrencyCodes.h"

#include <QStringList>

class ReminderLog;
class ReminderNotifier;

// Reminds of due licences: one desktop notification per product (its due dates in the body), at
// most once per product and day. When notifications cannot be shown (no session bus, no service),
// the reminders are only handed back as lines, and nothing is marked as reminded, so the next run
// tries again.
class LicenceReminder
{
public:
    struct Result
    {
        QStringList lines; // one per due entry of the products reminded (or to remind)
        int notified = 0; // products a notification was shown for
        bool notificationsShown = true; // false: the lines are all the person gets
        QString warning; // the log could not be saved, or why notifications failed
    };

    LicenceReminder(ReminderLog& log, const ReminderNotifier& notifier);

    // `entries` sorted as LicenceDue sorts them; the log is saved when anything was reminded.
    Result remind(const QList<LicenceDueEntry>& entries, const CurrencyCodes& codes, const QDate& today);

    // remind() with the state folder's log and the session bus, on a thread of the global pool, so
    // a slow notification service never holds up the caller; the result goes to the log file.
    static void remindInBackground(QList<LicenceDueEntry> entries, CurrencyCodes codes, QDate today);

private:
    ReminderLog& m_log;
    const ReminderNotifier& m_notifier;
};
