#pragma once

#include <QString>

// The kinds of bundle: folders that the desktop shows as one item. Recognised by the folder's
// extension (ignoring case); any other folder with "Contents/Info.plist" is a package.
enum class BundleKind {
    None,
    Application, // .app
    PreferencePane, // .prefPane
    Plugin, // .plugin, .bundle, .component, .mdimporter, .qlgenerator, .saver, .vst, .vst3
    Widget, // .wdgt
    Package, // .framework, or any folder with Contents/Info.plist
};

// What a file is: its MIME type, and for folders whether and what kind of bundle it is.
struct ContentType
{
    QString mimeType; // empty when nothing is at the path; "inode/directory" for folders and bundles
    BundleKind bundleKind = BundleKind::None;
    bool isExecutable = false; // a program the user may run (compiled or a script)
    bool isPlainText = false; // text/plain or a type derived from it

    bool isValid() const { return !mimeType.isEmpty(); }
    bool isBundle() const { return bundleKind != BundleKind::None; }

    // The type of the file or folder at a path (symbolic links followed).
    static ContentType ofPath(const QString& path);

    // The bundle kind a folder extension stands for (without the dot); None for others.
    static BundleKind bundleKindForExtension(const QString& extension);

    // The kind of the folder at a path; None when it is no bundle (or no folder).
    static BundleKind bundleKindOfFolder(const QString& path);

    // The information property list of a bundle: "Contents/Info.plist", or "Info.plist" at the
    // top of bundles without "Contents" (widgets). Empty when neither exists.
    static QString infoPlistPath(const QString& bundlePath);
};
