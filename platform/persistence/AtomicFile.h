#pragma once

#include <QString>

#include <functional>

class QIODevice;

namespace Persistence {

// Writes a file so that readers see the old content or the complete new one, never a part: the
// bytes go to a temporary file (owner-only) in the same folder, are flushed to disk, and the
// temporary file is renamed over the target.
namespace AtomicFile {

bool write(const QString& path, const std::function<bool(QIODevice& device, QString* error)>& writer, QString* error);

} // namespace AtomicFile
} // namespace Persistence
