#pragma once

#include <QByteArray>
#include <QString>

// Writing whole files so that a reader sees either nothing (or the old file) or the complete new
// one: the bytes go to an owner-only temporary file beside the target, which is then renamed over
// it. Both answer false and fill `error` when anything fails; the target is then left as it was.
namespace FileWriting {

bool writeData(const QByteArray& bytes, const QString& target, QString* error = nullptr);

// Copies the file at `source` in chunks, so large files are never held in memory at once. Only
// plain files are copied (no folders, devices or pipes).
bool copyFile(const QString& source, const QString& target, QString* error = nullptr);

} // namespace FileWriting
