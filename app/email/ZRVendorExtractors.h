#pragma once

#include <QDeadlineTimer>
#include <QString>

#include <optional>

// Serial-number extractors for vendors whose messages the pattern table cannot read. Each works
// with the text scanner (white space and line breaks skipped before each step) and answers nothing
// when a step fails. Their regular expressions are case-sensitive and stop at `deadline`.
class ZRVendorExtractors
{
public:
    // The key between the two vertical bars of the order line after "Captain FTP 4.5 (license for".
    static std::optional<QString> captainFTP(const QString& text, QDeadlineTimer deadline);
    // The block from "BEGIN===" through the "END===" line.
    static std::optional<QString> fileSpot(const QString& text);
    // The four lines after "License key (four lines):", joined without separators.
    static std::optional<QString> textMate(const QString& text);
    // The paragraph that begins with "Licensee Name:".
    static std::optional<QString> noteTaker(const QString& text);
    // The key after "key is: " followed directly by the next line.
    static std::optional<QString> liquidLedger(const QString& text, QDeadlineTimer deadline);
    // The text after "Serial Number: " up to the blank line, without spaces and line feeds.
    static std::optional<QString> fileChute(const QString& text);
    // The licence block between the start and end markers, markers included.
    static std::optional<QString> oXygen(const QString& text);
    // The two-line key after "registration key is: ", without spaces and line feeds.
    static std::optional<QString> videoDrive(const QString& cleanedText, QDeadlineTimer deadline);
};
