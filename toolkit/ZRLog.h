#pragma once

#include "ZRKitGlobal.h"

#include <QString>

#include <functional>

// Where the toolkit's diagnostic lines go. The library cannot depend on the application's log, so
// the application hands its logging function in at start-up; until then lines go to standard error.
// Safe to call from any thread.
namespace ZRLog {

using Handler = std::function<void(const QString& line)>;

ZRKIT_EXPORT void write(const QString& line);

// Replaces the destination of the lines; a null handler restores standard error.
ZRKIT_EXPORT void setHandler(Handler handler);

} // namespace ZRLog
