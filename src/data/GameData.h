#pragma once
// The program-wide game data: one set of tables and settings that the battle,
// the computer player, the message handlers and the windows all share.

#include "data/Records.h"
#include "data/Table.h"

#include <QString>
#include <algorithm>
#include <cstdint>

namespace modStrat {

// Online settings.
inline QString UserName;
inline QString ServerIP;
inline QString GameVersion;
inline QString GameNumber;
inline bool IsGameHost = false;

// Game settings, left by the set-up windows and rooms for the next battle.
inline Table<PlayerRecord, MaxPlayers> Players;
inline std::int32_t PlayerCount = 0;
inline std::int32_t MyPlayer = 0;
inline std::int32_t TimeLimit = 0;          // seconds per turn; NoTimeLimit = none
inline bool IsOfflineGame = false;
inline QString MapPath;
inline bool StartGamePending = false;

// The battle.
inline std::uint8_t CurrentPlayer = 0;
inline Table<std::int32_t, MaxPlayers> Money;
inline std::int32_t TargetUnit = 0;
inline std::int16_t SelectedUnit = 0;
inline std::int32_t DayCount = 0;
inline Table<std::int32_t, MaxPlayers> UnitsProduced;
inline Table<std::int32_t, MaxPlayers> UnitsDestroyed;
inline Table<std::int32_t, MaxPlayers> UnitsLost;
inline Table<UnitRecord, MaxUnits> Units;
inline Table<BuildingRecord, MaxBuildings> Buildings;
inline Table<TileRecord, MaxTiles> Tiles;
inline Table<std::int32_t, MaxPlayers> HQ;
inline Table<TextItem, 10> GameMessages;
inline std::int32_t DamageBarValue = 0;
inline Table<bool, MaxPlayers> PlayerLost;
inline std::int16_t MapWidth = 0;
inline std::int16_t MapHeight = 0;
inline std::int16_t MapLeft = 0;
inline std::int16_t MapTop = 0;

// Tiles of the current battle's map that the tables hold.
inline int MapTileCount()
{
    return std::min(MapWidth * MapHeight, MaxTiles);
}

// Whether a unit's corner, in pixels, stands on the current battle's map: from
// the first tile's place to the last one's.
inline bool UnitXOnMap(std::int32_t x)
{
    return x >= MapLeft && x <= MapLeft + TileSize * (MapWidth - 1);
}
inline bool UnitYOnMap(std::int32_t y)
{
    return y >= MapTop - UnitRaise && y <= MapTop + TileSize * (MapHeight - 1) - UnitRaise;
}

// A new floating message lives this many frames.
inline constexpr int GameMessageLife = 140;

// Everything above back to its program-start value (tests start from a clean slate).
void ResetAll();

// Reading and writing one key of an INI file (values read back at most 254 characters).
QString ReadIni(const QString& section, const QString& key, const QString& file);
std::int16_t WriteIni(const QString& section, const QString& key, const QString& value, const QString& file);

// Free text (chat, names) made safe for a game-data line: "@" joins the parts
// of a line and CR LF ends it, so both are removed.
QString FreeText(const QString& text);

// Shows `text` as the newest floating battle message; the previous one moves up a slot.
void ShowGameMessage(const QString& text);

}  // namespace modStrat
