#include "ProductCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "ProductEditCommands.h"
#include "ProductJson.h"
#include "ProductRowJson.h"
#include "TerminalUserInterface.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "persistence/ReadTransaction.h"

#include <QHash>
#include <QTextStream>

#include <memory>
#include <vector>

using namespace Persistence;

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

// The plain list's lines straight from the stored rows, batch by batch in the order given: the
// same lines printProductLine() writes, without loading the products.
bool writeLinesFromRows(ObjectContext* context, const QVector<ObjectID>& order, QTextStream& out, StoreError* error)
{
    constexpr qsizetype BatchSize = 2000;
    const QStringList columns {QStringLiteral("title"), QStringLiteral("productVersion"),
                               QStringLiteral("serialNumber"), QStringLiteral("uuid")};
    for (qsizetype next = 0; next < order.size(); next += BatchSize) {
        const QVector<ObjectID> batch = order.mid(next, BatchSize);
        QHash<qint64, qsizetype> position;
        for (qsizetype i = 0; i < batch.size(); ++i) {
            position.insert(batch[i].key(), i);
        }
        QStringList lines(batch.size());
        const auto line = [&](const RowView& row) {
            const qsizetype at = position.value(row.key(), -1);
            if (at < 0) {
                return;
            }
            QString& text = lines[at];
            text = QString::fromUtf8(row.utf8(0));
            if (const QString version = QString::fromUtf8(row.utf8(1)); !version.isEmpty()) {
                text += u' ' + version;
            }
            if (const QString serial = QString::fromUtf8(row.utf8(2)); !serial.isEmpty()) {
                text += QStringLiteral("  [") + serial.section(u'\n', 0, 0) + u']';
            }
            text += QStringLiteral("  ") + QString::fromUtf8(row.utf8(3)) + u'\n';
        };
        if (!context->readRows(RowQuery::forObjects(QStringLiteral("Product"), columns, batch), line, error)) {
            return false;
        }
        for (const QString& text : std::as_const(lines)) {
            out << text; // empty for a product no longer stored
        }
    }
    return true;
}

// The plain list: from the stored rows where the stores allow it, else from the products.
bool writePlainList(CliSession& session, QTextStream& out, QTextStream& err)
{
    ObjectContext* context = session.delegate().managedObjectContext();
    if (context && ProductRowJson::canWrite(context)) {
        StoreError error;
        const auto order = context->fetchObjectIDs(session.productRequest(), &error);
        if (!order || !writeLinesFromRows(context, *order, out, &error)) {
            err << "keymoor: the products could not be read: " << error.toString() << Qt::endl;
            return false;
        }
        return true;
    }
    for (const ProductEntity* product : session.products()) {
        printProductLine(product, out);
    }
    return true;
}

// The products put in order from their sort keys alone, then loaded, written and let go batch by
// batch in contexts of their own: memory stays flat however large the catalogue.
bool writeJsonList(CliSession& session, QTextStream& out, QTextStream& err)
{
    ObjectContext* context = session.delegate().managedObjectContext();
    const auto coordinator = context ? context->coordinator() : nullptr;
    QVector<ObjectID> order;
    StoreError error;
    if (coordinator) { // no library, no products
        const auto ids = context->fetchObjectIDs(session.productRequest(), &error);
        if (!ids) {
            err << "keymoor: the products could not be read: " << error.toString() << Qt::endl;
            return false;
        }
        order = *ids;
    }
    // Straight from the stored rows where the stores allow it: no objects to make and free.
    if (coordinator && ProductRowJson::canWrite(context)) {
        if (!ProductRowJson::writeList(context, order, out, &error)) {
            err << "keymoor: the products could not be read: " << error.toString() << Qt::endl;
            return false;
        }
        return true;
    }
    constexpr qsizetype BatchSize = 2000;
    std::unique_ptr<ObjectContext> batchContext;
    qsizetype next = 0;
    bool failed = false;
    ProductJson::writeBatches(
        [&]() {
            QList<ProductEntity*> batch;
            while (batch.isEmpty() && next < order.size() && !failed) {
                batchContext = std::make_unique<ObjectContext>(coordinator); // the last batch goes
                ObjectList objects;
                for (const qsizetype end = qMin(order.size(), next + BatchSize); next < end; ++next) {
                    objects.append(batchContext->objectWithID(order[next]));
                }
                failed = !batchContext->prefetch(objects, ProductJson::PrefetchKeyPaths, &error);
                for (ManagedObject* object : std::as_const(objects)) {
                    auto* product = dynamic_cast<ProductEntity*>(object);
                    if (!failed && product && product->isValid()) {
                        batch.append(product);
                    }
                }
            }
            return batch;
        },
        out);
    if (failed) {
        err << "keymoor: the products could not be read: " << error.toString() << Qt::endl;
    }
    return !failed;
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
    // One read transaction for the walk: every batch sees the same state of the library.
    ReadTransaction reading(session.delegate().managedObjectContext());
    if (arguments.isSet(QStringLiteral("json"))) {
        const bool written = writeJsonList(session, streams.out, streams.err);
        streams.out.flush();
        return written ? 0 : 1;
    }
    const bool written = writePlainList(session, streams.out, streams.err);
    streams.out.flush();
    return written ? 0 : 1;
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
        ProductJson::writeObject(product, streams.out);
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
