#include "battle/Terrain.h"

namespace terrain {

namespace {

constexpr bool in(int t, int low, int high) { return t >= low && t <= high; }

int orFlying(int cost, const UnitRecord& unit) { return cost != 0 ? cost : unit.MoveCost4; }

}  // namespace

std::optional<int> EntryCost(const UnitRecord& u, int to, int from)
{
    const bool m1 = u.MoveCost1 != 0, m2 = u.MoveCost2 != 0, m3 = u.MoveCost3 != 0, m4 = u.MoveCost4 != 0,
               m5 = u.MoveCost5 != 0;
    // The first rule that matches decides; the order settles the codes named twice.
    if (isRaised(from) && !isRaised(to) && !isRamp(to) && !m4)
        return std::nullopt;
    if ((m2 || m4) && (to == 0 || to == 18 || to == 34 || to == 35 || in(to, 37, 41)))
        return orFlying(u.MoveCost2, u);
    if ((m1 || m4) && in(to, 23, 33))
        return orFlying(u.MoveCost1, u);
    if ((m5 || m4) && in(to, 37, 51))
        return orFlying(u.MoveCost5, u);
    if (m3 && (to == 9 || to == 42 || to == 43))
        return u.MoveCost3;
    if (m4 && (in(to, 1, 8) || in(to, 19, 22) || in(to, 37, 51)))
        return u.MoveCost4;
    if ((m2 || m4) && isRaised(to)) {
        if (!m2)
            return u.MoveCost4;
        if (isRaised(from) || isRamp(from))
            return u.MoveCost2;
        return std::nullopt;
    }
    if ((m2 || m4) && to == 18)
        return orFlying(u.MoveCost2, u);
    if ((m2 || m4) && in(to, 53, 59))
        return std::nullopt;
    if ((m2 || m4) && (to == 52 || in(to, 65, 70)))
        return orFlying(u.MoveCost2, u);
    if ((m2 || m4) && (to == 60 || in(to, 34, 36)))
        return orFlying(u.MoveCost2, u);
    return std::nullopt;
}

}  // namespace terrain
