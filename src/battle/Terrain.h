#pragma once
// Terrain codes and the one rule for entering a tile, shared by movement, the
// command menu, the fire-range display and the computer player.

#include "data/Records.h"

#include <optional>

namespace terrain {

// Raised plates: ground units climb onto them only from a ramp or other raised plates.
constexpr bool isRaised(int t) { return (t >= 10 && t <= 17) || (t >= 61 && t <= 64); }
constexpr bool isRamp(int t) { return t == 18 || (t >= 34 && t <= 36) || t == 60; }

// Terrain code used for the tile a unit comes from when there is none.
inline constexpr int NoTerrain = -1;

// The movement points `unit` pays to enter terrain `to` from a tile of terrain
// `from`; nothing when it may not enter at all. Occupancy and the points left are
// the caller's to test.
std::optional<int> EntryCost(const UnitRecord& unit, int to, int from);

}  // namespace terrain
