#include "ZRRegistrationInfoScanner.h"

#include "ZREmail.h"
#include "ZREmailParser.h"
#include "base/KMRegex.h"

#include <memory>
#include <unicode/datefmt.h>
#include <unicode/locid.h>

namespace {

// Fills a localized format that takes one text argument ("%@", or "%1" in Qt style).
QString filled(const QString& format, const QString& argument)
{
    if (format.contains(QLatin1String("%@"))) {
        QString text = format;
        return text.replace(QLatin1String("%@"), argument);
    }
    if (format.contains(QLatin1String("%1"))) {
        return format.arg(argument);
    }
    return format + QLatin1Char(' ') + argument;
}

QString mediumDate(const QDateTime& date, const QLocale& locale)
{
    const std::unique_ptr<icu::DateFormat> format(icu::DateFormat::createDateInstance(
        icu::DateFormat::kMedium, icu::Locale(locale.name().toLatin1().constData())));
    if (!format) {
        return locale.toString(date.toLocalTime().date(), QLocale::ShortFormat);
    }
    icu::UnicodeString text;
    format->format(UDate(date.toMSecsSinceEpoch()), text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

QString withoutTrailingPunctuation(QString address)
{
    while (!address.isEmpty() && !address.back().isLetterOrNumber()) {
        address.chop(1);
    }
    return address;
}

} // namespace

std::optional<ZRRegistrationInfo> ZRRegistrationInfoScanner::scanAttachment(const QByteArray& content,
                                                                            ZRTextEncoding::Id encoding,
                                                                            const std::optional<QString>& to,
                                                                            const std::optional<QDateTime>& date)
{
    const std::optional<ZREmail> email = ZREmail::emailFromData(content, encoding);
    if (!email) {
        return std::nullopt;
    }
    const std::optional<QString> text = email->textContent();
    if (!text) {
        return std::nullopt;
    }
    std::optional<QString> serial = ZREmailParser::scanForSerialNumber(*text, true);
    if (!serial) {
        return std::nullopt;
    }
    return ZRRegistrationInfo {std::move(*serial), registeredEmail(to), date};
}

std::optional<ZRRegistrationInfo> ZRRegistrationInfoScanner::scanEmail(const ZREmail& email)
{
    const std::optional<QString> text = email.textContent();
    if (!text) {
        return std::nullopt;
    }
    std::optional<QString> serial = ZREmailParser::scanForSerialNumber(*text, true);
    if (!serial) {
        return std::nullopt;
    }
    return ZRRegistrationInfo {std::move(*serial), registeredEmail(email.to()), email.dateReceived()};
}

std::optional<QString> ZRRegistrationInfoScanner::registeredEmail(const std::optional<QString>& to)
{
    if (!to || *to == ZREmailParser::localizedString(QStringLiteral("MissingEmailReceiver"))) {
        return std::nullopt;
    }
    const std::optional<QString> address
        = KM_findWithRegEx(*to, QStringLiteral("([a-zA-Z0-9\\+[:punct:]]+@[a-zA-Z0-9[:punct:]]+)"));
    const QString email = address ? withoutTrailingPunctuation(*address) : *to;
    if (email.contains(QLatin1String("undisclosed-recipients"), Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    return email;
}

bool ZRRegistrationInfoScanner::mustAskBeforeReplacing(bool askBeforeReplacing, const QString& currentSerial)
{
    return askBeforeReplacing && !currentSerial.isEmpty();
}

QString ZRRegistrationInfoScanner::replaceQuestion(const ZRRegistrationInfo& info, const QLocale& locale)
{
    const auto localized = [](const char* key) { return ZREmailParser::localizedString(QLatin1String(key)); };
    QString details = filled(localized("ScannedInfoSerialNumberFormat"), info.serial);
    if (info.email) {
        details += filled(localized("ScannedInfoRegisteredEmail"), *info.email);
    }
    if (info.date) {
        details += filled(localized("ScannedInfoPurchaseDate"), mediumDate(*info.date, locale));
    }
    return filled(localized("ScannedInfoMessageFormat"), details);
}

ZRRegistrationUpdate ZRRegistrationInfoScanner::planUpdate(const ZRRegistrationInfo& info, const QString& currentSerial,
                                                           bool askBeforeReplacing, const QLocale& locale)
{
    ZRRegistrationUpdate update {info, mustAskBeforeReplacing(askBeforeReplacing, currentSerial), {}};
    if (update.askFirst) {
        update.question = replaceQuestion(info, locale);
    }
    return update;
}
