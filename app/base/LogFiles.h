#pragma once

#include <QString>

// Keeping the log file's size bounded and bringing an old log along when its folder changes.
namespace LogFiles {

// When the file at `path` is larger than `maximumSize`, shifts it to "<path>.1", that one to
// "<path>.2" and so on, dropping the oldest beyond `keptOlderFiles`. Each step is a rename, so
// every file is whole at any moment. Answers whether the file was rotated.
bool rotateIfLarger(const QString& path, qint64 maximumSize, int keptOlderFiles);

// Moves the log at `oldPath` to `newPath` (creating the folder), by a rename when both are on the
// same file system, else by an atomic copy that is removed from the old place only once the copy
// is complete. When `newPath` is taken, the old log becomes "<newPath>.1" if that is free; when
// both are taken it stays where it is. An empty answer when there was nothing to do or the move
// worked; otherwise what went wrong (the old log is then still where it was).
QString adoptOldLog(const QString& oldPath, const QString& newPath);

} // namespace LogFiles
