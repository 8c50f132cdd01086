#pragma once

#include <QString>

#include <optional>

// Reading the small text files of other programs that say who the person is: they are read whole
// only when they are plain files of a sensible size holding valid UTF-8.
namespace IdentityFileText {

// Larger files are not what they claim to be.
inline constexpr qint64 MaximumSize = 4 * 1024 * 1024;

// The text of the file, or nothing with `problem` saying why (missing files too).
std::optional<QString> read(const QString& path, QString* problem);

} // namespace IdentityFileText
