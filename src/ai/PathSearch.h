#pragma once
// Can a unit get to a tile this turn? The computer player's orders and the
// fire-range display share these answers.

#include <cstdint>
#include <vector>

#include <QString>

namespace modAI {

inline constexpr std::int32_t Blocked = 999;

// The points unit `UnitNum` pays to enter the tile at pixel position (X, Y), or
// Blocked. The unit's own tile decides the raised-plate rule, and another unit on
// the unit's own position blocks it (a friend of type JoinType when AllowJoin).
// TargetTile and OwnTile receive the two tile numbers.
std::int32_t GetMoveCost(std::int32_t UnitNum, std::int32_t X, std::int32_t Y, std::int32_t& TargetTile,
                         bool AllowJoin = false, std::int32_t JoinType = 999);

// The tiles a unit can reach from where it stands with `budget` points: a chain
// of enterable neighbours in which the points left before each step are above 0
// (so the last step may cost more than is left). One bounded search for all tiles.
class ReachMap {
public:
    // From `startTile`, or from the unit's own tile when it is 0.
    ReachMap(std::int32_t unit, std::int32_t budget, std::int32_t startTile = 0);
    // True for the unit's own tile and every tile such a chain reaches.
    bool reaches(std::int32_t tile) const;

private:
    std::int32_t start_ = 0;
    std::vector<std::int32_t> cost_;  // least points spent to stand on each tile; -1 unreached
};

// True when a path from (X, Y) reaches (TargetX, TargetY) within MovesLeft as above.
bool FindPath(std::int32_t UnitNum, std::int32_t X, std::int32_t Y, std::int32_t TargetX, std::int32_t TargetY,
              std::int32_t MovesLeft);

// The reachability test of every computer order: refills the unit's statistics,
// then True when it can get to the tile at (TargetX, TargetY) this turn and,
// unless AllowOccupied, no unit stands there. The unit is not moved.
bool AIMoveUnit(std::int32_t TargetX, std::int32_t TargetY, std::int32_t UnitNum, const QString& UnitName,
                bool AllowOccupied, std::int32_t JoinFlag);

}  // namespace modAI
