// The map cursor and what lies under it.

#include "battle/frmGame.h"
#include "data/GameTypes.h"

using namespace modStrat;

std::int32_t frmGame::TileAt(std::int32_t x, std::int32_t y)
{
    const int left = x - MapLeft;
    const int top = y + UnitRaise - MapTop;
    if (left < 0 || top < 0 || left % TileSize || top % TileSize)
        return 0;
    const int column = left / TileSize;
    const int row = top / TileSize;
    if (column >= MapWidth || row >= MapHeight)
        return 0;
    const int tile = row * MapWidth + column + 1;
    return tile <= MaxTiles ? tile : 0;
}

void frmGame::MoveHighlight()
{
    const int last = MapTileCount();
    if (!Tiles.valid(last))
        return;
    if (UpHeld && CursorY > Tiles[1].Y)
        CursorY -= TileSize;
    if (DownHeld && CursorY < Tiles[last].Y - UnitRaise)
        CursorY += TileSize;
    if (LeftHeld && CursorX > Tiles[1].X)
        CursorX -= TileSize;
    if (RightHeld && CursorX < Tiles[last].X)
        CursorX += TileSize;
}

void frmGame::SelectUnit()
{
    if (SelectedUnit == None) {
        for (int i = 1; i <= MaxUnits; ++i) {
            UnitRecord& unit = Units[i];
            if (unit.P != CurrentPlayer || unit.HIDDEN || !unit.V || !unit.E || unit.X != CursorX
                || unit.Y != CursorY)
                continue;
            ReloadUnitMenu = true;
            unit.SEL = true;
            SelectedUnit = static_cast<std::int16_t>(i);
            SelectedOriginX = unit.X;
            SelectedOriginY = unit.Y;
            SetUnitRange(GetUnitName(unit.PIC), i);
            MainMenuOpen = false;
            // A new path: nothing of an earlier unit's walk may open a step for this one.
            PathLength = 1;
            for (int k = 1; k <= PathMemory; ++k)
                PathX[k] = PathY[k] = None;
            PathX[1] = unit.X;
            PathY[1] = unit.Y;
            PathMoves[1] = unit.Moves;
            MoveFacing = (unit.P == 1 || unit.P == 3) ? 3 : 2;
            return;
        }
    }
    if (SelectedUnit != None || SelectedBuilding != None)
        return;
    for (int b = 1; b <= MaxBuildings; ++b) {
        const BuildingRecord& building = Buildings[b];
        if (building.P != CurrentPlayer || !building.Exists || !building.CanBuild || building.X != CursorX
            || building.Y - UnitRaise != CursorY || !IsProductionBuilding(building.PIC))
            continue;
        // Only a unit really standing there blocks it, not the record of one destroyed there.
        for (const UnitRecord& unit : Units) {
            if (unit.V && !unit.HIDDEN && unit.X == building.X && unit.Y == building.Y - UnitRaise)
                return;
        }
        SelectedBuilding = static_cast<std::int16_t>(b);
        UnitBoxShown = false;
        return;
    }
}

void frmGame::CheckStats()
{
    UnitBoxShown = false;
    for (int i = 3; i <= 15; ++i)
        ScreenTexts[i].Visible = false;
    for (int i = 1; i <= MaxUnits; ++i) {
        const UnitRecord& unit = Units[i];
        bool match = false;
        if (CursorShown)
            match = unit.X == CursorX && unit.Y == CursorY && unit.V && !unit.HIDDEN;
        else if (TargetShown)
            match = unit.X == TargetX && unit.Y == TargetY;
        if (match) {
            InfoUnit = i;
            SetUnitBoxPic();
        }
    }
}

std::int32_t frmGame::OnAnotherUnit(std::int32_t u) const
{
    const UnitRecord* unit = Units.at(u);
    if (!unit)
        return None;
    for (int i = 1; i <= MaxUnits; ++i) {
        const UnitRecord& other = Units[i];
        if (i != u && other.V && other.E && !other.HIDDEN && other.X == unit->X && other.Y == unit->Y)
            return i;
    }
    return None;
}

std::int32_t frmGame::GetUnitFromTile(std::int32_t t) const
{
    const TileRecord* tile = Tiles.at(t);
    if (!tile)
        return None;
    for (int i = 1; i <= MaxUnits; ++i) {
        const UnitRecord& unit = Units[i];
        if (unit.V && !unit.HIDDEN && unit.X == tile->X && unit.Y == tile->Y - UnitRaise)
            return i;
    }
    return None;
}
