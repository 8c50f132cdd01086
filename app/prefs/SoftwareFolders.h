#pragma once

#include <QString>
#include <QStringList>

// The folders installed software is kept in: where the application and icon choosers start, and
// whether the Import menu's commands for preference panes, plug-ins and widgets have anything to
// offer on this machine.
namespace SoftwareFolders {

// The "applications" folders of the XDG data folders, in order: $XDG_DATA_HOME's first.
QStringList standardApplicationFolders();

// The first of the folders that exists, else the home folder.
QString firstExistingFolder(const QStringList& folders, const QString& homePath);

enum class BundleKind { PreferencePane, Plugin, Widget };

// Where bundles of the kind are kept: the home folder's "Library" first, then the one of the root.
QStringList bundleFolders(BundleKind kind, const QString& homePath, const QString& rootPath = QStringLiteral("/"));

// The first of bundleFolders() that exists; empty when none does, and then the Import menu does not
// offer the kind.
QString existingBundleFolder(BundleKind kind, const QString& homePath, const QString& rootPath = QStringLiteral("/"));

} // namespace SoftwareFolders
