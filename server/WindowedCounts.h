#pragma once
// Events counted per key over a fixed window that opens with the key's first
// event: failed logins, new accounts.

#include <QByteArray>
#include <QHash>

namespace lobby {

class WindowedCounts
{
public:
    explicit WindowedCounts(qint64 windowMs) : windowMs_(windowMs) {}

    int count(const QByteArray& key, qint64 nowMs) const
    {
        const auto it = windows_.constFind(key);
        return it == windows_.constEnd() || ended(*it, nowMs) ? 0 : it->events;
    }

    void add(const QByteArray& key, qint64 nowMs)
    {
        Window& window = windows_[key];
        if (ended(window, nowMs) || window.events == 0)
            window = {nowMs, 0};
        ++window.events;
    }

    // Takes back an event added in this window.
    void undo(const QByteArray& key)
    {
        const auto it = windows_.find(key);
        if (it != windows_.end() && it->events > 0)
            --it->events;
    }

    // Forgets windows that have ended.
    void prune(qint64 nowMs)
    {
        windows_.removeIf([&](const auto& entry) { return ended(entry.value(), nowMs); });
    }

private:
    struct Window
    {
        qint64 startMs = 0;
        int events = 0;
    };
    bool ended(const Window& window, qint64 nowMs) const { return nowMs - window.startMs >= windowMs_; }

    qint64 windowMs_;
    QHash<QByteArray, Window> windows_;
};

}  // namespace lobby
