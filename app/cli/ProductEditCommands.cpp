#include "ProductEditCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "ProductJson.h"
#include "model/LicenceFieldText.h"
#include "model/ProductBundleInfo.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;
using Assignments = QList<QPair<QString, QString>>;

// `--title TITLE` goes first, so a title=... among the FIELD=VALUE words wins over it.
Assignments assignmentsWithTitle(const CommandArguments& arguments)
{
    Assignments assignments = arguments.assignments();
    if (arguments.isSet(QStringLiteral("title"))) {
        assignments.prepend({QStringLiteral("title"), arguments.value(QStringLiteral("title"))});
    }
    return assignments;
}

// The currency a price of this command is read in: the one the command sets, else the product's.
QString currencyAfter(const ProductEntity* product, const Assignments& assignments)
{
    QString currency = product->purchaseCurrency();
    for (const auto& [key, text] : assignments) {
        if (key == QLatin1String("purchaseCurrency")) {
            currency = text;
        }
    }
    return currency;
}

std::optional<QVariant> parsedValue(const ProductEntity* product, const QString& key, const QString& text,
                                    const QString& currency, QString* error)
{
    if (LicenceFieldText::isLicenceField(key)) {
        return LicenceFieldText::parse(key, text, currency, error);
    }
    return ProductJson::valueForKey(product, key, text, error);
}

// A renewal date before the purchase is refused, whichever of the two the command sets.
QString orderError(const ProductEntity* product, const QList<QPair<QString, QVariant>>& values)
{
    QDate renewal = product->renewalDate();
    QDateTime purchase = product->purchaseDate();
    for (const auto& [key, value] : values) {
        if (key == QLatin1String("renewalDate")) {
            renewal = value.toDateTime().toUTC().date();
        } else if (key == QLatin1String("purchaseDate")) {
            purchase = value.toDateTime();
        }
    }
    return LicenceFieldText::renewalOrderError(renewal, purchase);
}

