// The canvas's rules: placing, painting and removing on the map being edited.

#include "editor/frmEditor.h"

#include "data/GameTypes.h"
#include "data/Records.h"

#include <algorithm>

namespace {

// The lowest free slot of a type table, or 0 when every slot is taken.
template <typename Types>
int lowestFree(const Types& types)
{
    for (int slot = 1; slot <= Types::Size; ++slot) {
        if (types[slot] == None)
            return slot;
    }
    return 0;
}

int floorDiv(int value, int divisor)
{
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

bool onGrid(QPoint tileCornerPixel, int columns, int rows)
{
    const int column = floorDiv(tileCornerPixel.x(), TileSize);
    const int row = floorDiv(tileCornerPixel.y(), TileSize);
    return column >= 0 && column < columns && row >= 0 && row < rows;
}

}  // namespace

void frmEditor::Form_Load()
{
    // The size goes back to the canvas's own too: after a battle on another map
    // it would otherwise be saved with that map's width over these tiles.
    Map.MapWidth = StartColumns;
    Map.MapHeight = StartRows;
    Map.TileCount = StartColumns * StartRows;
    Map.EdTile.fill(SpaceTerrain);
    ClearPieces();
    dragging_ = false;
    MarkUnchanged();
}

QSize frmEditor::canvasSize() const
{
    return {Map.MapWidth * TileSize, Map.MapHeight * TileSize};
}

QPoint frmEditor::tileCorner(int index) const
{
    const int width = std::max<int>(1, Map.MapWidth);
    return {(index - 1) % width * TileSize, (index - 1) / width * TileSize};
}

bool frmEditor::unitInUse(int slot) const
{
    return Map.EdUnitType.valid(slot) && Map.EdUnitType[slot] != None;
}

bool frmEditor::buildingInUse(int slot) const
{
    return Map.EdBuildingType.valid(slot) && Map.EdBuildingType[slot] != None;
}

QRect frmEditor::unitRect(int slot) const
{
    return {Map.EdUnitLeft[slot], Map.EdUnitTop[slot], TileSize, TileSize};
}

QRect frmEditor::buildingRect(int slot) const
{
    return {Map.EdBuildingLeft[slot], Map.EdBuildingTop[slot], TileSize, TileSize};
}

int frmEditor::unitOn(int index) const
{
    const QPoint corner = tileCorner(index);
    for (int slot = 1; slot <= mapfile::UnitSlots; ++slot) {
        if (unitInUse(slot) && unitRect(slot).topLeft() == corner - QPoint(0, UnitRaise))
            return slot;
    }
    return 0;
}

int frmEditor::buildingOn(int index) const
{
    const QPoint corner = tileCorner(index);
    for (int slot = 1; slot <= mapfile::BuildingSlots; ++slot) {
        if (buildingInUse(slot) && buildingRect(slot).topLeft() == corner)
            return slot;
    }
    return 0;
}

CanvasHit frmEditor::hitAt(QPoint pixel) const
{
    // Units over buildings over tiles; within a layer the later slot lies on top.
    for (int slot = mapfile::UnitSlots; slot >= 1; --slot) {
        if (unitVisible(slot) && unitRect(slot).contains(pixel))
            return {CanvasHit::Unit, slot};
    }
    for (int slot = mapfile::BuildingSlots; slot >= 1; --slot) {
        if (buildingInUse(slot) && buildingRect(slot).contains(pixel))
            return {CanvasHit::Building, slot};
    }
    const int tile = tileAt(pixel);
    return tile != 0 ? CanvasHit{CanvasHit::Tile, tile} : CanvasHit{};
}

int frmEditor::tileAt(QPoint pixel) const
{
    if (!QRect(QPoint(0, 0), canvasSize()).contains(pixel))
        return 0;
    return pixel.y() / TileSize * Map.MapWidth + pixel.x() / TileSize + 1;
}

void frmEditor::mousePress(QPoint pixel, int button)
{
    // A left click places on the tile under the pointer, whatever picture lies
    // on top: a unit's sprite reaches 2 pixels into the tile above its own.
    if (button == LeftButton) {
        pressedTile_ = tileAt(pixel);
        return;
    }
    const CanvasHit hit = hitAt(pixel);
    switch (hit.kind) {
    case CanvasHit::Tile: imgTile_MouseDown(hit.index, button); break;
    case CanvasHit::Building: imgBuilding_MouseDown(hit.index, button); break;
    case CanvasHit::Unit: imgSprite_MouseDown(hit.index, button); break;
    case CanvasHit::Nothing: break;
    }
}

void frmEditor::mouseMove(QPoint pixel)
{
    if (!dragging_)
        return;
    // Only tiles take paint: a building or unit under the pointer shields its tile.
    const CanvasHit hit = hitAt(pixel);
    if (hit.kind == CanvasHit::Tile)
        imgTile_DragOver(hit.index);
}

void frmEditor::mouseRelease(QPoint pixel, int button)
{
    if (button == RightButton) {
        EndDrag();
        return;
    }
    // A click is a press and a release on the same tile.
    const int tile = tileAt(pixel);
    if (button == LeftButton && tile != 0 && tile == pressedTile_)
        imgTile_Click(tile);
    pressedTile_ = 0;
}

void frmEditor::imgTile_Click(int index)
{
    if (index < 1 || index > Map.TileCount)
        return;
    // A building covers its whole tile, and so does a unit on view: the tile
    // under them takes no click, as a click on their pictures places nothing.
    if (buildingOn(index) != 0 || unitVisible(unitOn(index)))
        return;
    switch (EdMode) {
    case EditMode::Terrain:
        if (EdSelected >= 0 && EdSelected <= LastTerrain)
            Map.EdTile[index] = EdSelected;
        break;
    case EditMode::Units: PlaceUnit(index); break;
    case EditMode::Buildings: PlaceBuilding(index); break;
    default: break;
    }
}

void frmEditor::imgTile_MouseDown(int index, int button)
{
    if (button != RightButton)
        return;
    dragging_ = true;
    // The drag is over its own tile from the start.
    imgTile_DragOver(index);
}

void frmEditor::imgTile_DragOver(int index)
{
    if (dragging_ && EdMode == EditMode::Terrain)
        imgTile_Click(index);
}

void frmEditor::PlaceUnit(int tile)
{
    // A unit needs a type the battle knows and an owner who plays: a neutral
    // or typeless unit would index the battle's tables out of range.
    if (EdSelected < UnitType::First || EdSelected > UnitType::Last)
        return;
    if (UnitOwnerOption < 0 || UnitOwnerOption >= MaxPlayers)
        return;
    // One unit a tile, also under hidden sprites: the battle shows and selects only one of two.
    if (unitOn(tile) != 0)
        return;
    const int slot = lowestFree(Map.EdUnitType);
    if (slot == 0)
        return;
    const QPoint corner = tileCorner(tile);
    Map.EdUnitType[slot] = EdSelected;
    Map.EdUnitLeft[slot] = static_cast<std::int16_t>(corner.x());
    Map.EdUnitTop[slot] = static_cast<std::int16_t>(corner.y() - UnitRaise);
    Map.EdUnitPlayer[slot] = static_cast<std::int16_t>(UnitOwnerOption + 1);
}

void frmEditor::PlaceBuilding(int tile)
{
    if (EdSelected < 0 || EdSelected > BuildingType::Last || EdPlayer > MaxPlayers)
        return;
    // With every slot taken nothing is placed, and no headquarters changes.
    const int slot = lowestFree(Map.EdBuildingType);
    if (slot == 0)
        return;
    const QPoint corner = tileCorner(tile);
    Map.EdBuildingType[slot] = EdSelected;
    Map.EdBuildingLeft[slot] = static_cast<std::int16_t>(corner.x());
    Map.EdBuildingTop[slot] = static_cast<std::int16_t>(corner.y());
    // Only a player's own headquarters picture, placed for that player, makes
    // a headquarters; the one it replaces leaves the map.
    if (EdPlayer >= 1 && EdSelected == BuildingType::Headquarters[EdPlayer]) {
        const int previous = Map.EdHQ[EdPlayer];
        if (previous != None)
            RemoveBuilding(previous);
        Map.EdHQ[EdPlayer] = static_cast<std::int16_t>(slot);
    }
    Map.EdBuildingPlayer[slot] = EdPlayer;
}

void frmEditor::imgBuilding_MouseDown(int index, int button)
{
    if (button == RightButton)
        RemoveBuilding(index);
}

void frmEditor::imgSprite_MouseDown(int index, int button)
{
    // Owner and position stay in the freed slot, as the file keeps them.
    if (button == RightButton && Map.EdUnitType.valid(index))
        Map.EdUnitType[index] = None;
}

void frmEditor::RemoveBuilding(int slot)
{
    if (!Map.EdBuildingType.valid(slot))
        return;
    Map.EdBuildingType[slot] = None;
    for (std::int16_t& hq : Map.EdHQ) {
        if (hq == slot)
            hq = None;
    }
}

bool frmEditor::Painted() const
{
    const auto grid = Map.EdTile.begin();
    const int tiles = std::clamp(Map.TileCount, 0, mapfile::EditorTileLimit);
    return std::any_of(grid, grid + tiles, [](std::int16_t terrain) { return terrain != SpaceTerrain; });
}

OffGridPieces frmEditor::offGrid(int columns, int rows) const
{
    OffGridPieces off;
    for (int slot = 1; slot <= mapfile::UnitSlots; ++slot) {
        if (unitInUse(slot) && !onGrid(unitRect(slot).topLeft() + QPoint(0, UnitRaise), columns, rows))
            off.units << slot;
    }
    for (int slot = 1; slot <= mapfile::BuildingSlots; ++slot) {
        if (buildingInUse(slot) && !onGrid(buildingRect(slot).topLeft(), columns, rows))
            off.buildings << slot;
    }
    for (int player = 1; player <= mapfile::HeadquarterSlots; ++player) {
        if (off.buildings.contains(Map.EdHQ[player]))
            off.headquarters << player;
    }
    return off;
}

void frmEditor::FreeOffGrid()
{
    // The battle finds a piece's tile from its position: one off the grid
    // would stand on a tile of another row, or on none.
    const OffGridPieces off = offGrid(Map.MapWidth, Map.MapHeight);
    for (const int slot : off.units)
        Map.EdUnitType[slot] = None;
    for (const int slot : off.buildings)
        RemoveBuilding(slot);
}

void frmEditor::Resize(int columns, int rows)
{
    Map.MapWidth = static_cast<std::int16_t>(columns);
    Map.MapHeight = static_cast<std::int16_t>(rows);
    Map.TileCount = std::min(columns * rows, mapfile::EditorTileLimit);
    for (int i = 1; i <= Map.TileCount; ++i)
        Map.EdTile[i] = SpaceTerrain;
    FreeOffGrid();
}

void frmEditor::Replace(mapfile::MapDocument map)
{
    Map = std::move(map);
    FreeOffGrid();
    // A headquarters is a building on the map, never an empty slot.
    for (std::int16_t& hq : Map.EdHQ) {
        if (!buildingInUse(hq))
            hq = None;
    }
}

void frmEditor::FillTiles(int terrain)
{
    if (terrain < 0 || terrain > LastTerrain)
        return;
    for (int i = 1; i <= Map.TileCount; ++i)
        Map.EdTile[i] = static_cast<std::int16_t>(terrain);
}

void frmEditor::ClearPieces()
{
    Map.EdUnitType.fill(None);
    Map.EdBuildingType.fill(None);
    Map.EdHQ.fill(None);
}
