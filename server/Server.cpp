#include "Server.h"

#include "AccountStore.h"
#include "Connection.h"
#include "Lobby.h"
#include "Log.h"

#include <QTcpSocket>

#include <cerrno>
#include <cstring>
#include <malloc.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lobby {

namespace {

constexpr int SweepIntervalMs = 5000;
// Room for a crowd connecting at once without the kernel dropping their
// first attempts.
constexpr int ListenBacklog = 1024;
// A refused peer that does not read its last line is cut off after this.
constexpr int RefusalGraceMs = 5000;
// The heap keeps freed memory for reuse (main.cpp); after this much output
// was dropped or sent it is handed back to the system.
constexpr qint64 GiveBackAfterBytes = 16 * 1024 * 1024;
// Accepting again after a failed accept, unless a connection closes first.
constexpr int AcceptBackoffMs = 1000;
// Out of descriptors, a connection that has not logged in within this long
// makes room for a new one: a client sends its login as it connects.
constexpr qint64 LoginWaitBeforeMakingRoomMs = 2000;

}  // namespace

Server::Server(ServerConfig config, QObject* parent)
    : QObject(parent), config_(std::move(config)), output_(config_.maxQueuedBytes, config_.outputBudgetBytes)
{
    acceptTimer_.setSingleShot(true);
    connect(&acceptTimer_, &QTimer::timeout, this, &Server::acceptTimerDone);
}

Server::~Server()
{
    shutdown();
}

bool Server::start(QString* error)
{
    store_ = std::make_unique<AccountStore>(config_.databasePath);
    // The ranks are read now rather than by the first user to ask.
    const bool opened = store_->isOpen();
    if (!opened || !store_->loadRanks()) {
        *error = opened ? QStringLiteral("cannot read the accounts' wins: %1").arg(store_->error())
                        : QStringLiteral("cannot open the database %1: %2").arg(config_.databasePath, store_->error());
        store_.reset();
        return false;
    }
    hasher_ = std::make_unique<PasswordHasher>(config_.databasePath, config_.hashCost, config_.hashThreads,
                                               config_.loginLimits, config_.loginLookedUp);
    lobby_ = std::make_unique<Lobby>(static_cast<Outbox&>(*this), *hasher_, *store_);
    listener_.setListenBacklogSize(ListenBacklog);
    if (!listener_.listen(QHostAddress::Any, config_.port)) {
        *error = QStringLiteral("cannot listen on port %1: %2").arg(config_.port).arg(listener_.errorString());
        shutdown();
        return false;
    }
    listener_.pauseAccepting();
    acceptReady_ = std::make_unique<QSocketNotifier>(listener_.socketDescriptor(), QSocketNotifier::Read);
    connect(acceptReady_.get(), &QSocketNotifier::activated, this, &Server::accept);
    connect(&sweep_, &QTimer::timeout, lobby_.get(), &Lobby::sweep);
    connect(&sweep_, &QTimer::timeout, this, &Server::giveMemoryBack);
    sweep_.start(SweepIntervalMs);
    logLine(QStringLiteral("listening on port %1, accounts in %2").arg(port()).arg(config_.databasePath));
    return true;
}

void Server::shutdown()
{
    if (!store_)
        return;
    acceptReady_.reset();
    listener_.close();
    sweep_.stop();
    acceptTimer_.stop();
    hasher_.reset();  // waits for a login under way to commit
    for (Connection* connection : std::as_const(connections_)) {
        connection->disconnect(this);
        connection->shutdown();
        delete connection;
    }
    connections_.clear();
    perAddress_.clear();
    lobby_.reset();
    store_.reset();
    logLine(QStringLiteral("stopped"));
}

