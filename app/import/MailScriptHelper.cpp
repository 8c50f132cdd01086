#include "MailScriptHelper.h"

#include "base/LibraryPaths.h"
#include "base/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

MailScriptHelper& MailScriptHelper::sharedHelper()
{
    static MailScriptHelper helper;
    return helper;
}

QStringList MailScriptHelper::searchFolders() const
{
    std::lock_guard<std::mutex> guard(m_foldersMutex);
    if (!m_folders.isEmpty()) {
        return m_folders;
    }
    QStringList folders;
    const QString support = LibraryPaths::applicationSupportFolder();
    if (!support.isEmpty()) {
        folders.append(QDir(support).filePath(QStringLiteral("Scripts")));
    }
    if (QCoreApplication::instance()) {
        folders.append(
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/keymoor/Scripts")));
    }
#ifdef KEYMOOR_SHIPPED_SCRIPTS_DIR
    folders.append(QStringLiteral(KEYMOOR_SHIPPED_SCRIPTS_DIR));
#endif
    return folders;
}

void MailScriptHelper::setSearchFolders(const QStringList& folders)
{
    std::lock_guard<std::mutex> guard(m_foldersMutex);
    m_folders = folders;
}

QString MailScriptHelper::pathForScript(const QString& name) const
{
    if (name.isEmpty() || name.contains(u'/')) {
        return {};
    }
    for (const QString& folder : searchFolders()) {
        const QFileInfo candidate(QDir(folder).filePath(name));
        if (candidate.isFile() && candidate.isExecutable()) {
            return candidate.absoluteFilePath();
        }
    }
    return {};
}

QStringList MailScriptHelper::splitItems(const QByteArray& output)
{
    QStringList items;
    if (output.isEmpty()) {
        return items;
    }
    QByteArray body = output;
    if (body.endsWith('\0')) {
        body.chop(1);
    }
    for (const QByteArray& item : body.split('\0')) {
        items.append(QString::fromUtf8(item));
    }
    return items;
}

std::optional<QStringList> MailScriptHelper::callInResource(const QString& helperPath, const QString& handler,
                                                            const QStringList& arguments)
{
    std::lock_guard<std::mutex> guard(m_callMutex);
    QProcess process;
    process.setProgram(helperPath);
    process.setArguments(QStringList {handler} + arguments);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QIODevice::ReadOnly);
    const bool finished = process.waitForStarted() && process.waitForFinished(m_timeLimitMs);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    const QByteArray output = process.readAllStandardOutput();
    const QString errorText = QString::fromUtf8(process.readAllStandardError()).trimmed();
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        Log::write(QStringLiteral("Error attaching email."));
        Log::write(QStringLiteral("%1 Error=%2 (%3 %4: %5)\n")
                       .arg(QStringLiteral("MailScriptHelper::callInResource"),
                            errorText.isEmpty() ? process.errorString() : errorText, helperPath, handler,
                            finished ? QStringLiteral("exit status %1").arg(process.exitCode())
                                     : QStringLiteral("did not finish")));
        return std::nullopt;
    }
    if (output.isEmpty()) {
        return std::nullopt;
    }
    return splitItems(output);
}
