#pragma once

#include <QString>

#include <chrono>
#include <optional>

// Finds the serial number in the readable text of a purchase e-mail: a vendor extractor when the
// text names one of those vendors, otherwise the first entry of the pattern table that matches the
// text cleaned of a few HTML remnants (entries that cannot match it are not tried). The whole scan
// has a time budget: a pattern that runs out of time counts as no match, and when the budget is
// spent the scan ends with what it has.
class ZRSerialScanner
{
public:
    enum class Source {
        None,
        CaptainFTP,
        FileSpot,
        TextMate,
        NoteTaker,
        LiquidLedger,
        FileChute,
        OXygen,
        VideoDrive,
        PatternTable,
    };

    struct Limits
    {
        std::chrono::milliseconds perPattern {250};
        std::chrono::milliseconds total {1500};
        // Whether table entries whose required words the text lacks are skipped (see
        // ZRSerialPatternFilter); the result is the same either way, only slower without.
        bool skipImpossibleEntries = true;
    };

    struct Result
    {
        std::optional<QString> serial;
        Source source = Source::None; // who decided (a vendor extractor may decide on none)
        int entry = 0; // 1-based table entry that matched, for Source::PatternTable
    };

    static Result scan(const QString& text, const Limits& limits);
    static Result scan(const QString& text) { return scan(text, Limits()); }

    // The text with "<p>", "</p>", "</b>", "<br/>", tabs, "> " and ">" deleted (in that order) and
    // "&nbsp;" turned into a space, all ignoring case. Opening bold tags stay.
    static QString cleanedText(const QString& text);

    // The vendor's marker text ("Captain FTP", "TextMate", ...), or an empty text.
    static QString sourceName(Source source);
};
