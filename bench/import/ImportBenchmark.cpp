// The delimited text import of a large file: 10,000 rows (by default) into a fresh library with
// updating off, then the same file again with updating on (every row matches a product), and a
// third run with updating on where every row is new. Reports rows per second for each.
//
//   import_benchmark [rows]

#include "../support/UserFolders.h"
#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "prefs/UserDefaults.h"
#include "support/ScriptedUserInterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

// No application folders to search: the import's own work is measured, not a disk scan.
void useEmptyHome(const QString& root)
{
    qputenv("HOME", QFile::encodeName(root));
}

QString writeCsv(const QString& path, int rows, const QString& prefix)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QString();
    }
    QByteArray text = "Title,Version,Serial,Email,Price,Notes\n";
    for (int i = 0; i < rows; ++i) {
        text += QStringLiteral("%1 Product %2,%3.0,SER-%2-%4,owner%2@example.com,%5.95,\"Bought, kept\"\n")
                    .arg(prefix)
                    .arg(i)
                    .arg(i % 9 + 1)
                    .arg(i * 7919 % 100000)
                    .arg(i % 90 + 9)
                    .toUtf8();
    }
    file.write(text);
    return path;
}

bool timedImport(KeymoorAppDelegate& delegate, const QString& path, bool update, int rows, const char* label)
{
    DelimitedTextOptions options;
    options.quote = QStringLiteral("\"");
    options.hasHeaderRow = true;
    const QStringList mapping {QStringLiteral("title"),         QStringLiteral("productVersion"),
                               QStringLiteral("serialNumber"),  QStringLiteral("registeredEmail"),
                               QStringLiteral("purchasePrice"), QStringLiteral("commentsString")};
    QElapsedTimer timer;
    timer.start();
    const auto counts = delegate.importTextFile(path, options, mapping, update);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (!counts) {
        std::printf("%s: import failed\n", label);
        return false;
    }
    std::printf("%-34s %6d added %6d updated  %9.1f ms  %9.0f rows/s\n", label, counts->added, counts->updated, ms,
                rows / (ms / 1000.0));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    QTemporaryDir root(QDir::currentPath() + QStringLiteral("/import-bench-XXXXXX"));
    useFreshUserFolders(root.path());
    useEmptyHome(root.path());
    Log::setEchoToStandardError(false);

    ScriptedUserInterface ui;
    UserDefaults defaults(root.filePath(QStringLiteral("Keymoor.conf")));
    auto delegate = std::make_unique<KeymoorAppDelegate>(&ui, KeymoorAppDelegate::OpenMode::ReadWrite, &defaults);
    delegate->initializeDefaultData();
    const QString first = writeCsv(root.filePath(QStringLiteral("first.csv")), rows, QStringLiteral("Alpha"));
    const QString second = writeCsv(root.filePath(QStringLiteral("second.csv")), rows, QStringLiteral("Beta"));
    std::printf("%d rows of 6 fields\n", rows);
    const bool ok = timedImport(*delegate, first, false, rows, "updating off, empty library")
        && timedImport(*delegate, first, true, rows, "updating on, every row matches")
        && timedImport(*delegate, second, true, rows, "updating on, every row new");
    return ok ? 0 : 1;
}
