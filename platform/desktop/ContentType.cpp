#include "ContentType.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>

namespace {

struct KindByExtension
{
    const char* extension;
    BundleKind kind;
};

const KindByExtension BundleExtensions[] = {
    {"app", BundleKind::Application},    {"prefpane", BundleKind::PreferencePane},
    {"plugin", BundleKind::Plugin},      {"bundle", BundleKind::Plugin},
    {"component", BundleKind::Plugin},   {"mdimporter", BundleKind::Plugin},
    {"qlgenerator", BundleKind::Plugin}, {"saver", BundleKind::Plugin},
    {"vst", BundleKind::Plugin},         {"vst3", BundleKind::Plugin},
    {"wdgt", BundleKind::Widget},        {"framework", BundleKind::Package},
};

const char* const ExecutableTypes[] = {"application/x-executable", "application/x-pie-executable"};

} // namespace

ContentType ContentType::ofPath(const QString& path)
{
    ContentType type;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        return type;
    }
    if (info.isDir()) {
        type.mimeType = QStringLiteral("inode/directory");
        type.bundleKind = bundleKindOfFolder(path);
        return type;
    }
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(info);
    type.mimeType = mime.name();
    type.isPlainText = mime.inherits(QStringLiteral("text/plain"));
    if (info.isFile() && info.isExecutable()) {
        for (const char* executable : ExecutableTypes) {
            type.isExecutable = type.isExecutable || mime.inherits(QLatin1String(executable));
        }
    }
    return type;
}

BundleKind ContentType::bundleKindForExtension(const QString& extension)
{
    for (const KindByExtension& entry : BundleExtensions) {
        if (extension.compare(QLatin1String(entry.extension), Qt::CaseInsensitive) == 0) {
            return entry.kind;
        }
    }
    return BundleKind::None;
}

BundleKind ContentType::bundleKindOfFolder(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isDir()) {
        return BundleKind::None;
    }
    const BundleKind kind = bundleKindForExtension(info.suffix());
    if (kind != BundleKind::None) {
        return kind;
    }
    return QFileInfo(QDir(path).filePath(QStringLiteral("Contents/Info.plist"))).isFile() ? BundleKind::Package
                                                                                          : BundleKind::None;
}

QString ContentType::infoPlistPath(const QString& bundlePath)
{
    const QDir bundle(bundlePath);
    for (const char* relative : {"Contents/Info.plist", "Info.plist"}) {
        const QString candidate = bundle.filePath(QLatin1String(relative));
        if (QFileInfo(candidate).isFile()) {
            return candidate;
        }
    }
    return {};
}
