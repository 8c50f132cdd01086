#include "MaintenanceCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "ExportHtmlCommand.h"
#include "ExportSnipeItCommand.h"
#include "LicenceCommands.h"
#include "base/LibraryPaths.h"
#include "maintenance/ZRDataMigrator.h"
#include "prefs/UserPreferences.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;
using Counter = MigrationProgress::Counter;

CommandOptions exportCsvOptions()
{
    return CommandOptions(
        QStringLiteral("export csv"),
        {CliOption::value(QStringLiteral("delimiter"), QStringLiteral("comma|tab|TEXT"),
                          QStringLiteral("what goes between fields (default: comma)")),
         CliOption::flag(QStringLiteral("header"), QStringLiteral("write the field names as the first line")),
         CliOption::value(QStringLiteral("fields"), QStringLiteral("KEY,..."),
                          QStringLiteral("the fields to write, in this order"))},
        {{QStringLiteral("FILE"), QStringLiteral("the file to write")}});
}

CommandOptions exportFolderOptions()
{
    return CommandOptions(QStringLiteral("export folder"), {},
                          {{QStringLiteral("DIR"), QStringLiteral("the folder to write the export folder into")}});
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

int exportCsv(const QStringList& words, CliStreams& streams)
{
    const std::optional<CommandArguments> parsed = exportCsvOptions().parse(words, streams.err);
    if (!parsed) {
        return 2;
    }
    const QString delimiter = parsed->isSet(QStringLiteral("delimiter")) ? parsed->value(QStringLiteral("delimiter"))
                                                                         : QStringLiteral("comma");
    const QString file = parsed->positional().value(0);
    if (parsed->positional().size() != 1 || file.isEmpty() || delimiter.isEmpty()) {
        return parsed->usageError(streams.err);
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open() || !session.save()) {
        return 1;
    }
    ZRDataMigrator* migrator = session.delegate().dataMigrator();
    if (delimiter == u"comma") {
        migrator->setExportAsCommaSeparated(true);
    } else if (delimiter == u"tab") {
        migrator->setExportAsTabDelimited(true);
    } else {
        migrator->setCustomDelimiter(delimiter);
        migrator->setExportWithCustomDelimiter(true);
    }
    migrator->setIncludeHeadersInTextExport(parsed->isSet(QStringLiteral("header")));
    if (parsed->isSet(QStringLiteral("fields"))) {
        const QStringList names = parsed->value(QStringLiteral("fields")).split(u',', Qt::SkipEmptyParts);
        const auto fields = orderedFields(migrator->exportableProductKeyPaths(), names, streams.err);
        if (!fields) {
            return 2;
        }
        migrator->setExportFields(*fields);
    }
    const QString written = migrator->performBackgroundTextExportToPath(QFileInfo(file).absoluteFilePath());
    if (written.isEmpty()) {
        streams.err << "keymoor: the export could not be written; see the log for why." << Qt::endl;
        return 1;
    }
    streams.out << "Exported " << migrator->counter(Counter::Products) << " product(s) to " << written << Qt::endl;
    session.finish();
    return 0;
}

int exportFolder(const QStringList& words, CliStreams& streams)
{
    const std::optional<CommandArguments> parsed = exportFolderOptions().parse(words, streams.err);
    if (!parsed) {
        return 2;
    }
    if (parsed->positional().size() != 1) {
        return parsed->usageError(streams.err);
    }
    const QString path = parsed->positional().first();
    const QFileInfo folder(path);
    if (!folder.isDir()) {
        streams.err << "keymoor: " << path << ": no such folder" << Qt::endl;
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
    if (kind == u"html") {
        return exportHtmlCommand(arguments.mid(1), streams);
    }
    if (kind == u"ics") {
        return exportIcsCommand(arguments.mid(1), streams);
    }
    if (kind == u"snipeit") {
        return ExportSnipeItCommand::run(arguments.mid(1), streams);
    }
    streams.err << CommandOptions::usage({exportCsvOptions(), exportFolderOptions(), exportHtmlOptions(),
                                          exportIcsOptions(), ExportSnipeItCommand::options()})
                << Qt::endl;
    return 2;
}

int backupCommand(const CommandArguments& arguments, CliStreams& streams)
{
    if (!arguments.positional().isEmpty()) {
        return arguments.usageError(streams.err);
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
        {QStringLiteral("export"),
         QStringLiteral("export the catalogue as delimited text or as an export folder"),
         QStringLiteral(
             "csv writes one line per product, sorted by title: text in double quotes (a double quote\n"
             "inside becomes an apostrophe), numbers unquoted, dates in the short form of the locale.\n"
             "An existing FILE is never replaced: the export goes to the next free name (\"FILE 1\").\n"
             "--fields picks the fields and their order (title, productVersion, serialNumber,\n"
             "registeredName, registeredEmail, registeredCompany, publisher, productWebsite,\n"
             "productEmail, purchaseDate, purchaseCurrency, purchasePrice, purchaseOrderNumber,\n"
             "commentsString, licenseType, expiryDate, renewalDate, renewalPeriodMonths, renewalPrice,\n"
             "seats, remindDaysBefore, archived); the choice is remembered like the window's.\n\n"
             "folder writes \"Keymoor Export\" (or \"Keymoor Export 1\" ...) into DIR: the whole catalogue\n"
             "with its attached files and icons, which \"keymoor import library\" reads back.\n\n"
             "html writes one self-contained page for reading on a phone, encrypted with the\n"
             "first line of --passphrase-file; without FILE it goes to the remembered folder.\n\n"
             "ics writes the licence expiry and renewal dates as an iCalendar file (see \"keymoor due\").\n\n"
             "snipeit writes the licences CSV an asset register imports, one row per product by title."),
         {exportCsvOptions(), exportFolderOptions(), exportHtmlOptions(), exportIcsOptions(),
          ExportSnipeItCommand::options()},
         exportCommand});
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("back up the library folder"),
        QStringLiteral("Copies the library folder into the Backup folder beside it, under the next free name "
                       "(Keymoor.kmlib, Keymoor 1.kmlib, ...)."),
        CommandOptions(QStringLiteral("backup")), backupCommand));
}
