#pragma once
// The computer opponent: plays a computer player's turn one small step per
// frame, so the battle keeps drawing while it thinks. It acts only through the
// battle's own operations (attack, capture, unit creation, end of turn) and by
// putting its units on tiles that the reachability test allowed.

#include "battle/BattleServices.h"
#include "platform/Ini.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <utility>
#include <vector>

class frmGame;

namespace modAI {

// A turn is this many unit steps, then building steps, then one closing step.
inline constexpr int UnitSteps = 100;
inline constexpr int BuildingSteps = 50;
inline constexpr int TurnSteps = UnitSteps + BuildingSteps + 1;

// Below this many hit points a unit looks for friends instead of a fight.
inline constexpr int RegroupBelowHP = 30;

// How much an attacker wants to hit a target type; 0 = never.
std::int32_t AttackPriority(const QString& attackerName, std::int32_t targetType);

// How much an infantry unit wants a building type (headquarters 4 ... cities 1).
std::int32_t CapturePriority(std::int32_t buildingType);

// The unit types tried in order at a factory, given the enemies' most numerous unit
// type (0 for none) and the roll 1..3.
std::span<const std::int16_t> GroundChoices(std::int32_t mostNumerousEnemy, std::int32_t roll);
// The same at an airport, given the day.
std::span<const std::int16_t> AirChoices(std::int32_t day, std::int32_t roll);

class ComputerOpponent final : public ComputerPlayer {
public:
    explicit ComputerOpponent(frmGame& game);

    // One step of the current computer player's turn.
    void AIStep() override;
    void ResetForBattle() override;

    // Where the walk through the slots stands in the current computer turn.
    std::int32_t AIUnitStep = 0;
    std::int32_t AIBuildingStep = 0;
    // Walk the slots from the top this turn; flips after every computer turn.
    bool AIReverseOrder = false;

    // Orders given to one unit. None reports anything; a unit that cannot
    // carry one out is left as it was.
    void AIAttack(std::int32_t UnitNum, const QString& UnitName);
    void AICapture(std::int32_t UnitNum, const QString& UnitName);
    void SetHoverMode(std::int32_t UnitNum, bool Flag);
    void SetTurretMode(std::int32_t UnitNum, bool Flag);
    void AIAdvanceToUnits(std::int32_t UnitNum, const QString& UnitName);
    void AIAdvanceToBuildings(std::int32_t UnitNum, const QString& UnitName);
    void AIMoveTowardUnits(std::int32_t UnitNum, const QString& UnitName, std::int32_t Above, std::int32_t Below,
                           std::int32_t Right, std::int32_t Left);
    void AIMoveTowardBuildings(std::int32_t UnitNum, const QString& UnitName, std::int32_t Above,
                               std::int32_t Below, std::int32_t Right, std::int32_t Left);
    void AIMoveToHQ(std::int32_t UnitNum, const QString& UnitName, std::int32_t PlayerNum);
    void AILoadTransport(std::int32_t UnitNum, const QString& UnitName);
    void AIUnloadTransport(std::int32_t UnitNum, const QString& UnitName);
    void AIRegroup(std::int32_t UnitNum, const QString& UnitName);

    // Production at a factory or an airport of the current player.
    void AIBuildGroundUnit(std::int32_t Building);
    void AIBuildAirUnit(std::int32_t Building);

    // The local time that stamps the decision log's keys.
    void setLogClock(std::function<QDateTime()> now) { now_ = std::move(now); }

private:
    void unitStep();
    void buildingStep();
    void closingStep();
    // The orders of one unit step; false when the step ended early.
    bool decide(std::int32_t slot, const QString& name);
    void afterOrderChecks(std::int32_t slot, const QString& name);
    void markOccupiedTiles();
    void clearMarks();

    // A uniform whole number 0..n-1; the clock reseeds first when asked.
    std::int32_t roll(std::int32_t n, bool reseed);
    // The battle was decided by the last operation: the step stops.
    bool battleOver() const;

    // The common end of the moving orders: mark the chosen tile, test it, and
    // put the unit there when it can go. True when it went.
    bool tryMoveTo(std::int32_t UnitNum, const QString& UnitName, std::int32_t tile);
    void moveToward(std::int32_t UnitNum, const QString& UnitName, std::int32_t Above, std::int32_t Below,
                    std::int32_t Right, std::int32_t Left, bool stopAtFullRange);
    void buy(std::int32_t Building, std::span<const std::int16_t> choices);
    // No unit stands on the building's tile.
    bool buildingFree(std::int32_t Building) const;

    // The decision log "AI.ini": entries of one step, written together.
    void logEntry(const QString& keyword, std::int64_t value);
    void logEntry(const QString& keyword, const QString& value);
    void flushLog();

    frmGame& game_;
    std::function<QDateTime()> now_;
    QString logTime_;
    std::vector<std::pair<QString, QString>> pendingLog_;
    QString logPath_;
    platform::IniDocument logFile_;
    bool inStep_ = false;
    // The turn the step counters belong to, so a turn ended early starts afresh.
    std::int32_t turnPlayer_ = 0;
    std::int32_t turnDay_ = 0;
};

}  // namespace modAI
