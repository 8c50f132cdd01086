#include "ZRSerialScanner.h"

#include "ZRSerialPatternFilter.h"
#include "ZRSerialPatternTable.h"
#include "ZRVendorExtractors.h"
#include "base/KMRegex.h"

#include <QDeadlineTimer>

namespace {

bool contains(const QString& text, const char* marker)
{
    return text.contains(QLatin1String(marker));
}

// The patterns with their "(?im)" prefix, built once.
const QStringList& prefixedPatterns()
{
    static const QStringList patterns = [] {
        QStringList list;
        for (const QString& pattern : ZRSerialPatternTable::patterns()) {
            list.append(QStringLiteral("(?im)") + pattern);
        }
        return list;
    }();
    return patterns;
}

// The deadline of one search: its own limit, cut short by the scan's budget.
QDeadlineTimer searchDeadline(const QDeadlineTimer& budget, std::chrono::milliseconds perPattern)
{
    const QDeadlineTimer own(perPattern);
    return own.deadlineNSecs() < budget.deadlineNSecs() ? own : budget;
}

ZRSerialScanner::Result vendorResult(ZRSerialScanner::Source source, std::optional<QString> serial)
{
    return {std::move(serial), source, 0};
}

std::optional<ZRSerialScanner::Result> scanVendors(const QString& text, QDeadlineTimer deadline)
{
    using Source = ZRSerialScanner::Source;
    if (contains(text, "Captain FTP")) {
        return vendorResult(Source::CaptainFTP, ZRVendorExtractors::captainFTP(text, deadline));
    }
    if (contains(text, "FileSpot")) {
        return vendorResult(Source::FileSpot, ZRVendorExtractors::fileSpot(text));
    }
    if (contains(text, "TextMate")) {
        return vendorResult(Source::TextMate, ZRVendorExtractors::textMate(text));
    }
    if (text.contains(QLatin1String("AquaMinds"), Qt::CaseInsensitive)
        && text.contains(QLatin1String("NoteTaker"), Qt::CaseInsensitive)) {
        return vendorResult(Source::NoteTaker, ZRVendorExtractors::noteTaker(text));
    }
    if (contains(text, "Liquid Ledger")) {
        return vendorResult(Source::LiquidLedger, ZRVendorExtractors::liquidLedger(text, deadline));
    }
    if (contains(text, "FileChute")) {
        return vendorResult(Source::FileChute, ZRVendorExtractors::fileChute(text));
    }
    if (contains(text, "oXygen")) {
        return vendorResult(Source::OXygen, ZRVendorExtractors::oXygen(text));
    }
    return std::nullopt;
}

} // namespace

ZRSerialScanner::Result ZRSerialScanner::scan(const QString& text, const Limits& limits)
{
    const QDeadlineTimer budget(limits.total);
    if (std::optional<Result> vendor = scanVendors(text, searchDeadline(budget, limits.perPattern))) {
        return *vendor;
    }
    const QString cleaned = cleanedText(text);
    if (contains(cleaned, "VideoDrive")) {
        return vendorResult(Source::VideoDrive,
                            ZRVendorExtractors::videoDrive(cleaned, searchDeadline(budget, limits.perPattern)));
    }
    const QStringList& patterns = prefixedPatterns();
    const std::optional<ZRSerialPatternFilter> filter
        = limits.skipImpossibleEntries ? std::make_optional<ZRSerialPatternFilter>(cleaned) : std::nullopt;
    for (int i = 0; i < patterns.size(); ++i) {
        if (filter && !filter->mayMatch(i)) {
            continue;
        }
        const KMRegex::Match match = KMRegex::find(cleaned, patterns.at(i), searchDeadline(budget, limits.perPattern));
        if (match.matched()) {
            return {match.value.trimmed(), Source::PatternTable, i + 1};
        }
    }
    return {};
}

QString ZRSerialScanner::cleanedText(const QString& text)
{
    // A fragment is looked for only when the text still holds its first character, which no other
    // character matches ignoring case: most mail has no "<", ">", tab or "&" left in its text.
    QString cleaned = text;
    static const char* const removed[] = {"<p>", "</p>", "</b>", "<br/>", "\t", "> ", ">"};
    for (const char* fragment : removed) {
        if (cleaned.contains(QLatin1Char(fragment[0]))) {
            cleaned.remove(QLatin1String(fragment), Qt::CaseInsensitive);
        }
    }
    if (cleaned.contains(QLatin1Char('&'))) {
        cleaned.replace(QLatin1String("&nbsp;"), QLatin1String(" "), Qt::CaseInsensitive);
    }
    return cleaned;
}

QString ZRSerialScanner::sourceName(Source source)
{
    switch (source) {
    case Source::CaptainFTP:
        return QStringLiteral("Captain FTP");
    case Source::FileSpot:
        return QStringLiteral("FileSpot");
    case Source::TextMate:
        return QStringLiteral("TextMate");
    case Source::NoteTaker:
        return QStringLiteral("NoteTaker");
    case Source::LiquidLedger:
        return QStringLiteral("Liquid Ledger");
    case Source::FileChute:
        return QStringLiteral("FileChute");
    case Source::OXygen:
        return QStringLiteral("oXygen");
    case Source::VideoDrive:
        return QStringLiteral("VideoDrive");
    case Source::None:
    case Source::PatternTable:
        break;
    }
    return {};
}
