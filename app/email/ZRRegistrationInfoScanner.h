#pragma once

#include "ZRTextEncoding.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>

class ZREmail;

// What a purchase e-mail gives a product: the serial number, the registered e-mail address (from
// the recipient) and the purchase date (the message date).
struct ZRRegistrationInfo
{
    QString serial; // may be empty: a pattern can match an empty key
    std::optional<QString> email;
    std::optional<QDateTime> date;
};

// The decision a scan leads to; the application controller carries it out on the selected product:
// when `askFirst`, it shows `question` with the buttons "ReplaceButton" (default) and "NoButton" and
// stops unless the first is chosen; then it sets the serial number, the registered e-mail when there
// is one and the purchase date when there is one, and copies the serial when "Auto Copy Serial" is on.
struct ZRRegistrationUpdate
{
    ZRRegistrationInfo info;
    bool askFirst = false;
    QString question;
};

// The part of scanning an attached e-mail for registration information that needs no product or
// window: from the attachment's stored values to what would be written.
class ZRRegistrationInfoScanner
{
public:
    // From an attachment's stored bytes and their encoding, its recipient text and its date; nothing
    // when the bytes are no message or no serial number is found.
    static std::optional<ZRRegistrationInfo> scanAttachment(const QByteArray& content, ZRTextEncoding::Id encoding,
                                                            const std::optional<QString>& to,
                                                            const std::optional<QDateTime>& date);
    // The same for a message at hand, with the recipient and date of its own headers.
    static std::optional<ZRRegistrationInfo> scanEmail(const ZREmail& email);

    // The first address in the recipient text (trailing punctuation dropped), or the whole text when
    // it holds none; nothing for no text, the missing-recipient placeholder or undisclosed recipients.
    static std::optional<QString> registeredEmail(const std::optional<QString>& to);

    // Whether the person is asked before the values replace the product's: the preference "Ask
    // Before Replacing Current Info Key" is on and the product already has a serial number.
    static bool mustAskBeforeReplacing(bool askBeforeReplacing, const QString& currentSerial);

    // The message of that question, from the localized formats "ScannedInfoSerialNumberFormat",
    // "ScannedInfoRegisteredEmail", "ScannedInfoPurchaseDate" and "ScannedInfoMessageFormat"; the
    // date is written in the locale's medium style without time.
    static QString replaceQuestion(const ZRRegistrationInfo& info, const QLocale& locale = QLocale());

    static ZRRegistrationUpdate planUpdate(const ZRRegistrationInfo& info, const QString& currentSerial,
                                           bool askBeforeReplacing, const QLocale& locale = QLocale());
};
