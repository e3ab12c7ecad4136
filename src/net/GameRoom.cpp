#include "net/GameRoom.h"

#include "data/GameData.h"
#include "net/GameDataLines.h"
#include "platform/Dialogs.h"

#include <QTimer>

using namespace modStrat;

GameRoom::GameRoom(LobbyLink link, RoomMessageHandler*& receiver, QObject* parent)
    : QObject(parent), link_(std::move(link)), receiver_(receiver)
{
}

GameRoom::~GameRoom()
{
    if (receiver_ == this)
        receiver_ = nullptr;
}

void GameRoom::sendLine(const QString& line)
{
    if (link_.sendLine)
        link_.sendLine(line);
}

void GameRoom::write(const QString& text)
{
    if (link_.write)
        link_.write(text);
}

void GameRoom::SendGameData(const QString& message)
{
    sendLine(GameDataLine(message));
}

void GameRoom::sendGameLine(const QString& text)
{
    sendLine(QStringLiteral("GDATA") + GameNumber + text);
}

void GameRoom::ClearPlayers()
{
    for (PlayerRecord& player : Players) {
        player.Name.clear();
        player.InUse = false;
        player.Ready = false;
        player.IsComputer = false;
    }
}

void GameRoom::setShown(bool shown)
{
    shown_ = shown;
    // A closed room takes no more room messages.
    receiver_ = shown ? this : nullptr;
    if (shown)
        emit showRequested();
    else
        emit hideRequested();
}

void GameRoom::requestBattle()
{
    if (link_.holdLines)
        link_.holdLines();
    QTimer::singleShot(0, this, [this] { emit battleRequested(); });
}

void GameRoom::cmdSend_Click(const QString& text)
{
    // The own log stays as it is: the server relays game data to the others only.
    SendGameData(QStringLiteral("CHAT") + FreeText(UserName + QStringLiteral(": ") + text));
}

QString GameRoom::cmbRace_Change(const QString& text)
{
    if (Races.contains(text)) {
        sendGameLine(QStringLiteral("RACE") + text);
        return text;
    }
    platform::messageBox(boxOwner, InvalidRace);
    // The room may have closed while the box was open (booted, or the battle began).
    if (!loaded_)
        return text;
    return cmbRace_Change(Races.first());
}

void GameRoom::cmbTeam_Change(const QString& text)
{
    if (Teams.contains(text))
        sendGameLine(QStringLiteral("TEAM") + text);
}

void GameRoom::Chat(const QString& text)
{
    // Each message goes on a line of its own, the first one too.
    chat_.addLine(text);
    emit chatAdded(text);
}

void GameRoom::setChat(const QString& text)
{
    chat_.setText(text);
    emit chatReplaced();
}

int GameRoom::entryOf(const QString& name) const
{
    return lstOps.indexOf(name);
}

bool GameRoom::Ready(const QString& name)
{
    const int entry = entryOf(name);
    if (entry < 0)
        return false;
    lstOps[entry] = ReadyMark + name;
    Players[entry + 1].Ready = true;
    emit changed();
    return true;
}

bool GameRoom::NotReady(const QString& name)
{
    const int entry = entryOf(ReadyMark + name);
    if (entry < 0)
        return false;
    lstOps[entry] = name;
    Players[entry + 1].Ready = false;
    emit changed();
    return true;
}

bool GameRoom::JoinGame(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (const PlayerRecord& player : Players) {
        if (player.InUse && player.Name == name)
            return true;
    }
    // A fifth member has no player record and could never play.
    if (lstOps.size() >= MaxPlayers)
        return false;
    lstOps.append(name);
    PlayerRecord& player = Players[int(lstOps.size())];
    player.Name = name;
    player.InUse = true;
    player.Ready = false;
    emit changed();
    return true;
}

bool GameRoom::LeaveGame(std::int32_t player)
{
    PlayerRecord* record = Players.at(player);
    if (!record)
        return false;
    *record = PlayerRecord{};
    if (player > lstOps.size())
        return false;
    lstOps.removeAt(player - 1);
    // The members after the one who left move up a place, records and entries alike.
    for (int p = player; p < MaxPlayers; ++p)
        Players[p] = Players[p + 1];
    Players[MaxPlayers] = PlayerRecord{};
    emit changed();
    return true;
}
