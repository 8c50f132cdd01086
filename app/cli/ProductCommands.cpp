#include "ProductCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "ProductJson.h"
#include "TerminalUserInterface.h"
#include "model/ProductBundleInfo.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;

struct ParsedArguments
{
    QStringList positional;
    QList<QPair<QString, QString>> assignments; // key=value, in order
    bool json = false;
    bool yes = false;
    QString title;
    bool hasTitle = false;
    QString fromApp; // add --from-app PATH
    QString icon; // set --icon FILE
};

// The options that take a value, as "--option VALUE" or "--option=VALUE".
QString* valueTarget(const QString& option, ParsedArguments* parsed)
{
    if (option == QLatin1String("--title")) {
        parsed->hasTitle = true;
        return &parsed->title;
    }
    if (option == QLatin1String("--from-app")) {
        return &parsed->fromApp;
    }
    if (option == QLatin1String("--icon")) {
        return &parsed->icon;
    }
    return nullptr;
}

// Splits the arguments of a command; answers false after an error message for unknown options.
bool parseArguments(const QStringList& arguments, const QStringList& allowedOptions, ParsedArguments* parsed,
                    QTextStream& err)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument.startsWith(QLatin1String("--"))) {
            const QString option = argument.section(u'=', 0, 0);
            if (!allowedOptions.contains(option)) {
                err << "keymoor: unknown option " << option << Qt::endl;
                return false;
            }
            if (option == QLatin1String("--json")) {
                parsed->json = true;
            } else if (option == QLatin1String("--yes")) {
                parsed->yes = true;
            } else if (QString* target = valueTarget(option, parsed)) {
                if (argument.contains(u'=')) {
                    *target = argument.section(u'=', 1);
                } else if (i + 1 < arguments.size()) {
                    *target = arguments.at(++i);
                } else {
                    err << "keymoor: " << option << " needs a value" << Qt::endl;
                    return false;
                }
            }
        } else if (argument.contains(u'=')) {
            parsed->assignments.append({argument.section(u'=', 0, 0), argument.section(u'=', 1)});
        } else {
            parsed->positional.append(argument);
        }
    }
    return true;
}

// Checks every assignment before anything changes, then applies them all.
bool applyAssignments(ProductEntity* product, const QList<QPair<QString, QString>>& assignments, QTextStream& err)
{
    QList<QPair<QString, QVariant>> values;
    for (const auto& [key, text] : assignments) {
        QString error;
        const auto value = ProductJson::valueForKey(product, key, text, &error);
        if (!value) {
            err << "keymoor: " << error << Qt::endl;
            return false;
        }
        if (key == QLatin1String("title") && KeymoorAppDelegate::isOwnProduct(product)
            && value->toString() != product->title()) {
            err << "keymoor: the title of Keymoor's own record cannot be changed." << Qt::endl;
            return false;
        }
        values.append({key, *value});
    }
    for (const auto& [key, value] : values) {
        if (!ProductJson::setValueForKey(product, key, value)) {
            err << "keymoor: \"" << key << "\" could not be set." << Qt::endl;
            return false;
        }
    }
    return true;
}

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

