#pragma once

#include "ZRKitGlobal.h"

#include <QString>

// Network reachability.
class ZRKIT_EXPORT ZRNetworking
{
public:
    // True when the host name resolves and the system has a route to one of its addresses. No
    // packet is sent, but the name lookup may ask the configured name servers and blocks until they
    // answer or time out, so call it off the user-interface thread. An empty name gives false; a
    // null one is a caller error and is logged as well.
    static bool ZR_isTargetHostReachable(const QString& host);
};
