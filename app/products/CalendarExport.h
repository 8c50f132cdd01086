#pragma once

#include "LicenceDue.h"
#include "model/CurrencyCodes.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// Writes licence dates as an iCalendar file: one all-day event per expiry and per renewal (a
// repeating renewal as one recurring event from its first date), each with an alarm its product's
// remindDaysBefore days ahead. Each event's UID is made of the product's UUID and the kind, so a
// calendar that imports the file again updates the events instead of doubling them.
class CalendarExport
{
public:
    // `stamp` is the time written as DTSTAMP (now, for a real export); `codes` name the currencies
    // of renewal prices.
    explicit CalendarExport(QDateTime stamp = QDateTime::currentDateTimeUtc(), CurrencyCodes codes = {});

    // The events of the products' occurrences (LicenceDue::occurrences, or the due ones only).
    void addEntries(const QList<LicenceTerms>& terms, const QList<LicenceDueEntry>& entries);
    qsizetype eventCount() const { return m_events; }

    // The whole calendar as UTF-8 text with CRLF line ends and lines folded at 75 octets.
    QByteArray text() const;
    // Writes text() atomically; false with `error` filled when the file cannot be written.
    bool write(const QString& path, QString* error) const;

    // TEXT value escaping: backslash, semicolon, comma and line breaks.
    static QString escapedText(const QString& text);
    // One content line folded at 75 octets (never inside a UTF-8 sequence), each part ending in CRLF.
    static QByteArray foldedLine(const QString& line);

private:
    void addEvent(const LicenceTerms& terms, const LicenceDueEntry& entry);
    static QString monthlyRule(const QDate& start, int months);
    void addLine(const QString& line) { m_body += foldedLine(line); }

    QDateTime m_stamp;
    CurrencyCodes m_codes;
    QByteArray m_body;
    qsizetype m_events = 0;
};
