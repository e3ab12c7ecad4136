#pragma once
// The records of a battle. Field names and widths are the game's own; Booleans
// are plain bools (the game only ever stores true or false in them).

#include <QString>
#include <cstdint>

// Marks "none" in every field that holds an index or a type code.
inline constexpr int None = 999;
// TimeLimit value for a turn without a time limit.
inline constexpr int NoTimeLimit = 9999;

inline constexpr int MaxUnits = 100;
inline constexpr int MaxBuildings = 50;
inline constexpr int MaxTiles = 600;
inline constexpr int MaxPlayers = 4;
inline constexpr int TileSize = 25;
// Units are drawn 2 pixels above their tile and 2 pixels taller.
inline constexpr int UnitRaise = 2;

struct UnitRecord {
    std::int16_t HP = 0;
    std::int16_t PIC = 0;          // UnitType code 1..15; 999 = empty slot in a map file
    std::int16_t Defense = 0;      // defence class 1..3
    std::int16_t P = 0;            // owner 1..4
    bool SEL = false;              // selected
    std::int16_t X = 0;            // left, pixels
    std::int16_t Y = 0;            // top, pixels (tile top - 2)
    bool E = false;                // may still act this turn
    bool V = false;                // slot in use
    bool HIDDEN = false;           // carried inside another unit
    std::int32_t MoveCost1 = 0;
    std::int32_t MoveCost2 = 0;
    std::int32_t MoveCost3 = 0;
    std::int32_t MoveCost4 = 0;
    std::int32_t MoveCost5 = 0;
    std::int32_t Moves = 0;        // movement points left in the current action
    std::int32_t RangeGround = 0;
    std::int32_t RangeAir = 0;
    std::int32_t CAP = None;       // building being captured
    std::int32_t TRANS = None;     // unit carried (set on the carrier)
    std::int16_t FUEL = 0;
    std::int16_t AMMO = 0;
    std::int16_t AIMark = 0;
};

struct BuildingRecord {
    bool CanBuild = false;
    bool Exists = false;
    std::int32_t P = 0;            // owner: 0 neutral, 1..4
    std::int32_t PIC = None;       // BuildingType code
    std::int32_t Y = 0;
    std::int32_t X = 0;
    std::int32_t CAP = 200;        // capture points left
    std::int16_t AIMark = 0;
};

struct TileRecord {
    std::int16_t Terrain = 9;
    std::int16_t X = 0;
    std::int16_t Y = 0;
    bool Occupied = false;
    std::int16_t AIMark = 0;
    bool Highlight = false;
};

struct TextItem {
    QString Text;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    QString FontName;
    QString Color;                 // decimal text of a colour with red in the low byte
    bool Bold = false;
    bool Italic = false;
    std::int32_t Size = 0;         // points
    bool Visible = false;
    bool Underline = false;
    std::int32_t Life = 0;         // frames left (floating messages)
};

struct PlayerRecord {
    QString Name;
    bool InUse = false;            // joined
    bool Ready = false;
    bool IsComputer = false;
    std::int32_t AILevel = 0;
};
