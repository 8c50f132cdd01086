#include "LicenceReminder.h"

#include "LicenceDueText.h"
#include "ReminderLog.h"
#include "ReminderNotifier.h"
#include "base/Log.h"

#include <QHash>
#include <QThreadPool>

namespace {

// The entries of each product, products in the order of their first entry.
QList<QList<LicenceDueEntry>> byProduct(const QList<LicenceDueEntry>& entries)
{
    QList<QList<LicenceDueEntry>> groups;
    QHash<QString, qsizetype> indexOf;
    for (const LicenceDueEntry& entry : entries) {
        const auto found = indexOf.constFind(entry.uuid);
        if (found == indexOf.constEnd()) {
            indexOf.insert(entry.uuid, groups.size());
            groups.append(QList<LicenceDueEntry> {entry});
        } else {
            groups[*found].append(entry);
        }
    }
    return groups;
}

} // namespace

LicenceReminder::LicenceReminder(ReminderLog& log, const ReminderNotifier& notifier)
    : m_log(log)
    , m_notifier(notifier)
{ }

LicenceReminder::Result LicenceReminder::remind(const QList<LicenceDueEntry>& entries, const CurrencyCodes& codes,
                                                const QDate& today)
{
    Result result;
    result.notificationsShown = m_notifier.hasSessionBus();
    for (const QList<LicenceDueEntry>& product : byProduct(entries)) {
        const QString uuid = product.first().uuid;
        if (m_log.wasRemindedOn(uuid, today)) {
            continue;
        }
        QStringList lines;
        for (const LicenceDueEntry& entry : product) {
            lines.append(LicenceDueText::line(entry, codes));
        }
        result.lines.append(lines);
        if (!result.notificationsShown) {
            continue;
        }
        QString error;
        if (m_notifier.notify(LicenceDueText::reminderSummary(product.first()), lines.join(u'\n'), &error)) {
            m_log.markReminded(uuid, today);
            ++result.notified;
        } else {
            // One failure means no service: the rest go out as lines only.
            result.notificationsShown = false;
            result.warning = error;
        }
    }
    if (result.notified > 0) {
        QString error;
        if (!m_log.save(today, &error)) {
            result.warning = error;
        }
    }
    return result;
}

void LicenceReminder::remindInBackground(QList<LicenceDueEntry> entries, CurrencyCodes codes, QDate today)
{
    QThreadPool::globalInstance()->start([entries = std::move(entries), codes = std::move(codes), today] {
        ReminderLog log;
        log.load();
        const ReminderNotifier notifier;
        const Result result = LicenceReminder(log, notifier).remind(entries, codes, today);
        if (!result.warning.isEmpty()) {
            Log::write(QStringLiteral("Licence reminders: %1").arg(result.warning));
        }
    });
}
