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

// Checks how the options and the product go together; answers nothing after an error.
std::optional<ReportArguments> reportArguments(const CommandArguments& arguments, QTextStream& err)
{
    ReportArguments parsed;
    parsed.all = arguments.isSet(QStringLiteral("all"));
    parsed.pdf = arguments.value(QStringLiteral("pdf"));
    const bool perPage = arguments.isSet(QStringLiteral("one-per-page"));
    if (perPage && arguments.isSet(QStringLiteral("continuous"))) {
        err << "keymoor: --one-per-page and --continuous exclude each other" << Qt::endl;
        return std::nullopt;
    }
    if (perPage || arguments.isSet(QStringLiteral("continuous"))) {
        parsed.oneAppPerPage = perPage;
    }
    const QStringList& positional = arguments.positional();
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

int reportCommand(const CommandArguments& arguments, CliStreams& streams)
{
    const std::optional<ReportArguments> parsed = reportArguments(arguments, streams.err);
    if (!parsed) {
        return arguments.usageError(streams.err);
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

int syncCommand(const CommandArguments& parsed, CliStreams& streams)
{
    const QStringList& arguments = parsed.positional();
    if (arguments.size() > 1) {
        return parsed.usageError(streams.err);
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

CommandOptions reportOptions()
{
    return CommandOptions(
        QStringLiteral("report"),
        {CliOption::flag(QStringLiteral("all"), QStringLiteral("every product (the default)")),
         CliOption::requiredValue(QStringLiteral("pdf"), QStringLiteral("FILE"),
                                  QStringLiteral("the PDF file to write")),
         CliOption::flag(QStringLiteral("one-per-page"), QStringLiteral("start each product on a page of its own")),
         CliOption::flag(QStringLiteral("continuous"), QStringLiteral("print the products one after another"))},
        {{QStringLiteral("[TITLE|UUID]"),
          QStringLiteral("the product's UUID, or its title (ignoring case when no title matches exactly)")}});
}

} // namespace

void registerReportCommands(CommandLine& commandLine)
{
    CliCommand report = CliCommand::withOptions(
        QStringLiteral("print the products report into a PDF file"),
        QStringLiteral("Prints one product, or every product (the default, sorted by title), into a PDF file,\n"
                       "replacing the file if it exists. Each product starts a page of its own when the\n"
                       "preference \"Print All One App Per Page\" is on (the default); --one-per-page and\n"
                       "--continuous override it for this run."),
        reportOptions(), reportCommand);
    report.needsGuiApplication = true;
    commandLine.addCommand(report);
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("write the sync folder for the phone companion"),
        QStringLiteral("Writes Private/Keymoor/MobileSync/sync.plist (every product) and the product icons\n"
                       "(Icons/UUID.png) into FOLDER, or into the cloud-storage folder chosen in the\n"
                       "preferences (~/Dropbox when Dropbox is installed). A FOLDER that does not exist is\n"
                       "created when the folder it is in exists."),
        CommandOptions(QStringLiteral("sync"), {},
                       {{QStringLiteral("[FOLDER]"), QStringLiteral("the folder to write into")}}),
        syncCommand));
}
