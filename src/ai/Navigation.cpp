// Sending a unit somewhere when it has nothing to attack or capture: toward the
// enemy, toward buildings it does not own, or toward a headquarters.

#include "ai/modAI.h"

#include "ai/PathSearch.h"
#include "battle/frmGame.h"
#include "data/GameData.h"

#include <cstdlib>
#include <limits>

using namespace modStrat;

namespace modAI {

namespace {

// Tile steps from the tile under the unit to tile t.
double tileDistance(const TileRecord& tile, const UnitRecord& unit)
{
    return (std::abs(tile.X - unit.X) + std::abs(tile.Y - (unit.Y + UnitRaise))) / double(TileSize);
}

}  // namespace

bool ComputerOpponent::tryMoveTo(std::int32_t UnitNum, const QString& UnitName, std::int32_t tile)
{
    TileRecord& goal = Tiles[tile];
    goal.AIMark = 1;
    if (!AIMoveUnit(goal.X, goal.Y, UnitNum, UnitName, false, None))
        return false;
    UnitRecord& unit = Units[UnitNum];
    unit.X = goal.X;
    unit.Y = static_cast<std::int16_t>(goal.Y - UnitRaise);
    unit.E = false;
    return true;
}

void ComputerOpponent::AIAdvanceToUnits(std::int32_t UnitNum, const QString& UnitName)
{
    UnitRecord* unit = Units.at(UnitNum);
    if (!unit || !unit->E)
        return;
    frmGame::SetUnitRange(UnitName, UnitNum);
    int above = 0, below = 0, right = 0, left = 0;
    for (const UnitRecord& enemy : Units) {
        if (enemy.P == CurrentPlayer || !enemy.V || enemy.HIDDEN)
            continue;
        (enemy.X >= unit->X ? right : left) += 1;
        (enemy.Y >= unit->Y ? below : above) += 1;
    }
    AIMoveTowardUnits(UnitNum, UnitName, above, below, right, left);
}

void ComputerOpponent::AIAdvanceToBuildings(std::int32_t UnitNum, const QString& UnitName)
{
    UnitRecord* unit = Units.at(UnitNum);
    if (!unit || !unit->E)
        return;
    frmGame::SetUnitRange(UnitName, UnitNum);
    int above = 0, below = 0, right = 0, left = 0;
    for (const BuildingRecord& building : Buildings) {
        if (building.P == CurrentPlayer || !building.Exists)
            continue;
        // Compared with the unit's stored position, so its own row counts as below.
        (building.X >= unit->X ? right : left) += 1;
        (building.Y >= unit->Y ? below : above) += 1;
    }
    AIMoveTowardBuildings(UnitNum, UnitName, above, below, right, left);
}

void ComputerOpponent::AIMoveTowardUnits(std::int32_t UnitNum, const QString& UnitName, std::int32_t Above,
                                         std::int32_t Below, std::int32_t Right, std::int32_t Left)
{
    moveToward(UnitNum, UnitName, Above, Below, Right, Left, false);
}

void ComputerOpponent::AIMoveTowardBuildings(std::int32_t UnitNum, const QString& UnitName, std::int32_t Above,
                                             std::int32_t Below, std::int32_t Right, std::int32_t Left)
{
    moveToward(UnitNum, UnitName, Above, Below, Right, Left, true);
}

void ComputerOpponent::moveToward(std::int32_t UnitNum, const QString& UnitName, std::int32_t Above,
                                  std::int32_t Below, std::int32_t Right, std::int32_t Left, bool stopAtFullRange)
{
    UnitRecord* unit = Units.at(UnitNum);
    if (!unit)
        return;
    const int tiles = MapTileCount();
    // Every failed try marks one more tile, so this ends.
    for (;;) {
        frmGame::SetUnitRange(UnitName, UnitNum);
        const int moves = unit->Moves;
        const int ownTop = unit->Y + UnitRaise;
        int chosen = 0;
        double best = 0;
        for (int t = 1; t <= tiles; ++t) {
            const TileRecord& tile = Tiles[t];
            if (tile.AIMark)
                continue;
            // Ties go to the rows below and the columns to the left.
            const bool row = Above > Below ? tile.Y <= ownTop : tile.Y > ownTop;
            const bool column = Right > Left ? tile.X >= unit->X : tile.X < unit->X;
            const double distance = tileDistance(tile, *unit);
            if (!row || !column || distance > moves)
                continue;
            if (distance >= best) {
                chosen = t;
                best = distance;
                // Toward buildings the first tile at full range will do.
                if (stopAtFullRange && best == moves)
                    break;
            }
        }
        if (chosen == 0 || tryMoveTo(UnitNum, UnitName, chosen))
            return;
    }
}

void ComputerOpponent::AIMoveToHQ(std::int32_t UnitNum, const QString& UnitName, std::int32_t PlayerNum)
{
    UnitRecord* unit = Units.at(UnitNum);
    if (!unit)
        return;
    const int tiles = MapTileCount();
    for (;;) {
        frmGame::SetUnitRange(UnitName, UnitNum);
        // A player without headquarters draws the unit to the window's top-left corner.
        int goalX = 0;
        int goalY = 0;
        if (HQ.valid(PlayerNum)) {
            if (const BuildingRecord* hq = Buildings.at(HQ[PlayerNum])) {
                goalX = hq->X;
                goalY = hq->Y;
            }
        }
        int chosen = 0;
        int nearest = std::numeric_limits<int>::max();
        for (int t = 1; t <= tiles; ++t) {
            const TileRecord& tile = Tiles[t];
            if (tile.AIMark || tileDistance(tile, *unit) > unit->Moves)
                continue;
            const int distance = std::abs(tile.X - goalX) + std::abs(tile.Y - goalY);
            if (distance < nearest) {
                nearest = distance;
                chosen = t;
            }
        }
        if (chosen == 0 || tryMoveTo(UnitNum, UnitName, chosen))
            return;
    }
}

}  // namespace modAI
