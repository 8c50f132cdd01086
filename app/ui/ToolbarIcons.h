#pragma once

#include <QIcon>
#include <QImage>

// The images of the main toolbar's items: theme icons where the desktop has them, and base icons
// with an add or remove badge drawn onto their lower right corner.
namespace ToolbarIcons {

inline constexpr int Size = 32;

enum class Badge { Add, Remove };
// A new image of the base's size: the base, then the badge over its lower right quarter.
QImage imageWithBadge(const QImage& base, Badge badge);
QIcon iconWithBadge(const QIcon& base, Badge badge);

QIcon newItemIcon();
QIcon removeItemIcon();
QIcon importAppIcon();
QIcon importMailIcon();
QIcon importOutlookIcon();
QIcon attachFileIcon();
QIcon removeAttachmentIcon();
QIcon importWidgetIcon();
QIcon importPluginIcon();
QIcon importPrefPaneIcon();
QIcon clipboardKeyIcon();
QIcon reloadIcon();
QIcon reloadMultipleIcon();
QIcon phoneIcon();

} // namespace ToolbarIcons
