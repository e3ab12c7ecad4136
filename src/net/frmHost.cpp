#include "net/frmHost.h"

#include "data/GameData.h"
#include "net/GameDataLines.h"
#include "net/LobbyProtocol.h"
#include "platform/Dialogs.h"
#include "platform/Text.h"

#include <QFileInfo>
#include <algorithm>

using namespace modStrat;

namespace {

// Seconds per turn as the box holds them; nullopt when they are no usable number.
std::optional<std::int16_t> secondsOf(const QString& text)
{
    std::int16_t seconds = 0;
    if (!platform::parseInt16(text, seconds) || seconds < 1 || seconds > frmHost::LongestTurn)
        return std::nullopt;
    return seconds;
}

}  // namespace

frmHost::frmHost(LobbyLink link, QObject* parent) : GameRoom(std::move(link), GameDataReceivers.hostRoom, parent)
{
    timeSend.setInterval(MapSendInterval);
    connect(&timeSend, &QTimer::timeout, this, &frmHost::timeSend_Timer);
    connect(&Server, &QTcpServer::newConnection, this, &frmHost::Server_ConnectionRequest);
}

void frmHost::Form_Load()
{
    setLoaded(true);
    IsGameHost = true;
    MapFile.clear();
    chkTime = true;
    txtTime = DefaultSeconds;
    txtTimeEnabled = false;
    emit loaded();
}

void frmHost::OpenHostLobby()
{
    if (!IsLoaded())
        Form_Load();
    ControlsEnabled = true;
    // Records left by an earlier game would refuse joins or pass a player who is not ready.
    ClearPlayers();
    Players[1].Name = UserName;
    Players[1].InUse = true;
    lstOps = QStringList{UserName};
    setChat(QString());
    setShown(true);
    emit changed();
}

void frmHost::Form_Activate()
{
    IsGameHost = true;
}

void frmHost::lblBanner_Click()
{
    // Makes the room usable without a game number from the server.
    GameNumber = QStringLiteral("01");
    IsGameHost = true;
}

void frmHost::chkTime_Click(bool checked)
{
    chkTime = checked;
    txtTimeEnabled = checked;
    SendGameData(checked ? QStringLiteral("TIMEON") : QStringLiteral("TIMEOFF"));
    emit changed();
}

void frmHost::txtTime_Change(const QString& text)
{
    txtTime = text;
    // Part-typed text is not announced: the others would take a different limit than the one we start with.
    if (const auto seconds = secondsOf(text))
        SendGameData(QStringLiteral("TIMESEC") + QString::number(*seconds));
}

void frmHost::cmdBoot_Click(int row)
{
    // The host is not removed from its own room, and a boot names someone.
    if (row < 1 || row >= lstOps.size())
        return;
    sendGameLine(QStringLiteral("BOOT") + lstOps[row]);
}

QString frmHost::MapTitle() const
{
    return QFileInfo(MapFile).fileName();
}

void frmHost::cmdChooseMap_Click(const QString& path, bool usable)
{
    if (path.isEmpty())
        return;
    MapFile = path;
    // "@" would split the announcement into parts.
    if (!usable || MapTitle().contains(QLatin1Char('@'))) {
        MapFile.clear();
        emit changed();
        return;
    }
    SendGameData(QStringLiteral("MAPNAME") + MapTitle());
    emit changed();
}

void frmHost::cmdSendMap_Click()
{
    if (!MapFile.isEmpty())
        SendGameData(QStringLiteral("MAPNAME") + MapTitle());
}

void frmHost::cmdStart_Click()
{
    if (MapFile.isEmpty()) {
        platform::messageBox(boxOwner, NoMap);
        return;
    }
    const auto seconds = secondsOf(txtTime);
    if (chkTime && !seconds) {
        platform::messageBox(boxOwner, BadSeconds);
        return;
    }
    const bool allReady = !lstOps.isEmpty() && lstOps.size() <= MaxPlayers
        && std::all_of(lstOps.begin() + 1, lstOps.end(), [](const QString& e) { return e.startsWith(ReadyMark); });
    if (!allReady) {
        platform::messageBox(boxOwner, NotAllReady);
        return;
    }

    // The battle's players are the list as it stands now: a member who joins
    // while the start goes out is in neither the NUM lines nor MAX.
    QStringList names;
    for (const QString& entry : std::as_const(lstOps))
        names.append(entry.startsWith(ReadyMark) ? entry.mid(ReadyMark.size()) : entry);
    lstOps = names;
    ClearPlayers();
    for (int k = 0; k < names.size(); ++k) {
        Players[k + 1].Name = names[k];
        Players[k + 1].InUse = true;
        Players[k + 1].Ready = true;
    }
    const QString map = MapTitle();
    SendGameData(QStringLiteral("MAPNAME") + map);
    for (int k = 1; k < names.size(); ++k)
        SendGameData(QStringLiteral("NUM%1").arg(k + 1) + FreeText(names[k]));
    SendGameData(QStringLiteral("MAX%1").arg(names.size()));
    if (chkTime) {
        SendGameData(QStringLiteral("TIMEON"));
        SendGameData(QStringLiteral("TIMESEC%1").arg(*seconds));
    } else {
        SendGameData(QStringLiteral("TIMEOFF"));
    }
    SendGameData(QStringLiteral("MAPNAME") + map);
    SendGameData(QStringLiteral("STARTGAME"));
    sendLine(lobby::StartGame + GameNumber);

    PlayerCount = std::int32_t(names.size());
    TimeLimit = chkTime ? *seconds : NoTimeLimit;
    MapPath = MapFile;
    MyPlayer = 1;
    IsOfflineGame = false;
    StartGamePending = true;
    // Hidden, not closed: the game stays the server's until the results end it.
    // An empty list lets the lobby take a later join.
    lstOps.clear();
    setShown(false);
    emit changed();
    requestBattle();
}

void frmHost::Form_Unload()
{
    if (!IsShown())
        return;
    sendLine(lobby::RemoveGame);
    GameNumber.clear();
    Unload();
}

void frmHost::Unload()
{
    if (!IsShown())
        return;
    lstOps.clear();
    setLoaded(false);
    setShown(false);
}
