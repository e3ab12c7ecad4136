#pragma once
// The room windows' side of the room messages. The receive engine checks every
// value before it calls a method here, and sets the game settings that a
// message carries before it calls the room to show them.

#include <QString>
#include <cstdint>

class RoomMessageHandler {
public:
    virtual ~RoomMessageHandler() = default;

    // Both rooms. A method that returns false could not apply the message (a
    // player or list row it names does not exist): the rest of the line is dropped.
    virtual void Chat(const QString& text) = 0;
    virtual bool Ready(const QString& name) = 0;
    virtual bool NotReady(const QString& name) = 0;
    virtual bool JoinGame(const QString& name) = 0;
    virtual bool LeaveGame(std::int32_t player) = 0;

    // The joined room only.
    // Players(player).Name is set, and MyPlayer when the name is ours.
    virtual void Num(std::int32_t player, const QString& name) = 0;
    // PlayerCount is set.
    virtual void Max(std::int32_t count) = 0;
    // MapPath is the announced map in the program folder, or "" when we have
    // no such map (then the battle will not start).
    virtual void MapName(const QString& name, bool found) = 0;
    virtual void TimeOn() = 0;
    // TimeLimit is NoTimeLimit.
    virtual void TimeOff() = 0;
    // TimeLimit is `seconds`.
    virtual void TimeSec(std::int32_t seconds) = 0;
    // The start sequence is complete and names this player: the room closes and
    // the battle window is shown, off the network dispatch (the battle never
    // runs inside it).
    virtual void StartGame() = 0;
    // The start sequence ended without a map we have or a place for us: this
    // player cannot play the others' battle.
    virtual void StartRefused() {}
    // The host removed this player from the room.
    virtual void Boot() = 0;
    // The server started the battle without this player, for the reason given
    // in its words; the room closes. A boot that follows finds it closed.
    virtual void LeftOut(const QString&) {}
};
