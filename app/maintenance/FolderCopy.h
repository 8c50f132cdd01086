#pragma once

#include <QString>

#include <functional>

// Copies of the library's folders for backups, exports, imports and restores. Every file is written
// under a temporary name beside its target and renamed into place, so no reader ever sees half a
// file; the file system is synced once at the end of each copy rather than once per file, which
// keeps copying thousands of small attachment files close to the speed of `cp -r`. Folders are
// created owner-only (0700) and files owner-only (0600): the library holds licence keys.
class FolderCopy
{
public:
    FolderCopy() = delete;

    // Copies the tree at `source` (a folder or one file) to `target`, which must not exist yet.
    // On failure `error` says what failed and what was copied so far stays behind.
    static bool copyItem(const QString& source, const QString& target, QString* error = nullptr);
    // Copies one plain file to `target` (replacing a file there) without syncing the file system.
    static bool copyFile(const QString& source, const QString& target, QString* error = nullptr);
    // Makes `target` a copy of the folder `source`: the copy is made beside the target and swapped
    // in only when complete, so a failed copy leaves the target exactly as it was.
    static bool replaceFolderWithCopy(const QString& source, const QString& target, QString* error = nullptr);
    // Removes a file or a whole folder tree; true when nothing is left at the path.
    static bool removeItem(const QString& path, QString* error = nullptr);
    // Flushes the file system that holds `path` to disk.
    static void syncFileSystem(const QString& path);

    // Tests make single file copies fail: the hook answers false for a source that must fail.
    using FileHook = std::function<bool(const QString& source)>;
    static void setFileHookForTesting(FileHook hook);
};
