#pragma once
// One client's socket: reads CR LF lines under the size cap, applies the
// flood limits, and writes what the lobby sends. Knows nothing of the
// lobby's logic beyond telling game-data lines from the rest.

#include "Protocol.h"
#include "TokenBucket.h"
#include "platform/LineFramer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <utility>

class QTcpSocket;

namespace lobby {

// A flood limit: a burst of lines (or bytes), then so many a second.
struct FloodLimit
{
    double burst;
    double perSecond;
};

// Chat and lobby commands, and game-data lines that carry room or battle
// chat: a short burst, then a few lines a second.
inline constexpr FloodLimit ChatLimit{20, 4};
// STARTGAME, REMOVEGAME and LEAVEGAME: a client sends a few per game, and
// one lost to a chat burst would leave a game open that nobody is in.
inline constexpr FloodLimit ControlLimit{10, 1};
// Game data: a turn change sends about 101 lines at once, so the limit is
// far higher; it only stops a peer that floods its game.
inline constexpr FloodLimit GameLimit{4000, 1000};
// Bytes of game data, chat included, that a member sends: each line goes to
// up to three others, so three members at this budget never fill the queue
// of one who reads at 64 KB/s (48 KB/s at most, and a 192 KB burst against
// ServerConfig::DefaultMaxQueuedBytes). A turn's sync (101 lines, about
// 10 KB) passes at once. Past it the sender's lines wait unread, in order,
// and a sender whose lines keep waiting is cut.
inline constexpr FloodLimit RelayLimit{64 * 1024, 16 * 1024};
// Honest play never waits on the relay budget. A sender whose lines have
// waited this long at once is flooding, and is cut: a peer that left
// meanwhile would otherwise be noticed only once all it sent had been read.
inline constexpr qint64 RelayWaitLimitMs = 5000;

// What the connections have queued to send, each and all together: the
// bound on the lobby's memory that no number of peers who do not read can pass.
class OutputBudget
{
public:
    OutputBudget(qint64 perConnectionBytes, qint64 totalBytes) : perConnection_(perConnectionBytes), limit_(totalBytes) {}
    qint64 perConnection() const { return perConnection_; }
    void change(qint64 deltaBytes)
    {
        total_ += deltaBytes;
        peak_ = std::max(peak_, total_);
    }
    bool exceeded() const { return total_ > limit_; }
    qint64 total() const { return total_; }
    // The most queued since the last call: how much was freed since then.
    qint64 takePeak()
    {
        return std::exchange(peak_, total_);
    }

private:
    qint64 perConnection_;
    qint64 limit_;
    qint64 total_ = 0;
    qint64 peak_ = 0;
};

class Connection : public QObject
{
    Q_OBJECT

public:
    Connection(QTcpSocket* socket, SessionId id, OutputBudget& budget, FloodLimit relayLimit,
               QObject* parent = nullptr);
    ~Connection() override;

    SessionId id() const { return id_; }
    QByteArray address() const { return address_; }

    // Queues the bytes. A peer whose queue passes its cap is cut off, from
    // the event loop: a write never closes anything inside its caller.
    void write(const QByteArray& bytes);
    // Sends what is queued, then closes; a peer that does not read is cut off.
    void closeAfterFlush();
    // Drops the connection and what it has queued; `closed` follows from the event loop.
    void abort(const QString& why);
    // Bytes queued and not yet taken by the socket; 0 once it is finished.
    qint64 queued() const { return queued_; }
    bool isFinished() const { return finished_; }
    // Server shutdown: sends what the socket takes at once and closes, quietly.
    void shutdown();

signals:
    void lineReceived(lobby::SessionId id, const QByteArray& line);
    // Lines are being dropped for flooding; raised once per flood.
    void flooded(lobby::SessionId id);
    // Raised once, whoever closed, always from the event loop; the connection
    // deletes itself afterwards.
    void closed(lobby::SessionId id, const QString& why);

private:
    void readLines();
    void handle(const QByteArray& line);
    void finish(const QString& why);
    void noteQueued();
    // The flood limit a line counts against, and whether it is dropping lines.
    struct Limit
    {
        TokenBucket& bucket;
        bool& flooding;
    };
    Limit limitFor(QByteArrayView line);

    QTcpSocket* socket_;
    SessionId id_;
    QByteArray address_;
    platform::LineFramer framer_;
    OutputBudget& budget_;
    qint64 queued_ = 0;
    TokenBucket chatLines_;
    TokenBucket controlLines_;
    TokenBucket gameLines_;
    TokenBucket relayBytes_;
    bool chatFlooding_ = false;
    bool controlFlooding_ = false;
    bool gameFlooding_ = false;
    bool closing_ = false;
    bool finished_ = false;
    QElapsedTimer clock_;
    QTimer closeGrace_;
    // Runs while the relay budget is spent: nothing is read meanwhile.
    QTimer resume_;
    // When its lines began to wait on the relay budget; -1 when they do not.
    qint64 waitingSinceMs_ = -1;
};

// The text form of an address, IPv4 addresses without their IPv6 mapping.
QByteArray addressText(const QTcpSocket& socket);

}  // namespace lobby
