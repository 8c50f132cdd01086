#include "ImportCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "ForeignImportCommand.h"
#include "ImportCsvCommand.h"
#include "import/ForeignImportService.h"
#include "import/KMImportProductsOperation.h"
#include "maintenance/ZRDataMigrator.h"

#include <QFileInfo>
#include <QTextStream>

#include <functional>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;
using Counter = MigrationProgress::Counter;

CommandOptions importFilesOptions()
{
    return CommandOptions(
        QStringLiteral("import"),
        {CliOption::flag(QStringLiteral("dry-run"),
                         QStringLiteral("show what a password manager export would add and update, writing nothing")),
         CliOption::flag(QStringLiteral("json"), QStringLiteral("print what a password manager export adds as JSON"))},
        {{QStringLiteral("FILE..."),
          QStringLiteral("product files, password manager exports and installed software")}});
}

CommandOptions importSerialKeeperOptions()
{
    return CommandOptions(QStringLiteral("import serial-keeper"), {},
                          {{QStringLiteral("FILE"), QStringLiteral("The Serial Keeper's XML export")}});
}

CommandOptions importYojimboOptions()
{
    return CommandOptions(QStringLiteral("import yojimbo"),
                          {CliOption::flag(QStringLiteral("update"),
                                           QStringLiteral("update products of the same "
                                                          "title"))});
}

CommandOptions importLibraryOptions()
{
    return CommandOptions(
        QStringLiteral("import library"),
        {CliOption::flag(QStringLiteral("replace"), QStringLiteral("remove every product first")),
         CliOption::flag(QStringLiteral("merge"), QStringLiteral("add the products of the export (the default)"))},
        {{QStringLiteral("PATH"), QStringLiteral("an export folder, its Keymoor.xml, or an older XML library")}});
}

QList<CommandOptions> importForms()
{
    return {importFilesOptions(), importCsvOptions(), importSerialKeeperOptions(), importYojimboOptions(),
            importLibraryOptions()};
}

int importLibrary(const QStringList& words, CliStreams& streams)
{
    const std::optional<CommandArguments> arguments = importLibraryOptions().parse(words, streams.err);
    if (!arguments) {
        return 2;
    }
    const bool replace = arguments->isSet(QStringLiteral("replace"));
    if (replace && arguments->isSet(QStringLiteral("merge"))) {
        streams.err << "keymoor: --replace and --merge exclude each other" << Qt::endl;
        return 2;
    }
    const QStringList& positional = arguments->positional();
    if (positional.size() != 1) {
        return arguments->usageError(streams.err);
    }
    const QFileInfo path(positional.first());
    if (!path.exists()) {
        streams.err << "keymoor: " << positional.first() << ": no such file or folder" << Qt::endl;
        return 1;
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open()) {
        return 1;
    }
    ZRDataMigrator* migrator = session.delegate().dataMigrator();
    const auto result = migrator->importFromXML(path.absoluteFilePath(), replace);
    switch (result) {
    case ZRDataMigrator::ImportResult::Imported:
        streams.out << "Imported " << migrator->counter(Counter::Products) << " product(s) and "
                    << migrator->counter(Counter::Attachments) << " attached file(s)"
                    << (replace ? " in place of the catalogue." : " into the catalogue.") << Qt::endl;
        if (const int failed = migrator->counter(Counter::FailedAttachments)) {
            streams.err << "keymoor: " << failed << " attached file(s) could not be imported." << Qt::endl;
        }
        session.finish();
        return 0;
    case ZRDataMigrator::ImportResult::Refused:
        streams.err << "keymoor: nothing was imported; the catalogue is unchanged." << Qt::endl;
        return 1;
    case ZRDataMigrator::ImportResult::Restored:
        streams.err << "keymoor: the import failed; the library was restored from the backup made before it."
                    << Qt::endl;
        session.finish();
        return 1;
    case ZRDataMigrator::ImportResult::RestoreFailed:
        break;
    }
    streams.err << "keymoor: the import failed and so did the restore. Your library is saved in the Backup folder: "
                << ZRDataMigrator::backupFolderPath() << Qt::endl;
    return 3;
}

// Runs imports the controller starts on threads of their own and reports what they did together.
int runFileImports(CliStreams& streams, const std::function<bool(KeymoorAppDelegate&)>& start)
{
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open() || !session.save()) {
        return 1;
    }
    KeymoorAppDelegate& delegate = session.delegate();
    delegate.takeImportCounts();
    const bool started = start(delegate);
    delegate.waitForFileImports();
    const ImportCounts counts = delegate.takeImportCounts();
    printImportCounts(streams.out, counts);
    session.finish();
    return started && counts.failed == 0 ? 0 : 1;
}

int importSerialKeeper(const QStringList& words, CliStreams& streams)
{
    const std::optional<CommandArguments> arguments = importSerialKeeperOptions().parse(words, streams.err);
    if (!arguments) {
        return 2;
    }
    if (arguments->positional().size() != 1) {
        return arguments->usageError(streams.err);
    }
    const QString path = arguments->positional().first();
    const QFileInfo file(path);
    if (!file.isFile()) {
        streams.err << "keymoor: " << path << ": no such file" << Qt::endl;
        return 1;
    }
    return runFileImports(streams, [&file](KeymoorAppDelegate& delegate) {
        delegate.actionImportSerialKeeperXML(file.absoluteFilePath());
        return true;
    });
}

int importYojimbo(const QStringList& words, CliStreams& streams)
{
    const std::optional<CommandArguments> arguments = importYojimboOptions().parse(words, streams.err);
    if (!arguments) {
        return 2;
    }
    if (!arguments->positional().isEmpty()) {
        return arguments->usageError(streams.err);
    }
    const bool update = arguments->isSet(QStringLiteral("update"));
    return runFileImports(
        streams, [update](KeymoorAppDelegate& delegate) { return delegate.actionImportYojimboSerialNumbers(update); });
}

