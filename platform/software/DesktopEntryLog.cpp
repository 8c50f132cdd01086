#include "DesktopEntryLog.h"

Q_LOGGING_CATEGORY(desktopEntryLog, "keymoor.software", QtInfoMsg)
