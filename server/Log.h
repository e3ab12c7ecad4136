#pragma once
// One time-stamped line on stderr per connection, login, game and
// moderation action. Not synced: a log is nothing a person would lose.

#include "WindowedCounts.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>

#include <functional>

namespace lobby {

void logLine(const QString& text);
// Tests and the benchmark's server turn the log off.
void setLogging(bool on);
// Tests read the log: lines go to the sink instead of stderr; none for stderr.
void setLogSink(std::function<void(const QString&)> sink);

// Refused lines cost their sender nothing, so a flood of them must not grow
// the log without bound: a few a second are logged from each source and from
// all together, the rest are only counted, and flush() says how many and
// from whom.
class RefusalLog
{
public:
    static constexpr int PerSourcePerSecond = 5;
    static constexpr int AllPerSecond = 10;
    // The sources with the most held back are named; the others are summed.
    static constexpr int NamedInNote = 5;

    RefusalLog() { clock_.start(); }
    ~RefusalLog() { flush(); }
    RefusalLog(const RefusalLog&) = delete;
    RefusalLog& operator=(const RefusalLog&) = delete;

    // True when a refusal from `source` (a user's name, or an address) is to
    // be logged; otherwise it is counted, and the caller builds no text.
    bool admit(const QByteArray& source);
    // One line for what was held back since the last; nothing when nothing was.
    void flush();

private:
    static constexpr qint64 WindowMs = 1000;

    QElapsedTimer clock_;
    WindowedCounts perSource_{WindowMs};
    WindowedCounts all_{WindowMs};  // one key for everyone
    QHash<QByteArray, qint64> held_;
};

}  // namespace lobby
