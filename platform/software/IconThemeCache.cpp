#include "IconThemeCache.h"

#include "DesktopEntryLog.h"

#include <QDir>
#include <QFileInfo>

namespace {

std::optional<IconThemeCache::Theme> readTheme(const QString& name, const QStringList& baseFolders)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String("..")
        || name == QLatin1String(".")) {
        return std::nullopt;
    }
    IconThemeCache::Theme theme;
    bool indexed = false;
    for (const QString& base : baseFolders) {
        const QString root = base + QLatin1Char('/') + name;
        if (!QFileInfo(root).isDir()) {
            continue;
        }
        theme.roots.append(root);
        const QString indexPath = root + QStringLiteral("/index.theme");
        if (!indexed && QFileInfo::exists(indexPath)) {
            QString error;
            if (std::optional<IconThemeIndex> index = IconThemeIndex::read(indexPath, &error)) {
                theme.index = *index;
                indexed = true;
            } else {
                qCInfo(desktopEntryLog).noquote() << "Skipped an icon theme index:" << error;
            }
        }
    }
    if (!indexed) {
        return std::nullopt;
    }
    return theme;
}

} // namespace

IconThemeCache::IconThemeCache(const QStringList& baseFolders)
    : m_baseFolders(baseFolders)
{ }

const IconThemeCache::Theme* IconThemeCache::theme(const QString& name)
{
    auto found = m_themes.find(name);
    if (found == m_themes.end()) {
        found = m_themes.insert(name, readTheme(name, m_baseFolders));
    }
    return found->has_value() ? &found->value() : nullptr;
}

const QSet<QString>& IconThemeCache::filesIn(const QString& folder)
{
    auto found = m_files.find(folder);
    if (found == m_files.end()) {
        const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        found = m_files.insert(folder, QSet<QString>(names.begin(), names.end()));
    }
    return *found;
}