int listCommand(const QStringList& arguments, CliStreams& streams)
{
    ParsedArguments parsed;
    if (!parseArguments(arguments, {QStringLiteral("--json")}, &parsed, streams.err) || !parsed.positional.isEmpty()
        || !parsed.assignments.isEmpty()) {
        streams.err << "Usage: keymoor list [--json]" << Qt::endl;
        return 2;
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    const QList<ProductEntity*> products = session.products();
    if (parsed.json) {
        QJsonArray array;
        for (const ProductEntity* product : products) {
            array.append(ProductJson::toJson(product));
        }
        streams.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    } else {
        for (const ProductEntity* product : products) {
            printProductLine(product, streams.out);
        }
    }
    streams.out.flush();
    return 0;
}

int showCommand(const QStringList& arguments, CliStreams& streams)
{
    ParsedArguments parsed;
    if (!parseArguments(arguments, {QStringLiteral("--json")}, &parsed, streams.err) || parsed.positional.size() != 1) {
        streams.err << "Usage: keymoor show TITLE|UUID [--json]" << Qt::endl;
        return 2;
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    const ProductEntity* product = session.findProduct(parsed.positional.first());
    if (!product) {
        return 1;
    }
    if (parsed.json) {
        streams.out << QJsonDocument(ProductJson::toJson(product)).toJson(QJsonDocument::Indented);
    } else {
        printProductDetails(product, streams.out);
    }
    streams.out.flush();
    return 0;
}

// Fills a new product from an application bundle: title, version, identifier, publisher, support
// e-mail, website and icon.
bool fillFromApplication(ProductEntity* product, const QString& path, QTextStream& err)
{
    product->setTitleFromAppPath(path);
    if (!product->setBundleInfoFromAppPath(path)) {
        err << "keymoor: \"" << path << "\" is not an application or other bundle (no Contents/Info.plist)."
            << Qt::endl;
        return false;
    }
    if (!product->setExternalIconFromAppPath(path)) {
        err << "keymoor: the icon of \"" << path << "\" could not be stored." << Qt::endl;
        return false;
    }
    return true;
}

int addCommand(const QStringList& arguments, CliStreams& streams)
{
    ParsedArguments parsed;
    if (!parseArguments(arguments, {QStringLiteral("--title"), QStringLiteral("--json"), QStringLiteral("--from-app")},
                        &parsed, streams.err)
        || !parsed.positional.isEmpty()) {
        streams.err << "Usage: keymoor add [--from-app PATH] [--title TITLE] [FIELD=VALUE]... [--json]" << Qt::endl;
        return 2;
    }
    if (!parsed.fromApp.isEmpty() && !ProductBundleInfo::fromBundle(parsed.fromApp)) {
        streams.err << "keymoor: \"" << parsed.fromApp << "\" is not an application or other bundle." << Qt::endl;
        return 1;
    }
    if (parsed.hasTitle) {
        parsed.assignments.prepend({QStringLiteral("title"), parsed.title});
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open()) {
        return 1;
    }
    Persistence::ObjectContext* context = session.delegate().managedObjectContext();
    auto* product = context->insert<ProductEntity>(QStringLiteral("Product"));
    if (!product) {
        streams.err << "keymoor: the product could not be added." << Qt::endl;
        return 1;
    }
    const bool filled = parsed.fromApp.isEmpty() || fillFromApplication(product, parsed.fromApp, streams.err);
    if (!filled || !applyAssignments(product, parsed.assignments, streams.err)) {
        // Nothing of a rejected product is kept.
        context->deleteObject(product);
        return 1;
    }
    if (!session.save()) {
        return 1;
    }
    if (parsed.json) {
        streams.out << QJsonDocument(ProductJson::toJson(product)).toJson(QJsonDocument::Indented);
    } else {
        streams.out << "Added \"" << product->title() << "\" (" << product->uuid() << ")." << Qt::endl;
    }
    session.finish();
    return 0;
}

int setCommand(const QStringList& arguments, CliStreams& streams)
{
    ParsedArguments parsed;
    if (!parseArguments(arguments, {QStringLiteral("--title"), QStringLiteral("--json"), QStringLiteral("--icon")},
                        &parsed, streams.err)
        || parsed.positional.size() != 1
        || (parsed.assignments.isEmpty() && !parsed.hasTitle && parsed.icon.isEmpty())) {
        streams.err << "Usage: keymoor set TITLE|UUID [FIELD=VALUE]... [--icon FILE] [--json]" << Qt::endl;
        return 2;
    }
    if (!parsed.icon.isEmpty() && !QFileInfo::exists(parsed.icon)) {
        streams.err << "keymoor: there is no file at \"" << parsed.icon << "\"." << Qt::endl;
        return 1;
    }
    if (parsed.hasTitle) {
        parsed.assignments.prepend({QStringLiteral("title"), parsed.title});
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open()) {
        return 1;
    }
    ProductEntity* product = session.findProduct(parsed.positional.first());
    if (!product || !applyAssignments(product, parsed.assignments, streams.err)) {
        return 1;
    }
    // Nothing is saved when the icon cannot be stored, so the fields set above are dropped too.
    if (!parsed.icon.isEmpty() && !product->setExternalIconFromAppPath(parsed.icon)) {
        streams.err << "keymoor: the icon of \"" << parsed.icon << "\" could not be stored." << Qt::endl;
        return 1;
    }
    if (!session.save()) {
        return 1;
    }
    if (parsed.json) {
        streams.out << QJsonDocument(ProductJson::toJson(product)).toJson(QJsonDocument::Indented);
    } else {
        streams.out << "Updated \"" << product->title() << "\"." << Qt::endl;
    }
    session.finish();
    return 0;
}

int removeCommand(const QStringList& arguments, CliStreams& streams)
{
    ParsedArguments parsed;
    if (!parseArguments(arguments, {}, &parsed, streams.err) || parsed.positional.size() != 1
        || !parsed.assignments.isEmpty()) {
        streams.err << "Usage: keymoor remove TITLE|UUID" << Qt::endl;
        return 2;
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open()) {
        return 1;
    }
    ProductEntity* product = session.findProduct(parsed.positional.first());
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

} // namespace

void registerProductCommands(CommandLine& commandLine)
{
    commandLine.addCommand({QStringLiteral("list"), QStringLiteral("list the products of the catalogue"),
                            QStringLiteral("Usage: keymoor list [--json]\n\n"
                                           "Lists every product in the preferred order: title, version, the first "
                                           "line of the serial number and the UUID.\n"
                                           "--json prints an array of product objects instead."),
                            listCommand});
    commandLine.addCommand({QStringLiteral("show"), QStringLiteral("show one product"),
                            QStringLiteral("Usage: keymoor show TITLE|UUID [--json]\n\n"
                                           "Prints every field of the product named by its UUID or its title."),
                            showCommand});
    commandLine.addCommand(
        {QStringLiteral("add"), QStringLiteral("add a product"),
         QStringLiteral("Usage: keymoor add [--from-app PATH] [--title TITLE] [FIELD=VALUE]... [--json]\n\n"
                        "Adds a product with the given fields, for example\n"
                        "  keymoor add --title \"Test App\" serialNumber=ABC-123 purchasePrice=29.95\n"
                        "Fields are the names \"keymoor show --json\" prints; dates are written 2009-03-25\n"
                        "or as usual (\"March 25, 2009\"), prices 29.95, notes go in commentsString.\n"
                        "--from-app takes the name, version, identifier, publisher, website and icon of an\n"
                        "application bundle (Name.app); fields given as well override them.\n"
                        "New products get the registration details of your own card (me.vcf) when the\n"
                        "preferences say so. Nothing is added when a field is wrong."),
         addCommand});
    commandLine.addCommand({QStringLiteral("set"), QStringLiteral("change fields of a product"),
                            QStringLiteral("Usage: keymoor set TITLE|UUID [FIELD=VALUE]... [--icon FILE] [--json]\n\n"
                                           "Changes the given fields; FIELD= (nothing after =) clears one.\n"
                                           "--icon makes an image file the product's icon (any other file gives "
                                           "its file icon).\nNothing changes when a field is wrong."),
                            setCommand});
    commandLine.addCommand({QStringLiteral("remove"), QStringLiteral("remove a product and its attached files"),
                            QStringLiteral("Usage: keymoor remove TITLE|UUID\n\n"
                                           "Removes the product with its attached files. Keymoor's own record "
                                           "cannot be removed."),
                            removeCommand});
}
