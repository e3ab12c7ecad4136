#include "net/NetworkRooms.h"

#include "data/GameData.h"
#include "net/GameDataLines.h"

NetworkRooms::NetworkRooms(const LobbyLink& link) : host_(link), join_(link) {}

void NetworkRooms::OpenHostLobby()
{
    // Creating a game took this player out of any game it had joined.
    join_.Unload();
    host_.OpenHostLobby();
}

void NetworkRooms::OpenJoinLobby()
{
    join_.OpenJoinLobby();
}

bool NetworkRooms::IsHosting() const
{
    return host_.IsShown();
}

bool NetworkRooms::IsOpen() const
{
    return host_.IsShown() || join_.IsShown();
}

void NetworkRooms::ConnectionLost()
{
    host_.Unload();
    join_.Unload();
    modStrat::GameNumber.clear();
}

void NetworkRooms::HandleHostGameData(const QString& data)
{
    modStrat::HandleHostGameData(data);
}

void NetworkRooms::HandleClientGameData(const QString& data)
{
    modStrat::HandleClientGameData(data);
}
