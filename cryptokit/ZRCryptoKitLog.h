#pragma once

#include <QLoggingCategory>

// Diagnostic lines of the library ("keymoor.cryptokit"). They go through Qt's message handler, so
// the application decides where they end up.
Q_DECLARE_LOGGING_CATEGORY(lcZRCryptoKit)
