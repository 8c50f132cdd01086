#pragma once

#include <QLoggingCategory>

// The log lines of the desktop-entry and icon-theme readers ("keymoor.software"): files skipped
// because they cannot be read. Below the application's log, so they go through Qt's logging.
Q_DECLARE_LOGGING_CATEGORY(desktopEntryLog)
