#pragma once
// What the lobby hands on to the game rooms. The lobby runs without them: with
// none given, game data from the server is dropped and no room opens.

#include <QString>

class GameRooms {
public:
    virtual ~GameRooms() = default;

    // "Create Game" went out: the host's room opens at once, before the
    // server's game number arrives.
    virtual void OpenHostLobby() = 0;
    // The server let this player into game GameNumber. IsGameHost is cleared
    // after this returns.
    virtual void OpenJoinLobby() = 0;
    // A player who hosts a room ignores the server's JOINGAME.
    virtual bool IsHosting() const = 0;
    // A room is open: the host's, or a joined one.
    virtual bool IsOpen() const = 0;

    // One game-data line as the server relayed it, without its "GDATA":
    // game number, "@@", message. Called from the lobby's one drain of
    // received lines, in arrival order, never re-entered; a handler that opens
    // a battle defers the start so later lines keep their order.
    virtual void HandleHostGameData(const QString& data) = 0;
    virtual void HandleClientGameData(const QString& data) = 0;
};
