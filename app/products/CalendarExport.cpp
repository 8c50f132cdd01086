#include "CalendarExport.h"

#include "LicenceDueText.h"
#include "base/FileWriting.h"
#include "base/Localization.h"

#include <QHash>

#include <algorithm>

namespace {

constexpr qsizetype MaximumLineOctets = 75;

QString dateValue(const QDate& date)
{
    return date.toString(QStringLiteral("yyyyMMdd"));
}

// A negative duration of whole days before the event (zero: at its start).
QString alarmTrigger(int days)
{
    return days > 0 ? QStringLiteral("-P%1D").arg(days) : QStringLiteral("PT0S");
}

QString summary(const LicenceDueEntry& entry)
{
    const bool expiry = entry.kind == LicenceDueEntry::Kind::Expiry;
    return localizedFormat(expiry ? QStringLiteral("LicenceExpiresFormat") : QStringLiteral("LicenceRenewsFormat"),
                           {entry.title});
}

} // namespace

CalendarExport::CalendarExport(QDateTime stamp, CurrencyCodes codes)
    : m_stamp(std::move(stamp))
    , m_codes(std::move(codes))
{ }

void CalendarExport::addEntries(const QList<LicenceTerms>& terms, const QList<LicenceDueEntry>& entries)
{
    QHash<QString, const LicenceTerms*> byUuid;
    for (const LicenceTerms& product : terms) {
        byUuid.insert(product.uuid, &product);
    }
    for (const LicenceDueEntry& entry : entries) {
        if (const LicenceTerms* product = byUuid.value(entry.uuid)) {
            addEvent(*product, entry);
        }
    }
}

// A renewal on the 29th, 30th or 31st falls on the last day of a shorter month, as the due dates
// do; a plain monthly rule would skip those months.
QString CalendarExport::monthlyRule(const QDate& start, int months)
{
    QString rule = QStringLiteral("FREQ=MONTHLY;INTERVAL=%1").arg(months);
    if (start.day() > 28) {
        QStringList days;
        for (int day = 28; day <= start.day(); ++day) {
            days.append(QString::number(day));
        }
        rule += QStringLiteral(";BYMONTHDAY=%1;BYSETPOS=-1").arg(days.join(QLatin1Char(',')));
    }
    return rule;
}

void CalendarExport::addEvent(const LicenceTerms& terms, const LicenceDueEntry& entry)
{
    const bool repeats = entry.kind == LicenceDueEntry::Kind::Renewal && terms.renewalPeriodMonths > 0;
    // A repeating renewal starts at its first date; the rule brings the later ones.
    const QDate start = repeats ? terms.renewalDate : entry.date;
    const QString title = escapedText(summary(entry));
    addLine(QStringLiteral("BEGIN:VEVENT"));
    addLine(QStringLiteral("UID:%1-%2@keymoor").arg(terms.uuid, entry.kindName()));
    addLine(QStringLiteral("DTSTAMP:") + m_stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")));
    addLine(QStringLiteral("DTSTART;VALUE=DATE:") + dateValue(start));
    addLine(QStringLiteral("DTEND;VALUE=DATE:") + dateValue(start.addDays(1)));
    if (repeats) {
        addLine(QStringLiteral("RRULE:") + monthlyRule(start, terms.renewalPeriodMonths));
    }
    addLine(QStringLiteral("SUMMARY:") + title);
    if (entry.renewalPrice && entry.kind == LicenceDueEntry::Kind::Renewal) {
        const QString price
            = entry.renewalPrice->toString() + QLatin1Char(' ') + LicenceDueText::currency(entry, m_codes);
        addLine(QStringLiteral("DESCRIPTION:")
                + escapedText(localizedFormat(QStringLiteral("LicenceRenewalPriceFormat"), {price.trimmed()})));
    }
    addLine(QStringLiteral("TRANSP:TRANSPARENT"));
    addLine(QStringLiteral("BEGIN:VALARM"));
    addLine(QStringLiteral("ACTION:DISPLAY"));
    addLine(QStringLiteral("DESCRIPTION:") + title);
    addLine(QStringLiteral("TRIGGER:") + alarmTrigger(entry.remindDaysBefore));
    addLine(QStringLiteral("END:VALARM"));
    addLine(QStringLiteral("END:VEVENT"));
    ++m_events;
}

QByteArray CalendarExport::text() const
{
    QByteArray text;
    text += foldedLine(QStringLiteral("BEGIN:VCALENDAR"));
    text += foldedLine(QStringLiteral("VERSION:2.0"));
    text += foldedLine(QStringLiteral("PRODID:-//Keymoor//Licence Dates//EN"));
    text += foldedLine(QStringLiteral("CALSCALE:GREGORIAN"));
    text += foldedLine(QStringLiteral("METHOD:PUBLISH"));
    text += m_body;
    text += foldedLine(QStringLiteral("END:VCALENDAR"));
    return text;
}

bool CalendarExport::write(const QString& path, QString* error) const
{
    return FileWriting::writeData(text(), path, error);
}

QString CalendarExport::escapedText(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' || c == u';' || c == u',') {
            escaped += u'\\';
            escaped += c;
        } else if (c == u'\r') {
            escaped += QStringLiteral("\\n");
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') {
                ++i;
            }
        } else if (c == u'\n') {
            escaped += QStringLiteral("\\n");
        } else if (c.category() == QChar::Other_Control) {
            escaped += u' '; // other control characters are not allowed in TEXT
        } else {
            escaped += c;
        }
    }
    return escaped;
}

QByteArray CalendarExport::foldedLine(const QString& line)
{
    const QByteArray utf8 = line.toUtf8();
    QByteArray folded;
    folded.reserve(utf8.size() + utf8.size() / 70 * 3 + 2);
    qsizetype lineOctets = 0;
    for (qsizetype i = 0; i < utf8.size();) {
        // The length of the UTF-8 sequence that starts here, so a fold never splits one.
        const auto lead = static_cast<unsigned char>(utf8.at(i));
        qsizetype length = 1;
        if (lead >= 0xF0) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = 3;
        } else if (lead >= 0xC0) {
            length = 2;
        }
        length = std::min(length, utf8.size() - i);
        if (lineOctets + length > MaximumLineOctets) {
            folded += "\r\n ";
            lineOctets = 1;
        }
        folded += utf8.mid(i, length);
        lineOctets += length;
        i += length;
    }
    folded += "\r\n";
    return folded;
}