// Files as the window takes them when they are opened with it: Keymoor product files, MacHeist 3
// files, then applications, other software bundles and Yojimbo exports.
int importFiles(const QStringList& words, CliStreams& streams)
{
    const std::optional<CommandArguments> arguments = importFilesOptions().parse(words, streams.err);
    if (!arguments) {
        return 2;
    }
    QStringList paths;
    QStringList foreignPaths;
    for (const QString& argument : arguments->positional()) {
        const QFileInfo file(argument);
        if (!file.exists()) {
            streams.err << "keymoor: " << argument << ": no such file or folder" << Qt::endl;
            return 1;
        }
        if (ForeignImportService::isForeignExport(file.absoluteFilePath())) {
            foreignPaths.append(file.absoluteFilePath());
            continue;
        }
        const QString suffix = file.suffix().toLower();
        if (suffix != u"keymoor" && suffix != u"appshelf"
            && !KMImportProductsOperation::isApp(file.absoluteFilePath())) {
            streams.err << "keymoor: skipping " << argument
                        << ": not a Keymoor or MacHeist 3 file, an application, a software bundle or a Yojimbo export"
                        << Qt::endl;
            continue;
        }
        paths.append(file.absoluteFilePath());
    }
    const bool dryRun = arguments->isSet(QStringLiteral("dry-run"));
    const bool json = arguments->isSet(QStringLiteral("json"));
    if ((dryRun || json) && !paths.isEmpty()) {
        streams.err << "keymoor: --dry-run and --json take password manager exports only" << Qt::endl;
        return 2;
    }
    if (!foreignPaths.isEmpty()) {
        const int status = importForeignFiles(foreignPaths, dryRun, json, streams);
        if (status != 0 || paths.isEmpty()) {
            return status;
        }
    }
    if (paths.isEmpty()) {
        streams.err << "keymoor: nothing to import" << Qt::endl;
        return 1;
    }
    return runFileImports(streams, [&paths](KeymoorAppDelegate& delegate) {
        delegate.openFiles(paths);
        delegate.waitForProductImports();
        return true;
    });
}

int importCommand(const QStringList& arguments, CliStreams& streams)
{
    const QString kind = arguments.value(0);
    if (kind == u"library") {
        return importLibrary(arguments.mid(1), streams);
    }
    if (kind == u"csv") {
        return importCsv(arguments.mid(1), streams);
    }
    if (kind == u"serial-keeper") {
        return importSerialKeeper(arguments.mid(1), streams);
    }
    if (kind == u"yojimbo") {
        return importYojimbo(arguments.mid(1), streams);
    }
    const bool filesOption = kind == u"--dry-run" || kind == u"--json";
    if (!kind.isEmpty() && (!kind.startsWith(QLatin1String("--")) || filesOption)) {
        return importFiles(arguments, streams);
    }
    streams.err << CommandOptions::usage(importForms()) << Qt::endl;
    return 2;
}

} // namespace

void registerImportCommands(CommandLine& commandLine)
{
    commandLine.addCommand(
        {QStringLiteral("import"),
         QStringLiteral("import products from an export folder, delimited text or other files"),
         QStringLiteral("FILE...: Keymoor product files (.keymoor) and MacHeist 3 files (.appshelf), whose entries\n"
                        "become products (a MacHeist 3 entry updates the product of the same title), and installed\n"
                        "software (applications, preference panes, plug-ins, widgets, programs) or Yojimbo serial\n"
                        "number exports, each of which becomes a new product, as when they are dropped on the window.\n"
                        "Exports of password managers (KeePass 2 and KeePassXC XML, KeePassXC CSV, unencrypted\n"
                        "Bitwarden JSON, Enpass JSON) are recognised by their content; their licences are added,\n"
                        "a licence whose title and serial number the catalogue has is left alone, and entries that\n"
                        "are no licence are skipped. --dry-run shows what would be added and updated without\n"
                        "writing; --json prints it as JSON.\n\n"
                        "csv: FILE is UTF-8 text; each row becomes a product. --map names the field of each column,\n"
                        "in order: title, productVersion, serialNumber, registeredName, registeredEmail,\n"
                        "registeredCompany, publisher, productWebsite, productEmail, purchaseDate,\n"
                        "purchaseCurrency, purchasePrice, purchaseOrderNumber, commentsString, or - for a column\n"
                        "that is not imported. One column must be the title. Delimiters are named comma, tab,\n"
                        "semicolon, colon or return (defaults: comma between fields, return between rows);\n"
                        "--quote double|single lets quoted fields hold delimiters and line breaks. --header skips\n"
                        "the first row. --update updates the first product whose title matches a row's title\n"
                        "(ignoring case; * and ? in a title are wildcards) instead of adding one. Empty fields\n"
                        "never clear a stored value. Rows without a title are skipped.\n\n"
                        "serial-keeper: The Serial Keeper's XML export; every serial-number row becomes a product.\n"
                        "yojimbo: the records the YojimboHelper helper hands over (see the README); --update\n"
                        "updates products of the same title.\n\n"
                        "library: PATH is an export folder, its Keymoor.xml, or an XML library of an older version.\n"
                        "--merge (the default) adds every product of the export, its files under new names;\n"
                        "--replace removes every product first. The library is backed up before anything\n"
                        "changes, and restored from that backup when the import fails.\n\n"
                        "Every import but library prints how many products it added and updated.\n"
                        "Example: keymoor import csv apps.csv --map title,serialNumber,-,purchasePrice --header"),
         importForms(), importCommand});
}
