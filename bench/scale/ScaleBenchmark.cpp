// Keymoor at scale, measured as whole processes in a temporary home: `keymoor list --json` against
// the sqlite3 shell printing the product table, for each library size; `keymoor show` of one
// product in the largest library; the peak memory of `list --json`; and inserting and saving
// 10,000 products through the persistence layer against raw SQLite inserts of the same rows (and
// once more with the address-card defaults new products take).
//
// Usage: scale_benchmark [SIZE...]     (default: 10000 100000)
//        scale_benchmark --insert-only  (only the insert-and-save comparison, for profiling)
#include "ChildRun.h"
#include "model/AttachmentEntity.h"
#include "model/IconEntity.h"
#include "model/ProductEntity.h"
#include "model/RegistrationAutofill.h"
#include "model/ZRAttachmentContent.h"
#include "model/ZRCoreDataFactory.h"
#include "model/ZRManagedObject.h"
#include "persistence/SqliteSchema.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace Persistence;

namespace {

constexpr int Runs = 9;
constexpr int InsertCount = 10000;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double elapsedMs(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

QString titleFor(int i)
{
    return QStringLiteral("Product %1").arg(i, 6, 10, QLatin1Char('0'));
}

// Every run works in a home of its own, so the person's library is never touched.
void useHome(const QString& root)
{
    const QString home = QDir(root).filePath(QStringLiteral("home"));
    QDir().mkpath(home);
    qputenv("HOME", QFile::encodeName(home));
    for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME"}) {
        const QString folder = QDir(home).filePath(QString::fromLatin1(name).toLower());
        QDir().mkpath(folder);
        qputenv(name, QFile::encodeName(folder));
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString findStore(const QString& root)
{
    QDirIterator it(root, {QStringLiteral("Keymoor.data")}, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

// A library of `count` products imported from delimited text, then given through the model layer
// two attached files on every other product and an icon record on every third. Answers the UUID
// of the product in the middle, or nothing on failure.
QString buildLibrary(const QString& root, int count, const QString& keymoor)
{
    const QString csv = QDir(root).filePath(QStringLiteral("products.csv"));
    {
        QFile file(csv);
        if (!file.open(QIODevice::WriteOnly)) {
            return {};
        }
        file.write("title,version,serial,price,notes\n");
        for (int i = 0; i < count; ++i) {
            file.write(QStringLiteral("%1,%2.%3,KEY-%4-ABCD-EFGH,%5.95,\"Notes of product %4\"\n")
                           .arg(titleFor(i))
                           .arg(i % 7)
                           .arg(i % 10)
                           .arg(i)
                           .arg(i % 100)
                           .toUtf8());
        }
    }
    const ChildRun import
        = ChildRun::run(keymoor,
                        {QStringLiteral("import"), QStringLiteral("csv"), csv, QStringLiteral("--header"),
                         QStringLiteral("--quote"), QStringLiteral("double"), QStringLiteral("--map"),
                         QStringLiteral("title,productVersion,serialNumber,purchasePrice,commentsString")});
    const QString store = findStore(root);
    if (!import.ok || store.isEmpty()) {
        std::fprintf(stderr, "importing %d products failed\n", count);
        return {};
    }
    const auto model = ZRCoreDataFactory::newManagedObjectModelForURL(ZRCoreDataFactory::currentModelPath());
    auto coordinator = ZRCoreDataFactory::newPersistentStoreCoordinatorForURL(store, StoreType::SQLite, model);
    ObjectContext context(coordinator);
    const auto products = context.execute(
        FetchRequest(QStringLiteral("Product"), Predicate(), {SortDescriptor(QStringLiteral("title"))}));
    if (!products || products->isEmpty()) {
        return {};
    }
    for (qsizetype i = 0; i < products->size(); ++i) {
        auto* product = static_cast<ProductEntity*>(products->at(i));
        for (int f = 0; i % 2 == 0 && f < 2; ++f) {
            auto* file = context.insert<AttachmentEntity>(QStringLiteral("AttachedFile"));
            file->setName(QStringLiteral("receipt-%1-%2.pdf").arg(i).arg(f));
            file->setDate(QDateTime::currentDateTimeUtc());
            file->setContent(context.insert<ZRAttachmentContent>(QStringLiteral("AttachmentContent")));
            product->addAttachedFile(file);
        }
        if (i % 3 == 0 && !product->appIcon()) {
            product->setAppIcon(context.insert<IconEntity>(QStringLiteral("Icon")));
        }
    }
    if (!context.save()) {
        return {};
    }
    std::printf("  (built in a temporary home: import %.0f ms)\n", import.milliseconds);
    return static_cast<ProductEntity*>(products->at(products->size() / 2))->uuid();
}

// Builds the library in a child process and answers what buildLibrary does. The peak memory a
// child reports counts what its parent held when it forked, so the benchmark itself stays small:
// the products loaded for adding files and icons go with the child.
QString buildLibraryInChild(const QString& root, int count, const QString& keymoor)
{
    const QString answer = QDir(root).filePath(QStringLiteral("middle.txt"));
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const QString middle = buildLibrary(root, count, keymoor);
        QFile file(answer);
        const bool written = file.open(QIODevice::WriteOnly) && file.write(middle.toUtf8()) == middle.toUtf8().size();
        file.close();
        std::fflush(stdout);
        ::_exit(written && !middle.isEmpty() ? 0 : 1);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return {};
    }
    QFile file(answer);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void report(const char* what, double ours, double theirs)
{
    std::printf("  %-36s keymoor %9.1f ms   sqlite3 %9.1f ms   ratio %5.2f\n", what, ours, theirs, ours / theirs);
}

bool measureSize(int count, bool largest, const QString& keymoor, const QString& sqlite)
{
    QTemporaryDir root;
    if (qEnvironmentVariableIsSet("KEYMOOR_BENCH_KEEP")) {
        root.setAutoRemove(false); // for profiling the commands on the same library afterwards
        std::printf("  (the library stays in %s)\n", qPrintable(root.path()));
    }
    useHome(root.path());
    std::printf("%d products (2 attached files on every other one, an icon on every third)\n", count);
    const QString middle = buildLibraryInChild(root.path(), count, keymoor);
    const QString store = findStore(root.path());
    if (middle.isEmpty()) {
        return false;
    }
    const ChildRun list = ChildRun::median(keymoor, {QStringLiteral("list"), QStringLiteral("--json")}, Runs);
    const ChildRun shell = ChildRun::median(
        sqlite,
        {QStringLiteral("-readonly"), QStringLiteral("-json"), store, QStringLiteral("select * from t_Product")}, Runs);
    report("list --json / select * as JSON", list.milliseconds, shell.milliseconds);
    std::printf("  %-36s keymoor %9.1f MB\n", "peak memory of list --json", double(list.maxResidentKiB) / 1024.0);
    bool ok = list.ok && shell.ok;
    if (largest) {
        const ChildRun show = ChildRun::median(keymoor, {QStringLiteral("show"), middle}, Runs);
        const ChildRun showJson
            = ChildRun::median(keymoor, {QStringLiteral("show"), QStringLiteral("--json"), middle}, Runs);
        const ChildRun oneRow
            = ChildRun::median(sqlite,
                               {QStringLiteral("-readonly"), QStringLiteral("-json"), store,
                                QStringLiteral("select * from t_Product where a_uuid = '%1'").arg(middle)},
                               Runs);
        report("show UUID / select one row", show.milliseconds, oneRow.milliseconds);
        report("show --json UUID / select one row", showJson.milliseconds, oneRow.milliseconds);
        ok = ok && show.ok && showJson.ok;
    }
    return ok;
}

double insertThroughLayer(const QString& path)
{
    const auto model = ZRCoreDataFactory::newManagedObjectModelForURL(ZRCoreDataFactory::currentModelPath());
    QElapsedTimer timer;
    timer.start();
    auto coordinator = ZRCoreDataFactory::newPersistentStoreCoordinatorForURL(path, StoreType::SQLite, model);
    ObjectContext context(coordinator);
    for (int i = 0; i < InsertCount; ++i) {
        auto* product = context.insert<ProductEntity>(QStringLiteral("Product"));
        product->setTitle(titleFor(i));
        product->setProductVersion(QStringLiteral("%1.%2").arg(i % 7).arg(i % 10));
        product->setSerialNumber(QStringLiteral("KEY-%1-ABCD-EFGH").arg(i));
        product->setPublisher(QStringLiteral("Publisher %1").arg(i % 97));
    }
    return context.save() ? elapsedMs(timer) : -1;
}

void bindText(sqlite3_stmt* statement, int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// The product table exactly as the store creates it, from the same model.
QByteArray productTableStatement()
{
    const auto model = ZRCoreDataFactory::newManagedObjectModelForURL(ZRCoreDataFactory::currentModelPath());
    for (const QString& statement : SqliteSchema(*model).createStatements()) {
        if (statement.startsWith(QLatin1String("CREATE TABLE \"t_Product\" ("))) {
            return statement.toUtf8();
        }
    }
    return {};
}

// The same rows into a table of the same shape, in one transaction, with the same durability.
double insertRaw(const QString& path)
{
    static const QByteArray createTable = productTableStatement();
    if (createTable.isEmpty()) {
        std::fprintf(stderr, "the model has no product table\n");
        return -1;
    }
    QElapsedTimer timer;
    timer.start();
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, createTable.constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO t_Product (pk, ent, a_uuid, a_title, a_productVersion, a_serialNumber, "
                       "a_publisher, a_purchaseDate, a_purchaseCurrency) VALUES (?, 'Product', ?, ?, ?, ?, ?, ?, '$')",
                       -1, &insert, nullptr);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (int i = 0; i < InsertCount; ++i) {
        sqlite3_bind_int64(insert, 1, i + 1);
        bindText(insert, 2, ZRManagedObject::newUUIDString()); // the values new products get
        bindText(insert, 3, titleFor(i));
        bindText(insert, 4, QStringLiteral("%1.%2").arg(i % 7).arg(i % 10));
        bindText(insert, 5, QStringLiteral("KEY-%1-ABCD-EFGH").arg(i));
        bindText(insert, 6, QStringLiteral("Publisher %1").arg(i % 97));
        sqlite3_bind_int64(insert, 7, now);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    const bool ok = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok ? elapsedMs(timer) : -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    bool insertOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--insert-only") == 0) {
            insertOnly = true;
        } else {
            sizes.append(QString::fromLocal8Bit(argv[i]).toInt());
        }
    }
    if (sizes.isEmpty() && !insertOnly) {
        sizes = {10000, 100000};
    }
    const QString keymoor = QStringLiteral(KEYMOOR_EXECUTABLE);
    const QString sqlite = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite.isEmpty()) {
        std::fprintf(stderr, "the sqlite3 shell is missing (scripts/setup installs it)\n");
        return 1;
    }
    bool ok = true;
    for (const int size : std::as_const(sizes)) {
        ok = measureSize(size, size == sizes.last(), keymoor, sqlite) && ok;
    }

    QTemporaryDir folder;
    // New products take the registered name and e-mail from the person's address card unless the
    // setting says no; the raw rows carry no such values, so the like-for-like run turns it off.
    UserDefaults defaults(folder.filePath(QStringLiteral("benchmark.conf")));
    std::vector<double> withCard;
    std::vector<double> ours;
    std::vector<double> raw;
    for (int run = 0; run < Runs; ++run) {
        RegistrationAutofill::setUserDefaults(&defaults);
        defaults.registerDefaults({{PreferenceKeys::DefaultUserInfoToAddressBook, true}});
        withCard.push_back(insertThroughLayer(folder.filePath(QStringLiteral("card%1.data").arg(run))));
        defaults.registerDefaults({{PreferenceKeys::DefaultUserInfoToAddressBook, false}});
        ours.push_back(insertThroughLayer(folder.filePath(QStringLiteral("layer%1.data").arg(run))));
        RegistrationAutofill::forgetUserDefaults(&defaults);
        raw.push_back(insertRaw(folder.filePath(QStringLiteral("raw%1.data").arg(run))));
    }
    // The machine's speed drifts over seconds, so each round's layer run is compared with the raw
    // run right after it, and the ratio given is the median of those paired ratios.
    std::vector<double> ratios;
    std::vector<double> cardRatios;
    for (int run = 0; run < Runs; ++run) {
        ratios.push_back(ours[run] / raw[run]);
        cardRatios.push_back(withCard[run] / raw[run]);
    }
    std::printf("%d products inserted and saved (median of %d rounds)\n", InsertCount, Runs);
    std::printf("  %-36s layer   %9.1f ms   raw     %9.1f ms   ratio %5.2f\n", "insert and save (the same rows)",
                median(ours), median(raw), median(ratios));
    std::printf("  %-36s layer   %9.1f ms   raw     %9.1f ms   ratio %5.2f\n", "  with address-card defaults",
                median(withCard), median(raw), median(cardRatios));
    const auto failed = [](const std::vector<double>& times) {
        return std::any_of(times.cbegin(), times.cend(), [](double ms) { return ms < 0; });
    };
    return ok && !failed(ours) && !failed(withCard) && !failed(raw) ? 0 : 1;
}
