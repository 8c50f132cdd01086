#include "DateParser.h"

#include <QRegularExpression>
#include <QStringList>
#include <QTimeZone>

#include <algorithm>

namespace {

constexpr auto CaseInsensitive = QRegularExpression::CaseInsensitiveOption;

// Years written with two digits fall into the century that starts this many years before the
// reference date.
constexpr int TwoDigitYearsBack = 80;

struct NamedZone
{
    const char* name;
    int hours;
};

// Zone names of e-mail headers (RFC 2822) and the common European ones.
const NamedZone NamedZones[] = {
    {"UT", 0},   {"UTC", 0},  {"GMT", 0},  {"Z", 0},    {"WET", 0},  {"WEST", 1}, {"CET", 1},  {"CEST", 2}, {"EET", 2},
    {"EEST", 3}, {"EST", -5}, {"EDT", -4}, {"CST", -6}, {"CDT", -5}, {"MST", -7}, {"MDT", -6}, {"PST", -8}, {"PDT", -7},
};

int namedZoneOffset(const QString& name)
{
    for (const NamedZone& zone : NamedZones) {
        if (name.compare(QLatin1String(zone.name), Qt::CaseInsensitive) == 0) {
            return zone.hours * 3600;
        }
    }
    return 0;
}

std::optional<int> numericZoneOffset(const QString& sign, const QString& hours, const QString& minutes)
{
    const int h = hours.toInt();
    const int m = minutes.isEmpty() ? 0 : minutes.toInt();
    if (h > 14 || m > 59) {
        return std::nullopt;
    }
    return (sign == QLatin1String("-") ? -1 : 1) * (h * 3600 + m * 60);
}

int milliseconds(const QString& fraction)
{
    return fraction.isEmpty() ? 0 : (fraction + QStringLiteral("00")).left(3).toInt();
}

bool isDigits(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

QDateTime combine(const QDate& date, const QTime& time, std::optional<int> offsetSeconds)
{
    return offsetSeconds ? QDateTime(date, time, QTimeZone(*offsetSeconds)) : QDateTime(date, time);
}

} // namespace

DateParser::DateParser(const QLocale& locale)
    : m_vocabulary(locale)
    , m_order(numericOrder(locale))
{ }

DateParser::NumericOrder DateParser::numericOrder(const QLocale& locale)
{
    if (locale.language() == QLocale::C) {
        return NumericOrder::MonthDayYear;
    }
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const qsizetype day = format.indexOf(QLatin1Char('d'));
    const qsizetype month = format.indexOf(QLatin1Char('M'));
    const qsizetype year = format.indexOf(QLatin1Char('y'));
    if (year >= 0 && (month < 0 || year < month) && (day < 0 || year < day)) {
        return NumericOrder::YearMonthDay;
    }
    if (month >= 0 && day >= 0 && month < day) {
        return NumericOrder::MonthDayYear;
    }
    return NumericOrder::DayMonthYear;
}

std::optional<QDateTime> DateParser::parse(const QString& input) const
{
    QString text = input.simplified();
    if (text.isEmpty() || text.size() > MaximumLength) {
        return std::nullopt;
    }
    // A trailing comment such as the zone name in "+0100 (CET)" says nothing the rest does not.
    static const QRegularExpression trailingComment(QStringLiteral("\\s*\\([^()]*\\)$"));
    text.remove(trailingComment);
    if (const auto iso = parseIso(text)) {
        return iso;
    }
    std::optional<TimeOfDay> time;
    if (!takeTime(text, time)) {
        return std::nullopt;
    }
    const std::optional<QDate> date = parseDate(text);
    if (!date) {
        return std::nullopt;
    }
    const QDateTime result = time ? combine(*date, time->time, time->offsetSeconds) : QDateTime(*date, QTime(12, 0));
    return result.isValid() ? std::optional(result) : std::nullopt;
}

std::optional<QDateTime> DateParser::parseIso(const QString& text) const
{
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})"
                                                       "(?:(?:T|\\s+)(\\d{2}):(\\d{2})(?::(\\d{2})(?:[.,](\\d{1,9}))?)?"
                                                       "(?:\\s*(?:(Z|UTC|GMT)|([+-])(\\d{2}):?(\\d{2})?))?)?$"),
                                        CaseInsensitive);
    const QRegularExpressionMatch match = iso.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (!date.isValid()) {
        return std::nullopt;
    }
    if (match.captured(4).isEmpty()) {
        return QDateTime(date, QTime(12, 0));
    }
    const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt(),
                     milliseconds(match.captured(7)));
    if (!time.isValid()) {
        return std::nullopt;
    }
    std::optional<int> offset;
    if (!match.captured(8).isEmpty()) {
        offset = 0;
    } else if (!match.captured(9).isEmpty()) {
        offset = numericZoneOffset(match.captured(9), match.captured(10), match.captured(11));
        if (!offset) {
            return std::nullopt;
        }
    }
    const QDateTime result = combine(date, time, offset);
    return result.isValid() ? std::optional(result) : std::nullopt;
}

