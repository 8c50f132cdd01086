#pragma once

#include "LicenceDue.h"

#include <QString>

class CurrencyCodes;

// The words for due licence dates, shared by the command line, the reminders and the window.
namespace LicenceDueText {

// "in 10 days", "tomorrow", "today", "yesterday", "3 days ago".
QString relativeDays(int daysLeft);
// "renewal, 49.00 USD", "renewal" or "expiry".
QString detail(const LicenceDueEntry& entry, const CurrencyCodes& codes);
// "2027-01-15  in 10 days  Test App  (renewal, 49.00 USD)".
QString line(const LicenceDueEntry& entry, const CurrencyCodes& codes);
// The currency of the entry's renewal price as an ISO code when one is known, else its symbol.
QString currency(const LicenceDueEntry& entry, const CurrencyCodes& codes);
// The heading of a reminder: "Test App: the licence expires" / "...renews" / "...has expired".
QString reminderSummary(const LicenceDueEntry& entry);

} // namespace LicenceDueText
