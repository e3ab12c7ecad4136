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

class QTcpSocket;

namespace lobby {

class Connection : public QObject
{
    Q_OBJECT

public:
    Connection(QTcpSocket* socket, SessionId id, QObject* parent = nullptr);
    ~Connection() override;

    SessionId id() const { return id_; }
    QByteArray address() const { return address_; }

    void write(const QByteArray& bytes);
    // Sends what is queued, then closes; a peer that does not read is cut off.
    void closeAfterFlush();
    void abort();
    // Server shutdown: sends what the socket takes at once and closes, quietly.
    void shutdown();

signals:
    void lineReceived(lobby::SessionId id, const QByteArray& line);
    // Lines are being dropped for flooding; raised once per flood.
    void flooded(lobby::SessionId id);
    // Raised once, whoever closed; the connection deletes itself afterwards.
    void closed(lobby::SessionId id, const QString& why);

private:
    void readLines();
    void abort(const QString& why);
    void finish(const QString& why);

    QTcpSocket* socket_;
    SessionId id_;
    QByteArray address_;
    platform::LineFramer framer_;
    TokenBucket lobbyLines_;
    TokenBucket gameLines_;
    bool lobbyFlooding_ = false;
    bool gameFlooding_ = false;
    bool closing_ = false;
    bool finished_ = false;
    QElapsedTimer clock_;
    QTimer closeGrace_;
};

// The text form of an address, IPv4 addresses without their IPv6 mapping.
QByteArray addressText(const QTcpSocket& socket);

}  // namespace lobby
