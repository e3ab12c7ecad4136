#include "Connection.h"

#include "GameData.h"
#include "platform/KeepAlive.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace lobby {

namespace {

// Read in bounded chunks so the framer never holds more than one line at the
// cap plus one chunk, however much a peer sends.
constexpr qint64 ReadChunkBytes = 64 * 1024;
// Queued output past this is handed to the system at once (see write).
constexpr qint64 FlushAfterBytes = 64 * 1024;
// How long a closing connection may take to send its last lines.
constexpr int CloseGraceMs = 5000;
// A sender past its relay budget reads again once a whole line's worth has
// come back: a few wake-ups a second, however short its lines.
constexpr double ResumeAfterBytes = platform::LineFramer::MaxLineBytes;
// The CR LF that each relayed line is sent with.
constexpr qint64 LineEndBytes = 2;

}  // namespace

QByteArray addressText(const QTcpSocket& socket)
{
    const QHostAddress peer = socket.peerAddress();
    bool mapped = false;
    const quint32 v4 = peer.toIPv4Address(&mapped);
    return (mapped ? QHostAddress(v4) : peer).toString().toLatin1();
}

Connection::Connection(QTcpSocket* socket, SessionId id, OutputBudget& budget, FloodLimit relayLimit,
                       QObject* parent)
    : QObject(parent),
      socket_(socket),
      id_(id),
      address_(addressText(*socket)),
      budget_(budget),
      chatLines_(ChatLimit.burst, ChatLimit.perSecond),
      controlLines_(ControlLimit.burst, ControlLimit.perSecond),
      gameLines_(GameLimit.burst, GameLimit.perSecond),
      relayBytes_(relayLimit.burst, relayLimit.perSecond)
{
    socket_->setParent(this);
    socket_->setReadBufferSize(ReadChunkBytes);
    // A client says nothing while it idles in the lobby: dead peers are found by keep-alive.
    platform::enableKeepAlive(socket_->socketDescriptor());
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    clock_.start();
    closeGrace_.setSingleShot(true);
    connect(&closeGrace_, &QTimer::timeout, this, [this] { abort(QStringLiteral("did not read its last lines")); });
    resume_.setSingleShot(true);
    connect(&resume_, &QTimer::timeout, this, &Connection::readLines);
    connect(socket_, &QTcpSocket::readyRead, this, &Connection::readLines);
    connect(socket_, &QTcpSocket::bytesWritten, this, &Connection::noteQueued);
    connect(socket_, &QTcpSocket::disconnected, this, [this] { finish(QStringLiteral("closed")); });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError)
            finish(socket_->errorString());
        socket_->abort();
    });
}

Connection::~Connection()
{
    // A finished connection gave its share back already (and may outlive the budget).
    if (!finished_)
        budget_.change(-queued_);
}

Connection::Limit Connection::limitFor(QByteArrayView line)
{
    if (line.startsWith(kw::StartGame) || line.startsWith(kw::RemoveGame) || line.startsWith(kw::LeaveGame))
        return {controlLines_, controlFlooding_};
    // Room and battle chat is chat, whatever carries it.
    if (line.startsWith(kw::GameData) && !carriesChat(line))
        return {gameLines_, gameFlooding_};
    return {chatLines_, chatFlooding_};
}

void Connection::readLines()
{
    // Paused, the socket keeps what arrives, up to its read buffer, and the
    // sender's own buffers fill behind it.
    while (!resume_.isActive()) {
        if (finished_ || closing_) {
            while (socket_->bytesAvailable() > 0)
                socket_->read(ReadChunkBytes);  // closing: the rest is not read as lines
            return;
        }
        // Lines framed before a pause go first.
        if (auto line = framer_.takeLine()) {
            handle(*line);
            continue;
        }
        if (framer_.overflowed())
            return abort(QStringLiteral("line over the length limit"));
        if (socket_->bytesAvailable() <= 0) {
            waitingSinceMs_ = -1;  // all it sent is read
            return;
        }
        if (!framer_.append(socket_->read(ReadChunkBytes)))
            return abort(QStringLiteral("line over the length limit"));
    }
}

void Connection::handle(const QByteArray& line)
{
    const qint64 now = clock_.elapsed();
    const Limit limit = limitFor(line);
    if (!limit.bucket.take(now)) {
        if (!limit.flooding)
            emit flooded(id_);
        limit.flooding = true;
        return;
    }
    limit.flooding = false;
    emit lineReceived(id_, line);
    if (!line.startsWith(kw::GameData))
        return;
    relayBytes_.spend(now, double(line.size() + LineEndBytes));
    if (!relayBytes_.owes())
        return;
    if (waitingSinceMs_ < 0)
        waitingSinceMs_ = now;
    else if (now - waitingSinceMs_ > RelayWaitLimitMs)
        return abort(QStringLiteral("relaying past its budget"));
    resume_.start(int(relayBytes_.msUntil(ResumeAfterBytes)));
}

void Connection::write(const QByteArray& bytes)
{
    if (finished_ || closing_)
        return;  // its last lines are already queued
    socket_->write(bytes);
    // The socket hands the system one block per event-loop pass, which a
    // burst outruns; past this the system gets all it takes at once, so that
    // only what a peer leaves unread counts against it.
    if (socket_->bytesToWrite() > FlushAfterBytes)
        socket_->flush();
    noteQueued();
    if (queued_ > budget_.perConnection())
        abort(QStringLiteral("not reading"));
}

void Connection::noteQueued()
{
    if (finished_)
        return;
    const qint64 now = socket_->bytesToWrite();
    budget_.change(now - queued_);
    queued_ = now;
}

void Connection::closeAfterFlush()
{
    if (finished_ || closing_)
        return;
    closing_ = true;
    resume_.stop();
    closeGrace_.start(CloseGraceMs);
    socket_->disconnectFromHost();
}

void Connection::abort(const QString& why)
{
    finish(why);
    socket_->abort();
}

void Connection::shutdown()
{
    finished_ = true;
    budget_.change(-queued_);
    queued_ = 0;
    socket_->flush();
    socket_->disconnectFromHost();
}

void Connection::finish(const QString& why)
{
    if (finished_)
        return;
    finished_ = true;
    closeGrace_.stop();
    resume_.stop();
    // What it has queued is dropped with it.
    budget_.change(-queued_);
    queued_ = 0;
    // The lobby hears of it from the event loop, never inside a send or a
    // close it is making: it may be looping over the members of a game.
    QMetaObject::invokeMethod(this, [this, why] {
        socket_->abort();
        emit closed(id_, why);
        deleteLater();
    }, Qt::QueuedConnection);
}

}  // namespace lobby
