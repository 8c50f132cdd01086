#include "ZRVendorExtractors.h"

#include "ZRTextScanner.h"
#include "base/KMRegex.h"

namespace {

std::optional<QString> lastGroup(const QString& text, const QString& pattern, QDeadlineTimer deadline)
{
    KMRegex::Match match = KMRegex::find(text, pattern, deadline);
    if (!match.matched()) {
        return std::nullopt;
    }
    return std::move(match.value);
}

QString withoutSpacesAndLineFeeds(QString text)
{
    text.remove(QLatin1Char(' '));
    text.remove(QLatin1Char('\n'));
    return text;
}

} // namespace

std::optional<QString> ZRVendorExtractors::captainFTP(const QString& text, QDeadlineTimer deadline)
{
    ZRTextScanner scanner(text);
    QString line;
    if (!scanner.scanUpToString(u"YOUR ORDER---") || !scanner.scanUpToString(u"Captain FTP 4.5 (license for")
        || !scanner.scanUpToString(u"\n", &line)) {
        return std::nullopt;
    }
    return lastGroup(line, QStringLiteral(R"re(\|[ ]+([a-zA-Z0-9\-]+)[ ]+\|)re"), deadline);
}

std::optional<QString> ZRVendorExtractors::fileSpot(const QString& text)
{
    ZRTextScanner scanner(text);
    QString block;
    QString endLine;
    if (!scanner.scanUpToString(u"BEGIN===") || !scanner.scanUpToString(u"END===", &block)
        || !scanner.scanUpToString(u"\n\n", &endLine)) {
        return std::nullopt;
    }
    return block + endLine;
}

std::optional<QString> ZRVendorExtractors::textMate(const QString& text)
{
    static constexpr QStringView marker = u"License key (four lines):\n";
    ZRTextScanner scanner(text);
    if (!scanner.scanUpToString(marker) || !scanner.scanString(marker)) {
        return std::nullopt;
    }
    QString key;
    for (int i = 0; i < 4; ++i) {
        QString line;
        if (!scanner.scanUpToString(u"\n", &line)) {
            return std::nullopt;
        }
        key += line;
    }
    return key;
}

std::optional<QString> ZRVendorExtractors::noteTaker(const QString& text)
{
    ZRTextScanner scanner(text);
    QString paragraph;
    if (!scanner.scanUpToString(u"Licensee Name:") || !scanner.scanUpToString(u"\n\n", &paragraph)) {
        return std::nullopt;
    }
    return paragraph;
}

std::optional<QString> ZRVendorExtractors::liquidLedger(const QString& text, QDeadlineTimer deadline)
{
    const std::optional<QString> key = lastGroup(text, QStringLiteral(R"re(key is: ([a-zA-Z0-9\-]+))re"), deadline);
    if (!key) {
        return std::nullopt;
    }
    ZRTextScanner scanner(text);
    scanner.scanUpToString(*key);
    scanner.scanString(*key);
    QString rest;
    if (!scanner.scanUpToString(u"\n", &rest)) {
        return key;
    }
    return *key + rest;
}

std::optional<QString> ZRVendorExtractors::fileChute(const QString& text)
{
    static constexpr QStringView label = u"Serial Number: ";
    ZRTextScanner scanner(text);
    QString serial;
    if (!scanner.scanUpToString(label) || !scanner.scanString(label) || !scanner.scanUpToString(u"\n\n", &serial)) {
        return std::nullopt;
    }
    return withoutSpacesAndLineFeeds(serial);
}

std::optional<QString> ZRVendorExtractors::oXygen(const QString& text)
{
    static constexpr QStringView start = u"------START-LICENSE-KEY------";
    static constexpr QStringView end = u"-------END-LICENSE-KEY-------";
    if (!text.contains(start)) {
        return std::nullopt;
    }
    ZRTextScanner scanner(text);
    scanner.scanUpToString(start);
    QString block;
    // The scanner stands at the start marker, so this takes at least the marker.
    scanner.scanUpToString(end, &block);
    return scanner.scanString(end) ? block + end.toString() : block;
}

std::optional<QString> ZRVendorExtractors::videoDrive(const QString& cleanedText, QDeadlineTimer deadline)
{
    const std::optional<QString> key = lastGroup(
        cleanedText, QStringLiteral(R"re(registration key is: ([a-zA-Z0-9\+\-\.\#/]+[ ]*\n[a-zA-Z0-9\+\-\.\#/=]+))re"),
        deadline);
    if (!key) {
        return std::nullopt;
    }
    return withoutSpacesAndLineFeeds(*key).trimmed();
}
