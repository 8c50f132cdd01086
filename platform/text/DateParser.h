#pragma once

#include "DateVocabulary.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>

// Reads a date as people type it or as it appears in e-mails and exported lists:
// - ISO 8601: "2009-03-04", "2009-03-04T10:20", "2009-03-04 10:20:30 +0100", "...Z";
// - e-mail headers (RFC 2822): "Wed, 4 Mar 2009 10:20:30 +0100 (CET)", also with zone names;
// - month names, English or the locale's: "March 3, 2009", "3 Mar 2009", "Mar 3 2009",
//   "Tuesday, March 3rd, 2009", "3. März 2009", "03-Mar-2009";
// - numbers: "03/04/2009", "3.4.09", "2009/03/04", read in the locale's order of day and month
//   (month first for the United States and the C locale, day first for most others, year first
//   where the locale writes it so). When the locale's order gives no valid date but the other
//   order does ("25/12/2009" in the United States), the other order is taken;
// - "today", "yesterday", "tomorrow".
// Any of these may carry a time: "10:20", "10:20:30", "10:20 PM", "10 pm", with an optional zone
// ("+0100", "+01:00", "UTC", "GMT", "EST", "CET" ...). Two-digit years fall into the 100 years from
// 80 years before the reference date. Without a time, the date stands at noon (so it stays on the
// same day in every other time zone); without a zone, in local time.
// Text that is no date, or names no valid day, gives no result: nothing is guessed.
class DateParser
{
public:
    enum class NumericOrder { MonthDayYear, DayMonthYear, YearMonthDay };

    // Longest text looked at; longer text is no date.
    static constexpr qsizetype MaximumLength = 200;

    explicit DateParser(const QLocale& locale = QLocale());

    // The day that "today" and two-digit years are counted from (default: the current date).
    void setReferenceDate(const QDate& date) { m_referenceDate = date; }

    std::optional<QDateTime> parse(const QString& text) const;

    // The order in which the locale writes a numeric date.
    static NumericOrder numericOrder(const QLocale& locale);

private:
    struct TimeOfDay
    {
        QTime time;
        std::optional<int> offsetSeconds;
    };

    std::optional<QDateTime> parseIso(const QString& text) const;
    std::optional<QDate> parseRelative(const QString& text) const;
    std::optional<QDate> parseDate(const QString& text) const;
    std::optional<QDate> parseWords(const QStringList& words) const;
    std::optional<QDate> parseNumericDate(const QString& word) const;
    std::optional<QDate> parseDateWithMonthName(const QStringList& parts) const;
    // Takes the time of day (and its zone) out of the text into `time`, which stays empty when
    // the text has none. Answers false for a time that does not exist ("25:10").
    bool takeTime(QString& text, std::optional<TimeOfDay>& time) const;
    QDate makeDate(const QString& year, const QString& month, const QString& day) const;
    int fullYear(const QString& digits) const;
    QDate referenceDate() const;

    DateVocabulary m_vocabulary;
    NumericOrder m_order;
    QDate m_referenceDate;
};
