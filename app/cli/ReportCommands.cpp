#include "ReportCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"
#include "report/ZRProductsReport.h"
#include "sync/KMSyncOperation.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;

struct ReportArguments
{
    QString product; // empty: every product
    bool all = false;
    QString pdf;
    std::optional<bool> oneAppPerPage;
};

std::optional<ReportArguments> parseReportArguments(const QStringList& arguments, QTextStream& err)
{
    ReportArguments parsed;
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--all") {
            parsed.all = true;
        } else if (argument == u"--pdf") {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty()) {
                err << "keymoor: --pdf needs a file name" << Qt::endl;
                return std::nullopt;
            }
            parsed.pdf = arguments.at(++i);
        } else if (argument == u"--one-per-page" || argument == u"--continuous") {
            const bool perPage = argument == u"--one-per-page";
            if (parsed.oneAppPerPage && *parsed.oneAppPerPage != perPage) {
                err << "keymoor: --one-per-page and --continuous exclude each other" << Qt::endl;
                return std::nullopt;
            }
            parsed.oneAppPerPage = perPage;
        } else if (argument.startsWith(QLatin1String("--"))) {
            err << "keymoor: unknown option " << argument << Qt::endl;
            return std::nullopt;
        } else {
            positional.append(argument);
        }
    }
    if (positional.size() > 1 || (parsed.all && !positional.isEmpty())) {
        err << "keymoor: name one product, or --all" << Qt::endl;
        return std::nullopt;
    }
    if (parsed.pdf.isEmpty()) {
        err << "keymoor: the report is written as a PDF file: give --pdf FILE" << Qt::endl;
        return std::nullopt;
    }
    parsed.product = positional.value(0);
    return parsed;
}

int reportCommand(const QStringList& arguments, CliStreams& streams)
{
    const std::optional<ReportArguments> parsed = parseReportArguments(arguments, streams.err);
    if (!parsed) {
        streams.err << "Usage: keymoor report [TITLE|UUID|--all] --pdf FILE [--one-per-page|--continuous]" << Qt::endl;
        return 2;
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        streams.err << "keymoor: printing needs the graphics libraries, which could not be started." << Qt::endl;
        return 1;
    }
    const QFileInfo target(parsed->pdf);
    if (target.isDir() || !target.absoluteDir().exists()) {
        streams.err << "keymoor: " << parsed->pdf << ": not a file in an existing folder" << Qt::endl;
        return 1;
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    std::optional<Persistence::ObjectID> productID;
    if (!parsed->product.isEmpty()) {
        const ProductEntity* product = session.findProduct(parsed->product);
        if (!product) {
            return 1;
        }
        productID = product->objectID();
    }
    KeymoorAppDelegate& delegate = session.delegate();
    const std::shared_ptr<ZRProductsReport> report = delegate.newProductsReport();
    if (!report) {
        streams.err << "keymoor: there is no library to report on yet." << Qt::endl;
        return 1;
    }
    const bool oneAppPerPage = parsed->oneAppPerPage.value_or(delegate.userPrefs().printAllOneAppPerPage());
    QString error;
    if (!report->printToPdf(productID, oneAppPerPage, target.absoluteFilePath(), &error)) {
        streams.err << "keymoor: the report could not be written: " << error << Qt::endl;
        return 1;
    }
    streams.out << "Wrote the report to " << target.absoluteFilePath() << Qt::endl;
    return 0;
}

// The folder named on the command line; created when only its last component is missing.
std::optional<QString> commandLineSyncFolder(const QString& folder, QTextStream& err)
{
    const QFileInfo info(folder);
    if (info.isDir()) {
        return info.absoluteFilePath();
    }
    if (info.exists()) {
        err << "keymoor: " << folder << ": not a folder" << Qt::endl;
        return std::nullopt;
    }
    if (!info.absoluteDir().exists() || !QDir().mkdir(info.absoluteFilePath())) {
        err << "keymoor: " << folder << ": the folder could not be created" << Qt::endl;
        return std::nullopt;
    }
    return info.absoluteFilePath();
}

int syncCommand(const QStringList& arguments, CliStreams& streams)
{
    if (arguments.size() > 1 || (arguments.size() == 1 && arguments.first().startsWith(QLatin1String("--")))) {
        streams.err << "Usage: keymoor sync [FOLDER]" << Qt::endl;
        return 2;
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    KeymoorAppDelegate& delegate = session.delegate();
    QString folder;
    if (arguments.isEmpty()) {
        folder = delegate.userPrefs().expandedPath(PreferenceKeys::SyncDropFolderLocation);
        if (folder.isEmpty()) {
            streams.err << "keymoor: no sync folder is chosen: name one (keymoor sync FOLDER) or install Dropbox."
                        << Qt::endl;
            return 1;
        }
    } else {
        const std::optional<QString> named = commandLineSyncFolder(arguments.first(), streams.err);
        if (!named) {
            return 1;
        }
        folder = *named;
    }
    Persistence::ObjectContext* context = delegate.managedObjectContext();
    if (!context) {
        streams.err << "keymoor: there is no library to sync yet." << Qt::endl;
        return 1;
    }
    KMSyncOperation operation(folder, context->coordinator());
    if (!operation.exportSync()) {
        streams.err << "keymoor: Sync Failed: the sync folder could not be written in " << folder
                    << "; see the log for why." << Qt::endl;
        return 1;
    }
    streams.out << "Wrote " << QDir(operation.mobileSyncFolder()).filePath(QStringLiteral("sync.plist")) << Qt::endl;
    return 0;
}

} // namespace

void registerReportCommands(CommandLine& commandLine)
{
    CliCommand report {
        QStringLiteral("report"), QStringLiteral("print the products report into a PDF file"),
        QStringLiteral("Usage: keymoor report [TITLE|UUID|--all] --pdf FILE [--one-per-page|--continuous]\n\n"
                       "Prints one product, or every product (the default, sorted by title), into a PDF file,\n"
                       "replacing the file if it exists. Each product starts a page of its own when the\n"
                       "preference \"Print All One App Per Page\" is on (the default); --one-per-page and\n"
                       "--continuous override it for this run."),
        reportCommand};
    report.needsGuiApplication = true;
    commandLine.addCommand(report);
    commandLine.addCommand(
        {QStringLiteral("sync"), QStringLiteral("write the sync folder for the phone companion"),
         QStringLiteral("Usage: keymoor sync [FOLDER]\n\n"
                        "Writes Private/Keymoor/MobileSync/sync.plist (every product) and the product icons\n"
                        "(Icons/UUID.png) into FOLDER, or into the cloud-storage folder chosen in the\n"
                        "preferences (~/Dropbox when Dropbox is installed). A FOLDER that does not exist is\n"
                        "created when the folder it is in exists."),
         syncCommand});
}
