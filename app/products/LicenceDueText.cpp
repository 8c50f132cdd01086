#include "LicenceDueText.h"

#include "base/Localization.h"
#include "model/CurrencyCodes.h"

namespace LicenceDueText {

QString relativeDays(int daysLeft)
{
    switch (daysLeft) {
    case -1:
        return localizedString(QStringLiteral("DueYesterday"));
    case 0:
        return localizedString(QStringLiteral("DueToday"));
    case 1:
        return localizedString(QStringLiteral("DueTomorrow"));
    default:
        break;
    }
    if (daysLeft < 0) {
        return localizedFormat(QStringLiteral("DueDaysAgoFormat"), {QString::number(-daysLeft)});
    }
    return localizedFormat(QStringLiteral("DueInDaysFormat"), {QString::number(daysLeft)});
}

QString currency(const LicenceDueEntry& entry, const CurrencyCodes& codes)
{
    const QString code = codes.codeForSymbol(entry.currencySymbol);
    return code.isEmpty() ? entry.currencySymbol : code;
}

QString detail(const LicenceDueEntry& entry, const CurrencyCodes& codes)
{
    if (entry.kind == LicenceDueEntry::Kind::Expiry) {
        return localizedString(QStringLiteral("DueKindExpiry"));
    }
    if (!entry.renewalPrice) {
        return localizedString(QStringLiteral("DueKindRenewal"));
    }
    const QString price = (entry.renewalPrice->toString() + QLatin1Char(' ') + currency(entry, codes)).trimmed();
    return localizedFormat(QStringLiteral("DueKindRenewalPriceFormat"), {price});
}

QString line(const LicenceDueEntry& entry, const CurrencyCodes& codes)
{
    return QStringLiteral("%1  %2  %3  (%4)")
        .arg(entry.date.toString(Qt::ISODate), relativeDays(entry.daysLeft), entry.title, detail(entry, codes));
}

QString reminderSummary(const LicenceDueEntry& entry)
{
    if (entry.kind == LicenceDueEntry::Kind::Renewal) {
        return localizedFormat(QStringLiteral("ReminderRenewalSummaryFormat"), {entry.title});
    }
    if (entry.isPast()) {
        return localizedFormat(QStringLiteral("ReminderExpiredSummaryFormat"), {entry.title});
    }
    return localizedFormat(QStringLiteral("ReminderExpirySummaryFormat"), {entry.title});
}

} // namespace LicenceDueText
