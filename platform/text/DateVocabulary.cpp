#include "DateVocabulary.h"

#include <QLocale>

namespace {

const char* const EnglishMonths[] = {"january", "february", "march",     "april",   "may",      "june",
                                     "july",    "august",   "september", "october", "november", "december"};

const char* const EnglishWeekdays[] = {"monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"};

} // namespace

DateVocabulary::DateVocabulary(const QLocale& locale)
{
    for (int month = 1; month <= 12; ++month) {
        const QString english = QString::fromLatin1(EnglishMonths[month - 1]);
        addMonth(english, month);
        addMonth(english.left(3), month);
        for (const auto format : {QLocale::LongFormat, QLocale::ShortFormat}) {
            addMonth(locale.monthName(month, format), month);
            addMonth(locale.standaloneMonthName(month, format), month);
        }
    }
    addMonth(QStringLiteral("sept"), 9);
    for (int day = 1; day <= 7; ++day) {
        const QString english = QString::fromLatin1(EnglishWeekdays[day - 1]);
        addWeekday(english);
        addWeekday(english.left(3));
        for (const auto format : {QLocale::LongFormat, QLocale::ShortFormat}) {
            addWeekday(locale.dayName(day, format));
            addWeekday(locale.standaloneDayName(day, format));
        }
    }
    for (const char* name : {"tues", "thur", "thurs"}) {
        addWeekday(QString::fromLatin1(name));
    }
}

int DateVocabulary::month(QStringView word) const
{
    return m_months.value(normalized(word), 0);
}

bool DateVocabulary::isWeekday(QStringView word) const
{
    return m_weekdays.contains(normalized(word));
}

QString DateVocabulary::normalized(QStringView word)
{
    QString result = word.toString().toCaseFolded();
    while (result.endsWith(QLatin1Char('.'))) {
        result.chop(1);
    }
    return result;
}

void DateVocabulary::addMonth(const QString& name, int month)
{
    const QString key = normalized(name);
    // The English names come first and keep their meaning where a locale's abbreviation collides.
    if (!key.isEmpty() && !m_months.contains(key)) {
        m_months.insert(key, month);
    }
}

void DateVocabulary::addWeekday(const QString& name)
{
    const QString key = normalized(name);
    if (!key.isEmpty()) {
        m_weekdays.insert(key);
    }
}
