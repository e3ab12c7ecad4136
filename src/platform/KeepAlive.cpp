#include "platform/KeepAlive.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace platform {

void enableKeepAlive(qintptr descriptor)
{
    struct Option {
        int level, name, value;
    };
    static constexpr Option options[] = {
        {SOL_SOCKET, SO_KEEPALIVE, 1},
        {IPPROTO_TCP, TCP_KEEPIDLE, KeepAliveIdleSeconds},
        {IPPROTO_TCP, TCP_KEEPINTVL, KeepAliveIntervalSeconds},
        {IPPROTO_TCP, TCP_KEEPCNT, KeepAliveProbes},
        {IPPROTO_TCP, TCP_USER_TIMEOUT, UnacknowledgedLimitMs},
    };
    if (descriptor < 0)
        return;
    for (const Option& option : options)
        setsockopt(static_cast<int>(descriptor), option.level, option.name, &option.value, sizeof option.value);
}

}  // namespace platform
