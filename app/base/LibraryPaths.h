#pragma once

#include <QString>

// Where the catalogue lives on disk. Every path is computed on each call, and the folders are
// created when missing, so a folder the person deletes while Keymoor runs comes back empty on the
// next access.
//
//   <support>/Keymoor.kmlib/              the library folder (mode 0700: it holds licence keys)
//   <support>/Keymoor.kmlib/Keymoor.data  the catalogue store
//   <support>/Keymoor.kmlib/Attachments/  one file per attachment content, named by its UUID
//   <support>/Keymoor.kmlib/Icons/        one file per product icon, named by its UUID
//   <support>/Keymoor.data                the store of the legacy library format
namespace LibraryPaths {

// The per-user folders (XDG data home and cache home plus "Keymoor"); empty when they cannot be
// made (logged).
QString applicationSupportFolder();
QString applicationCacheFolder();

// Where the per-user state folder belongs (XDG state home, default ~/.local/state, plus the
// application's name), creating nothing; empty when the application has no usable name. It holds
// what should outlive a cache clean but is no part of the library: the log, remembered reminders.
QString stateFolderLocation();

QString libraryBundlePath();
// Where the library folder and its store belong, creating nothing (for commands that only look).
QString libraryBundleLocation();
QString persistentStoreLocation();
QString legacyPersistentStoreLocation();
QString attachmentsPath();
QString iconsPath();
QString persistentStoreURL();
QString legacyPersistentStoreURL();

} // namespace LibraryPaths