// Checks every assignment before anything changes, then applies them all.
bool applyAssignments(ProductEntity* product, const Assignments& assignments, QTextStream& err)
{
    const QString currency = currencyAfter(product, assignments);
    QList<QPair<QString, QVariant>> values;
    for (const auto& [key, text] : assignments) {
        QString error;
        const auto value = parsedValue(product, key, text, currency, &error);
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
    if (const QString error = orderError(product, values); !error.isEmpty()) {
        err << "keymoor: " << error << Qt::endl;
        return false;
    }
    for (const auto& [key, value] : values) {
        if (!ProductJson::setValueForKey(product, key, value)) {
            err << "keymoor: \"" << key << "\" could not be set." << Qt::endl;
            return false;
        }
    }
    return true;
}

// Fills a new product from an installed application (a bundle, a desktop file, an AppImage or a
// desktop-file ID): title, version, identifier, publisher, support e-mail, website and icon.
bool fillFromApplication(ProductEntity* product, const QString& pathOrId, QTextStream& err)
{
    const QString path = ProductBundleInfo::applicationPath(pathOrId);
    if (QFileInfo(path).isDir()) {
        product->setTitleFromAppPath(path);
    }
    if (path.isEmpty() || !product->setBundleInfoFromAppPath(path)) {
        err << "keymoor: \"" << pathOrId << "\" is no application bundle, desktop entry, AppImage or desktop-file ID."
            << Qt::endl;
        return false;
    }
    if (!product->setExternalIconFromAppPath(path)) {
        err << "keymoor: the icon of \"" << pathOrId << "\" could not be stored." << Qt::endl;
        return false;
    }
    return true;
}

void printChangedProduct(const ProductEntity* product, const CommandArguments& arguments, const QString& done,
                         QTextStream& out)
{
    if (arguments.isSet(QStringLiteral("json"))) {
        out << QJsonDocument(ProductJson::toJson(product)).toJson(QJsonDocument::Indented);
    } else {
        out << done << Qt::endl;
    }
}

int addCommand(const CommandArguments& arguments, CliStreams& streams)
{
    if (!arguments.plainPositional().isEmpty()) {
        return arguments.usageError(streams.err);
    }
    const QString fromApp = arguments.value(QStringLiteral("from-app"));
    if (!fromApp.isEmpty() && !ProductBundleInfo::fromApplication(fromApp)) {
        streams.err << "keymoor: \"" << fromApp
                    << "\" is no application bundle, desktop entry, AppImage or desktop-file ID." << Qt::endl;
        return 1;
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
    const bool filled = fromApp.isEmpty() || fillFromApplication(product, fromApp, streams.err);
    if (!filled || !applyAssignments(product, assignmentsWithTitle(arguments), streams.err)) {
        // Nothing of a rejected product is kept.
        context->deleteObject(product);
        return 1;
    }
    if (!session.save()) {
        return 1;
    }
    printChangedProduct(product, arguments, QStringLiteral("Added \"%1\" (%2).").arg(product->title(), product->uuid()),
                        streams.out);
    session.finish();
    return 0;
}

int setCommand(const CommandArguments& arguments, CliStreams& streams)
{
    const QString icon = arguments.value(QStringLiteral("icon"));
    const Assignments assignments = assignmentsWithTitle(arguments);
    if (arguments.plainPositional().size() != 1 || (assignments.isEmpty() && icon.isEmpty())) {
        return arguments.usageError(streams.err);
    }
    if (!icon.isEmpty() && !QFileInfo::exists(icon)) {
        streams.err << "keymoor: there is no file at \"" << icon << "\"." << Qt::endl;
        return 1;
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open()) {
        return 1;
    }
    ProductEntity* product = session.findProduct(arguments.plainPositional().first());
    if (!product || !applyAssignments(product, assignments, streams.err)) {
        return 1;
    }
    // Nothing is saved when the icon cannot be stored, so the fields set above are dropped too.
    if (!icon.isEmpty() && !product->setExternalIconFromAppPath(icon)) {
        streams.err << "keymoor: the icon of \"" << icon << "\" could not be stored." << Qt::endl;
        return 1;
    }
    if (!session.save()) {
        return 1;
    }
    printChangedProduct(product, arguments, QStringLiteral("Updated \"%1\".").arg(product->title()), streams.out);
    session.finish();
    return 0;
}

CliOption titleOption()
{
    return CliOption::value(QStringLiteral("title"), QStringLiteral("TITLE"),
                            QStringLiteral("the title (the same as title=TITLE)"));
}

CliOption jsonOption()
{
    return CliOption::flag(QStringLiteral("json"), QStringLiteral("print the product as JSON"));
}

CommandOptions addOptions()
{
    return CommandOptions(
        QStringLiteral("add"),
        {CliOption::value(QStringLiteral("from-app"), QStringLiteral("PATH|ID"),
                          QStringLiteral("take the name, version, identifier, publisher, website and icon of an "
                                         "installed application: a bundle (Name.app), a desktop file, an AppImage "
                                         "or a desktop-file ID (org.example.App); fields given as well override "
                                         "them")),
         titleOption(), jsonOption()},
        {{QStringLiteral("[FIELD=VALUE]..."),
          QStringLiteral("a field as \"keymoor show --json\" names it, and its value")}});
}

CommandOptions setOptions()
{
    return CommandOptions(
        QStringLiteral("set"),
        {titleOption(),
         CliOption::value(QStringLiteral("icon"), QStringLiteral("FILE"),
                          QStringLiteral("make an image file the product's icon (any other file gives its file "
                                         "icon)")),
         jsonOption()},
        {{QStringLiteral("TITLE|UUID"),
          QStringLiteral("the product's UUID, or its title (ignoring case when no title matches exactly)")},
         {QStringLiteral("[FIELD=VALUE]..."), QStringLiteral("a field and its new value; FIELD= clears it")}});
}

} // namespace

void registerProductEditCommands(CommandLine& commandLine)
{
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("add a product"),
        QStringLiteral("Adds a product with the given fields, for example\n"
                       "  keymoor add --title \"Test App\" serialNumber=ABC-123 purchasePrice=29.95\n"
                       "Fields are the names \"keymoor show --json\" prints; dates are written 2009-03-25\n"
                       "or as usual (\"March 25, 2009\"), prices 29.95, notes go in commentsString.\n"
                       "The licence: licenseType (perpetual, subscription, trial or free), expiryDate,\n"
                       "renewalDate, renewalPeriodMonths, renewalPrice (in the product's currency), seats,\n"
                       "remindDaysBefore (30 when not set) and archived (yes or no).\n"
                       "New products get the registration details of your own card (me.vcf) when the\n"
                       "preferences say so. Nothing is added when a field is wrong."),
        addOptions(), addCommand));
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("change fields of a product"),
        QStringLiteral("Changes the given fields; FIELD= (nothing after =) clears one, for example\n"
                       "  keymoor set \"Test App\" expiryDate=2027-01-15 licenseType=subscription\n"
                       "A renewal date before the purchase date is refused.\n"
                       "Nothing changes when a field is wrong."),
        setOptions(), setCommand));
}
