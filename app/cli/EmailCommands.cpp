#include "EmailCommands.h"

#include "CommandLine.h"
#include "email/ZREmail.h"
#include "email/ZREmailFileReader.h"
#include "email/ZRRegistrationInfoScanner.h"

#include <QTextStream>

#include <optional>
#include <utility>
#include <vector>

namespace {

// One FILE; anything else is a usage error (written to err).
std::optional<QString> emailPath(const QString& command, const CommandArguments& arguments, QTextStream& err)
{
    QString path;
    for (const QString& argument : arguments.positional()) {
        if (path.isEmpty()) {
            path = argument;
        } else {
            err << "keymoor " << command << ": only one FILE may be given" << Qt::endl;
            return std::nullopt;
        }
    }
    if (path.isEmpty()) {
        err << "keymoor " << command << ": missing FILE. Run \"keymoor " << command << " --help\"." << Qt::endl;
        return std::nullopt;
    }
    return path;
}

QString jsonString(const QString& text)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            quoted += QLatin1String("\\\"");
            break;
        case u'\\':
            quoted += QLatin1String("\\\\");
            break;
        case u'\n':
            quoted += QLatin1String("\\n");
            break;
        case u'\r':
            quoted += QLatin1String("\\r");
            break;
        case u'\t':
            quoted += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20) {
                quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            } else {
                quoted += c;
            }
        }
    }
    return quoted + QLatin1Char('"');
}

QString jsonValue(const std::optional<QString>& text)
{
    return text ? jsonString(*text) : QStringLiteral("null");
}

std::optional<QString> isoDate(const std::optional<QDateTime>& date)
{
    if (!date) {
        return std::nullopt;
    }
    return date->toUTC().toString(Qt::ISODate);
}

using Fields = std::vector<std::pair<const char*, QString>>; // name, JSON value

void writeJson(QTextStream& out, const Fields& fields)
{
    out << '{';
    for (std::size_t i = 0; i < fields.size(); ++i) {
        out << (i ? ", " : "") << jsonString(QLatin1String(fields[i].first)) << ": " << fields[i].second;
    }
    out << '}' << Qt::endl;
}

std::optional<ZREmail> readEmail(const QString& command, const QString& path, QTextStream& err)
{
    QString error;
    std::optional<ZREmail> email = ZREmailFileReader::read(path, &error);
    if (!email) {
        err << "keymoor " << command << ": " << error << Qt::endl;
    }
    return email;
}

int showEmail(const CommandArguments& arguments, CliStreams& streams)
{
    const std::optional<QString> path = emailPath(QStringLiteral("email"), arguments, streams.err);
    if (!path) {
        return 2;
    }
    const std::optional<ZREmail> email = readEmail(QStringLiteral("email"), *path, streams.err);
    if (!email) {
        return 1;
    }
    const std::optional<QString> date = isoDate(email->dateReceived());
    const std::optional<QString> text = email->textContent();
    if (arguments.isSet(QStringLiteral("json"))) {
        writeJson(streams.out,
                  {{"subject", jsonString(email->subject())},
                   {"from", jsonString(email->from())},
                   {"to", jsonString(email->to())},
                   {"date", jsonValue(date)},
                   {"contentType", jsonValue(email->contentType())},
                   {"hasHTML", email->hasHTMLContent() ? QStringLiteral("true") : QStringLiteral("false")},
                   {"text", jsonValue(text)}});
        return 0;
    }
    QTextStream& out = streams.out;
    out << "Subject: " << email->subject() << '\n'
        << "From: " << email->from() << '\n'
        << "To: " << email->to() << '\n'
        << "Date: " << date.value_or(QStringLiteral("(none)")) << '\n'
        << "Content-Type: " << email->contentType().value_or(QStringLiteral("(none)")) << '\n'
        << "HTML: " << (email->hasHTMLContent() ? "yes" : "no") << "\n\n"
        << text.value_or(QString()).trimmed() << Qt::endl;
    return 0;
}

int scanEmail(const CommandArguments& arguments, CliStreams& streams)
{
    const std::optional<QString> path = emailPath(QStringLiteral("scan"), arguments, streams.err);
    if (!path) {
        return 2;
    }
    const std::optional<ZREmail> email = readEmail(QStringLiteral("scan"), *path, streams.err);
    if (!email) {
        return 1;
    }
    const std::optional<ZRRegistrationInfo> info = ZRRegistrationInfoScanner::scanEmail(*email);
    const std::optional<QString> serial = info ? std::optional<QString>(info->serial) : std::nullopt;
    const std::optional<QString> address = info ? info->email : std::nullopt;
    const std::optional<QString> date = info ? isoDate(info->date) : std::nullopt;
    if (arguments.isSet(QStringLiteral("json"))) {
        writeJson(streams.out,
                  {{"serial", jsonValue(serial)}, {"email", jsonValue(address)}, {"date", jsonValue(date)}});
        return 0;
    }
    const QString none = QStringLiteral("(none)");
    streams.out << "Serial: " << serial.value_or(none) << '\n'
                << "E-mail: " << address.value_or(none) << '\n'
                << "Date: " << date.value_or(none) << Qt::endl;
    return 0;
}

CommandOptions emailOptions(const QString& command, const QString& jsonHelp)
{
    return CommandOptions(command, {CliOption::flag(QStringLiteral("json"), jsonHelp)},
                          {{QStringLiteral("FILE"), QStringLiteral("an e-mail message (.eml, RFC 822)")}});
}

} // namespace

void registerEmailCommands(CommandLine& commandLine)
{
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("show the headers and readable text of an e-mail file"),
        QStringLiteral("Shows the subject, sender, recipient, date (ISO 8601), content type,\n"
                       "whether the message has HTML, and its readable text."),
        emailOptions(QStringLiteral("email"), QStringLiteral("print one JSON object instead")), showEmail));
    commandLine.addCommand(
        CliCommand::withOptions(QStringLiteral("find the serial number, registered e-mail and date in an e-mail file"),
                                QStringLiteral("Scans a purchase e-mail as the catalogue does when one is attached:\n"
                                               "the serial number, the registered e-mail address (from the recipient)\n"
                                               "and the purchase date (the message date). Nothing found shows (none)."),
                                emailOptions(QStringLiteral("scan"),
                                             QStringLiteral("print {\"serial\": ..., \"email\": ..., \"date\": ...} "
                                                            "with null where nothing is found")),
                                scanEmail));
}
