#include "MaintenanceCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "base/LibraryPaths.h"
#include "maintenance/ZRDataMigrator.h"
#include "prefs/UserPreferences.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;
using Counter = MigrationProgress::Counter;

struct CsvArguments
{
    QString file;
    QString delimiter = QStringLiteral("comma");
    bool header = false;
    std::optional<QStringList> fields;
};

std::optional<CsvArguments> parseCsvArguments(const QStringList& arguments, QTextStream& err)
{
    CsvArguments parsed;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--header") {
            parsed.header = true;
        } else if ((argument == u"--delimiter" || argument == u"--fields") && i + 1 < arguments.size()) {
            const QString value = arguments.at(++i);
            if (argument == u"--delimiter") {
                parsed.delimiter = value;
            } else {
                parsed.fields = value.split(u',', Qt::SkipEmptyParts);
            }
        } else if (argument.startsWith(QLatin1String("--"))) {
            err << "keymoor: unknown option or missing value: " << argument << Qt::endl;
            return std::nullopt;
        } else if (parsed.file.isEmpty()) {
            parsed.file = argument;
        } else {
            return std::nullopt;
        }
    }
    if (parsed.file.isEmpty() || parsed.delimiter.isEmpty()) {
        return std::nullopt;
    }
    return parsed;
}

// The fields named on the command line, in that order, before the others (which are not written).
std::optional<ExportFieldList> orderedFields(const ExportFieldList& all, const QStringList& names, QTextStream& err)
{
    ExportFieldList fields;
    for (const QString& name : names) {
        const auto found
            = std::find_if(all.begin(), all.end(), [&](const ExportField& f) { return f.keyPath == name; });
        if (found == all.end()) {
            err << "keymoor: unknown field " << name << "; the fields are:";
            for (const ExportField& field : all) {
                err << ' ' << field.keyPath;
            }
            err << Qt::endl;
            return std::nullopt;
        }
        fields.append(ExportField {found->label, found->keyPath, true});
    }
    for (const ExportField& field : all) {
        if (!names.contains(field.keyPath)) {
            fields.append(ExportField {field.label, field.keyPath, false});
        }
    }
    return fields;
}

int exportCsv(const QStringList& arguments, CliStreams& streams)
{
    const auto parsed = parseCsvArguments(arguments, streams.err);
    if (!parsed) {
        streams.err << "Usage: keymoor export csv FILE [--delimiter comma|tab|TEXT] [--header] [--fields KEY,...]"
                    << Qt::endl;
        return 2;
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open() || !session.save()) {
        return 1;
    }
    ZRDataMigrator* migrator = session.delegate().dataMigrator();
    if (parsed->delimiter == u"comma") {
        migrator->setExportAsCommaSeparated(true);
    } else if (parsed->delimiter == u"tab") {
        migrator->setExportAsTabDelimited(true);
    } else {
        migrator->setCustomDelimiter(parsed->delimiter);
        migrator->setExportWithCustomDelimiter(true);
    }
    migrator->setIncludeHeadersInTextExport(parsed->header);
    if (parsed->fields) {
        const auto fields = orderedFields(migrator->exportableProductKeyPaths(), *parsed->fields, streams.err);
        if (!fields) {
            return 2;
        }
        migrator->setExportFields(*fields);
    }
    const QString written = migrator->performBackgroundTextExportToPath(QFileInfo(parsed->file).absoluteFilePath());
    if (written.isEmpty()) {
        streams.err << "keymoor: the export could not be written; see the log for why." << Qt::endl;
        return 1;
    }
    streams.out << "Exported " << migrator->counter(Counter::Products) << " product(s) to " << written << Qt::endl;
    session.finish();
    return 0;
}

int exportFolder(const QStringList& arguments, CliStreams& streams)
{
    if (arguments.size() != 1 || arguments.first().startsWith(QLatin1String("--"))) {
        streams.err << "Usage: keymoor export folder DIR" << Qt::endl;
        return 2;
    }
    const QFileInfo folder(arguments.first());
    if (!folder.isDir()) {
        streams.err << "keymoor: " << arguments.first() << ": no such folder" << Qt::endl;
        return 1;
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open() || !session.save()) {
        return 1;
    }
    ZRDataMigrator* migrator = session.delegate().dataMigrator();
    const QString written = migrator->performBackgroundExportToPath(folder.absoluteFilePath());
    if (written.isEmpty()) {
        streams.err << "keymoor: the export failed; see the log for why. A partial export folder may be left."
                    << Qt::endl;
        return 1;
    }
    streams.out << "Exported " << migrator->counter(Counter::Products) << " product(s) and "
                << migrator->counter(Counter::Attachments) << " attached file(s) to " << written << Qt::endl;
    session.finish();
    return 0;
}

int exportCommand(const QStringList& arguments, CliStreams& streams)
{
    const QString kind = arguments.value(0);
    if (kind == u"csv") {
        return exportCsv(arguments.mid(1), streams);
    }
    if (kind == u"folder") {
        return exportFolder(arguments.mid(1), streams);
    }
    streams.err << "Usage: keymoor export csv FILE ... | keymoor export folder DIR" << Qt::endl;
    return 2;
}

int backupCommand(const QStringList& arguments, CliStreams& streams)
{
    if (!arguments.isEmpty()) {
        streams.err << "Usage: keymoor backup" << Qt::endl;
        return 2;
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open() || !session.save()) {
        return 1;
    }
    const QString backup
        = session.delegate().dataMigrator()->backupPersistentStoreForURL(LibraryPaths::libraryBundlePath());
    if (backup.isEmpty()) {
        streams.err << "keymoor: the backup failed; see the log for why." << Qt::endl;
        return 1;
    }
    streams.out << "Backed up the library to " << backup << Qt::endl;
    session.finish();
    return 0;
}

} // namespace

void registerMaintenanceCommands(CommandLine& commandLine)
{
    commandLine.addCommand(
        {QStringLiteral("export"), QStringLiteral("export the catalogue as delimited text or as an export folder"),
         QStringLiteral("Usage: keymoor export csv FILE [--delimiter comma|tab|TEXT] [--header] [--fields KEY,...]\n"
                        "       keymoor export folder DIR\n\n"
                        "csv writes one line per product, sorted by title: text in double quotes (a double quote\n"
                        "inside becomes an apostrophe), numbers unquoted, dates in the short form of the locale.\n"
                        "An existing FILE is never replaced: the export goes to the next free name (\"FILE 1\").\n"
                        "--fields picks the fields and their order (title, productVersion, serialNumber,\n"
                        "registeredName, registeredEmail, registeredCompany, publisher, productWebsite,\n"
                        "productEmail, purchaseDate, purchaseCurrency, purchasePrice, purchaseOrderNumber,\n"
                        "commentsString); the choice is remembered like the window's.\n\n"
                        "folder writes \"Keymoor Export\" (or \"Keymoor Export 1\" ...) into DIR: the whole catalogue\n"
                        "with its attached files and icons, which \"keymoor import library\" reads back."),
         exportCommand});
    commandLine.addCommand({QStringLiteral("backup"), QStringLiteral("back up the library folder"),
                            QStringLiteral("Usage: keymoor backup\n\n"
                                           "Copies the library folder into the Backup folder beside it, under the "
                                           "next free name (Keymoor.kmlib, Keymoor 1.kmlib, ...)."),
                            backupCommand});
}
