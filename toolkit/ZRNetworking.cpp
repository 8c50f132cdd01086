#include "ZRNetworking.h"

#include "ZRLog.h"

#include <QUrl>

#include <memory>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct AddressListDeleter
{
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

// A connected datagram socket only looks up the route; nothing goes out on the wire.
bool hasRouteTo(const addrinfo& address)
{
    const int socketHandle = ::socket(address.ai_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socketHandle < 0) {
        return false;
    }
    const bool routed = ::connect(socketHandle, address.ai_addr, address.ai_addrlen) == 0;
    ::close(socketHandle);
    return routed;
}

} // namespace

bool ZRNetworking::ZR_isTargetHostReachable(const QString& host)
{
    if (host.isNull()) {
        ZRLog::write(QStringLiteral("host can not be nil."));
        return false;
    }
    if (host.isEmpty()) {
        return false;
    }
    // International names are looked up in their ASCII form.
    const QByteArray name = QUrl::toAce(host);
    if (name.isEmpty()) {
        return false;
    }
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    // The port only gives connect() a complete address.
    if (::getaddrinfo(name.constData(), "9", &hints, &found) != 0) {
        return false;
    }
    const std::unique_ptr<addrinfo, AddressListDeleter> list(found);
    for (const addrinfo* address = list.get(); address; address = address->ai_next) {
        if (hasRouteTo(*address)) {
            return true;
        }
    }
    return false;
}
