#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One folder of an icon theme as its "index.theme" describes it.
struct IconThemeDirectory
{
    enum class Type { Fixed, Scalable, Threshold };

    QString path; // below the theme's folder: "48x48/apps"
    int size = 0;
    int scale = 1;
    Type type = Type::Threshold;
    int minSize = 0;
    int maxSize = 0;

    // The largest edge, in pixels, that the folder's images are meant for.
    int largestPixelSize() const;
};

// The "[Icon Theme]" group of a theme's "index.theme": its folders and the themes it inherits.
struct IconThemeIndex
{
    QStringList inherits;
    QList<IconThemeDirectory> directories; // those with a usable Size, in the order listed

    // nullopt with an error text when the file is no theme index. Folders that would leave the
    // theme ("..", absolute paths) or give no size are left out.
    static std::optional<IconThemeIndex> read(const QString& path, QString* error);
};
