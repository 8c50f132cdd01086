#include "ProductCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "ProductEditCommands.h"
#include "ProductJson.h"
#include "TerminalUserInterface.h"
#include "model/ProductEntity.h"
#include "persistence/ReadTransaction.h"

#include <QJsonDocument>
#include <QTextStream>

using Persistence::ReadTransaction;

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;

void printProductLine(const ProductEntity* product, QTextStream& out)
{
    out << product->title();
    if (!product->productVersion().isEmpty()) {
        out << ' ' << product->productVersion();
    }
    if (!product->serialNumber().isEmpty()) {
        out << "  [" << product->serialNumber().section(u'\n', 0, 0) << ']';
    }
    out << "  " << product->uuid() << '\n';
}

void printProductDetails(const ProductEntity* product, QTextStream& out)
{
    const QJsonObject object = ProductJson::toJson(product);
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.value().isNull()) {
            continue;
        }
        const QString text = it.value().isString() ? it.value().toString() : it.value().toVariant().toString();
        out << it.key() << ": " << QString(text).replace(u'\n', QStringLiteral("\n    ")) << '\n';
    }
}

int listCommand(const CommandArguments& arguments, CliStreams& streams)
{
    if (!arguments.positional().isEmpty()) {
        return arguments.usageError(streams.err);
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    const bool json = arguments.isSet(QStringLiteral("json"));
    // One read transaction for the walk, and everything it reads loaded for all products at once.
    ReadTransaction reading(session.delegate().managedObjectContext());
    const QList<ProductEntity*> products = session.products({}, json ? ProductJson::PrefetchKeyPaths : QStringList());
    if (json) {
        ProductJson::writeArray(products, streams.out);
    } else {
        for (const ProductEntity* product : products) {
            printProductLine(product, streams.out);
        }
    }
    streams.out.flush();
    return 0;
}

int showCommand(const CommandArguments& arguments, CliStreams& streams)
{
    // FIELD=VALUE words are no product name; show has always passed over them.
    const QStringList named = arguments.plainPositional();
    if (named.size() != 1) {
        return arguments.usageError(streams.err);
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    const ProductEntity* product = session.findProduct(named.first());
    if (!product) {
        return 1;
    }
    if (arguments.isSet(QStringLiteral("json"))) {
        streams.out << QJsonDocument(ProductJson::toJson(product)).toJson(QJsonDocument::Indented);
    } else {
        printProductDetails(product, streams.out);
    }
    streams.out.flush();
    return 0;
}

int removeCommand(const CommandArguments& arguments, CliStreams& streams)
{
    if (arguments.positional().size() != 1 || !arguments.assignments().isEmpty()) {
        return arguments.usageError(streams.err);
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open()) {
        return 1;
    }
    ProductEntity* product = session.findProduct(arguments.positional().first());
    if (!product) {
        return 1;
    }
    if (KeymoorAppDelegate::isOwnProduct(product)) {
        streams.err << "keymoor: Keymoor's own record cannot be removed; the catalogue always keeps it." << Qt::endl;
        return 1;
    }
    const QString title = product->title();
    // Naming the product on the command line is the confirmation.
    session.terminal().setAnswer(Answer::Yes);
    if (!session.delegate().removeProducts({product}) || !session.save()) {
        streams.err << "keymoor: \"" << title << "\" was not removed." << Qt::endl;
        return 1;
    }
    streams.out << "Removed \"" << title << "\"." << Qt::endl;
    session.finish();
    return 0;
}

const CliPositional NamedProduct {
    QStringLiteral("TITLE|UUID"),
    QStringLiteral("the product's UUID, or its title (ignoring case when no title matches exactly)")};

} // namespace

void registerProductCommands(CommandLine& commandLine)
{
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("list the products of the catalogue"),
        QStringLiteral("Lists every product in the preferred order: title, version, the first line of the serial "
                       "number and the UUID."),
        CommandOptions(QStringLiteral("list"),
                       {CliOption::flag(QStringLiteral("json"),
                                        QStringLiteral("print an array of product objects "
                                                       "instead"))}),
        listCommand));
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("show one product"),
        QStringLiteral("Prints every field of the product named by its UUID or its title."),
        CommandOptions(QStringLiteral("show"),
                       {CliOption::flag(QStringLiteral("json"), QStringLiteral("print one product object instead"))},
                       {NamedProduct}),
        showCommand));
    registerProductEditCommands(commandLine);
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("remove a product and its attached files"),
        QStringLiteral("Removes the product with its attached files. Keymoor's own record cannot be removed."),
        CommandOptions(QStringLiteral("remove"), {}, {NamedProduct}), removeCommand));
}
