// Armored ATVs ferrying infantry, and badly hurt units gathering with friends.

#include "ai/modAI.h"

#include "ai/PathSearch.h"
#include "battle/frmGame.h"
#include "data/GameData.h"

#include <array>
#include <cstdlib>

using namespace modStrat;

namespace modAI {

namespace {

using Side = std::pair<int, int>;
// Loading and regrouping try left, right, below, above; unloading left, right, above, below.
constexpr std::array<Side, 4> ApproachSides{{{-TileSize, 0}, {TileSize, 0}, {0, TileSize}, {0, -TileSize}}};
constexpr std::array<Side, 4> UnloadSides{{{-TileSize, 0}, {TileSize, 0}, {0, -TileSize}, {0, TileSize}}};

double unitDistance(const UnitRecord& a, const UnitRecord& b)
{
    return (std::abs(a.X - b.X) + std::abs(a.Y - b.Y)) / double(TileSize);
}

}  // namespace

void ComputerOpponent::AILoadTransport(std::int32_t UnitNum, const QString& UnitName)
{
    UnitRecord* carrier = Units.at(UnitNum);
    if (!carrier || !carrier->E)
        return;
    int passenger = 0;
    for (int j = 1; j <= MaxUnits; ++j) {
        const UnitRecord& unit = Units[j];
        if (unit.P == CurrentPlayer && unit.E && unit.CAP == None && unit.TRANS == None && !unit.HIDDEN
            && !unit.AIMark && unit.V && frmGame::CanCapture(unit.PIC)
            && unitDistance(unit, *carrier) <= carrier->Moves + 1) {
            passenger = j;
            break;
        }
    }
    if (passenger == 0)
        return;
    frmGame::SetUnitRange(UnitName, UnitNum);
    UnitRecord& rider = Units[passenger];
    for (const auto& [dx, dy] : ApproachSides) {
        const int x = rider.X + dx;
        const int y = rider.Y + dy;
        if (!AIMoveUnit(x, y + UnitRaise, UnitNum, UnitName, false, None))
            continue;
        carrier->X = static_cast<std::int16_t>(x);
        carrier->Y = static_cast<std::int16_t>(y);
        carrier->E = false;
        carrier->TRANS = passenger;
        rider.HIDDEN = true;
        rider.E = false;
        return;
    }
}

void ComputerOpponent::AIUnloadTransport(std::int32_t UnitNum, const QString& UnitName)
{
    UnitRecord* carrier = Units.at(UnitNum);
    if (!carrier || !carrier->E)
        return;
    bool buildingNear = false;
    for (const BuildingRecord& building : Buildings) {
        const double distance =
            (std::abs(building.X - carrier->X) + std::abs(building.Y - (carrier->Y + UnitRaise))) / double(TileSize);
        if (building.P != CurrentPlayer && !building.AIMark && building.Exists && distance <= 3) {
            buildingNear = true;
            break;
        }
    }
    if (!buildingNear) {
        AIAdvanceToBuildings(UnitNum, UnitName);
        return;
    }
    for (const auto& [dx, dy] : UnloadSides) {
        const int x = carrier->X + dx;
        const int y = carrier->Y + dy;
        if (!AIMoveUnit(x, y + UnitRaise, UnitNum, UnitName, false, None))
            continue;
        // Only a unit really on board comes out; a stale slot number just goes.
        if (UnitRecord* rider = Units.at(carrier->TRANS); rider && rider->V && rider->HIDDEN) {
            rider->HIDDEN = false;
            rider->X = static_cast<std::int16_t>(x);
            rider->Y = static_cast<std::int16_t>(y);
            rider->E = false;
            rider->TRANS = None;
        }
        carrier->TRANS = None;
        return;
    }
}

void ComputerOpponent::AIRegroup(std::int32_t UnitNum, const QString& UnitName)
{
    UnitRecord* unit = Units.at(UnitNum);
    if (!unit)
        return;
    // Each round either moves, finds the unit already gathered, or gives up one
    // friend that cannot be reached, so it ends.
    for (;;) {
        int chosen = 0;
        int best = 10;
        for (int j = 1; j <= MaxUnits; ++j) {
            const UnitRecord& other = Units[j];
            if (other.AIMark || !other.V || other.P != unit->P || other.PIC != unit->PIC
                || other.HP >= frmGame::MaxHitPoints || unit->HP >= frmGame::MaxHitPoints
                || unitDistance(other, *unit) > unit->Moves)
                continue;
            // Best is a friend about ten hit points healthier; the unit itself scores 10 and never wins.
            const int score = std::abs(10 - other.HP + unit->HP);
            if (score < best) {
                best = score;
                chosen = j;
                if (score == 0)
                    break;
            }
        }
        if (chosen == 0)
            return;

        UnitRecord& buddy = Units[chosen];
        if (unitDistance(buddy, *unit) == 1)
            return;
        // A free tile beside the friend: two units never share a tile.
        for (const auto& [dx, dy] : ApproachSides) {
            TileRecord* tile = Tiles.at(frmGame::TileAt(buddy.X + dx, buddy.Y + dy));
            if (!tile || tile->AIMark)
                continue;
            tile->AIMark = 1;
            if (!AIMoveUnit(tile->X, tile->Y, UnitNum, UnitName, false, None))
                continue;
            unit->X = tile->X;
            unit->Y = static_cast<std::int16_t>(tile->Y - UnitRaise);
            unit->E = false;
            return;
        }
        buddy.AIMark = 1;
    }
}

}  // namespace modAI
