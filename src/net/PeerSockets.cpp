// The rooms' direct connection between host and joined player, and the host's
// timed map transfer. Nothing listens, connects or enables the timer: all room
// and battle traffic goes through the lobby connection. The handlers stand
// ready with the lines they would write in the form they would write them.

#include "data/GameData.h"
#include "data/MapFile.h"
#include "net/frmHost.h"
#include "net/frmJoin.h"

using namespace modStrat;

namespace {

// "GDATA", game number, keyword, value and "@": no "@@" and no line end.
QString transferLine(const QString& keyword, const QString& value)
{
    return QStringLiteral("GDATA") + GameNumber + keyword + value + QLatin1Char('@');
}

// Received peer text is split into its parts, which nothing reads.
void ignoreParts(QTcpSocket& socket)
{
    const QStringList parts = QString::fromLatin1(socket.readAll()).split(QLatin1Char('@'));
    Q_UNUSED(parts);
}

}  // namespace

void frmHost::Server_ConnectionRequest()
{
    // One peer at a time: a new request replaces the last.
    if (peer_)
        peer_->abort();
    peer_ = Server.nextPendingConnection();
    if (!peer_)
        return;
    connect(peer_, &QTcpSocket::readyRead, this, &frmHost::Server_DataArrival);
    write(transferLine(QStringLiteral("MYNAME"), UserName));
}

void frmHost::Server_DataArrival()
{
    if (peer_)
        ignoreParts(*peer_);
}

void frmHost::AcceptConnection()
{
    // The socket this would accept on is never assigned: closing and accepting are skipped.
    if (unassigned_)
        unassigned_->abort();
    setChat(QStringLiteral("[Client Connected]"));
    ControlsEnabled = true;
    emit changed();
}

void frmHost::timeSend_Timer()
{
    TransferPath = MapFile;
    const mapfile::MapReader map(TransferPath);
    const std::int16_t n = TransferItem;
    write(transferLine(QStringLiteral("MAPNUM"), QString::number(n)));
    write(transferLine(QStringLiteral("MAPTYPE"), map.text(mapfile::key("T", n))));
    if (n <= MapTransferUnits) {
        write(transferLine(QStringLiteral("UNITNUM"), QString::number(n)));
        write(transferLine(QStringLiteral("UNITTYPE"), map.text(mapfile::key("UT", n))));
        write(transferLine(QStringLiteral("UNITPLAYER"), map.text(mapfile::key("UP", n))));
        write(transferLine(QStringLiteral("UNITX"), map.text(mapfile::key("ULEFT", n))));
        write(transferLine(QStringLiteral("UNITY"), map.text(mapfile::key("UTOP", n))));
    }
    if (n == TransferLast) {
        timeSend.stop();
        write(transferLine(QStringLiteral("MAPDONE"), QString()));
    }
    TransferItem = std::int16_t(n + 1);
}

void frmJoin::Client_Connect()
{
    FileTransfer.connectToHost(Client.peerName(), FileTransferPort);
}

void frmJoin::Client_DataArrival()
{
    ignoreParts(Client);
}

void frmJoin::FileTransfer_Connect()
{
    setChat(QStringLiteral("[Connected!]"));
    ControlsEnabled = true;
    emit changed();
}
