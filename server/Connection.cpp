#include "Connection.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace lobby {

namespace {

// Read in bounded chunks so the framer never holds more than one line at the
// cap plus one chunk, however much a peer sends.
constexpr qint64 ReadChunkBytes = 64 * 1024;
// Lines the lobby has queued for a peer that does not read; past this it is
// cut off rather than grow without bound.
constexpr qint64 MaxQueuedWriteBytes = 8 * 1024 * 1024;
// Chat and lobby commands: a short burst, then a few lines a second.
constexpr double LobbyBurstLines = 20;
constexpr double LobbyLinesPerSecond = 4;
// Game data: a turn change sends about 101 lines at once, so the limit is
// far higher; it only stops a peer that floods its game.
constexpr double GameBurstLines = 4000;
constexpr double GameLinesPerSecond = 1000;
// A client says nothing while it idles in the lobby, so dead peers are found
// by TCP keep-alive probes: after a minute of silence, six probes ten
// seconds apart.
constexpr int KeepAliveIdleSeconds = 60;
constexpr int KeepAliveIntervalSeconds = 10;
constexpr int KeepAliveProbes = 6;
// How long a closing connection may take to send its last lines.
constexpr int CloseGraceMs = 5000;

void enableKeepAlive(QTcpSocket& socket)
{
    socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const auto fd = static_cast<int>(socket.socketDescriptor());
    if (fd < 0)
        return;
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &KeepAliveIdleSeconds, sizeof(int));
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &KeepAliveIntervalSeconds, sizeof(int));
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &KeepAliveProbes, sizeof(int));
}

}  // namespace

QByteArray addressText(const QTcpSocket& socket)
{
    const QHostAddress peer = socket.peerAddress();
    bool mapped = false;
    const quint32 v4 = peer.toIPv4Address(&mapped);
    return (mapped ? QHostAddress(v4) : peer).toString().toLatin1();
}

Connection::Connection(QTcpSocket* socket, SessionId id, QObject* parent)
    : QObject(parent),
      socket_(socket),
      id_(id),
      address_(addressText(*socket)),
      lobbyLines_(LobbyBurstLines, LobbyLinesPerSecond),
      gameLines_(GameBurstLines, GameLinesPerSecond)
{
    socket_->setParent(this);
    socket_->setReadBufferSize(ReadChunkBytes);
    enableKeepAlive(*socket_);
    clock_.start();
    closeGrace_.setSingleShot(true);
    connect(&closeGrace_, &QTimer::timeout, this, [this] { abort(QStringLiteral("did not read its last lines")); });
    connect(socket_, &QTcpSocket::readyRead, this, &Connection::readLines);
    connect(socket_, &QTcpSocket::disconnected, this, [this] { finish(QStringLiteral("closed")); });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError)
            finish(socket_->errorString());
        socket_->abort();
    });
}

Connection::~Connection() = default;

void Connection::readLines()
{
    while (socket_->bytesAvailable() > 0) {
        const QByteArray chunk = socket_->read(ReadChunkBytes);
        if (finished_ || closing_)
            continue;  // closing: the rest is not read as lines
        if (!framer_.append(chunk))
            return abort(QStringLiteral("line over the length limit"));
        while (auto line = framer_.takeLine()) {
            const bool gameData = line->startsWith(kw::GameData);
            bool& flooding = gameData ? gameFlooding_ : lobbyFlooding_;
            if (!(gameData ? gameLines_ : lobbyLines_).take(clock_.elapsed())) {
                if (!flooding)
                    emit flooded(id_);
                flooding = true;
                continue;
            }
            flooding = false;
            emit lineReceived(id_, *line);
            if (finished_ || closing_)
                return;
        }
        if (framer_.overflowed())
            return abort(QStringLiteral("line over the length limit"));
    }
}

void Connection::write(const QByteArray& bytes)
{
    if (finished_ || closing_)
        return;  // its last lines are already queued
    socket_->write(bytes);
    if (socket_->bytesToWrite() > MaxQueuedWriteBytes)
        abort(QStringLiteral("not reading"));
}

void Connection::closeAfterFlush()
{
    if (finished_ || closing_)
        return;
    closing_ = true;
    closeGrace_.start(CloseGraceMs);
    socket_->disconnectFromHost();
}

void Connection::abort()
{
    abort(QStringLiteral("closed"));
}

void Connection::abort(const QString& why)
{
    finish(why);
    socket_->abort();
}

void Connection::shutdown()
{
    finished_ = true;
    socket_->flush();
    socket_->disconnectFromHost();
}

void Connection::finish(const QString& why)
{
    if (finished_)
        return;
    finished_ = true;
    closeGrace_.stop();
    emit closed(id_, why);
    deleteLater();
}

}  // namespace lobby
