// The computer turn: 100 unit steps, 50 building steps and a closing step, one
// per frame, and the decision log "AI.ini".

#include "ai/modAI.h"

#include "battle/frmGame.h"
#include "data/GameData.h"
#include "data/GameTypes.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"

#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cmath>

using namespace modStrat;

namespace modAI {

namespace {

const QString LogSection = QStringLiteral("GEN");

// Clears the flag when the scope ends, however it ends.
struct StepGuard {
    bool& flag;
    explicit StepGuard(bool& f) : flag(f) { flag = true; }
    ~StepGuard() { flag = false; }
};

}  // namespace

ComputerOpponent::ComputerOpponent(frmGame& game)
    : game_(game), now_([] { return QDateTime::currentDateTime(); })
{
}

void ComputerOpponent::ResetForBattle()
{
    AIReverseOrder = false;
    // A battle that ended in the middle of a computer turn must not leave the
    // next battle's first turn starting halfway through the slots.
    AIUnitStep = 0;
    AIBuildingStep = 0;
    turnPlayer_ = 0;
    turnDay_ = 0;
}

void ComputerOpponent::AIStep()
{
    if (inStep_ || !game_.Running)
        return;
    const StepGuard guard(inStep_);

    // A turn can end without our closing step (the turn clock): the next one starts at its first slot.
    if (turnPlayer_ != CurrentPlayer || turnDay_ != DayCount) {
        AIUnitStep = 0;
        AIBuildingStep = 0;
        turnPlayer_ = CurrentPlayer;
        turnDay_ = DayCount;
    }

    ++AIUnitStep;
    if (AIUnitStep <= UnitSteps)
        unitStep();
    else if (AIBuildingStep < BuildingSteps)
        buildingStep();
    else
        closingStep();

    // No selection outlives a step: an end of turn by the clock would put the
    // selected unit back where some earlier selection began.
    SelectedUnit = None;
}

void ComputerOpponent::unitStep()
{
    const int slot = AIReverseOrder ? UnitSteps + 1 - AIUnitStep : AIUnitStep;
    UnitRecord* unit = Units.at(slot);
    if (!unit)
        return;
    QString name;
    if (unit->P == CurrentPlayer && unit->V && !unit->HIDDEN && unit->E) {
        markOccupiedTiles();
        name = frmGame::GetUnitName(unit->PIC);
        logTime_ = QLocale::c().toString(now_(), QStringLiteral("dd-MMMM hh:mm:ss AP"));
        logEntry(QStringLiteral("PLAYER"), CurrentPlayer);
        logEntry(QStringLiteral("UNITNAME"), name);
        logEntry(QStringLiteral("UNITNUM"), slot);
        clearMarks();
        const bool goOn = decide(slot, name);
        flushLog();
        if (!goOn || battleOver())
            return;
    }
    afterOrderChecks(slot, name);
}

bool ComputerOpponent::decide(std::int32_t slot, const QString& name)
{
    UnitRecord& unit = Units[slot];

    // Every unit defends the headquarters while an enemy captures it.
    if (Buildings.valid(HQ[CurrentPlayer])) {
        for (const UnitRecord& other : Units) {
            if (other.P != CurrentPlayer && other.V && other.CAP == HQ[CurrentPlayer]) {
                AIAttack(slot, name);
                return false;
            }
        }
    }

    if (unit.HP < RegroupBelowHP) {
        AIRegroup(slot, name);
        return false;
    }
    if (unit.TRANS != None) {
        AIUnloadTransport(slot, name);
        return false;
    }

    const int r = roll(5, true);
    logEntry(QStringLiteral("RAND"), r);

    const bool infantry = frmGame::CanCapture(unit.PIC);
    if ((unit.CAP != 0 && unit.CAP != None) || (infantry && DayCount <= 3)) {
        AICapture(slot, name);
        return false;
    }
    if (name == QLatin1String("Armored ATV")) {
        AILoadTransport(slot, name);
        return false;
    }

    switch (r) {
    case 0:
    case 4:
        AIAttack(slot, name);
        break;
    case 1:
        if (infantry)
            AICapture(slot, name);
        else
            AIAdvanceToBuildings(slot, name);
        break;
    case 2:
        switch (unit.PIC) {
        case UnitType::HoverTankGround:
            SetHoverMode(slot, true);
            break;
        case UnitType::HoverTankAir:
            SetHoverMode(slot, false);
            break;
        case UnitType::MobileTurret:
            SetTurretMode(slot, true);
            break;
        case UnitType::FixedTurret:
            SetTurretMode(slot, false);
            break;
        case UnitType::HeavyInfantry:
        case UnitType::Infantry:
            AICapture(slot, name);
            break;
        default:
            AIAttack(slot, name);
            break;
        }
        break;
    case 3:
        AIMoveToHQ(slot, name, roll(PlayerCount, true) + 1);
        break;
    }
    if (battleOver())
        return false;
    logEntry(QStringLiteral("FINX"), unit.X);
    logEntry(QStringLiteral("FINY"), unit.Y);
    return true;
}

void ComputerOpponent::afterOrderChecks(std::int32_t slot, const QString& name)
{
    UnitRecord& unit = Units[slot];

    // A capture is given up once the unit has left the building.
    if (unit.CAP != None) {
        if (BuildingRecord* building = Buildings.at(unit.CAP)) {
            if (unit.X != building->X || unit.Y != building->Y - UnitRaise) {
                building->CAP = frmGame::FullCapturePoints;
                unit.CAP = None;
            }
        }
    }

    // The passenger rides where its carrier is. Only a live carrier's carried unit:
    // a dead carrier's record may name a slot that a new unit has taken since.
    if (UnitRecord* carried = Units.at(unit.TRANS); carried && unit.V && carried->V && carried->HIDDEN) {
        carried->X = unit.X;
        carried->Y = unit.Y;
    }

    if (unit.P == CurrentPlayer && unit.E && unit.V && !unit.HIDDEN)
        AIAttack(slot, name.isEmpty() ? frmGame::GetUnitName(unit.PIC) : name);
}

void ComputerOpponent::buildingStep()
{
    ++AIBuildingStep;
    const int slot = AIReverseOrder ? BuildingSteps + 1 - AIBuildingStep : AIBuildingStep;
    clearMarks();
    if (roll(5, false) == 0)
        return;
    const BuildingRecord* building = Buildings.at(slot);
    if (!building || building->P != CurrentPlayer)
        return;
    if (IsProductionBuilding(building->PIC) && LookOf(building->PIC).kind == BuildingKind::Factory)
        AIBuildGroundUnit(slot);
    else if (IsProductionBuilding(building->PIC) && LookOf(building->PIC).kind == BuildingKind::Airport)
        AIBuildAirUnit(slot);
}

void ComputerOpponent::closingStep()
{
    SelectedUnit = None;
    AIReverseOrder = !AIReverseOrder;
    AIUnitStep = 0;
    AIBuildingStep = 0;
    game_.EndTurn();
}

void ComputerOpponent::markOccupiedTiles()
{
    const int tiles = MapTileCount();
    for (int t = 1; t <= tiles; ++t)
        Tiles[t].Occupied = false;
    for (const UnitRecord& unit : Units) {
        if (!unit.V || unit.HIDDEN)
            continue;
        if (TileRecord* tile = Tiles.at(frmGame::TileAt(unit.X, unit.Y)))
            tile->Occupied = true;
    }
}

void ComputerOpponent::clearMarks()
{
    for (UnitRecord& unit : Units)
        unit.AIMark = 0;
    const int tiles = MapTileCount();
    for (int t = 1; t <= tiles; ++t)
        Tiles[t].AIMark = 0;
    for (BuildingRecord& building : Buildings)
        building.AIMark = 0;
}

std::int32_t ComputerOpponent::roll(std::int32_t n, bool reseed)
{
    platform::RandomSource* random = game_.services.random;
    if (!random || n <= 0)
        return 0;
    if (reseed)
        random->reseedFromClock();
    const auto value = static_cast<std::int32_t>(std::floor(n * random->next()));
    return std::clamp(value, 0, n - 1);
}

bool ComputerOpponent::battleOver() const
{
    return !game_.Running;
}

void ComputerOpponent::logEntry(const QString& keyword, std::int64_t value)
{
    logEntry(keyword, QString::number(value));
}

void ComputerOpponent::logEntry(const QString& keyword, const QString& value)
{
    pendingLog_.emplace_back(logTime_ + keyword, value);
}

void ComputerOpponent::flushLog()
{
    if (pendingLog_.empty())
        return;
    const QString path = platform::programFolder() + QStringLiteral("/AI.ini");
    if (path != logPath_) {
        logFile_ = platform::IniDocument::load(path);
        logPath_ = path;
    }
    for (const auto& [key, value] : pendingLog_)
        logFile_.setValue(LogSection, key, value);
    pendingLog_.clear();
    // The log is nobody's lost work: a plain write, never synced to disk. One that
    // cannot be written costs nothing but the log.
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(logFile_.toBytes());
}

}  // namespace modAI
