#include "net/frmJoin.h"

#include "data/GameData.h"
#include "data/MapFile.h"
#include "net/GameDataLines.h"
#include "net/LobbyProtocol.h"
#include "platform/Dialogs.h"

#include <QFileInfo>
#include <QTimer>
#include <utility>

using namespace modStrat;

frmJoin::frmJoin(LobbyLink link, QObject* parent) : GameRoom(std::move(link), GameDataReceivers.joinRoom, parent)
{
    connect(&Client, &QTcpSocket::connected, this, &frmJoin::Client_Connect);
    connect(&Client, &QTcpSocket::readyRead, this, &frmJoin::Client_DataArrival);
    connect(&FileTransfer, &QTcpSocket::connected, this, &frmJoin::FileTransfer_Connect);
}

void frmJoin::Form_Load()
{
    setLoaded(true);
    IsGameHost = false;
    lblCurrentMap = NoMapCaption;
    lblTimeLimit = TimeEnabled;
    lblTimeSec = DefaultSeconds;
    PreviewPath.clear();
    emit loaded();
    emit previewRequested(PreviewPath);
}

void frmJoin::OpenJoinLobby()
{
    if (!IsLoaded())
        Form_Load();
    ControlsEnabled = true;
    setChat(QString());
    lblCurrentMap.clear();
    lstOps.clear();
    setShown(true);
    ClearPlayers();
    // Nothing of the last battle may start this one: the host's start names both anew.
    MyPlayer = 0;
    MapPath.clear();
    announcedMap_.clear();
    mapShowPending_ = false;
    emit changed();
}

void frmJoin::Form_MouseMove()
{
    IsGameHost = false;
}

void frmJoin::chkReady_Click(bool checked)
{
    SendGameData((checked ? QStringLiteral("READY") : QStringLiteral("NOTREADY")) + FreeText(UserName));
}

void frmJoin::Unload()
{
    if (!IsShown())
        return;
    setLoaded(false);
    setShown(false);
}

void frmJoin::quitGame()
{
    sendLine(lobby::LeaveGame);
    GameNumber.clear();
    Unload();
}

void frmJoin::Form_Unload()
{
    if (IsShown())
        quitGame();
}

void frmJoin::LoadMap(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString name = mapfile::MapReader(path).text(QStringLiteral("NAME"));
    lblCurrentMap = name.isEmpty() ? QFileInfo(path).fileName() : name;
    Display_Map(path);
    emit changed();
}

void frmJoin::Display_Map(const QString& path)
{
    PreviewPath = path;
    emit previewRequested(path);
}

void frmJoin::MapName(const QString& name, bool found)
{
    announcedMap_ = name;
    announcedPath_ = found ? MapPath : QString();
    // A host may announce maps far faster than a map is read and drawn: the
    // room shows the last one announced once the event loop turns again.
    if (!mapShowPending_) {
        mapShowPending_ = true;
        QTimer::singleShot(0, this, &frmJoin::showAnnouncedMap);
    }
}

void frmJoin::showAnnouncedMap()
{
    // A room closed or opened anew since then has nothing to show.
    if (!std::exchange(mapShowPending_, false) || !IsShown())
        return;
    if (!announcedPath_.isEmpty()) {
        LoadMap(announcedPath_);
        return;
    }
    // Every player needs the map under the same name in the game folder.
    lblCurrentMap = announcedMap_ + QStringLiteral(" (not found)");
    Display_Map(QString());
    emit changed();
}

void frmJoin::TimeOn()
{
    lblTimeLimit = TimeEnabled;
    emit changed();
}

void frmJoin::TimeOff()
{
    lblTimeLimit = TimeDisabled;
    emit changed();
}

void frmJoin::TimeSec(std::int32_t seconds)
{
    lblTimeSec = QString::number(seconds);
    emit changed();
}

void frmJoin::StartGame()
{
    for (PlayerRecord& player : Players)
        player.IsComputer = false;
    Unload();
    requestBattle();
}

void frmJoin::StartRefused()
{
    // A battle on a map we lack would be another battle than the others'. We
    // leave it the way the quit key does, so theirs goes on without us.
    if (MyPlayer >= 1 && MyPlayer <= PlayerCount) {
        SendGameData(QStringLiteral("INCHAT") + FreeText(UserName) + QStringLiteral(" has quit the game."));
        SendGameData(QStringLiteral("EXITGAME%1").arg(MyPlayer));
    }
    quitGame();
    platform::messageBox(boxOwner, MapPath.isEmpty() ? MissingMapText.arg(announcedMap_) : NotNamedText);
}

void frmJoin::Boot()
{
    quitGame();
    platform::messageBox(boxOwner, BootedText);
}

void frmJoin::LeftOut(const QString& why)
{
    quitGame();
    platform::messageBox(boxOwner, why.isEmpty() ? LeftOutText : why);
}
