#pragma once
// One time-stamped line on stderr per connection, login, game and
// moderation action. Not synced: a log is nothing a person would lose.

#include "WindowedCounts.h"

#include <QByteArrayView>
#include <QElapsedTimer>
#include <QByteArrayList>
#include <QHash>
#include <QString>

#include <array>
#include <functional>

namespace lobby {

void logLine(const QString& text);
// Tests and the benchmark's server turn the log off.
void setLogging(bool on);
// Tests read the log: lines go to the sink instead of stderr; none for stderr.
void setLogSink(std::function<void(const QString&)> sink);

// A peer's own text (a line, a name, a version) as the log quotes it: cut,
// so a peer's long lines cannot make long log lines.
constexpr qsizetype MaxLoggedPeerBytes = 120;
QString loggedText(QByteArrayView peerText);

// What a bounded log line is about. Each kind has an allowance of its own,
// so a flood of refused battle lines cannot hide a refused login or ban.
enum class LogKind {
    RefusedLines,
    RefusedLogins,
    RefusedModeration,
    RefusedConnections,
    // Connections closed before they logged in: strangers cost nothing
    // either, so their comings and goings are bounded like refusals.
    ClosedBeforeLogin,
    // Joins, leaves, boots and the rest of a room's life, by the account
    // that acted: a boot and a join again cost nothing either.
    RoomActions,
};

// Refusals and room actions cost their sender nothing, so a flood of them
// must not grow the log without bound: per kind, a few a second are logged from each source
// and from all together, the rest are only counted, and flush() says how
// many from each source and which accounts it tried.
class ThrottledLog
{
public:
    static constexpr int PerSourcePerSecond = 5;
    static constexpr int AllPerSecond = 10;
    // The sources with the most held back are named; the others are summed.
    static constexpr int NamedInNote = 5;
    // Sources held apart between two notes, per kind; the rest are summed
    // as they come, so the table stays small whoever floods.
    static constexpr int MaxHeldSources = 1000;
    // Accounts a source tried that its note names; more are only hinted at.
    static constexpr int AccountsNamedPerSource = 3;

    ThrottledLog() { clock_.start(); }
    ~ThrottledLog() { flush(); }
    ThrottledLog(const ThrottledLog&) = delete;
    ThrottledLog& operator=(const ThrottledLog&) = delete;

    // True when a line of `kind` from `source` (a user's name, or an
    // address) is to be logged; otherwise it is counted under the source,
    // with the `account` it tried, if any, and the caller builds no text.
    bool admit(LogKind kind, const QByteArray& source, QByteArrayView account = {});
    // One line per kind for what was held back since the last; nothing for
    // a kind with nothing held back.
    void flush();

private:
    static constexpr qint64 WindowMs = 1000;
    static constexpr int KindCount = int(LogKind::RoomActions) + 1;

    struct Held
    {
        qint64 count = 0;
        QByteArrayList accounts;  // the first few tried, cut as quoted
        bool moreAccounts = false;
    };
    struct Allowance
    {
        WindowedCounts perSource{WindowMs};
        WindowedCounts all{WindowMs};  // one key for everyone
        QHash<QByteArray, Held> held;
        qint64 heldUnnamed = 0;  // beyond MaxHeldSources
    };
    void flush(LogKind kind, Allowance& allowance);

    QElapsedTimer clock_;
    std::array<Allowance, KindCount> kinds_;
};

}  // namespace lobby
