#pragma once
// Failed logins, counted per name and address and per address over a window;
// past either limit that address is refused without checking the password,
// so a guesser gets a handful of tries every few minutes. Nothing counts per
// name alone: a stranger's guesses must never lock the owner out, who logs
// in at once from any other address.

#include "WindowedCounts.h"

namespace lobby {

class LoginThrottle
{
public:
    static constexpr int MaxFailuresPerNameAndAddress = 5;
    static constexpr int MaxFailuresPerAddress = 20;
    static constexpr qint64 WindowMs = 10 * 60 * 1000;

    bool blocked(const QByteArray& name, const QByteArray& address, qint64 nowMs) const;
    void failed(const QByteArray& name, const QByteArray& address, qint64 nowMs);
    // Forgets windows that have ended.
    void prune(qint64 nowMs);

private:
    WindowedCounts byNameAndAddress_{WindowMs};
    WindowedCounts byAddress_{WindowMs};
};

}  // namespace lobby