bool DateParser::takeTime(QString& text, std::optional<TimeOfDay>& time) const
{
    static const QRegularExpression clock(
        QStringLiteral("(?<![\\d:.])(\\d{1,2})(?::(\\d{2})(?::(\\d{2})(?:[.,](\\d{1,9}))?)?)?(?!\\d)"
                       "(?:\\s*([ap])\\.?\\s?m\\b\\.?)?"
                       "(?:\\s*(UTC|GMT|UT|CEST|CET|EEST|EET|WEST|WET|[ECMP][SD]T|Z)\\b)?"
                       "(?:\\s*([+-])(\\d{2}):?(\\d{2})?(?!\\d))?"),
        CaseInsensitive);
    QRegularExpressionMatchIterator matches = clock.globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const bool hasMinutes = !match.captured(2).isEmpty();
        const QString meridiem = match.captured(5).toLower();
        if (!hasMinutes && meridiem.isEmpty()) {
            continue; // a lone number belongs to the date
        }
        int hour = match.captured(1).toInt();
        if (!meridiem.isEmpty()) {
            if (hour < 1 || hour > 12) {
                return false;
            }
            hour = hour % 12 + (meridiem == QLatin1String("p") ? 12 : 0);
        }
        // A leap second is kept as the last second of its minute.
        const int second = std::min(match.captured(3).toInt(), 59);
        const QTime clockTime(hour, match.captured(2).toInt(), second, milliseconds(match.captured(4)));
        if (!clockTime.isValid() || match.captured(3).toInt() > 60) {
            return false;
        }
        TimeOfDay result {clockTime, std::nullopt};
        if (!match.captured(7).isEmpty()) {
            result.offsetSeconds = numericZoneOffset(match.captured(7), match.captured(8), match.captured(9));
            if (!result.offsetSeconds) {
                return false;
            }
        } else if (!match.captured(6).isEmpty()) {
            result.offsetSeconds = namedZoneOffset(match.captured(6));
        }
        time = result;
        text = text.left(match.capturedStart()) + QLatin1Char(' ') + text.mid(match.capturedEnd());
        return true;
    }
    return true;
}

std::optional<QDate> DateParser::parseDate(const QString& text) const
{
    static const QRegularExpression wordBreaks(QStringLiteral("[\\s,]+"));
    static const QRegularExpression fillers(QStringLiteral("^(at|on|the|of)$"), CaseInsensitive);
    QStringList words = text.split(wordBreaks, Qt::SkipEmptyParts);
    words.removeIf([](const QString& word) { return fillers.match(word).hasMatch(); });
    if (words.isEmpty()) {
        return std::nullopt;
    }
    if (const auto date = parseWords(words)) {
        return date;
    }
    // A leading weekday is dropped only when that leaves a date: in some languages a weekday is
    // written like an English month ("mar." for Tuesday in French).
    if (words.size() > 1 && m_vocabulary.isWeekday(words.first())) {
        return parseWords(words.mid(1));
    }
    return std::nullopt;
}

