// Movement of the selected unit: tile steps over five frames, the terrain rule,
// the path memory that makes stepping back free, and the end of a unit's action.

#include "battle/Terrain.h"
#include "battle/Transport.h"
#include "battle/frmGame.h"
#include "platform/Text.h"

#include <cstdlib>

using namespace modStrat;

namespace {

constexpr int StepPixels = 5;

}  // namespace

bool frmGame::IsTileBlocked(std::int32_t tile, std::int32_t unit)
{
    const int tiles = MapTileCount();
    for (int t = 1; t <= tiles; ++t)
        Tiles[t].Occupied = false;
    for (const UnitRecord& other : Units) {
        if (other.V && !other.HIDDEN && other.P != CurrentPlayer) {
            if (TileRecord* under = Tiles.at(TileAt(other.X, other.Y)))
                under->Occupied = true;
        }
    }
    UnitRecord* mover = Units.at(unit);
    // A tile off the map is never entered.
    if (!mover || tile < 1 || tile > tiles)
        return true;
    if (Tiles[tile].Occupied)
        return true;

    int from = terrain::NoTerrain;
    if (const UnitRecord* selected = Units.at(SelectedUnit); selected && selected->V) {
        if (const TileRecord* under = Tiles.at(TileAt(selected->X, selected->Y)))
            from = under->Terrain;
    }
    const auto cost = terrain::EntryCost(*mover, Tiles[tile].Terrain, from);
    if (!cost || mover->Moves - *cost < 0)
        return true;
    mover->Moves -= *cost;
    return false;
}

void frmGame::MoveUnit()
{
    int u = 0;
    for (int i = MaxUnits; i >= 1; --i) {
        if (Units[i].SEL) {
            u = i;
            break;
        }
    }
    if (u == 0)
        return;
    UnitRecord& unit = Units[u];

    int dx = 0;
    int dy = 0;
    if (UpHeld)
        dy = -TileSize;
    else if (DownHeld)
        dy = TileSize;
    else if (LeftHeld)
        dx = -TileSize;
    else if (RightHeld)
        dx = TileSize;

    if (StepCounter == 0) {
        StepStartTile = static_cast<std::int16_t>(TileAt(unit.X, unit.Y));
        if (dx == 0 && dy == 0)
            return;
        const bool atEdge = !UnitXOnMap(unit.X + dx) || !UnitYOnMap(unit.Y + dy);
        bool blocked = atEdge;
        if (!atEdge) {
            const int neighbour = StepStartTile + dx / TileSize + (dy / TileSize) * MapWidth;
            blocked = IsTileBlocked(neighbour, u);
            if (blocked) {
                // Stepping back along the path walked is always allowed.
                const int selectedX = Units[SelectedUnit].X + dx;
                const int selectedY = Units[SelectedUnit].Y + dy;
                for (int k = 1; k <= PathLength && k <= PathMemory; ++k) {
                    if (PathX[k] == selectedX && PathY[k] == selectedY)
                        blocked = false;
                }
            }
        }
        if (blocked) {
            UpHeld = DownHeld = LeftHeld = RightHeld = false;
            return;
        }
    }

    unit.X = static_cast<std::int16_t>(unit.X + dx / TileSize * StepPixels);
    unit.Y = static_cast<std::int16_t>(unit.Y + dy / TileSize * StepPixels);
    StepCounter += StepPixels;
    if (StepCounter < TileSize)
        return;

    // The step is done.
    const UnitRecord& selected = Units[SelectedUnit];
    if (PathLength < PathMemory) {
        ++PathLength;
        PathX[PathLength] = selected.X;
        PathY[PathLength] = selected.Y;
        PathMoves[PathLength] = selected.Moves;
    }
    for (int k = 1; k < PathLength; ++k) {
        if (PathX[k] == selected.X && PathY[k] == selected.Y) {
            // Back where it stood before: the way out and back is refunded.
            PathLength = k;
            Units[SelectedUnit].Moves = PathMoves[k];
            for (int j = k + 1; j <= PathMemory; ++j)
                PathX[j] = PathY[j] = None;
            break;
        }
    }
    ReloadUnitMenu = true;
    if (TileRecord* start = Tiles.at(StepStartTile))
        start->Occupied = false;
    if (TileRecord* entered = Tiles.at(StepStartTile + dx / TileSize + (dy / TileSize) * MapWidth))
        entered->Occupied = true;
    transport::CarryRider(unit);
    StepCounter = 0;
    LoadMenuOptions(u);
    UpHeld = DownHeld = LeftHeld = RightHeld = false;
}

void frmGame::FinishStep()
{
    for (int frame = 0; StepCounter != 0 && frame < TileSize / StepPixels; ++frame)
        MoveUnit();
    StepCounter = 0;
    UpHeld = DownHeld = LeftHeld = RightHeld = false;
}

void frmGame::DisableUnit()
{
    FinishStep();
    const std::int16_t selectedIndex = SelectedUnit;
    for (int i = 1; i <= MaxUnits; ++i) {
        UnitRecord& unit = Units[i];
        if (!unit.SEL)
            continue;
        LeaveCapture(unit);
        // Fuel for the tiles between where the action began and where it ends.
        if (UnitRecord* selected = Units.at(selectedIndex)) {
            const int distance = std::abs(selected->X - SelectedOriginX) + std::abs(selected->Y - SelectedOriginY);
            auto tiles = platform::roundHalfEven(distance / double(TileSize));
            if (GetUnitName(selected->PIC) == QLatin1String("Hover Tank Air"))
                tiles *= 2;
            selected->FUEL = static_cast<std::int16_t>(std::max<std::int64_t>(0, selected->FUEL - tiles));
        }
        unit.SEL = false;
        unit.E = false;
        CursorX = unit.X;
        CursorY = unit.Y;
        if (const UnitRecord* selected = Units.at(selectedIndex)) {
            // Also after no step at all: the receivers put the rider in the place sent.
            transport::CarryRider(*selected);
            Send(QStringLiteral("MOVEUNIT%1@MOVEX%2@MOVEY%3@MOVEFUEL%4")
                     .arg(selectedIndex)
                     .arg(selected->X)
                     .arg(selected->Y)
                     .arg(selected->FUEL));
        }
    }
    MenuActive = false;
    SelectedUnit = None;
    UnitBoxShown = false;
    ChoosingTarget = false;
    // A target choice ended this way leaves no target behind for the next attack.
    TargetShown = false;
}
