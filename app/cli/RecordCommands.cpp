#include "RecordCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "desktop/ApplicationLocator.h"
#include "model/ProductEntity.h"

#include <QTextStream>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;

int refreshCommand(const CommandArguments& parsed, CliStreams& streams, DesktopLauncher* launcher)
{
    const QStringList& arguments = parsed.positional();
    if (arguments.size() > 1) {
        return parsed.usageError(streams.err);
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open()) {
        return 1;
    }
    KeymoorAppDelegate& delegate = session.delegate();
    delegate.setDesktopLauncher(launcher);
    QList<ProductEntity*> products;
    if (arguments.isEmpty()) {
        for (ProductEntity* product : session.products()) {
            // Keymoor's own record describes this program, not an installed bundle.
            if (!KeymoorAppDelegate::isOwnProduct(product)) {
                products.append(product);
            }
        }
    } else {
        ProductEntity* product = session.findProduct(arguments.first());
        if (!product) {
            return 1;
        }
        if (KeymoorAppDelegate::isOwnProduct(product)) {
            streams.err << "keymoor: Keymoor's own record is kept up to date by Keymoor itself." << Qt::endl;
            return 1;
        }
        products.append(product);
    }

    ApplicationLocator locator = delegate.applicationLocator();
    int refreshed = 0;
    for (ProductEntity* product : std::as_const(products)) {
        const QString title = product->title();
        if (delegate.updateInfoForApp(product, locator)) {
            ++refreshed;
            streams.out << "Refreshed \"" << product->title() << "\"";
            if (!product->productVersion().isEmpty()) {
                streams.out << " " << product->productVersion();
            }
            streams.out << "." << Qt::endl;
        } else if (!arguments.isEmpty()) {
            streams.err << "keymoor: no installed application was found for \"" << title
                        << "\" (searched: " << locator.searchFolders().join(QStringLiteral(", ")) << ")." << Qt::endl;
            return 1;
        }
    }
    if (refreshed > 0 && !session.save()) {
        return 1;
    }
    if (arguments.isEmpty()) {
        streams.out << "Refreshed " << refreshed << " of " << products.size() << " products." << Qt::endl;
    }
    session.finish();
    return 0;
}

int openWebsiteCommand(const CommandArguments& parsed, CliStreams& streams, DesktopLauncher* launcher)
{
    const QStringList& arguments = parsed.positional();
    if (arguments.size() != 1) {
        return parsed.usageError(streams.err);
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    session.delegate().setDesktopLauncher(launcher);
    const ProductEntity* product = session.findProduct(arguments.first());
    if (!product) {
        return 1;
    }
    const QString website = product->productWebsite().trimmed();
    if (website.isEmpty()) {
        streams.err << "keymoor: \"" << product->title() << "\" has no website." << Qt::endl;
        return 1;
    }
    if (!session.delegate().openWebsiteInBrowser(product)) {
        streams.err << "keymoor: \"" << website
                    << "\" was not opened: only http and https addresses (and e-mail addresses) are opened."
                    << Qt::endl;
        return 1;
    }
    streams.out << "Opened " << website << Qt::endl;
    return 0;
}

const QString ProductHelp
    = QStringLiteral("the product's UUID, or its title (ignoring case when no title matches exactly)");

} // namespace

void registerRecordCommands(CommandLine& commandLine, DesktopLauncher* launcher)
{
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("refresh products from their installed applications"),
        QStringLiteral("Takes the title, version, bundle identifier and icon of each product (or of the one\n"
                       "named) from its installed application, found by bundle identifier and else by title\n"
                       "in the \"Import App Path\" preference, /Applications, ~/Applications and the folders\n"
                       "of KEYMOOR_APP_PATH. Publisher, e-mail and website are left as they are."),
        CommandOptions(QStringLiteral("refresh"), {}, {{QStringLiteral("[TITLE|UUID]"), ProductHelp}}),
        [launcher](const CommandArguments& arguments, CliStreams& streams) {
            return refreshCommand(arguments, streams, launcher);
        }));
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("open a product's website"),
        QStringLiteral("Opens the product's website in the browser (\"http://\" is put in front of an address\n"
                       "without one). Only http and https addresses are opened; an e-mail address opens a new\n"
                       "message instead."),
        CommandOptions(QStringLiteral("open-website"), {}, {{QStringLiteral("TITLE|UUID"), ProductHelp}}),
        [launcher](const CommandArguments& arguments, CliStreams& streams) {
            return openWebsiteCommand(arguments, streams, launcher);
        }));
}
