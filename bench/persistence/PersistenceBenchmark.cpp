// Inserting, saving, reopening and fetching a library of 10,000 products (2 attached files with
// contents and 1 icon each) through the persistence layer, against the same work done directly
// with the SQLite C API. Prints both times and their ratio.
#include "model/AttachmentEntity.h"
#include "model/IconEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRAttachmentContent.h"
#include "model/ZRCoreDataFactory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QUuid>

#include <cstdio>
#include <sqlite3.h>
#include <vector>

using namespace Persistence;

namespace {

constexpr int ProductCount = 10000;

QString titleFor(int i)
{
    static const char* const prefixes[]
        = {"Foo", "foo", "Bar", "Baz", "Qux", "Zed", "Alpha", "Omega", "Delta", "Gamma"};
    return QStringLiteral("%1 Product %2").arg(QString::fromLatin1(prefixes[i % 10])).arg(i);
}

struct Timings
{
    double insertSave = 0;
    double openFetchSorted = 0;
    double fetchLike = 0;
    qsizetype sortedCount = 0;
    qsizetype likeCount = 0;
};

double elapsedMs(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

Timings runOurs(const QString& path)
{
    Timings timings;
    const auto model = ZRCoreDataFactory::newManagedObjectModelForURL(ZRCoreDataFactory::currentModelPath());
    QElapsedTimer timer;
    {
        timer.start();
        auto coordinator = ZRCoreDataFactory::newPersistentStoreCoordinatorForURL(path, StoreType::SQLite, model);
        ObjectContext context(coordinator);
        for (int i = 0; i < ProductCount; ++i) {
            auto* product = context.insert<ProductEntity>(QStringLiteral("Product"));
            product->setTitle(titleFor(i));
            product->setSerialNumber(QStringLiteral("SERIAL-%1-ABCD-EFGH").arg(i));
            product->setPublisher(QStringLiteral("Publisher %1").arg(i % 97));
            product->setAppIcon(context.insert<IconEntity>(QStringLiteral("Icon")));
            for (int f = 0; f < 2; ++f) {
                auto* file = context.insert<AttachmentEntity>(QStringLiteral("AttachedFile"));
                file->setName(QStringLiteral("receipt-%1-%2.pdf").arg(i).arg(f));
                file->setDate(QDateTime::currentDateTimeUtc());
                file->setContent(context.insert<ZRAttachmentContent>(QStringLiteral("AttachmentContent")));
                product->addAttachedFile(file);
            }
        }
        const double inserted = elapsedMs(timer);
        if (!context.save()) {
            std::fprintf(stderr, "save failed\n");
        }
        timings.insertSave = elapsedMs(timer);
        std::printf("  (ours: building the objects %.1f ms, saving them %.1f ms)\n", inserted,
                    timings.insertSave - inserted);
    }
    timer.restart();
    auto coordinator = ZRCoreDataFactory::newPersistentStoreCoordinatorForURL(path, StoreType::SQLite, model);
    const double opened = elapsedMs(timer);
    ObjectContext context(coordinator);
    timer.restart();
    const auto sorted = context.execute(
        FetchRequest(QStringLiteral("Product"), Predicate(), {SortDescriptor(QStringLiteral("title"))}));
    timings.openFetchSorted = opened + elapsedMs(timer);
    timings.sortedCount = sorted ? sorted->size() : -1;
    std::printf("  (ours: opening the store %.1f ms, fetching sorted %.1f ms)\n", opened,
                timings.openFetchSorted - opened);
    timer.restart();
    const auto like = context.execute(
        FetchRequest(QStringLiteral("Product"), *Predicate::fromFormat(QStringLiteral("title LIKE[c] \"foo*\""))));
    timings.fetchLike = elapsedMs(timer);
    timings.likeCount = like ? like->size() : -1;
    return timings;
}

void exec(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, message);
        sqlite3_free(message);
    }
}

void bindText(sqlite3_stmt* statement, int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// What the persistence layer gives for each product row: every attribute but the notes (binary,
// loaded on first use), as usable values.
struct RawProduct
{
    qint64 id = 0;
    QString text[13];
    QDateTime purchaseDate;
    QString price;
    qint64 icon = 0;
};

constexpr const char* ProductColumns
    = "id, uuid, title, productVersion, serialNumber, registeredName, registeredEmail, "
      "registeredCompany, publisher, productWebsite, productEmail, purchaseCurrency, "
      "purchaseOrderNumber, bundleIdentifier, purchaseDate, purchasePrice, icon";

std::vector<RawProduct> readProducts(sqlite3_stmt* statement)
{
    std::vector<RawProduct> products;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const auto text = [statement](int column) {
            if (sqlite3_column_type(statement, column) == SQLITE_NULL) {
                return QString();
            }
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                                     sqlite3_column_bytes(statement, column));
        };
        RawProduct product;
        product.id = sqlite3_column_int64(statement, 0);
        for (int i = 0; i < 13; ++i) {
            product.text[i] = text(1 + i);
        }
        product.purchaseDate = QDateTime::fromMSecsSinceEpoch(sqlite3_column_int64(statement, 14), Qt::UTC);
        product.price = text(15);
        product.icon = sqlite3_column_int64(statement, 16);
        products.push_back(std::move(product));
    }
    return products;
}

