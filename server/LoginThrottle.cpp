#include "LoginThrottle.h"

namespace lobby {

int LoginThrottle::failuresIn(const QHash<QByteArray, Window>& windows, const QByteArray& key, qint64 nowMs)
{
    const auto it = windows.constFind(key);
    return it == windows.constEnd() || nowMs - it->startMs >= WindowMs ? 0 : it->failures;
}

void LoginThrottle::count(QHash<QByteArray, Window>& windows, const QByteArray& key, qint64 nowMs)
{
    Window& window = windows[key];
    if (nowMs - window.startMs >= WindowMs || window.failures == 0)
        window = {nowMs, 0};
    ++window.failures;
}

bool LoginThrottle::blocked(const QByteArray& name, const QByteArray& address, qint64 nowMs) const
{
    return failuresIn(byName_, name, nowMs) >= MaxFailuresPerName
        || failuresIn(byAddress_, address, nowMs) >= MaxFailuresPerAddress;
}

void LoginThrottle::failed(const QByteArray& name, const QByteArray& address, qint64 nowMs)
{
    count(byName_, name, nowMs);
    count(byAddress_, address, nowMs);
}

void LoginThrottle::prune(qint64 nowMs)
{
    for (auto* windows : {&byName_, &byAddress_})
        windows->removeIf([nowMs](const auto& entry) { return nowMs - entry.value().startMs >= WindowMs; });
}

}  // namespace lobby
