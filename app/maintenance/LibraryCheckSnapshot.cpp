#include "maintenance/LibraryCheckSnapshot.h"

#include "persistence/SqliteDatabase.h"

using namespace Persistence;

namespace {

using Ref = LibraryCheckSnapshot::Ref;

Ref refAt(const SqliteStatement& statement, int column)
{
    return statement.isNull(column) ? Ref() : Ref(statement.int64(column));
}

// Runs `SELECT pk, columns... FROM table` and hands each row to `take`; false with `error` filled
// when the statement fails.
template<typename Take>
bool readRows(SqliteDatabase& db, const QString& table, const QStringList& columns, QString* error, Take take)
{
    if (table.isEmpty() || columns.contains(QString())) {
        *error = QStringLiteral("the store's tables do not match this version of Keymoor");
        return false;
    }
    SqliteStatement statement = db.prepareUncached(
        QStringLiteral("SELECT pk, %1 FROM %2 ORDER BY pk").arg(columns.join(QStringLiteral(", ")), table));
    while (statement.isValid() && statement.next()) {
        take(statement);
    }
    if (!statement.isValid() || !statement.succeeded()) {
        *error = db.errorMessage();
        return false;
    }
    return true;
}

} // namespace

std::optional<LibraryCheckSnapshot> LibraryCheckSnapshot::read(SqliteDatabase& db, const LibraryCheckTables& tables,
                                                               QString* error)
{
    LibraryCheckSnapshot snapshot;
    const auto columns = [&tables](const QString& entity, const QStringList& properties) {
        QStringList result;
        for (const QString& property : properties) {
            result.append(tables.column(entity, property));
        }
        return result;
    };
    const QString product = QStringLiteral("Product");
    const QString file = QStringLiteral("AttachedFile");
    const QString content = QStringLiteral("AttachmentContent");
    const QString icon = QStringLiteral("Icon");
    const bool ok
        = readRows(db, tables.table(product),
                   columns(product, {QStringLiteral("uuid"), QStringLiteral("title"), QStringLiteral("appIcon")}),
                   error,
                   [&](const SqliteStatement& s) {
                       snapshot.products.insert(s.int64(0), {s.text(1), s.text(2), refAt(s, 3)});
                   })
        && readRows(db, tables.table(file),
                    columns(file, {QStringLiteral("name"), QStringLiteral("product"), QStringLiteral("content")}),
                    error,
                    [&](const SqliteStatement& s) {
                        snapshot.files.insert(s.int64(0), {s.text(1), refAt(s, 2), refAt(s, 3)});
                    })
        && readRows(db, tables.table(content), columns(content, {QStringLiteral("uuid"), QStringLiteral("attachment")}),
                    error,
                    [&](const SqliteStatement& s) {
                        snapshot.contents.insert(s.int64(0), {s.text(1), refAt(s, 2)});
                    })
        && readRows(db, tables.table(icon), columns(icon, {QStringLiteral("uuid"), QStringLiteral("product")}), error,
                    [&](const SqliteStatement& s) {
                        snapshot.icons.insert(s.int64(0), {s.text(1), refAt(s, 2)});
                    });
    if (!ok) {
        return std::nullopt;
    }
    return snapshot;
}

Ref LibraryCheckSnapshot::get(LibraryCheckLink link, Key row) const
{
    switch (link) {
    case LibraryCheckLink::FileProduct:
        return files.value(row).product;
    case LibraryCheckLink::FileContent:
        return files.value(row).content;
    case LibraryCheckLink::ContentAttachment:
        return contents.value(row).attachment;
    case LibraryCheckLink::ProductIcon:
        return products.value(row).icon;
    case LibraryCheckLink::IconProduct:
        return icons.value(row).product;
    }
    return std::nullopt;
}

void LibraryCheckSnapshot::set(LibraryCheckLink link, Key row, Ref target)
{
    switch (link) {
    case LibraryCheckLink::FileProduct:
        files[row].product = target;
        break;
    case LibraryCheckLink::FileContent:
        files[row].content = target;
        break;
    case LibraryCheckLink::ContentAttachment:
        contents[row].attachment = target;
        break;
    case LibraryCheckLink::ProductIcon:
        products[row].icon = target;
        break;
    case LibraryCheckLink::IconProduct:
        icons[row].product = target;
        break;
    }
}

QList<LibraryCheckSnapshot::Key> LibraryCheckSnapshot::rowsOf(LibraryCheckLink link) const
{
    switch (link) {
    case LibraryCheckLink::FileProduct:
    case LibraryCheckLink::FileContent:
        return files.keys();
    case LibraryCheckLink::ContentAttachment:
        return contents.keys();
    case LibraryCheckLink::ProductIcon:
        return products.keys();
    case LibraryCheckLink::IconProduct:
        return icons.keys();
    }
    return {};
}

bool LibraryCheckSnapshot::targetExists(LibraryCheckLink link, Key key) const
{
    switch (link) {
    case LibraryCheckLink::FileProduct:
    case LibraryCheckLink::IconProduct:
        return products.contains(key);
    case LibraryCheckLink::FileContent:
        return contents.contains(key);
    case LibraryCheckLink::ContentAttachment:
        return files.contains(key);
    case LibraryCheckLink::ProductIcon:
        return icons.contains(key);
    }
    return false;
}