Timings runRaw(const QString& path)
{
    Timings timings;
    QElapsedTimer timer;
    timer.start();
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    exec(db, "PRAGMA synchronous = FULL");
    exec(db,
         "CREATE TABLE product (id INTEGER PRIMARY KEY, uuid TEXT, title TEXT, productVersion TEXT, serialNumber TEXT, "
         "registeredName TEXT, registeredEmail TEXT, registeredCompany TEXT, publisher TEXT, productWebsite TEXT, "
         "productEmail TEXT, purchaseCurrency TEXT, purchaseOrderNumber TEXT, bundleIdentifier TEXT, "
         "purchaseDate INTEGER, purchasePrice TEXT, comments BLOB, icon INTEGER)");
    exec(db, "CREATE TABLE file (id INTEGER PRIMARY KEY, product INTEGER, name TEXT, date INTEGER, content INTEGER)");
    exec(db, "CREATE TABLE content (id INTEGER PRIMARY KEY, uuid TEXT, file INTEGER)");
    exec(db, "CREATE TABLE icon (id INTEGER PRIMARY KEY, uuid TEXT, product INTEGER)");
    exec(db, "CREATE INDEX file_product ON file (product)");
    exec(db, "BEGIN");
    sqlite3_stmt* product = nullptr;
    sqlite3_stmt* file = nullptr;
    sqlite3_stmt* content = nullptr;
    sqlite3_stmt* icon = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO product (id, uuid, title, serialNumber, publisher, purchaseCurrency, purchaseDate, icon) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
        -1, &product, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO file VALUES (?, ?, ?, ?, ?)", -1, &file, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO content VALUES (?, ?, ?)", -1, &content, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO icon VALUES (?, ?, ?)", -1, &icon, nullptr);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (int i = 0; i < ProductCount; ++i) {
        const qint64 id = i + 1;
        sqlite3_bind_int64(icon, 1, id);
        bindText(icon, 2, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
        sqlite3_bind_int64(icon, 3, id);
        sqlite3_step(icon);
        sqlite3_reset(icon);
        sqlite3_bind_int64(product, 1, id);
        bindText(product, 2, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
        bindText(product, 3, titleFor(i));
        bindText(product, 4, QStringLiteral("SERIAL-%1-ABCD-EFGH").arg(i));
        bindText(product, 5, QStringLiteral("Publisher %1").arg(i % 97));
        bindText(product, 6, QStringLiteral("$"));
        sqlite3_bind_int64(product, 7, now);
        sqlite3_bind_int64(product, 8, id);
        sqlite3_step(product);
        sqlite3_reset(product);
        for (int f = 0; f < 2; ++f) {
            const qint64 fileID = id * 2 + f;
            sqlite3_bind_int64(content, 1, fileID);
            bindText(content, 2, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
            sqlite3_bind_int64(content, 3, fileID);
            sqlite3_step(content);
            sqlite3_reset(content);
            sqlite3_bind_int64(file, 1, fileID);
            sqlite3_bind_int64(file, 2, id);
            bindText(file, 3, QStringLiteral("receipt-%1-%2.pdf").arg(i).arg(f));
            sqlite3_bind_int64(file, 4, now);
            sqlite3_bind_int64(file, 5, fileID);
            sqlite3_step(file);
            sqlite3_reset(file);
        }
    }
    for (sqlite3_stmt* statement : {product, file, content, icon}) {
        sqlite3_finalize(statement);
    }
    exec(db, "COMMIT");
    sqlite3_close(db);
    timings.insertSave = elapsedMs(timer);

    timer.restart();
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, (QByteArray("SELECT ") + ProductColumns + " FROM product ORDER BY title").constData(), -1,
                       &query, nullptr);
    timings.sortedCount = qsizetype(readProducts(query).size());
    sqlite3_finalize(query);
    timings.openFetchSorted = elapsedMs(timer);
    timer.restart();
    sqlite3_prepare_v2(db,
                       (QByteArray("SELECT ") + ProductColumns + " FROM product WHERE title LIKE 'foo%'").constData(),
                       -1, &query, nullptr);
    timings.likeCount = qsizetype(readProducts(query).size());
    sqlite3_finalize(query);
    timings.fetchLike = elapsedMs(timer);
    sqlite3_close(db);
    return timings;
}

void report(const char* what, double ours, double theirs)
{
    std::printf("%-44s ours %9.1f ms   raw SQLite %9.1f ms   ratio %5.2f\n", what, ours, theirs, ours / theirs);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const Timings ours = runOurs(folder.filePath(QStringLiteral("Keymoor.data")));
    const Timings raw = runRaw(folder.filePath(QStringLiteral("raw.data")));
    std::printf("%d products, 2 attached files with contents and 1 icon each\n", ProductCount);
    report("insert everything and save", ours.insertSave, raw.insertSave);
    report("open the store, fetch all sorted by title", ours.openFetchSorted, raw.openFetchSorted);
    report("fetch title LIKE[c] \"foo*\"", ours.fetchLike, raw.fetchLike);
    std::printf("rows: sorted %lld / %lld, like %lld / %lld\n", static_cast<long long>(ours.sortedCount),
                static_cast<long long>(raw.sortedCount), static_cast<long long>(ours.likeCount),
                static_cast<long long>(raw.likeCount));
    return ours.sortedCount == raw.sortedCount && ours.likeCount == raw.likeCount ? 0 : 1;
}
