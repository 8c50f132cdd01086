#include "IconThemeIndex.h"

#include "DesktopEntryFile.h"

#include <QDir>

namespace {

// Sizes beyond these are no real icons; capping them keeps the products of size and scale small.
constexpr int LargestSize = 65536;
constexpr int LargestScale = 64;

int number(const DesktopEntryFile& file, const QString& key, const QString& group, int fallback, int largest)
{
    bool ok = false;
    const int value = file.string(key, group).toInt(&ok);
    return ok && value > 0 ? std::min(value, largest) : fallback;
}

// Theme indexes separate their lists with commas.
QStringList commaList(const DesktopEntryFile& file, const QString& key, const QString& group)
{
    QStringList items;
    for (const QString& item : file.string(key, group).split(QLatin1Char(','))) {
        if (!item.trimmed().isEmpty()) {
            items.append(item.trimmed());
        }
    }
    return items;
}

bool staysInTheme(const QString& path)
{
    return !path.isEmpty() && !QDir::isAbsolutePath(path)
        && !path.split(QLatin1Char('/')).contains(QLatin1String(".."));
}

IconThemeDirectory::Type typeNamed(const QString& name)
{
    if (name == QLatin1String("Fixed")) {
        return IconThemeDirectory::Type::Fixed;
    }
    if (name == QLatin1String("Scalable")) {
        return IconThemeDirectory::Type::Scalable;
    }
    return IconThemeDirectory::Type::Threshold;
}

} // namespace

int IconThemeDirectory::largestPixelSize() const
{
    return (type == Type::Scalable ? std::max(size, maxSize) : size) * scale;
}

std::optional<IconThemeIndex> IconThemeIndex::read(const QString& path, QString* error)
{
    const QString main = QStringLiteral("Icon Theme");
    const std::optional<DesktopEntryFile> file = DesktopEntryFile::read(path, error, main);
    if (!file) {
        return std::nullopt;
    }
    IconThemeIndex index;
    index.inherits = commaList(*file, QStringLiteral("Inherits"), main);
    QStringList names = commaList(*file, QStringLiteral("Directories"), main)
        + commaList(*file, QStringLiteral("ScaledDirectories"), main);
    names.removeDuplicates();
    for (const QString& name : std::as_const(names)) {
        IconThemeDirectory directory;
        directory.path = name;
        directory.size = number(*file, QStringLiteral("Size"), name, 0, LargestSize);
        if (directory.size == 0 || !staysInTheme(name)) {
            continue;
        }
        directory.scale = number(*file, QStringLiteral("Scale"), name, 1, LargestScale);
        directory.type = typeNamed(file->string(QStringLiteral("Type"), name));
        directory.minSize = number(*file, QStringLiteral("MinSize"), name, directory.size, LargestSize);
        directory.maxSize = number(*file, QStringLiteral("MaxSize"), name, directory.size, LargestSize);
        index.directories.append(directory);
    }
    return index;
}
