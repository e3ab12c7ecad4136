#include "Server.h"

#include "AccountStore.h"
#include "Connection.h"
#include "Lobby.h"
#include "Log.h"

#include <QTcpSocket>

namespace lobby {

namespace {

constexpr int SweepIntervalMs = 5000;
// Room for a crowd connecting at once without the kernel dropping their
// first attempts.
constexpr int ListenBacklog = 1024;
// A refused peer that does not read its last line is cut off after this.
constexpr int RefusalGraceMs = 5000;
// Accepting again after a failed accept, unless a connection closes first.
constexpr int AcceptBackoffMs = 1000;

}  // namespace

Server::Server(ServerConfig config, QObject* parent) : QObject(parent), config_(std::move(config))
{
    acceptBackoff_.setSingleShot(true);
    connect(&acceptBackoff_, &QTimer::timeout, this, &Server::resumeAccepting);
}

Server::~Server()
{
    shutdown();
}

bool Server::start(QString* error)
{
    store_ = std::make_unique<AccountStore>(config_.databasePath);
    if (!store_->isOpen()) {
        *error = QStringLiteral("cannot open the database %1: %2").arg(config_.databasePath, store_->error());
        store_.reset();
        return false;
    }
    hasher_ = std::make_unique<PasswordHasher>(config_.databasePath, config_.hashCost, config_.hashThreads,
                                               config_.newAccountsPerHour);
    lobby_ = std::make_unique<Lobby>(static_cast<Outbox&>(*this), *hasher_, *store_);
    listener_.setListenBacklogSize(ListenBacklog);
    if (!listener_.listen(QHostAddress::Any, config_.port)) {
        *error = QStringLiteral("cannot listen on port %1: %2").arg(config_.port).arg(listener_.errorString());
        shutdown();
        return false;
    }
    connect(&listener_, &QTcpServer::newConnection, this, &Server::accept);
    connect(&listener_, &QTcpServer::acceptError, this, &Server::acceptFailed);
    connect(&sweep_, &QTimer::timeout, lobby_.get(), &Lobby::sweep);
    sweep_.start(SweepIntervalMs);
    logLine(QStringLiteral("listening on port %1, accounts in %2").arg(port()).arg(config_.databasePath));
    return true;
}

void Server::shutdown()
{
    if (!store_)
        return;
    listener_.close();
    sweep_.stop();
    acceptBackoff_.stop();
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
    while (QTcpSocket* socket = listener_.nextPendingConnection()) {
        const QByteArray address = addressText(*socket);
        if (lobby_->isAddressBanned(address) || perAddress_.value(address) >= config_.maxPerAddress) {
            const bool banned = lobby_->isAddressBanned(address);
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
        auto* connection = new Connection(socket, id, this);
        connections_.insert(id, connection);
        ++perAddress_[address];
        connect(connection, &Connection::lineReceived, lobby_.get(), &Lobby::received);
        connect(connection, &Connection::flooded, lobby_.get(), &Lobby::flooded);
        connect(connection, &Connection::closed, this, &Server::closed);
        logLine(QStringLiteral("connection %1 from %2").arg(id).arg(toText(address)));
        lobby_->connected(id, address);
        if (shortAt_ >= 0 && connections_.size() < shortAt_) {
            shortAt_ = -1;
            logLine(QStringLiteral("accepting connections again"));
        }
    }
}

void Server::acceptFailed(QAbstractSocket::SocketError error)
{
    // Typically out of descriptors: trying again at once would only fail
    // again, as fast as the loop turns.
    listener_.pauseAccepting();
    acceptBackoff_.start(AcceptBackoffMs);
    if (shortAt_ >= 0)
        return;
    shortAt_ = connections_.size();
    logLine(QStringLiteral("cannot accept connections (%1) with %2 open; waiting for one to close")
                .arg(error == QAbstractSocket::SocketResourceError ? QStringLiteral("out of descriptors")
                                                                   : listener_.errorString())
                .arg(connections_.size()));
}

void Server::resumeAccepting()
{
    acceptBackoff_.stop();
    listener_.resumeAccepting();
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
    if (acceptBackoff_.isActive())
        resumeAccepting();
}

void Server::send(SessionId id, const QByteArray& bytes)
{
    if (Connection* connection = connections_.value(id))
        connection->write(bytes);
}

void Server::disconnect(SessionId id)
{
    if (Connection* connection = connections_.value(id))
        connection->closeAfterFlush();
}

}  // namespace lobby
