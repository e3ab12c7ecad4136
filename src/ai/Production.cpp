// Buying units at factories and airports: a roll, the money, and at a factory
// the kind of unit the enemies have most of.

#include "ai/modAI.h"

#include "battle/frmGame.h"
#include "data/GameData.h"
#include "data/GameTypes.h"

#include <array>
#include <vector>

using namespace modStrat;
using namespace UnitType;

namespace modAI {

namespace {

// Factory cells, by row and roll; each lists the units tried, dearest first.
const std::array<std::array<std::vector<std::int16_t>, 3>, 4> GroundTable{{
    // no enemy, or mostly infantry
    {{{HeavyTank, MobileTurret, ArmoredATV, HeavyInfantry, Infantry},
      {MobileTurret, ArmoredATV, HeavyInfantry, Infantry},
      {Infantry}}},
    // mostly light vehicles
    {{{HeavyTank, Rover}, {HoverTankGround, Rover}, {MobileTurret}}},
    // mostly heavy vehicles and turrets
    {{{HeavyTank, MobileTurret}, {HoverTankGround, HeavyInfantry}, {MobileTurret}}},
    // mostly aircraft and the rest
    {{{MobileTurret, AntiAir}, {AntiAir, Infantry}, {HoverTankGround}}},
}};

// Airport cells: the first three days, then later.
const std::array<std::array<std::vector<std::int16_t>, 3>, 2> AirTable{{
    {{{Recon}, {Transport}, {Recon}}},
    {{{Bomber, Fighter, Recon}, {BattleCruiser, Bomber, Fighter}, {Transport}}},
}};

int groundRow(std::int32_t mostNumerousEnemy)
{
    switch (mostNumerousEnemy) {
    case 0:
    case HeavyInfantry:
    case Infantry:
        return 0;
    case AntiAir:
    case ArmoredATV:
    case Rover:
        return 1;
    case MobileTurret:
    case HeavyTank:
    case FixedTurret:
    case HoverTankGround:
        return 2;
    default:
        return 3;
    }
}

}  // namespace

std::span<const std::int16_t> GroundChoices(std::int32_t mostNumerousEnemy, std::int32_t roll)
{
    if (roll < 1 || roll > 3)
        return {};
    return GroundTable[groundRow(mostNumerousEnemy)][roll - 1];
}

std::span<const std::int16_t> AirChoices(std::int32_t day, std::int32_t roll)
{
    if (roll < 1 || roll > 3)
        return {};
    return AirTable[day < 4 ? 0 : 1][roll - 1];
}

bool ComputerOpponent::buildingFree(std::int32_t Building) const
{
    const BuildingRecord& building = Buildings[Building];
    // Any unit in play blocks, carried ones too; the record of a destroyed one does not.
    for (const UnitRecord& unit : Units) {
        if (unit.V && unit.X == building.X && unit.Y + UnitRaise == building.Y)
            return false;
    }
    return true;
}

void ComputerOpponent::buy(std::int32_t Building, std::span<const std::int16_t> choices)
{
    const BuildingRecord& building = Buildings[Building];
    for (const std::int16_t type : choices) {
        // The catalogue's price, the one a player pays at the build menu.
        const std::int32_t price = frmGame::GetUnitCost(frmGame::GetUnitName(type));
        if (price > Money[CurrentPlayer])
            continue;
        // Paid only for a unit that was made: with every slot taken nothing is.
        if (game_.CreateUnit(type, CurrentPlayer, building.X, building.Y - UnitRaise))
            Money[CurrentPlayer] -= price;
        return;
    }
}

void ComputerOpponent::AIBuildGroundUnit(std::int32_t Building)
{
    if (!Buildings.valid(Building) || !buildingFree(Building))
        return;
    // Destroyed units count until their slot is reused: the enemy's army as last seen.
    std::array<int, Last + 1> enemies{};
    for (const UnitRecord& unit : Units) {
        if (unit.P != CurrentPlayer && unit.PIC >= First && unit.PIC <= Last)
            ++enemies[unit.PIC];
    }
    int mostNumerous = 0;
    int most = 0;
    for (int type = First; type <= Last; ++type) {
        if (enemies[type] > most) {
            most = enemies[type];
            mostNumerous = type;
        }
    }
    buy(Building, GroundChoices(mostNumerous, roll(3, true) + 1));
}

void ComputerOpponent::AIBuildAirUnit(std::int32_t Building)
{
    if (!Buildings.valid(Building) || !buildingFree(Building))
        return;
    buy(Building, AirChoices(DayCount, roll(3, true) + 1));
}

}  // namespace modAI
