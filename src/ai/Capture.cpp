// Capture by infantry, and the mode switches of hover tanks and turrets.

#include "ai/modAI.h"

#include "ai/PathSearch.h"
#include "battle/frmGame.h"
#include "data/GameData.h"
#include "data/GameTypes.h"

#include <cstdlib>

using namespace modStrat;

namespace modAI {

std::int32_t CapturePriority(std::int32_t buildingType)
{
    switch (buildingType) {
    case 2:
    case 3:
    case 12:
    case 16:
        return 4;  // headquarters
    case 9:
    case 10:
    case 11:
    case 15:
    case 19:
        return 3;  // airports
    case 1:
    case 6:
    case 7:
    case 14:
    case 18:
        return 2;  // factories
    default:
        return 1;
    }
}

void ComputerOpponent::AICapture(std::int32_t UnitNum, const QString& UnitName)
{
    UnitRecord* unit = Units.at(UnitNum);
    if (!unit)
        return;
    // Each round captures, gives up, or marks one more building as out of reach.
    for (;;) {
        if (!unit->E)
            return;

        if (unit->CAP != None && unit->CAP != 0) {
            BuildingRecord* building = Buildings.at(unit->CAP);
            const bool onIt = building && unit->X == building->X && unit->Y == building->Y - UnitRaise;
            if (building && building->Exists && building->P != CurrentPlayer && onIt) {
                SelectedUnit = static_cast<std::int16_t>(UnitNum);
                game_.CaptureBuilding(unit->CAP);
                return;
            }
            // The building is ours by now (its owner lost the headquarters), or the
            // unit was taken off it: another step would wear down a building it
            // does not stand on, or recolour our own.
            if (building && !onIt)
                building->CAP = frmGame::FullCapturePoints;
            unit->CAP = None;
        }

        int choice = 0;
        int best = 0;
        for (int b = 1; b <= MaxBuildings; ++b) {
            const BuildingRecord& building = Buildings[b];
            if (building.P == CurrentPlayer || building.AIMark || !building.Exists)
                continue;
            const double distance =
                (std::abs(building.X - unit->X) + std::abs(building.Y - (unit->Y + UnitRaise))) / double(TileSize);
            if (distance > unit->Moves)
                continue;
            const int priority = CapturePriority(building.PIC);
            if (priority > best) {
                best = priority;
                choice = b;
            }
        }

        if (choice == 0) {
            switch (roll(3, false) + 1) {
            case 1:
                AIAdvanceToBuildings(UnitNum, UnitName);
                break;
            case 2:
                AIAttack(UnitNum, UnitName);
                break;
            default:
                break;  // no order this step
            }
            return;
        }

        BuildingRecord& building = Buildings[choice];
        building.AIMark = 1;
        if (AIMoveUnit(building.X, building.Y, UnitNum, UnitName, false, None)) {
            SelectedUnit = static_cast<std::int16_t>(UnitNum);
            unit->CAP = choice;
            game_.CaptureBuilding(choice);
            unit->X = static_cast<std::int16_t>(building.X);
            unit->Y = static_cast<std::int16_t>(building.Y - UnitRaise);
            unit->E = false;
            return;
        }
    }
}

void ComputerOpponent::SetHoverMode(std::int32_t UnitNum, bool Flag)
{
    if (UnitRecord* unit = Units.at(UnitNum)) {
        unit->PIC = static_cast<std::int16_t>(Flag ? UnitType::HoverTankAir : UnitType::HoverTankGround);
        unit->E = false;
    }
}

void ComputerOpponent::SetTurretMode(std::int32_t UnitNum, bool Flag)
{
    if (UnitRecord* unit = Units.at(UnitNum)) {
        unit->PIC = static_cast<std::int16_t>(Flag ? UnitType::FixedTurret : UnitType::MobileTurret);
        unit->E = false;
    }
}

}  // namespace modAI
