#pragma once
// Failed logins, counted per name and per address over a window; past the
// limit further attempts are refused without checking the password, so a
// guesser gets a handful of tries every few minutes.

#include <QByteArray>
#include <QHash>

namespace lobby {

class LoginThrottle
{
public:
    static constexpr int MaxFailuresPerName = 5;
    static constexpr int MaxFailuresPerAddress = 20;
    static constexpr qint64 WindowMs = 10 * 60 * 1000;

    bool blocked(const QByteArray& name, const QByteArray& address, qint64 nowMs) const;
    void failed(const QByteArray& name, const QByteArray& address, qint64 nowMs);
    // Forgets windows that have ended.
    void prune(qint64 nowMs);

private:
    struct Window
    {
        qint64 startMs = 0;
        int failures = 0;
    };
    static int failuresIn(const QHash<QByteArray, Window>& windows, const QByteArray& key, qint64 nowMs);
    static void count(QHash<QByteArray, Window>& windows, const QByteArray& key, qint64 nowMs);

    QHash<QByteArray, Window> byName_;
    QHash<QByteArray, Window> byAddress_;
};

}  // namespace lobby
