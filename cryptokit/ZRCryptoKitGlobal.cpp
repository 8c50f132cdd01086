#include "ZRCryptoKitGlobal.h"
