#pragma once

#include "ZRError.h"
#include "ZRKitGlobal.h"

#include <QString>

#include <functional>

// The application's per-user folders: application support (XDG data home) and caches (XDG cache
// home), each with the application's name appended. The name is the Qt application name, which
// defaults to the executable's name.

// Where the application-support and cache folders belong, creating nothing; empty when the
// application has no usable name.
ZRKIT_EXPORT QString ZR_applicationSupportFolderLocation();
ZRKIT_EXPORT QString ZR_applicationCacheFolderLocation();

// The application-support folder, created with its missing parents when absent (the last folder
// with owner-only access, since it holds the library). Answers an empty text and fills `error`
// when the application has no name, when something other than a folder is in the way or when
// the folder cannot be created.
ZRKIT_EXPORT QString ZR_applicationSupportFolder(ZRError* error = nullptr);

// The cache folder, created when absent. When something other than a folder is in the way or the
// folder cannot be created, the error is logged and handed to the fatal-error handler, which by
// default ends the process with status -1; if the handler returns, the answer is an empty text.
ZRKIT_EXPORT QString ZR_applicationCacheFolder();

// The handler of errors that the application cannot go on without. The application presents the
// error to the person before the process ends; tests observe it. A null handler restores the
// default, which ends the process with status -1.
using ZRFatalErrorHandler = std::function<void(const ZRError& error)>;
ZRKIT_EXPORT void ZR_setFatalErrorHandler(ZRFatalErrorHandler handler);
