#pragma once

#include <QString>
#include <QStringList>

// The ordered table of regular expressions that find a serial number in the readable text of a
// purchase e-mail. The order is the priority: an earlier entry that matches anywhere wins. Each
// entry is applied with the prefix "(?im)" (case-insensitive; "^" and "$" at line boundaries).
class ZRSerialPatternTable
{
public:
    static constexpr int EntryCount = 44;

    // The serial sub-pattern that the template entries embed in place of "%@": three or more
    // letters, digits or "+-.#%/", taken possessively, then any "=" signs, possessively.
    static const QString& serialSubpattern();

    // The 44 patterns with the serial sub-pattern in place, without the "(?im)" prefix. Built once.
    static const QStringList& patterns();

    // What any text an entry matches contains after full case folding: at least one text of every
    // group. A text missing them cannot match the entry, so the scanner need not run it. Built
    // once, in table order.
    using Requirement = QList<QStringList>;
    static const QList<Requirement>& requirements();
};
