#include "SoftwareCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "ProductJson.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "software/InstalledApplication.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;

QJsonObject applicationJson(const DiscoveredApplication& discovered)
{
    const InstalledApplication& application = discovered.application;
    return QJsonObject {
        {QStringLiteral("id"), application.id},
        {QStringLiteral("title"), application.title},
        {QStringLiteral("version"), application.version},
        {QStringLiteral("publisher"), application.publisher},
        {QStringLiteral("website"), application.website},
        {QStringLiteral("source"), softwareSourceName(application.source)},
        {QStringLiteral("path"), application.path},
        {QStringLiteral("inCatalogue"), discovered.inCatalogue},
    };
}

void printApplicationLine(const DiscoveredApplication& discovered, QTextStream& out)
{
    const InstalledApplication& application = discovered.application;
    out << application.title;
    if (!application.version.isEmpty()) {
        out << ' ' << application.version;
    }
    out << "  [" << softwareSourceName(application.source) << "]  " << application.id;
    if (discovered.inCatalogue) {
        out << "  (in the catalogue)";
    }
    out << '\n';
}

int listApplications(const CommandArguments& arguments, CliStreams& streams)
{
    // Looking needs no library: without one, every application is a candidate.
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    const QList<DiscoveredApplication> applications
        = session.delegate().softwareDiscovery().discover(arguments.isSet(QStringLiteral("all")));
    if (arguments.isSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (const DiscoveredApplication& application : applications) {
            array.append(applicationJson(application));
        }
        streams.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    } else {
        for (const DiscoveredApplication& application : applications) {
            printApplicationLine(application, streams.out);
        }
    }
    streams.out.flush();
    return 0;
}

int addApplications(const CommandArguments& arguments, CliStreams& streams)
{
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open()) {
        return 1;
    }
    QString error;
    const auto added = session.delegate().softwareDiscovery().addApplications(arguments.positional(), &error);
    if (!added) {
        streams.err << "keymoor: " << error << Qt::endl;
        return 1;
    }
    Persistence::ObjectContext* context = session.delegate().managedObjectContext();
    QJsonArray array;
    for (const Persistence::ObjectID& id : *added) {
        const auto* product = dynamic_cast<ProductEntity*>(context->objectWithID(id));
        if (!product) {
            continue;
        }
        if (arguments.isSet(QStringLiteral("json"))) {
            array.append(ProductJson::toJson(product));
        } else {
            streams.out << "Added \"" << product->title() << "\" (" << product->uuid() << ")." << Qt::endl;
        }
    }
    if (arguments.isSet(QStringLiteral("json"))) {
        streams.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    }
    streams.out.flush();
    session.finish();
    return 0;
}

int discoverCommand(const CommandArguments& arguments, CliStreams& streams)
{
    const bool adding = arguments.isSet(QStringLiteral("add"));
    if (adding == arguments.positional().isEmpty() || (adding && arguments.isSet(QStringLiteral("all")))) {
        return arguments.usageError(streams.err);
    }
    return adding ? addApplications(arguments, streams) : listApplications(arguments, streams);
}

int launchCommand(const CommandArguments& arguments, CliStreams& streams, DesktopLauncher* launcher)
{
    if (arguments.positional().size() != 1) {
        return arguments.usageError(streams.err);
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    KeymoorAppDelegate& delegate = session.delegate();
    delegate.setDesktopLauncher(launcher);
    const ProductEntity* product = session.findProduct(arguments.positional().first());
    if (!product) {
        return 1;
    }
    QString error;
    if (!delegate.applications().launchApplication(product, &error)) {
        streams.err << "keymoor: " << error << Qt::endl;
        return 1;
    }
    streams.out << "Launched \"" << product->title() << "\"." << Qt::endl;
    return 0;
}

CommandOptions discoverOptions()
{
    return CommandOptions(
        QStringLiteral("discover"),
        {CliOption::flag(QStringLiteral("all"), QStringLiteral("also list the applications already in the catalogue")),
         CliOption::flag(QStringLiteral("add"), QStringLiteral("add the applications with the IDs given")),
         CliOption::flag(QStringLiteral("json"),
                         QStringLiteral("print an array of application objects (with --add: of the new "
                                        "products) instead"))},
        {{QStringLiteral("[ID]..."), QStringLiteral("with --add: the IDs as the list prints them")}});
}

} // namespace

void registerSoftwareCommands(CommandLine& commandLine, DesktopLauncher* launcher)
{
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("list installed applications, or add them"),
        QStringLiteral("Lists the installed applications that are not in the catalogue yet: their desktop\n"
                       "entries (with AppStream and package facts), AppImages and application bundles, one\n"
                       "per line with title, version, source (deb, flatpak, snap, appimage, bundle, local)\n"
                       "and ID. An application is in the catalogue when a product has its ID as bundle\n"
                       "identifier or its name as title. With --add, the applications of the IDs given\n"
                       "become new products in one change; an unknown ID adds nothing."),
        discoverOptions(), discoverCommand));
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("start a product's installed application"),
        QStringLiteral("Starts the installed application of the product, found by its title and else by its\n"
                       "bundle identifier: a desktop entry as its Exec line says, an AppImage directly, a\n"
                       "bundle through the desktop. Keymoor's own record is not launched."),
        CommandOptions(QStringLiteral("launch"), {},
                       {{QStringLiteral("TITLE|UUID"),
                         QStringLiteral("the product's UUID, or its title (ignoring case when no title matches "
                                        "exactly)")}}),
        [launcher](const CommandArguments& arguments, CliStreams& streams) {
            return launchCommand(arguments, streams, launcher);
        }));
}
