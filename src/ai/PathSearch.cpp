#include "ai/PathSearch.h"

#include "battle/Terrain.h"
#include "battle/frmGame.h"
#include "data/GameData.h"
#include "platform/Text.h"

#include <queue>

using namespace modStrat;

namespace modAI {

namespace {

// The tile under a pixel position, rounding to the nearest column and row; 0 off the map.
std::int32_t tileAt(std::int32_t x, std::int32_t y)
{
    const auto column = platform::roundHalfEven(double(x - MapLeft) / TileSize);
    const auto row = platform::roundHalfEven(double(y - MapTop) / TileSize);
    if (column < 0 || row < 0 || column >= MapWidth || row >= MapHeight)
        return 0;
    const auto tile = row * MapWidth + column + 1;
    return tile <= MaxTiles ? static_cast<std::int32_t>(tile) : 0;
}

// Another unit on the moving unit's own position pins it down. The scan stops at
// the first free slot; a unit carried on board rides along and does not count.
bool pinned(std::int32_t unitNum, bool allowJoin, std::int32_t joinType)
{
    const UnitRecord& unit = Units[unitNum];
    for (int j = 1; j <= MaxUnits; ++j) {
        const UnitRecord& other = Units[j];
        if (!other.V)
            return false;
        if (j == unitNum || other.HIDDEN || other.X != unit.X || other.Y != unit.Y)
            continue;
        if (other.P != unit.P)
            return true;
        if (!(allowJoin && other.PIC == joinType))
            return true;
    }
    return false;
}

// The cost of entering a tile, given what does not change during one search.
std::int32_t entryCost(const UnitRecord& unit, std::int32_t tile, int ownTerrain)
{
    const TileRecord* target = Tiles.at(tile);
    if (!target)
        return Blocked;
    const auto cost = terrain::EntryCost(unit, target->Terrain, ownTerrain);
    return cost && unit.Moves >= *cost ? *cost : Blocked;
}

int ownTerrainOf(const UnitRecord& unit)
{
    const TileRecord* own = Tiles.at(tileAt(unit.X, unit.Y + UnitRaise));
    return own ? own->Terrain : terrain::NoTerrain;
}

}  // namespace

std::int32_t GetMoveCost(std::int32_t UnitNum, std::int32_t X, std::int32_t Y, std::int32_t& TargetTile,
                         bool AllowJoin, std::int32_t JoinType)
{
    TargetTile = tileAt(X, Y);
    const UnitRecord* unit = Units.at(UnitNum);
    if (!unit || TargetTile == 0)
        return Blocked;
    const int own = ownTerrainOf(*unit);
    // Leaving raised plates other than by a ramp is settled before anything else.
    if (terrain::isRaised(own) && !terrain::isRaised(Tiles[TargetTile].Terrain)
        && !terrain::isRamp(Tiles[TargetTile].Terrain) && unit->MoveCost4 == 0)
        return Blocked;
    if (pinned(UnitNum, AllowJoin, JoinType))
        return Blocked;
    return entryCost(*unit, TargetTile, own);
}

ReachMap::ReachMap(std::int32_t unit, std::int32_t budget, std::int32_t startTile)
{
    const int tiles = MapTileCount();
    cost_.assign(tiles + 1, -1);
    const UnitRecord* mover = Units.at(unit);
    if (!mover)
        return;
    start_ = startTile != 0 ? startTile : tileAt(mover->X, mover->Y + UnitRaise);
    if (start_ == 0)
        return;
    const bool stuck = pinned(unit, false, None);
    const int own = ownTerrainOf(*mover);

    // Least points spent to reach each tile; a tile is left only while points remain.
    using Entry = std::pair<std::int32_t, std::int32_t>;  // spent, tile
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    cost_[start_] = 0;
    open.push({0, start_});
    while (!open.empty()) {
        const auto [spent, tile] = open.top();
        open.pop();
        if (spent != cost_[tile] || spent >= budget || stuck)
            continue;
        const int column = (tile - 1) % MapWidth;
        const int row = (tile - 1) / MapWidth;
        const int neighbours[4][2] = {{column, row - 1}, {column, row + 1}, {column + 1, row}, {column - 1, row}};
        for (const auto& [c, r] : neighbours) {
            if (c < 0 || r < 0 || c >= MapWidth || r >= MapHeight)
                continue;
            const int next = r * MapWidth + c + 1;
            if (next > tiles)
                continue;
            const std::int32_t step = entryCost(*mover, next, own);
            if (step == Blocked)
                continue;
            if (cost_[next] < 0 || spent + step < cost_[next]) {
                cost_[next] = spent + step;
                open.push({cost_[next], next});
            }
        }
    }
}

bool ReachMap::reaches(std::int32_t tile) const
{
    return tile == start_ || (tile >= 1 && tile < std::int32_t(cost_.size()) && cost_[tile] >= 0);
}

bool FindPath(std::int32_t UnitNum, std::int32_t X, std::int32_t Y, std::int32_t TargetX, std::int32_t TargetY,
              std::int32_t MovesLeft)
{
    if (X == TargetX && Y == TargetY)
        return true;
    const std::int32_t start = tileAt(X, Y);
    const std::int32_t target = tileAt(TargetX, TargetY);
    if (start == 0 || target == 0)
        return false;
    return ReachMap(UnitNum, MovesLeft, start).reaches(target);
}

bool AIMoveUnit(std::int32_t TargetX, std::int32_t TargetY, std::int32_t UnitNum, const QString& UnitName,
                bool AllowOccupied, std::int32_t JoinFlag)
{
    frmGame::SetUnitRange(UnitName, UnitNum);
    const UnitRecord* unit = Units.at(UnitNum);
    if (!unit)
        return false;
    const int tiles = MapTileCount();
    int target = 0;
    for (int i = 1; i <= tiles; ++i) {
        if (Tiles[i].X == TargetX && Tiles[i].Y == TargetY) {
            target = i;
            break;
        }
    }
    if (target == 0)
        return false;
    std::int32_t probe = 0;
    if (GetMoveCost(UnitNum, TargetX, TargetY, probe, JoinFlag != 0, None) == Blocked)
        return false;
    if (!FindPath(UnitNum, unit->X, unit->Y + UnitRaise, TargetX, TargetY, unit->Moves))
        return false;
    if (!AllowOccupied) {
        // Only a unit really there takes the tile, not the record of one destroyed there.
        for (const UnitRecord& other : Units) {
            if (other.V && !other.HIDDEN && other.X == TargetX && other.Y == TargetY - UnitRaise)
                return false;
        }
    }
    return true;
}

}  // namespace modAI
