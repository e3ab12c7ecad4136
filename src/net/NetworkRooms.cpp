#include "net/NetworkRooms.h"

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

void NetworkRooms::HandleHostGameData(const QString& data)
{
    modStrat::HandleHostGameData(data);
}

void NetworkRooms::HandleClientGameData(const QString& data)
{
    modStrat::HandleClientGameData(data);
}