std::optional<QDate> DateParser::parseWords(const QStringList& words) const
{
    if (words.size() == 1) {
        const QString word = words.first().toCaseFolded();
        const QDate today = referenceDate();
        if (word == QLatin1String("today")) {
            return today;
        }
        if (word == QLatin1String("yesterday")) {
            return today.addDays(-1);
        }
        if (word == QLatin1String("tomorrow")) {
            return today.addDays(1);
        }
        if (const auto date = parseNumericDate(words.first())) {
            return date;
        }
    }
    static const QRegularExpression ordinal(QStringLiteral("(\\d)(?:st|nd|rd|th)\\b"), CaseInsensitive);
    static const QRegularExpression partBreaks(QStringLiteral("[\\s./-]+"));
    QString joined = words.join(QLatin1Char(' '));
    joined.replace(ordinal, QStringLiteral("\\1"));
    return parseDateWithMonthName(joined.split(partBreaks, Qt::SkipEmptyParts));
}

std::optional<QDate> DateParser::parseNumericDate(const QString& word) const
{
    static const QRegularExpression numeric(QStringLiteral("^(\\d{1,4})([/.-])(\\d{1,2})\\2(\\d{1,4})\\.?$"));
    const QRegularExpressionMatch match = numeric.match(word);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QString first = match.captured(1);
    const QString second = match.captured(3);
    const QString third = match.captured(4);
    if (first.size() == 4 || m_order == NumericOrder::YearMonthDay) {
        const QDate date = third.size() <= 2 ? makeDate(first, second, third) : QDate();
        return date.isValid() ? std::optional(date) : std::nullopt;
    }
    const bool monthFirst = m_order == NumericOrder::MonthDayYear;
    QDate date = monthFirst ? makeDate(third, first, second) : makeDate(third, second, first);
    if (!date.isValid()) {
        date = monthFirst ? makeDate(third, second, first) : makeDate(third, first, second);
    }
    return date.isValid() ? std::optional(date) : std::nullopt;
}

std::optional<QDate> DateParser::parseDateWithMonthName(const QStringList& parts) const
{
    if (parts.size() != 3) {
        return std::nullopt;
    }
    QDate date;
    if (const int month = m_vocabulary.month(parts.at(0)); month && isDigits(parts.at(1))) {
        date = makeDate(parts.at(2), QString::number(month), parts.at(1)); // March 3, 2009
    } else if (const int month = m_vocabulary.month(parts.at(1)); month && isDigits(parts.at(0))) {
        date = parts.at(0).size() == 4 ? makeDate(parts.at(0), QString::number(month), parts.at(2)) // 2009 Mar 3
                                       : makeDate(parts.at(2), QString::number(month), parts.at(0)); // 3 Mar 2009
    }
    return date.isValid() ? std::optional(date) : std::nullopt;
}

QDate DateParser::makeDate(const QString& year, const QString& month, const QString& day) const
{
    if (!isDigits(year) || !isDigits(month) || !isDigits(day) || day.size() > 2 || month.size() > 2) {
        return {};
    }
    if (year.size() != 2 && year.size() != 4) {
        return {};
    }
    return QDate(fullYear(year), month.toInt(), day.toInt());
}

int DateParser::fullYear(const QString& digits) const
{
    const int year = digits.toInt();
    if (digits.size() != 2) {
        return year;
    }
    const int first = referenceDate().year() - TwoDigitYearsBack;
    const int candidate = first - first % 100 + year;
    return candidate < first ? candidate + 100 : candidate;
}

QDate DateParser::referenceDate() const
{
    return m_referenceDate.isValid() ? m_referenceDate : QDate::currentDate();
}
