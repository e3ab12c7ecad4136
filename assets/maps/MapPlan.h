#pragma once
// Our maps as drawings: one character a tile (see the legend in MapPlan.cpp),
// plus lists of buildings and units by column and row. A symmetric map is drawn
// in part and the rest follows by mirroring, so every player starts alike.

#include "data/MapFile.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

namespace maps {

enum class Kind { City, Factory, Airport, Headquarters, Plain };

// Point: only the left part is drawn, the right is the left turned half round
// (owners 1 and 2 swap). MirrorX: the right is the left reflected (1 <-> 2).
// MirrorXY: the top-left quarter is drawn and reflected both ways
// (1 top-left, 2 top-right, 3 bottom-left, 4 bottom-right).
enum class Symmetry { None, Point, MirrorX, MirrorXY };

struct Building {
    Kind kind;
    int owner;  // 0 neutral
    int col;
    int row;
};

struct Unit {
    int type;   // UnitType code
    int owner;
    int col;
    int row;
};

struct MapPlan {
    QString file;
    QString name;
    QString desc;
    int players = 2;
    int width = 0;
    int height = 0;
    Symmetry symmetry = Symmetry::None;
    std::vector<std::string> drawing;   // the drawn part, top row first
    std::vector<Building> buildings;    // in the drawn part; mirrored with it
    std::vector<Unit> units;            // likewise
    std::vector<Building> fixedBuildings;  // whole-map positions, not mirrored
    std::vector<Unit> fixedUnits;
    QString victory;
    QString defeat;
    QStringList dayMessages;
};

// The whole map as characters, after mirroring.
std::vector<std::string> expandDrawing(const MapPlan& plan, QStringList& errors);

// Builds the map file's contents and checks that the map can be played:
// sizes, tiles, every unit on a tile it can stand on, the headquarters, owners
// and colours, and a ground route between all bases. Problems go to `errors`.
std::optional<mapfile::MapDocument> build(const MapPlan& plan, QStringList& errors);

// Our maps.
std::vector<MapPlan> allMaps();

}  // namespace maps
