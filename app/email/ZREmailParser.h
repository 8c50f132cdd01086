#pragma once

#include "ZRTextEncoding.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Class-level e-mail text utilities: header lookup, encoded words, charset names, the message body,
// the e-mail file test, the user's mail program, and the serial-number scan of purchase e-mails.
class ZREmailParser
{
public:
    ZREmailParser() = delete;

    static QStringList emailFilesArray(); // "eml", "EML", "emlx", "EMLX"

    // Whether the file is taken to be an e-mail message: by its extension, or else by the four
    // header names "From:", "To:", "Content-type:" and "Content-Transfer-Encoding:" (any case) in
    // its first 12800 bytes read as UTF-8. A UTF-8 character cut by that limit is left out.
    static bool isEmailArchive(const QString& path);
    static constexpr qsizetype ArchiveSniffSize = 12800;

    static ZRTextEncoding::Id encodingFromAlias(const QString& charset);

    // Every encoded word of a header value decoded.
    static QString decodeString(const QString& text);

    enum class Folding {
        FirstLine, // the value is the rest of the header's first line
        Unfold, // continuation lines (starting with a space or a tab) are joined to it
    };
    // The decoded value of the first line anywhere in `text` that starts with "<field>:" (any case),
    // after the colon and any spaces; nothing when no line carries the field.
    static std::optional<QString> parseEmailText(const QString& text, const QString& field,
                                                 Folding folding = Folding::FirstLine);

    // The body: from the first blank line after the leading white space to the end, starting with
    // that blank line's "\n\n"; empty when there is no blank line; nothing for empty or blank text.
    static std::optional<QString> emailMessageBodyFromEmailText(const QString& text);
    // Where that body starts (the length of the header block), or -1 for empty or blank text.
    static qsizetype bodyStart(const QString& text);

    // The file name of the application that handles "mailto" links, or nothing. The desktop
    // integration installs the provider; without one there is no name.
    using MailReaderProvider = std::function<std::optional<QString>()>;
    static void setDefaultMailReaderAppNameProvider(MailReaderProvider provider);
    static std::optional<QString> defaultMailReaderAppName();
    // "Microsoft Outlook" if that name contains "Outlook", else "Apple Mail".
    static QString defaultMailReader();

    // Localized texts of the model (the placeholders of missing headers, the question of a scan).
    // The application installs its localization table; without one a key stands for itself.
    using Localizer = std::function<QString(const QString& key)>;
    static void setLocalizer(Localizer localizer);
    static QString localizedString(const QString& key);

    // The serial number in the readable text of a purchase e-mail, or nothing. `acceptFirst` does not
    // change the result: the first extractor or pattern that applies always wins.
    static std::optional<QString> scanForSerialNumber(const QString& text, bool acceptFirst = true);
    // The 44 patterns the scan tries, in order.
    static const QStringList& regexPatterns();
};
