#pragma once
// What the art generator makes: every picture of the game as an image in
// memory, named the way the game reads it.

#include <QImage>
#include <QString>

#include <array>
#include <vector>

namespace art {

// ---- Unit sprites (Images/<base>*.gif in the program folder) ----

inline constexpr int SpriteWidth = 25;
inline constexpr int SpriteHeight = 27;

enum class Facing { Right, Left, Up, Down };
inline constexpr std::array<Facing, 4> AllFacings{Facing::Right, Facing::Left, Facing::Up, Facing::Down};
// File name endings of the four facings.
QString facingSuffix(Facing f);

struct UnitSprites {
    int type = 0;    // unit type code 1..15
    QString base;    // file stem, e.g. "RedTank"
    QString name;    // for the preview
    std::array<QImage, 4> images;  // by Facing
};

// Unit type codes 1..15 in order.
std::vector<UnitSprites> makeUnitSprites();

// ---- Terrain and buildings (built into the program) ----

inline constexpr int TileSize = 25;
inline constexpr int TerrainCount = 71;
inline constexpr int BuildingCount = 20;

std::vector<QImage> makeTerrain();    // index = terrain code
std::vector<QImage> makeBuildings();  // index = building type code

// ---- Battle window pictures (built into the program) ----

struct NamedPicture {
    QString name;
    QImage image;
};
std::vector<NamedPicture> makeWindowPictures();

// ---- Attack scene (0.gif, 0M.gif, 0B.gif, 0BM.gif and the same for "1") ----

inline constexpr int SceneWidth = 481;
inline constexpr int SceneHeight = 470;
std::vector<NamedPicture> makeAttackScenes();

// ---- Output ----

// Writes a GIF without losing a colour: pictures of up to 256 colours are
// stored exactly; larger ones are reduced, black kept apart from every other
// colour so transparency never changes. False on a write error.
bool writeGif(const QImage& image, const QString& path);
// The picture as writeGif stores it.
QImage gifColours(const QImage& image);

// One sheet with everything, for a person to look at.
QImage makePreview();
// A few small maps joined from the terrain pieces, to check the seams.
QImage makeSampleMaps(const std::vector<QImage>& terrain, const std::vector<QImage>& buildings);

}  // namespace art
