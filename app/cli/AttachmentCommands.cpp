#include "AttachmentCommands.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "ProductJson.h"
#include "TerminalUserInterface.h"
#include "model/AttachmentEntity.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;

// Every file must be a readable plain file; answers the absolute paths, or nothing after an error.
std::optional<QStringList> checkedFiles(const QStringList& files, QTextStream& err)
{
    QStringList paths;
    for (const QString& file : files) {
        const QFileInfo info(file);
        if (!info.exists()) {
            err << "keymoor: " << file << ": no such file" << Qt::endl;
            return std::nullopt;
        }
        if (!info.isFile() || !info.isReadable()) {
            err << "keymoor: " << file << ": not a readable file" << Qt::endl;
            return std::nullopt;
        }
        paths.append(info.absoluteFilePath());
    }
    return paths;
}

int attachCommand(const CommandArguments& arguments, CliStreams& streams)
{
    const bool replace = arguments.isSet(QStringLiteral("replace"));
    if (replace && arguments.isSet(QStringLiteral("keep"))) {
        streams.err << "keymoor: --replace and --keep exclude each other" << Qt::endl;
        return arguments.usageError(streams.err);
    }
    if (arguments.positional().size() < 2) {
        return arguments.usageError(streams.err);
    }
    const std::optional<QStringList> paths = checkedFiles(arguments.positional().sliced(1), streams.err);
    if (!paths) {
        return 1;
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open()) {
        return 1;
    }
    ProductEntity* product = session.findProduct(arguments.positional().first());
    if (!product) {
        return 1;
    }
    KeymoorAppDelegate& delegate = session.delegate();
    delegate.setSelectedProductProvider([product] { return product; });
    if (arguments.isSet(QStringLiteral("no-scan"))) {
        delegate.setScanEmailUponImportOverride(false);
    }
    session.terminal().setAnswer(replace ? Answer::Yes : Answer::No);
    QList<Persistence::ObjectID> attachedIDs;
    QObject::connect(&delegate, &KeymoorAppDelegate::attachDocumentsToProductCompleted,
                     [&attachedIDs](const QList<Persistence::ObjectID>& ids) { attachedIDs += ids; });
    const bool accepted = delegate.attachDocumentsToSelectedProduct(*paths, true);
    delegate.waitForAttachmentImports();
    if (!accepted) {
        return 1;
    }
    if (!session.save()) {
        return 1;
    }
    streams.out << "Attached " << attachedIDs.size() << " of " << paths->size() << " file(s) to \"" << product->title()
                << "\"." << Qt::endl;
    session.finish();
    if (attachedIDs.size() != paths->size()) {
        streams.err << "keymoor: some files could not be attached; see the log for why." << Qt::endl;
        return 1;
    }
    return 0;
}

int attachmentsCommand(const CommandArguments& arguments, CliStreams& streams)
{
    if (arguments.positional().size() != 1) {
        return arguments.usageError(streams.err);
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    const ProductEntity* product = session.findProduct(arguments.positional().first());
    if (!product) {
        return 1;
    }
    const QList<AttachmentEntity*> attachments = ProductJson::attachmentsInOrder(product);
    if (arguments.isSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (const AttachmentEntity* attachment : attachments) {
            array.append(ProductJson::attachmentToJson(attachment));
        }
        streams.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    } else {
        for (const AttachmentEntity* attachment : attachments) {
            const QJsonObject object = ProductJson::attachmentToJson(attachment);
            streams.out << attachment->name() << "  " << attachment->formattedDateString() << "  "
                        << object.value(QStringLiteral("kind")).toString() << "  "
                        << object.value(QStringLiteral("uuid")).toString() << '\n';
        }
    }
    streams.out.flush();
    return 0;
}

int exportAttachmentsCommand(const CommandArguments& arguments, CliStreams& streams)
{
    const QStringList& positional = arguments.positional();
    if (positional.size() != 2) {
        return arguments.usageError(streams.err);
    }
    const QFileInfo folder(positional.at(1));
    if (!folder.isDir() || !folder.isWritable()) {
        streams.err << "keymoor: " << positional.at(1) << ": not a writable folder" << Qt::endl;
        return 1;
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    const ProductEntity* product = session.findProduct(positional.at(0));
    if (!product) {
        return 1;
    }
    const QList<AttachmentEntity*> attachments = ProductJson::attachmentsInOrder(product);
    int failed = 0;
    for (const AttachmentEntity* attachment : attachments) {
        const QString path = attachment->exportToFolder(folder.absoluteFilePath());
        if (path.isEmpty()) {
            streams.err << "keymoor: \"" << attachment->name() << "\" could not be exported." << Qt::endl;
            ++failed;
        } else {
            streams.out << path << '\n';
        }
    }
    streams.out.flush();
    return failed == 0 ? 0 : 1;
}

const CliPositional NamedProduct {
    QStringLiteral("TITLE|UUID"),
    QStringLiteral("the product's UUID, or its title (ignoring case when no title matches exactly)")};

CommandOptions attachOptions()
{
    return CommandOptions(
        QStringLiteral("attach"),
        {CliOption::flag(QStringLiteral("no-scan"), QStringLiteral("do not scan attached e-mails")),
         CliOption::flag(QStringLiteral("replace"),
                         QStringLiteral("write the scanned values over the product's serial number")),
         CliOption::flag(QStringLiteral("keep"),
                         QStringLiteral("leave the product's values as they are (the "
                                        "default)"))},
        {NamedProduct, {QStringLiteral("FILE..."), QStringLiteral("the files to copy into the library")}});
}

} // namespace

void registerAttachmentCommands(CommandLine& commandLine)
{
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("attach files to a product"),
        QStringLiteral("Copies the files into the library and attaches them to the product. E-mail messages\n"
                       "are recognised and, unless --no-scan is given or scanning on import is switched off,\n"
                       "scanned for a serial number, the registered e-mail address and the purchase date.\n"
                       "When the product already has a serial number and Keymoor is set to ask first,\n"
                       "--replace writes the scanned values and --keep (the default) leaves them.\n"
                       "Applications (\".app\") cannot be attached; nothing is attached then."),
        attachOptions(), attachCommand));
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("list the attached files of a product"),
        QStringLiteral("Lists name, date, kind (email or file) and the UUID naming the stored file of each "
                       "attachment."),
        CommandOptions(QStringLiteral("attachments"),
                       {CliOption::flag(QStringLiteral("json"),
                                        QStringLiteral("print an array of attachment "
                                                       "objects instead"))},
                       {NamedProduct}),
        attachmentsCommand));
    commandLine.addCommand(CliCommand::withOptions(
        QStringLiteral("copy the attached files of a product into a folder"),
        QStringLiteral("Writes a copy of every attached file into the folder, never replacing a file: a name\n"
                       "that is taken gets a counter (\"receipt 1.pdf\"). E-mails are written as .eml files."),
        CommandOptions(QStringLiteral("export-attachments"), {},
                       {NamedProduct, {QStringLiteral("FOLDER"), QStringLiteral("a writable folder")}}),
        exportAttachmentsCommand));
}
