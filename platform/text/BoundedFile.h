#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reading small files whole, but only when they are plain files no larger than a limit: a file
// of the wrong kind or size is refused before it is read into memory.
namespace BoundedFile {

// The bytes of the file, or nothing with `problem` saying why (a missing file too).
std::optional<QByteArray> read(const QString& path, qint64 maximumSize, QString* problem);

// The text of a file that must hold valid UTF-8, or nothing with `problem` saying why.
std::optional<QString> readUtf8(const QString& path, qint64 maximumSize, QString* problem);

} // namespace BoundedFile
