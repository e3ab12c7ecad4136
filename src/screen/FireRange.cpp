// The fire-range display: while Shift is held, the tiles the unit in the unit
// box could reach with its full movement points plus one are tinted red.

#include "ai/PathSearch.h"
#include "battle/frmGame.h"

#include <cstdlib>

using namespace modStrat;

void frmGame::ShowFireRange(std::int32_t unit)
{
    if (!FireRangeHidden)
        return;
    FireRangeHidden = false;
    const UnitRecord* record = Units.at(unit);
    if (!record || !record->V)
        return;
    SetUnitRange(GetUnitName(record->PIC), unit);
    const int budget = record->Moves + 1;
    const modAI::ReachMap reach(unit, budget);
    const int tiles = MapTileCount();
    for (int i = 1; i <= tiles; ++i) {
        TileRecord& tile = Tiles[i];
        const int distance = std::abs(tile.X - record->X) + std::abs(tile.Y - (record->Y + UnitRaise));
        if (distance > budget * TileSize) {
            tile.Highlight = false;
            continue;
        }
        std::int32_t probe = 0;
        tile.Highlight = modAI::GetMoveCost(unit, tile.X, tile.Y, probe) != modAI::Blocked && reach.reaches(i);
    }
}

void frmGame::HideFireRange()
{
    const int tiles = MapTileCount();
    for (int i = 1; i <= tiles; ++i)
        Tiles[i].Highlight = false;
}
