#include "MailCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "ProductJson.h"
#include "attachments/MailLicenceFinder.h"
#include "base/LibraryPaths.h"
#include "email/MailStoreLocations.h"
#include "library/LibrarySession.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;

struct MailScanRequest
{
    QStringList paths;
    QStringList missing; // stores asked for with --thunderbird or --evolution that this account lacks
    MailLicenceFinder::ScanOptions options;
    bool json = false;
};

CommandOptions mailOptions(const QString& command)
{
    return CommandOptions(
        command,
        {CliOption::flag(QStringLiteral("json"), QStringLiteral("print JSON instead of one line per licence")),
         CliOption::value(QStringLiteral("since"), QStringLiteral("DATE"),
                          QStringLiteral("skip messages dated before DATE (ISO 8601: 2021-06-30)")),
         CliOption::flag(QStringLiteral("thunderbird"), QStringLiteral("read the default Thunderbird profile")),
         CliOption::flag(QStringLiteral("evolution"), QStringLiteral("read Evolution's local mail")),
         CliOption::flag(QStringLiteral("include-trash"), QStringLiteral("read Trash and Junk folders too"))},
        {{QStringLiteral("PATH..."),
          QStringLiteral("an mbox file, a Maildir folder, an .eml file, a Thunderbird "
                         "profile folder or profiles.ini, an Evolution mail folder")}});
}

QList<CommandOptions> mailForms()
{
    return {mailOptions(QStringLiteral("mail scan")), mailOptions(QStringLiteral("mail import"))};
}

std::optional<QDateTime> sinceDate(const QString& text)
{
    const QDateTime dateTime = QDateTime::fromString(text, Qt::ISODate);
    if (dateTime.isValid()) {
        return dateTime;
    }
    const QDate date = QDate::fromString(text, Qt::ISODate);
    return date.isValid() ? std::optional<QDateTime>(date.startOfDay()) : std::nullopt;
}

// The request the arguments make; nothing after a usage error (written to err).
std::optional<MailScanRequest> scanRequest(const QString& command, const QStringList& words, QTextStream& err)
{
    const std::optional<CommandArguments> arguments = mailOptions(command).parse(words, err);
    if (!arguments) {
        return std::nullopt;
    }
    MailScanRequest request;
    request.json = arguments->isSet(QStringLiteral("json"));
    request.options.store.includeTrashAndJunk = arguments->isSet(QStringLiteral("include-trash"));
    if (arguments->isSet(QStringLiteral("since"))) {
        const std::optional<QDateTime> since = sinceDate(arguments->value(QStringLiteral("since")));
        if (!since) {
            err << "keymoor: --since: \"" << arguments->value(QStringLiteral("since"))
                << "\" is no date; write it as 2021-06-30" << Qt::endl;
            return std::nullopt;
        }
        request.options.since = *since;
    }
    for (const QString& path : arguments->positional()) {
        request.paths.append(QFileInfo(path).absoluteFilePath());
    }
    const auto addDetected = [&request](const QString& option, const QString& path, const QString& what) {
        (path.isEmpty() ? request.missing : request.paths).append(path.isEmpty() ? what + option : path);
    };
    if (arguments->isSet(QStringLiteral("thunderbird"))) {
        addDetected(QStringLiteral(" (--thunderbird)"), MailStoreLocations::defaultThunderbirdProfile(),
                    QStringLiteral("no Thunderbird profile found"));
    }
    if (arguments->isSet(QStringLiteral("evolution"))) {
        addDetected(QStringLiteral(" (--evolution)"), MailStoreLocations::evolutionLocalStore(),
                    QStringLiteral("no Evolution mail folder found"));
    }
    if (request.paths.isEmpty() && request.missing.isEmpty()) {
        arguments->usageError(err);
        return std::nullopt;
    }
    return request;
}

// Scans, then reports the stores that could not be read and the counts on err. Nothing when no
// store could be read at all.
std::optional<MailLicenceFinder::ScanResult> runScan(const MailScanRequest& request, QTextStream& err)
{
    for (const QString& missing : request.missing) {
        err << "keymoor: " << missing << Qt::endl;
    }
    MailLicenceFinder::ScanResult result = MailLicenceFinder::scan(request.paths, request.options);
    for (const QString& error : result.errors) {
        err << "keymoor: " << error << Qt::endl;
    }
    err << result.messages << " messages read, " << result.unreadable << " unreadable" << Qt::endl;
    if (result.errors.size() + request.missing.size() >= request.paths.size() + request.missing.size()) {
        return std::nullopt;
    }
    return result;
}

QJsonValue textOrNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonObject proposalToJson(const LicenceProposal& proposal)
{
    QJsonObject source {
        {QStringLiteral("path"), proposal.place.path},
        {QStringLiteral("index"), proposal.place.isInMbox() ? QJsonValue(proposal.place.index) : QJsonValue()}};
    return {
        {QStringLiteral("title"), textOrNull(proposal.title)},
        {QStringLiteral("publisher"), textOrNull(proposal.publisher)},
        {QStringLiteral("serial"), textOrNull(proposal.serial)},
        {QStringLiteral("email"), textOrNull(proposal.email)},
        {QStringLiteral("date"),
         proposal.date.isValid() ? QJsonValue(proposal.date.toUTC().toString(Qt::ISODate)) : QJsonValue()},
        {QStringLiteral("subject"), textOrNull(proposal.subject)},
        {QStringLiteral("from"), textOrNull(proposal.from)},
        {QStringLiteral("messageId"), textOrNull(proposal.messageId)},
        {QStringLiteral("source"), source},
        {QStringLiteral("inCatalogue"), proposal.inCatalogue},
    };
}

