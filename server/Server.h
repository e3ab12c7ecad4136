#pragma once
// The listening socket and the connections: accepts clients under the
// per-address cap, feeds their lines to the lobby and writes its answers.

#include "Connection.h"
#include "PasswordHasher.h"
#include "Sessions.h"

#include <QHash>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTimer>
#include <memory>

namespace lobby {

class AccountStore;
class Lobby;

struct ServerConfig
{
    static constexpr quint16 DefaultPort = 9876;
    static constexpr int DefaultMaxPerAddress = 5;

    quint16 port = DefaultPort;  // 0: any free port
    QString databasePath;
    int maxPerAddress = DefaultMaxPerAddress;
    // Lines queued for a peer that does not read; past this it is cut off.
    // The most a reading client gets at once is a turn change (about 10 KB)
    // or the user list (about 20 bytes a user): room for many while it catches up.
    static constexpr qint64 DefaultMaxQueuedBytes = 256 * 1024;
    // All that the connections may queue together. A full user list to
    // everyone at 2,000 users is about 80 MB at once; past this the slowest
    // readers go, so peers who never read cannot take the machine's memory.
    static constexpr qint64 DefaultOutputBudgetBytes = 128 * 1024 * 1024;
    qint64 maxQueuedBytes = DefaultMaxQueuedBytes;
    // Game data a member may send, in bytes (RelayLimit).
    FloodLimit relayLimit = RelayLimit;
    qint64 outputBudgetBytes = DefaultOutputBudgetBytes;
    HashCost hashCost = HashCost::standard();
    int hashThreads = PasswordHasher::defaultThreads();
    LoginLimits loginLimits;
    // Tests hold logins there while they act (PasswordHasher).
    PasswordHasher::LookedUp loginLookedUp;
};

// Three members at their relay budget never fill a fourth one's queue on their own.
static_assert((MaxGameMembers - 1) * RelayLimit.burst < ServerConfig::DefaultMaxQueuedBytes);

class Server : public QObject, private Outbox
{
    Q_OBJECT

public:
    explicit Server(ServerConfig config, QObject* parent = nullptr);
    ~Server() override;

    // Opens the database and listens; false with a reason on failure.
    bool start(QString* error);
    quint16 port() const { return listener_.serverPort(); }
    // Closes every connection and the database.
    void shutdown();

private:
    void send(SessionId id, const QByteArray& bytes) override;
    void disconnect(SessionId id) override;
    void accept();
    void acceptFailed(int error);
    void resumeAccepting();
    void acceptTimerDone();
    void closed(SessionId id, const QString& why);
    void cutSlowestReaders();
    void giveMemoryBack();

    ServerConfig config_;
    QTcpServer listener_;
    // Accepts on the listener's socket. QTcpServer's own loop retries a
    // failed accept at once, forever, when the process is out of
    // descriptors, and reports it only now and then.
    std::unique_ptr<QSocketNotifier> acceptReady_;
    std::unique_ptr<AccountStore> store_;
    std::unique_ptr<PasswordHasher> hasher_;
    std::unique_ptr<Lobby> lobby_;
    OutputBudget output_;
    QHash<SessionId, Connection*> connections_;
    QHash<QByteArray, int> perAddress_;
    SessionId nextId_ = 1;
    QTimer sweep_;
    // Accepting waits while the process is out of descriptors. The timer
    // ends the wait, or, once accepting again, the shortage: it is logged
    // once, until accepting has gone on that long without failing.
    QTimer acceptTimer_;
    bool acceptPaused_ = false;
    bool descriptorsShort_ = false;
};

}  // namespace lobby
