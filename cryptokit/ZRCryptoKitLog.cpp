#include "ZRCryptoKitLog.h"

Q_LOGGING_CATEGORY(lcZRCryptoKit, "keymoor.cryptokit")
