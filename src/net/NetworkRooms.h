#pragma once
// The game rooms as the lobby sees them: the host's room and the joined
// player's room, opened on the lobby's word, and the received game data
// handed to the receive engine, which applies it to whichever room is open.

#include "net/GameRooms.h"
#include "net/frmHost.h"
#include "net/frmJoin.h"

#include <array>

class NetworkRooms final : public GameRooms {
public:
    explicit NetworkRooms(const LobbyLink& link);

    frmHost& host() { return host_; }
    frmJoin& join() { return join_; }
    std::array<GameRoom*, 2> both() { return {&host_, &join_}; }

    void OpenHostLobby() override;
    void OpenJoinLobby() override;
    bool IsHosting() const override;
    bool IsOpen() const override;
    // The lobby connection is gone, and the game with it: the open room closes
    // without a word, since no one would hear it.
    void ConnectionLost();
    void HandleHostGameData(const QString& data) override;
    void HandleClientGameData(const QString& data) override;

private:
    frmHost host_;
    frmJoin join_;
};
