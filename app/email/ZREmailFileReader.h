#pragma once

#include "ZREmail.h"

#include <QString>

#include <optional>

// Reads an e-mail message file for the command line and tools: the file must pass the e-mail file
// test and be at most MaximumSize bytes. Its bytes are read as UTF-8, or as ISO 8859-1 (which keeps
// every byte) when they are not UTF-8.
class ZREmailFileReader
{
public:
    static constexpr qint64 MaximumSize = 64 * 1024 * 1024;

    static std::optional<ZREmail> read(const QString& path, QString* error = nullptr);
};
