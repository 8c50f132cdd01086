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

struct AttachArguments
{
    QString product;
    QStringList files;
    bool noScan = false;
    std::optional<Answer> answer;
};

std::optional<AttachArguments> parseAttachArguments(const QStringList& arguments, QTextStream& err)
{
    AttachArguments parsed;
    QStringList positional;
    for (const QString& argument : arguments) {
        if (argument == u"--no-scan") {
            parsed.noScan = true;
        } else if (argument == u"--replace" || argument == u"--keep") {
            const Answer answer = argument == u"--replace" ? Answer::Yes : Answer::No;
            if (parsed.answer && *parsed.answer != answer) {
                err << "keymoor: --replace and --keep exclude each other" << Qt::endl;
                return std::nullopt;
            }
            parsed.answer = answer;
        } else if (argument.startsWith(QLatin1String("--"))) {
            err << "keymoor: unknown option " << argument << Qt::endl;
            return std::nullopt;
        } else {
            positional.append(argument);
        }
    }
    if (positional.size() < 2) {
        return std::nullopt;
    }
    parsed.product = positional.takeFirst();
    parsed.files = positional;
    return parsed;
}

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

int attachCommand(const QStringList& arguments, CliStreams& streams)
{
    const std::optional<AttachArguments> parsed = parseAttachArguments(arguments, streams.err);
    if (!parsed) {
        streams.err << "Usage: keymoor attach TITLE|UUID FILE... [--no-scan] [--replace|--keep]" << Qt::endl;
        return 2;
    }
    const std::optional<QStringList> paths = checkedFiles(parsed->files, streams.err);
    if (!paths) {
        return 1;
    }
    CliSession session(streams, OpenMode::ReadWrite);
    if (!session.open()) {
        return 1;
    }
    ProductEntity* product = session.findProduct(parsed->product);
    if (!product) {
        return 1;
    }
    KeymoorAppDelegate& delegate = session.delegate();
    delegate.setSelectedProductProvider([product] { return product; });
    if (parsed->noScan) {
        delegate.setScanEmailUponImportOverride(false);
    }
    session.terminal().setAnswer(parsed->answer.value_or(Answer::No));
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

int attachmentsCommand(const QStringList& arguments, CliStreams& streams)
{
    QStringList positional;
    bool json = false;
    for (const QString& argument : arguments) {
        if (argument == u"--json") {
            json = true;
        } else if (argument.startsWith(QLatin1String("--"))) {
            streams.err << "keymoor: unknown option " << argument << Qt::endl;
            positional.clear();
            break;
        } else {
            positional.append(argument);
        }
    }
    if (positional.size() != 1) {
        streams.err << "Usage: keymoor attachments TITLE|UUID [--json]" << Qt::endl;
        return 2;
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    const ProductEntity* product = session.findProduct(positional.first());
    if (!product) {
        return 1;
    }
    const QList<AttachmentEntity*> attachments = ProductJson::attachmentsInOrder(product);
    if (json) {
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

int exportAttachmentsCommand(const QStringList& arguments, CliStreams& streams)
{
    if (arguments.size() != 2 || arguments.at(0).startsWith(QLatin1String("--"))
        || arguments.at(1).startsWith(QLatin1String("--"))) {
        streams.err << "Usage: keymoor export-attachments TITLE|UUID FOLDER" << Qt::endl;
        return 2;
    }
    const QFileInfo folder(arguments.at(1));
    if (!folder.isDir() || !folder.isWritable()) {
        streams.err << "keymoor: " << arguments.at(1) << ": not a writable folder" << Qt::endl;
        return 1;
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    const ProductEntity* product = session.findProduct(arguments.at(0));
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

} // namespace

void registerAttachmentCommands(CommandLine& commandLine)
{
    commandLine.addCommand(
        {QStringLiteral("attach"), QStringLiteral("attach files to a product"),
         QStringLiteral("Usage: keymoor attach TITLE|UUID FILE... [--no-scan] [--replace|--keep]\n\n"
                        "Copies the files into the library and attaches them to the product. E-mail messages\n"
                        "are recognised and, unless --no-scan is given or scanning on import is switched off,\n"
                        "scanned for a serial number, the registered e-mail address and the purchase date.\n"
                        "When the product already has a serial number and Keymoor is set to ask first,\n"
                        "--replace writes the scanned values and --keep (the default) leaves them.\n"
                        "Applications (\".app\") cannot be attached; nothing is attached then."),
         attachCommand});
    commandLine.addCommand({QStringLiteral("attachments"), QStringLiteral("list the attached files of a product"),
                            QStringLiteral("Usage: keymoor attachments TITLE|UUID [--json]\n\n"
                                           "Lists name, date, kind (email or file) and the UUID naming the stored "
                                           "file of each attachment."),
                            attachmentsCommand});
    commandLine.addCommand(
        {QStringLiteral("export-attachments"), QStringLiteral("copy the attached files of a product into a folder"),
         QStringLiteral("Usage: keymoor export-attachments TITLE|UUID FOLDER\n\n"
                        "Writes a copy of every attached file into the folder, never replacing a file: a name\n"
                        "that is taken gets a counter (\"receipt 1.pdf\"). E-mails are written as .eml files."),
         exportAttachmentsCommand});
}
