#include "LoginThrottle.h"

namespace lobby {

namespace {

QByteArray nameAtAddress(const QByteArray& name, const QByteArray& address)
{
    // A space never occurs in a user name.
    return name + ' ' + address;
}

}  // namespace

bool LoginThrottle::blocked(const QByteArray& name, const QByteArray& address, qint64 nowMs) const
{
    return byNameAndAddress_.count(nameAtAddress(name, address), nowMs) >= MaxFailuresPerNameAndAddress
        || byAddress_.count(address, nowMs) >= MaxFailuresPerAddress;
}

void LoginThrottle::failed(const QByteArray& name, const QByteArray& address, qint64 nowMs)
{
    byNameAndAddress_.add(nameAtAddress(name, address), nowMs);
    byAddress_.add(address, nowMs);
}

void LoginThrottle::prune(qint64 nowMs)
{
    byNameAndAddress_.prune(nowMs);
    byAddress_.prune(nowMs);
}

}  // namespace lobby
