#include "ImportCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "import/KMImportProductsOperation.h"
#include "maintenance/ZRDataMigrator.h"
#include "model/ExportField.h"
#include "model/ProductEntity.h"

#include <QFileInfo>
#include <QTextStream>

#include <functional>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;
using Counter = MigrationProgress::Counter;

const char* const CsvUsage
    = "Usage: keymoor import csv FILE --map KEY,KEY,... [--field-delimiter comma|tab|semicolon|colon|return]\n"
      "                          [--record-delimiter comma|tab|semicolon|colon|return] [--quote double|single]\n"
      "                          [--header] [--update]";

void printCounts(QTextStream& out, const ImportCounts& counts)
{
    out << "Added " << counts.added << " product(s), updated " << counts.updated << " product(s)." << Qt::endl;
}

// The key path of each column: a product field, or "-" (also "skip" or "Don't Import") for a column
// that is not imported.
std::optional<QStringList> parseMapping(const QString& text, QTextStream& err)
{
    QStringList known;
    for (const auto& entry : exportableKeyPathLabelKeys()) {
        known.append(entry.first);
    }
    QStringList mapping;
    for (const QString& part : text.split(u',')) {
        const QString key = part.trimmed();
        if (key == u"-" || key.compare(QLatin1String("skip"), Qt::CaseInsensitive) == 0
            || key == ProductEntity::DontImportKey) {
            mapping.append(ProductEntity::DontImportKey);
        } else if (known.contains(key)) {
            mapping.append(key);
        } else {
            err << "keymoor: unknown field \"" << key << "\" in --map; the fields are - (not imported), "
                << known.join(QStringLiteral(", ")) << Qt::endl;
            return std::nullopt;
        }
    }
    if (!mapping.contains(QStringLiteral("title"))) {
        err << "keymoor: --map must name the title column" << Qt::endl;
        return std::nullopt;
    }
    return mapping;
}

struct CsvArguments
{
    QString file;
    QStringList mapping;
    DelimitedTextOptions options;
    bool update = false;
};

std::optional<CsvArguments> parseCsvArguments(const QStringList& arguments, QTextStream& err)
{
    CsvArguments parsed;
    bool mapped = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--header") {
            parsed.options.hasHeaderRow = true;
        } else if (argument == u"--update") {
            parsed.update = true;
        } else if (argument == u"--map" || argument == u"--field-delimiter" || argument == u"--record-delimiter"
                   || argument == u"--quote") {
            if (i + 1 >= arguments.size()) {
                err << "keymoor: " << argument << " needs a value" << Qt::endl;
                return std::nullopt;
            }
            const QString value = arguments.at(++i);
            if (argument == u"--map") {
                const auto mapping = parseMapping(value, err);
                if (!mapping) {
                    return std::nullopt;
                }
                parsed.mapping = *mapping;
                mapped = true;
            } else if (argument == u"--quote") {
                parsed.options.quote = DelimitedTextOptions::quotesForKey(value + QStringLiteral(" Quote"));
                if (parsed.options.quote.isEmpty() && value.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0) {
                    err << "keymoor: --quote takes double, single or none" << Qt::endl;
                    return std::nullopt;
                }
            } else {
                const QString delimiter = DelimitedTextOptions::delimiterForKey(value);
                if (delimiter.isEmpty()) {
                    err << "keymoor: " << argument << " takes comma, tab, semicolon, colon or return" << Qt::endl;
                    return std::nullopt;
                }
                (argument == u"--field-delimiter" ? parsed.options.fieldDelimiter : parsed.options.recordDelimiter)
                    = delimiter;
            }
        } else if (argument.startsWith(QLatin1String("--")) || !parsed.file.isEmpty()) {
            err << "keymoor: unexpected argument " << argument << Qt::endl;
            return std::nullopt;
        } else {
            parsed.file = argument;
        }
    }
    if (parsed.file.isEmpty() || !mapped) {
        err << "keymoor: import csv needs a FILE and --map" << Qt::endl;
        return std::nullopt;
    }
    return parsed;
}

int importCsv(const QStringList& arguments, CliStreams& streams)
{
    const auto parsed = parseCsvArguments(arguments, streams.err);
    if (!parsed) {
        streams.err << CsvUsage << Qt::endl;
        return 2;
    }
    if (!QFileInfo(parsed->file).isFile()) {
        streams.err << "keymoor: " << parsed->file << ": no such file" << Qt::endl;
        return 1;
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open() || !session.save()) {
        return 1;
    }
    const auto counts = session.delegate().importTextFile(QFileInfo(parsed->file).absoluteFilePath(), parsed->options,
                                                          parsed->mapping, parsed->update);
    if (!counts) {
        streams.err << "keymoor: nothing was imported; the catalogue is unchanged." << Qt::endl;
        return 1;
    }
    printCounts(streams.out, *counts);
    session.finish();
    return 0;
}

