#pragma once
// The map editor's canvas and the map being edited: terrain painted by click
// and by right-drag, units and buildings placed in the lowest free slot, the
// headquarters rule, removal by right click. Plain rules; EditorCanvas shows them.

#include "data/MapFile.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <cstdint>

namespace EditMode {
inline constexpr std::uint8_t None = 0;       // an options page is shown
inline constexpr std::uint8_t Terrain = 1;
inline constexpr std::uint8_t Units = 2;
inline constexpr std::uint8_t Buildings = 3;
}  // namespace EditMode

// What a point of the canvas lands on: the top-most picture under it.
struct CanvasHit {
    enum Kind { Nothing, Tile, Building, Unit };
    Kind kind = Nothing;
    int index = 0;
    bool operator==(const CanvasHit&) const = default;
};

// The pieces a smaller grid would leave without a tile: their slots, and the
// players whose headquarters are among the buildings.
struct OffGridPieces {
    QList<int> units;
    QList<int> buildings;
    QList<int> headquarters;
    bool empty() const { return units.isEmpty() && buildings.isEmpty(); }
};

class frmEditor {
public:
    // The grid the canvas starts with.
    static constexpr int StartColumns = 25;
    static constexpr int StartRows = 16;
    // The unit owner option that owns nothing: "Neutral".
    static constexpr int NeutralOwnerOption = 4;
    // Mouse buttons as the handlers name them.
    static constexpr int LeftButton = 1;
    static constexpr int RightButton = 2;

    // Tables, size and every setting the map file holds.
    mapfile::MapDocument Map;

    // Editor state, set by the tool window and read at every click. It keeps its
    // values while the program runs.
    std::uint8_t EdMode = EditMode::None;
    std::int16_t EdSelected = 0;
    std::uint8_t EdPlayer = 0;            // owner of new buildings: 0 neutral, 1..4
    int UnitOwnerOption = NeutralOwnerOption;   // 0..3 give players 1..4
    // Placed units are on view; the tile palette hides them so clicks reach the tiles.
    bool UnitsShown = true;

    // The canvas opens: an empty 25 x 16 map of space. The settings stay.
    void Form_Load();

    // Left click on tile `index`: places by EdMode.
    void imgTile_Click(int index);
    // A button pressed on a tile; the right one starts a painting drag there.
    void imgTile_MouseDown(int index, int button);
    // The pointer of a drag is over tile `index`.
    void imgTile_DragOver(int index);
    void EndDrag() { dragging_ = false; }
    bool dragging() const { return dragging_; }
    // The right button on a building or unit removes it.
    void imgBuilding_MouseDown(int index, int button);
    void imgSprite_MouseDown(int index, int button);

    // Mouse input by canvas pixel: the top-most picture under it, the tile under
    // it (0 off the grid), and the events of a press, a move with the right
    // button held, and a release.
    CanvasHit hitAt(QPoint pixel) const;
    int tileAt(QPoint pixel) const;
    void mousePress(QPoint pixel, int button);
    void mouseMove(QPoint pixel);
    void mouseRelease(QPoint pixel, int button);

    // The map's size in canvas pixels.
    QSize canvasSize() const;
    // Top-left corner of tile `index` (1-based, row by row).
    QPoint tileCorner(int index) const;
    bool unitInUse(int slot) const;
    bool buildingInUse(int slot) const;
    bool unitVisible(int slot) const { return UnitsShown && unitInUse(slot); }
    // The slot of the unit or building standing on tile `index`, or 0.
    int unitOn(int index) const;
    int buildingOn(int index) const;
    // Where a unit or building picture stands on the canvas.
    QRect unitRect(int slot) const;
    QRect buildingRect(int slot) const;

    // Whether any tile of the grid holds other than the blank tile.
    bool Painted() const;
    // What a grid of `columns` x `rows` would leave off.
    OffGridPieces offGrid(int columns, int rows) const;
    // A new grid of `columns` x `rows` space tiles; units and buildings that no
    // longer stand on it are freed. The size must be one the editor holds.
    void Resize(int columns, int rows);
    // Replaces the map being edited; pieces off its grid are freed.
    void Replace(mapfile::MapDocument map);
    // Every tile of the grid gets `terrain`.
    void FillTiles(int terrain);
    // Every unit, building and headquarters is freed.
    void ClearPieces();

    // Whether the map differs from the one last opened, saved or made new, and
    // the mark that it is that one now.
    bool Modified() const { return !(Map == unchanged_); }
    void MarkUnchanged() { unchanged_ = Map; }

private:
    void PlaceUnit(int tile);
    void PlaceBuilding(int tile);
    void RemoveBuilding(int slot);
    void FreeOffGrid();

    bool dragging_ = false;
    int pressedTile_ = 0;   // where the left button went down, for the click on release
    mapfile::MapDocument unchanged_;
};
