#pragma once
// The map file (".spw"): an INI file with one section, GEN. One reader and one
// writer serve the battle, the map previews and the editor; each reader applies
// its own defaults for missing keys.

#include "data/Table.h"
#include "platform/Ini.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace mapfile {

inline constexpr char Section[] = "GEN";
inline constexpr int EditorTileLimit = 750;   // tiles the editor holds
inline constexpr int BattleTileLimit = 600;   // tiles a battle holds
inline constexpr int PreviewTileLimit = 400;  // tiles a preview draws
inline constexpr int UnitSlots = 100;
inline constexpr int BuildingSlots = 50;
inline constexpr int HeadquarterSlots = 4;
inline constexpr int DayMessages = 5;
// A larger file is refused as a map without a usable size (ours are about 10 KB).
inline constexpr qsizetype FileByteLimit = 1 << 20;

// "T" + 12 -> "T12".
QString key(const char* word, int index);

// Read access to one map file, parsed once. A file over FileByteLimit is not
// read: it holds no keys, so every reader refuses it for want of a size.
class MapReader {
public:
    explicit MapReader(const QString& path);
    bool exists() const { return exists_; }
    // Whether the key is present at all (an empty value counts).
    bool has(const QString& key) const;
    // The value of a key; "" when missing.
    QString text(const QString& key) const;
    // A 16-bit number, or nullopt when the key is missing or not a number.
    std::optional<std::int16_t> number(const QString& key) const;
    // The same with a default for a missing or unreadable value.
    std::int16_t number(const QString& key, std::int16_t fallback) const;

private:
    platform::IniDocument doc_;
    bool exists_ = false;
};

// The map being edited, and everything a map file holds.
struct MapDocument {
    std::int16_t MapWidth = 25;
    std::int16_t MapHeight = 16;
    int TileCount = 25 * 16;           // written as MAX: the canvas's tile count
    QString Name = QStringLiteral("Untitled");
    QString Desc;
    std::int16_t Players = 2;
    std::array<std::int16_t, 3> Enemy{};   // P2, P3, P4: 1 enemy, 0 ally
    QString VictoryMsg;
    QString DefeatMsg;
    std::int16_t WinHQCapture = 0;
    std::int16_t WinDestroyAllUnits = 0;
    std::int16_t WinBuildingCapture = 0;
    QString WinBuildingsNeeded = QStringLiteral("0");
    std::int16_t WinSurvival = 0;
    QString WinDays = QStringLiteral("0");
    std::array<QString, DayMessages> DayMsg;

    Table<std::int16_t, EditorTileLimit> EdTile;
    Table<std::int16_t, UnitSlots> EdUnitType;
    Table<std::int16_t, UnitSlots> EdUnitPlayer;
    Table<std::int16_t, UnitSlots> EdUnitTop;
    Table<std::int16_t, UnitSlots> EdUnitLeft;
    Table<std::int16_t, HeadquarterSlots> EdHQ;
    Table<std::int16_t, BuildingSlots> EdBuildingType;
    Table<std::int16_t, BuildingSlots> EdBuildingPlayer;
    Table<std::int16_t, BuildingSlots> EdBuildingTop;
    Table<std::int16_t, BuildingSlots> EdBuildingLeft;

    // Empty slots and space tiles, as the editor's canvas starts.
    MapDocument();
    bool operator==(const MapDocument&) const = default;
};

// Writes every key in the file's key order. Over an existing file each key is
// replaced in place and other keys stay; the file is written once. False on failure.
bool write(const QString& path, const MapDocument& map);

// Reads a map as the editor's Open does (missing T -> 9, HQ -> 999, UT/BT -> 999).
// nullopt when the file is missing or its size is not 1..EditorTileLimit tiles.
std::optional<MapDocument> read(const QString& path);

}  // namespace mapfile
