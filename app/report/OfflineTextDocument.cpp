#include "OfflineTextDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextOption>
#include <QUrl>

namespace {

// Icons are small; a larger file is no icon of ours.
constexpr qint64 MaximumImageSize = 16 * 1024 * 1024;

} // namespace

OfflineTextDocument::OfflineTextDocument(QObject* parent)
    : QTextDocument(parent)
{
    QTextOption option = defaultTextOption();
    // A licence key of 200 characters without a space must still fit the page.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setDefaultTextOption(option);
}

void OfflineTextDocument::setAllowedImageFolders(const QStringList& folders)
{
    m_folders.clear();
    for (const QString& folder : folders) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!canonical.isEmpty()) {
            m_folders.append(canonical);
        }
    }
}

bool OfflineTextDocument::isAllowedResource(int type, const QUrl& url) const
{
    if (type != QTextDocument::ImageResource || !url.isLocalFile()) {
        return false;
    }
    // Symbolic links and ".." are resolved first, so a path cannot step out of the folder.
    const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath();
    if (path.isEmpty()) {
        return false;
    }
    for (const QString& folder : m_folders) {
        if (path.startsWith(folder + QLatin1Char('/'))) {
            return true;
        }
    }
    return false;
}

QVariant OfflineTextDocument::loadResource(int type, const QUrl& name)
{
    const std::optional<QByteArray> held = m_resolver ? m_resolver(name) : std::nullopt;
    if (held && type == QTextDocument::StyleSheetResource) {
        return QString::fromUtf8(*held);
    }
    if (type != QTextDocument::ImageResource) {
        return {};
    }
    if (held) {
        const QImage image = QImage::fromData(*held);
        if (!image.isNull()) {
            return image;
        }
    }
    // An image that is refused or missing takes its place as blank space, instead of the "broken
    // image" picture the text layout would draw.
    QImage blank(1, 1, QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    if (!isAllowedResource(type, name)) {
        return blank;
    }
    QFile file(name.toLocalFile());
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaximumImageSize) {
        return blank;
    }
    const QImage image = QImage::fromData(file.readAll());
    return image.isNull() ? blank : image;
}
