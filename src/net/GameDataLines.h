#pragma once
// Game-data lines: every message between the machines of an online game, in
// the room and in the battle, travels as "GDATA", the game number, "@@" and
// the message's parts joined by "@". Here are the sending side's framing and
// the receiving engine that the host's and a joined player's handlers share.

#include "battle/BattleServices.h"

#include <QString>
#include <QStringView>
#include <functional>

class frmGame;
class RoomMessageHandler;

namespace modStrat {

// "GDATA" & GameNumber & "@@" & message; the lobby connection ends the line.
QString GameDataLine(const QString& message);

// The battle's and the rooms' sender: frames each message and hands the line
// to whatever writes lines on the lobby connection.
class GameDataSender final : public GameDataSink {
public:
    using LineWriter = std::function<void(const QString& line)>;
    explicit GameDataSender(LineWriter writer) : writer_(std::move(writer)) {}
    void SendGameData(const QString& message) override;

private:
    LineWriter writer_;
};

// What received lines act on. The program fills these in; while one is
// missing (no battle window, no room open) its messages are ignored.
struct GameDataTargets {
    frmGame* battle = nullptr;
    RoomMessageHandler* hostRoom = nullptr;
    RoomMessageHandler* joinRoom = nullptr;
};
inline GameDataTargets GameDataReceivers;

// A received line without its "GDATA": the game number, "@@" and the message.
// The lobby client calls the host's handler while IsGameHost, else the other.
void HandleHostGameData(QStringView data);
void HandleClientGameData(QStringView data);

}  // namespace modStrat
