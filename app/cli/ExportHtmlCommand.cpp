#include "ExportHtmlCommand.h"

#include "CliCommand.h"
#include "CliSession.h"
#include "CommandOptions.h"
#include "ProductJson.h"
#include "maintenance/PhoneExport.h"
#include "persistence/ReadTransaction.h"
#include "prefs/UserPreferences.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

using OpenMode = KeymoorAppDelegate::OpenMode;

// The "list --json" array of every product, read in one transaction.
QByteArray catalogueJson(CliSession& session)
{
    Persistence::ReadTransaction reading(session.delegate().managedObjectContext());
    QString text;
    QTextStream stream(&text);
    ProductJson::writeArray(session.products(), stream);
    stream.flush();
    return text.toUtf8();
}

// FILE as given, else Keymoor.html in the remembered folder; empty (with a message) when neither.
QString targetPath(const CommandArguments& arguments, const UserPreferences& prefs, QTextStream& err)
{
    if (!arguments.positional().isEmpty()) {
        return QFileInfo(arguments.positional().first()).absoluteFilePath();
    }
    const QString folder = prefs.phoneExportFolder();
    if (folder.isEmpty()) {
        err << "keymoor: no FILE given and no export folder remembered; give FILE (with --remember to keep its folder)"
            << Qt::endl;
        return {};
    }
    return QDir(folder).absoluteFilePath(PhoneExport::defaultFileName());
}

} // namespace

CommandOptions exportHtmlOptions()
{
    return CommandOptions(
        QStringLiteral("export html"),
        {CliOption::value(QStringLiteral("passphrase-file"), QStringLiteral("F"),
                          QStringLiteral("encrypt with the first line of F as the passphrase")),
         CliOption::flag(QStringLiteral("remember"),
                         QStringLiteral("remember FILE's folder (and F) for later exports without FILE"))},
        {{QStringLiteral("[FILE]"),
          QStringLiteral("the page to write (default: Keymoor.html in the remembered folder)")}});
}

int exportHtmlCommand(const QStringList& words, CliStreams& streams)
{
    const std::optional<CommandArguments> parsed = exportHtmlOptions().parse(words, streams.err);
    if (!parsed) {
        return 2;
    }
    if (parsed->positional().size() > 1
        || (parsed->isSet(QStringLiteral("remember")) && parsed->positional().isEmpty())) {
        return parsed->usageError(streams.err);
    }
    CliSession session(streams, OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    UserPreferences& prefs = session.delegate().userPrefs();
    const QString target = targetPath(*parsed, prefs, streams.err);
    if (target.isEmpty()) {
        return 1;
    }
    const QFileInfo targetInfo(target);
    if (targetInfo.isDir() || !targetInfo.absoluteDir().exists()) {
        streams.err << "keymoor: " << target << ": not a file in an existing folder" << Qt::endl;
        return 1;
    }
    QString passphraseFile = parsed->value(QStringLiteral("passphrase-file"));
    if (passphraseFile.isEmpty() && parsed->positional().isEmpty()) {
        passphraseFile = prefs.phoneExportPassphraseFile();
    }
    QString error;
    QByteArray passphrase;
    if (!passphraseFile.isEmpty()) {
        const std::optional<QByteArray> read = PhoneExport::readPassphraseFile(passphraseFile, &error);
        if (!read) {
            streams.err << "keymoor: " << error << Qt::endl;
            return 1;
        }
        passphrase = *read;
    }
    if (!PhoneExport::write(catalogueJson(session), passphrase, target, &error)) {
        streams.err << "keymoor: the page could not be written: " << error << Qt::endl;
        return 1;
    }
    if (parsed->isSet(QStringLiteral("remember"))) {
        prefs.setPhoneExportFolder(targetInfo.absolutePath());
        prefs.setPhoneExportPassphraseFile(passphraseFile.isEmpty() ? QString()
                                                                    : QFileInfo(passphraseFile).absoluteFilePath());
    }
    streams.out << "Wrote " << target << (passphrase.isEmpty() ? " (not encrypted)" : " (encrypted)") << Qt::endl;
    return 0;
}
