#include "MailClientImport.h"

#include "base/Log.h"
#include "import/MailScriptHelper.h"
#include "model/ZRExternalFile.h"

#include <QDir>

MailClientSelection MailClientImport::fetchSelection(MailScriptHelper& helper, const QString& helperPath,
                                                     const QString& attachmentFolder)
{
    MailClientSelection selection;
    if (helper.callInResource(helperPath, QStringLiteral("getSelectedMailCount"))) {
        selection.messageTexts = helper.callInResource(helperPath, QStringLiteral("getSelectedMailBodies"));
    }
    // Folders are handed over with a final "/", so a helper can append the file names directly.
    QString folder = attachmentFolder;
    if (!folder.endsWith(u'/')) {
        folder += u'/';
    }
    selection.attachmentNames
        = helper.callInResource(helperPath, QStringLiteral("getSelectedMailAttachment"), {folder});
    return selection;
}

QStringList MailClientImport::attachmentPaths(const QStringList& names, const QString& attachmentFolder)
{
    QStringList paths;
    const QDir folder(attachmentFolder);
    for (const QString& name : names) {
        if (name.isEmpty() || name == u"Mail") {
            continue;
        }
        if (!ZRExternalFile::isSafeFileName(name)) {
            Log::write(QStringLiteral("Skipping mail attachment name that is not a plain file name: %1").arg(name));
            continue;
        }
        paths.append(folder.filePath(name));
    }
    return paths;
}
