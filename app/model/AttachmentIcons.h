#pragma once

#include <QIcon>
#include <QString>

// The images of attached files in the attachments list. Kept apart so the desktop lookup can be
// replaced by a richer one later without touching the entities.
namespace AttachmentIcons {

// The desktop theme's icon for files with this extension (generic document icon when the theme
// has none).
QIcon iconForFileExtension(const QString& extension);

// The icon of the mail program with this identifier ("com.microsoft.Outlook", "com.apple.mail");
// the desktop's mail icon stands in for programs that do not exist here, then a generic program icon.
QIcon iconForMailClient(const QString& identifier);

// The image shown when an attached file's stored bytes are gone.
QIcon missingFileIcon();
QString missingFileIconPath();

} // namespace AttachmentIcons