void Server::accept()
{
    for (;;) {
        const int descriptor = ::accept4(int(listener_.socketDescriptor()), nullptr, nullptr, SOCK_CLOEXEC);
        if (descriptor < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;  // a peer that gave up while queued
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                acceptFailed(errno);
            return;
        }
        auto* socket = new QTcpSocket;
        if (!socket->setSocketDescriptor(descriptor)) {
            ::close(descriptor);
            delete socket;
            continue;
        }
        const QByteArray address = addressText(*socket);
        const bool banned = lobby_->isAddressBanned(address);
        if (banned || perAddress_.value(address) >= config_.maxPerAddress) {
            if (lobby_->throttledLog().admit(LogKind::RefusedConnections, address))
                logLine(QStringLiteral("connection from %1 refused: %2")
                            .arg(toText(address), banned ? QStringLiteral("banned") : QStringLiteral("too many connections")));
            if (banned)
                socket->write(line(kw::IpBan));
            socket->disconnectFromHost();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QTimer::singleShot(RefusalGraceMs, socket, &QObject::deleteLater);
            continue;
        }
        const SessionId id = nextId_++;
        auto* connection = new Connection(socket, id, output_, config_.relayLimit, this);
        connections_.insert(id, connection);
        ++perAddress_[address];
        connect(connection, &Connection::lineReceived, lobby_.get(), &Lobby::received);
        connect(connection, &Connection::flooded, lobby_.get(), &Lobby::flooded);
        connect(connection, &Connection::closed, this, &Server::closed);
        lobby_->connected(id, address);
    }
}

void Server::acceptFailed(int error)
{
    // Typically out of descriptors: trying again at once would only fail
    // again, as fast as the loop turns.
    acceptReady_->setEnabled(false);
    acceptPaused_ = true;
    acceptTimer_.start(AcceptBackoffMs);
    // Idle connections must not keep new users out until the login time-out;
    // logged-in users are never closed for it. Its close resumes accepting.
    if (error == EMFILE || error == ENFILE)
        if (Connection* waiting = connections_.value(lobby_->longestWaitingLogin(LoginWaitBeforeMakingRoomMs)))
            waiting->abort(QStringLiteral("out of descriptors: closed to make room, not logged in"));
    if (descriptorsShort_)
        return;
    descriptorsShort_ = true;
    logLine(QStringLiteral("cannot accept connections (%1) with %2 open; waiting for one to close")
                .arg(QString::fromLocal8Bit(std::strerror(error)))
                .arg(connections_.size()));
}

void Server::resumeAccepting()
{
    acceptPaused_ = false;
    acceptReady_->setEnabled(true);
    acceptTimer_.start(AcceptBackoffMs);
}

void Server::acceptTimerDone()
{
    if (acceptPaused_)
        return resumeAccepting();
    descriptorsShort_ = false;
    logLine(QStringLiteral("accepting connections again with %1 open").arg(connections_.size()));
}

void Server::closed(SessionId id, const QString& why)
{
    Connection* connection = connections_.take(id);
    if (!connection)
        return;
    auto count = perAddress_.find(connection->address());
    if (count != perAddress_.end() && --*count <= 0)
        perAddress_.erase(count);
    lobby_->disconnected(id, why);
    // A descriptor is free again.
    if (acceptPaused_)
        resumeAccepting();
}

void Server::send(SessionId id, const QByteArray& bytes)
{
    if (Connection* connection = connections_.value(id)) {
        connection->write(bytes);
        if (output_.exceeded())
            cutSlowestReaders();
    }
}

void Server::cutSlowestReaders()
{
    // The one with the most queued is the one that reads least.
    while (output_.exceeded()) {
        Connection* slowest = nullptr;
        for (Connection* connection : std::as_const(connections_))
            if (!connection->isFinished() && (!slowest || connection->queued() > slowest->queued()))
                slowest = connection;
        if (!slowest || slowest->queued() == 0)
            return;
        slowest->abort(QStringLiteral("slowest reader over the output budget"));
    }
}

void Server::giveMemoryBack()
{
    if (output_.takePeak() - output_.total() >= GiveBackAfterBytes)
        malloc_trim(0);
}

void Server::disconnect(SessionId id)
{
    if (Connection* connection = connections_.value(id))
        connection->closeAfterFlush();
}

}  // namespace lobby
