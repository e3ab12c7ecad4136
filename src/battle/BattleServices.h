#pragma once
// What the battle needs from outside itself. Each service may be missing (a
// null pointer): a test or a hot-seat game runs a battle with none of them.

#include <QString>

namespace platform {
class MusicPlayer;
class RandomSource;
}

// Sends one battle message as one game-data line to the other players.
class GameDataSink {
public:
    virtual ~GameDataSink() = default;
    virtual void SendGameData(const QString& message) = 0;
};

// The computer player: one step of its turn per frame.
class ComputerPlayer {
public:
    virtual ~ComputerPlayer() = default;
    virtual void AIStep() = 0;
    // A new battle begins: forget the walk order and the step counters of the last one.
    virtual void ResetForBattle() = 0;
};

// The window that shows the battle.
class BattleDisplay {
public:
    virtual ~BattleDisplay() = default;
    // A new frame is on the surface.
    virtual void refresh() = 0;
    // The battle is over or was refused: the window goes away.
    virtual void hideBattle() = 0;
};

// The results window, shown when the battle is over on this machine.
class ResultsWindow {
public:
    virtual ~ResultsWindow() = default;
    // `banner` is "Victory!" or "Defeat!"; PlayerLost is already set.
    virtual void ShowResults(const QString& banner) = 0;
};

struct BattleServices {
    GameDataSink* gameData = nullptr;
    platform::MusicPlayer* music = nullptr;
    ComputerPlayer* computer = nullptr;
    platform::RandomSource* random = nullptr;
    BattleDisplay* display = nullptr;
    ResultsWindow* results = nullptr;
};
