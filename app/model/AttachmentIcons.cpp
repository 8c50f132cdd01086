#include "AttachmentIcons.h"

#include <QMimeDatabase>

namespace AttachmentIcons {

namespace {

QIcon themeIcon(const QStringList& names)
{
    for (const QString& name : names) {
        if (!name.isEmpty() && QIcon::hasThemeIcon(name)) {
            return QIcon::fromTheme(name);
        }
    }
    return {};
}

} // namespace

QIcon iconForFileExtension(const QString& extension)
{
    const QMimeType type
        = QMimeDatabase().mimeTypeForFile(QStringLiteral("file.") + extension, QMimeDatabase::MatchExtension);
    QIcon icon = themeIcon(
        {type.iconName(), type.genericIconName(), QStringLiteral("text-x-generic"), QStringLiteral("unknown")});
    return icon.isNull() ? QIcon(QStringLiteral(":/images/document.png")) : icon;
}

QIcon iconForMailClient(const QString& identifier)
{
    const QStringList names = identifier == u"com.microsoft.Outlook"
        ? QStringList {QStringLiteral("ms-outlook"), QStringLiteral("internet-mail")}
        : QStringList {QStringLiteral("internet-mail"), QStringLiteral("mail-client")};
    QIcon icon
        = themeIcon(names + QStringList {QStringLiteral("message-rfc822"), QStringLiteral("application-x-executable")});
    return icon.isNull() ? QIcon(QStringLiteral(":/images/email.png")) : icon;
}

QIcon missingFileIcon()
{
    return QIcon(missingFileIconPath());
}

QString missingFileIconPath()
{
    return QStringLiteral(":/images/missing.png");
}

} // namespace AttachmentIcons
