#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// Reads the value of a "Date" header with the Unicode date patterns of the application property
// list's "ZREmailDateFormats" (the first pattern that reads the value wins). Month and weekday
// names are English whatever the user's locale; text after the date that is set off by white space
// (a zone comment such as "(CET)") is ignored; a pattern without a zone reads the time as UTC.
class ZREmailDateParser
{
public:
    static std::optional<QDateTime> parse(const QString& value);
    static std::optional<QDateTime> parse(const QString& value, const QStringList& formats);

    // The list from the application property list.
    static QStringList formats();
};