int importLibrary(const QStringList& arguments, CliStreams& streams)
{
    QStringList positional;
    std::optional<bool> replace;
    for (const QString& argument : arguments) {
        if (argument == u"--replace" || argument == u"--merge") {
            const bool wanted = argument == u"--replace";
            if (replace && *replace != wanted) {
                streams.err << "keymoor: --replace and --merge exclude each other" << Qt::endl;
                return 2;
            }
            replace = wanted;
        } else if (argument.startsWith(QLatin1String("--"))) {
            streams.err << "keymoor: unknown option " << argument << Qt::endl;
            return 2;
        } else {
            positional.append(argument);
        }
    }
    if (positional.size() != 1) {
        streams.err << "Usage: keymoor import library PATH [--replace|--merge]" << Qt::endl;
        return 2;
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
    const auto result = migrator->importFromXML(path.absoluteFilePath(), replace.value_or(false));
    switch (result) {
    case ZRDataMigrator::ImportResult::Imported:
        streams.out << "Imported " << migrator->counter(Counter::Products) << " product(s) and "
                    << migrator->counter(Counter::Attachments) << " attached file(s)"
                    << (replace.value_or(false) ? " in place of the catalogue." : " into the catalogue.") << Qt::endl;
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
    printCounts(streams.out, counts);
    session.finish();
    return started && counts.failed == 0 ? 0 : 1;
}

int importSerialKeeper(const QStringList& arguments, CliStreams& streams)
{
    if (arguments.size() != 1 || arguments.first().startsWith(QLatin1String("--"))) {
        streams.err << "Usage: keymoor import serial-keeper FILE" << Qt::endl;
        return 2;
    }
    const QFileInfo file(arguments.first());
    if (!file.isFile()) {
        streams.err << "keymoor: " << arguments.first() << ": no such file" << Qt::endl;
        return 1;
    }
    return runFileImports(streams, [&file](KeymoorAppDelegate& delegate) {
        delegate.actionImportSerialKeeperXML(file.absoluteFilePath());
        return true;
    });
}

int importYojimbo(const QStringList& arguments, CliStreams& streams)
{
    if (arguments.size() > 1 || (arguments.size() == 1 && arguments.first() != u"--update")) {
        streams.err << "Usage: keymoor import yojimbo [--update]" << Qt::endl;
        return 2;
    }
    const bool update = !arguments.isEmpty();
    return runFileImports(
        streams, [update](KeymoorAppDelegate& delegate) { return delegate.actionImportYojimboSerialNumbers(update); });
}

// Files as the window takes them when they are opened with it: Keymoor product files, MacHeist 3
// files, then applications, other software bundles and Yojimbo exports.
int importFiles(const QStringList& arguments, CliStreams& streams)
{
    QStringList paths;
    for (const QString& argument : arguments) {
        const QFileInfo file(argument);
        if (argument.startsWith(QLatin1String("--")) || !file.exists()) {
            streams.err << "keymoor: " << argument << ": no such file or folder" << Qt::endl;
            return argument.startsWith(QLatin1String("--")) ? 2 : 1;
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
    if (!kind.isEmpty() && !kind.startsWith(QLatin1String("--"))) {
        return importFiles(arguments, streams);
    }
    streams.err << "Usage: keymoor import FILE...\n"
                   "       keymoor import csv FILE --map KEY,... [options]\n"
                   "       keymoor import serial-keeper FILE\n"
                   "       keymoor import yojimbo [--update]\n"
                   "       keymoor import library PATH [--replace|--merge]"
                << Qt::endl;
    return 2;
}

} // namespace

void registerImportCommands(CommandLine& commandLine)
{
    commandLine.addCommand(
        {QStringLiteral("import"),
         QStringLiteral("import products from an export folder, delimited text or other files"),
         QStringLiteral(
             "Usage: keymoor import FILE...\n"
             "       keymoor import csv FILE --map KEY,KEY,... [--field-delimiter NAME] [--record-delimiter NAME]\n"
             "                          [--quote double|single|none] [--header] [--update]\n"
             "       keymoor import serial-keeper FILE\n"
             "       keymoor import yojimbo [--update]\n"
             "       keymoor import library PATH [--replace|--merge]\n\n"
             "FILE...: Keymoor product files (.keymoor) and MacHeist 3 files (.appshelf), whose entries\n"
             "become products (a MacHeist 3 entry updates the product of the same title), and installed\n"
             "software (applications, preference panes, plug-ins, widgets, programs) or Yojimbo serial\n"
             "number exports, each of which becomes a new product, as when they are dropped on the window.\n\n"
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
         importCommand});
}
