#pragma once

#include "ForeignFormatReader.h"

#include <QJsonObject>

#include <optional>

// The JSON side of the readers: whether a file starts like a JSON object holding a key, and the
// parse of a whole file with the nesting of objects and arrays checked first (a linear scan), so
// that deep documents are refused with a clear error before the parser sees them.
class ForeignJsonDocument
{
public:
    // Whether the head starts with "{" (after a UTF-8 byte-order mark and white space) and holds
    // the quoted key somewhere.
    static bool looksLikeObjectWithKey(const QByteArray& head, const char* key);
    // The top-level object, or nullopt and a clear error for text that is not one.
    static std::optional<QJsonObject> parse(const QByteArray& bytes, const ForeignReadLimits& limits, QString* error);
};