std::optional<LibraryCheckLink> LibraryCheckSnapshot::inverseOf(LibraryCheckLink link)
{
    switch (link) {
    case LibraryCheckLink::FileProduct:
        return std::nullopt;
    case LibraryCheckLink::FileContent:
        return LibraryCheckLink::ContentAttachment;
    case LibraryCheckLink::ContentAttachment:
        return LibraryCheckLink::FileContent;
    case LibraryCheckLink::ProductIcon:
        return LibraryCheckLink::IconProduct;
    case LibraryCheckLink::IconProduct:
        return LibraryCheckLink::ProductIcon;
    }
    return std::nullopt;
}

const QList<LibraryCheckLink>& LibraryCheckSnapshot::allLinks()
{
    static const QList<LibraryCheckLink> links {LibraryCheckLink::FileProduct, LibraryCheckLink::FileContent,
                                                LibraryCheckLink::ContentAttachment, LibraryCheckLink::ProductIcon,
                                                LibraryCheckLink::IconProduct};
    return links;
}

QList<LibraryCheckSnapshot::LinkProblem> LibraryCheckSnapshot::linkProblems() const
{
    QList<LinkProblem> problems;
    for (LibraryCheckLink link : allLinks()) {
        const auto inverse = inverseOf(link);
        for (Key row : rowsOf(link)) {
            const Ref target = get(link, row);
            if (!target) {
                continue;
            }
            if (!targetExists(link, *target)) {
                problems.append({link, row, *target, true});
            } else if (inverse && get(*inverse, *target) != row) {
                problems.append({link, row, *target, false});
            }
        }
    }
    return problems;
}

QList<LibraryCheckSnapshot::RecordProblem> LibraryCheckSnapshot::recordProblems(const QSet<QString>& attachmentNames,
                                                                                const QSet<QString>& iconNames) const
{
    using Reason = RecordProblem::Reason;
    QList<RecordProblem> problems;
    QSet<Key> namedContents;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const AttachedFile& file = it.value();
        if (file.content) {
            namedContents.insert(*file.content);
        }
        if (!file.product) {
            problems.append({Reason::FileWithoutProduct, it.key()});
        } else if (!file.content) {
            problems.append({Reason::FileWithoutContent, it.key()});
        } else if (contents.contains(*file.content)) {
            const QString uuid = contents.value(*file.content).uuid;
            if (uuid.isEmpty() || !attachmentNames.contains(uuid)) {
                problems.append({Reason::FileMissing, it.key()});
            }
        }
    }
    for (auto it = contents.cbegin(); it != contents.cend(); ++it) {
        if (!it->attachment && !namedContents.contains(it.key())) {
            problems.append({Reason::ContentWithoutAttachment, it.key()});
        }
    }
    QSet<Key> namedIcons;
    for (const Product& product : products) {
        if (product.icon) {
            namedIcons.insert(*product.icon);
        }
    }
    for (auto it = icons.cbegin(); it != icons.cend(); ++it) {
        if (!it->product && !namedIcons.contains(it.key())) {
            problems.append({Reason::IconWithoutProduct, it.key()});
        } else if (it->uuid.isEmpty() || !iconNames.contains(it->uuid)) {
            problems.append({Reason::IconFileMissing, it.key()});
        }
    }
    return problems;
}

QSet<QString> LibraryCheckSnapshot::contentUuids() const
{
    QSet<QString> uuids;
    for (const Content& content : contents) {
        uuids.insert(content.uuid);
    }
    return uuids;
}

QSet<QString> LibraryCheckSnapshot::iconUuids() const
{
    QSet<QString> uuids;
    for (const Icon& icon : icons) {
        uuids.insert(icon.uuid);
    }
    return uuids;
}

const LibraryCheckSnapshot::Product* LibraryCheckSnapshot::productOfFile(Key file) const
{
    const auto found = files.constFind(file);
    if (found == files.cend() || !found->product) {
        return nullptr;
    }
    const auto product = products.constFind(*found->product);
    return product == products.cend() ? nullptr : &*product;
}

const LibraryCheckSnapshot::Product* LibraryCheckSnapshot::productOfContent(Key content) const
{
    const Ref attachment = get(LibraryCheckLink::ContentAttachment, content);
    if (attachment && files.contains(*attachment)) {
        return productOfFile(*attachment);
    }
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it->content == content) {
            return productOfFile(it.key());
        }
    }
    return nullptr;
}

const LibraryCheckSnapshot::Product* LibraryCheckSnapshot::productOfIcon(Key icon) const
{
    const Ref owner = get(LibraryCheckLink::IconProduct, icon);
    if (owner && products.contains(*owner)) {
        return &*products.constFind(*owner);
    }
    for (auto it = products.cbegin(); it != products.cend(); ++it) {
        if (it->icon == icon) {
            return &*it;
        }
    }
    return nullptr;
}