void printProposal(const LicenceProposal& proposal, QTextStream& out)
{
    const QString none = QStringLiteral("-");
    out << (proposal.date.isValid() ? proposal.date.toUTC().date().toString(Qt::ISODate) : none) << "  "
        << (proposal.title.isEmpty() ? none : proposal.title) << "  [" << proposal.serial << "]  "
        << (proposal.email.isEmpty() ? none : proposal.email) << (proposal.inCatalogue ? "  (in catalogue)" : "")
        << '\n';
}

int mailScan(const QStringList& words, CliStreams& streams)
{
    const std::optional<MailScanRequest> request = scanRequest(QStringLiteral("mail scan"), words, streams.err);
    if (!request) {
        return 2;
    }
    std::optional<MailLicenceFinder::ScanResult> result = runScan(*request, streams.err);
    if (!result) {
        return 1;
    }
    // Only looking: no library is made for this; without one nothing is in the catalogue.
    CliSession session(streams, OpenMode::ReadOnly);
    if (QFileInfo::exists(LibraryPaths::persistentStoreLocation()) && session.open()
        && session.delegate().session().openedContext()) {
        MailLicenceFinder(session.delegate().session()).markInCatalogue(result->proposals);
    }
    if (request->json) {
        QJsonArray array;
        for (const LicenceProposal& proposal : result->proposals) {
            array.append(proposalToJson(proposal));
        }
        streams.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    } else {
        for (const LicenceProposal& proposal : result->proposals) {
            printProposal(proposal, streams.out);
        }
    }
    streams.out.flush();
    return 0;
}

int mailImport(const QStringList& words, CliStreams& streams)
{
    const std::optional<MailScanRequest> request = scanRequest(QStringLiteral("mail import"), words, streams.err);
    if (!request) {
        return 2;
    }
    const std::optional<MailLicenceFinder::ScanResult> result = runScan(*request, streams.err);
    if (!result) {
        return 1;
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open()) {
        return 1;
    }
    MailLicenceFinder finder(session.delegate().session());
    QList<LicenceProposal> proposals = result->proposals;
    finder.markInCatalogue(proposals);
    proposals.removeIf([](const LicenceProposal& proposal) { return proposal.inCatalogue; });
    QString error;
    const std::optional<QList<Persistence::ObjectID>> added = finder.addProposals(proposals, &error);
    if (!added) {
        streams.err << "keymoor: " << error << Qt::endl;
        return 1;
    }
    if (!error.isEmpty()) {
        streams.err << "keymoor: " << error << Qt::endl;
    }
    QList<ProductEntity*> products;
    Persistence::ObjectContext* context = session.delegate().managedObjectContext();
    for (const Persistence::ObjectID& id : *added) {
        if (auto* product = dynamic_cast<ProductEntity*>(context->objectWithID(id))) {
            products.append(product);
        }
    }
    if (request->json) {
        ProductJson::writeArray(products, streams.out);
    } else {
        for (const ProductEntity* product : products) {
            streams.out << "Added " << product->title() << "  [" << product->serialNumber() << "]\n";
        }
        streams.out << "Added " << products.size() << " product(s); " << (result->proposals.size() - products.size())
                    << " licence(s) were in the catalogue already." << Qt::endl;
    }
    streams.out.flush();
    session.finish();
    return 0;
}

int mailCommand(const QStringList& arguments, CliStreams& streams)
{
    const QString kind = arguments.value(0);
    if (kind == u"scan") {
        return mailScan(arguments.mid(1), streams);
    }
    if (kind == u"import") {
        return mailImport(arguments.mid(1), streams);
    }
    streams.err << CommandOptions::usage(mailForms()) << Qt::endl;
    return 2;
}

} // namespace

void registerMailCommands(CommandLine& commandLine)
{
    commandLine.addCommand(
        {QStringLiteral("mail"), QStringLiteral("find licences in purchase mails of mail stores and add them"),
         QStringLiteral("scan: reads every message of the stores and lists each licence a purchase mail holds (the\n"
                        "newest message of those with the same serial number): date, title, [serial], registered\n"
                        "e-mail, and \"(in catalogue)\" when a product has that serial number. --json prints an array\n"
                        "of objects with title, publisher, serial, email, date (ISO 8601), subject, from, messageId,\n"
                        "source ({\"path\": file, \"index\": the message's number in an mbox from 0, else null}) and\n"
                        "inCatalogue; unknown values are null. Nothing is written, and no library is created.\n\n"
                        "import: adds each licence not in the catalogue as a product (title, publisher, serial\n"
                        "number, registered e-mail, purchase date) with its message attached, in one saved change,\n"
                        "and prints the added products (--json: as `keymoor list --json` does). Running it again\n"
                        "adds nothing.\n\n"
                        "Both print \"N messages read, M unreadable\" on standard error, and a line for each store\n"
                        "that could not be read; they fail when none could. Mail stores are never written to.\n"
                        "Example: keymoor mail scan ~/Mail/Purchases --since 2020-01-01 --json"),
         mailForms(), mailCommand});
}
