// The attack order: the most wanted enemy in reach, struck from a free tile beside it.

#include "ai/modAI.h"

#include "ai/PathSearch.h"
#include "battle/frmGame.h"
#include "data/GameData.h"
#include "platform/Text.h"

#include <array>
#include <cstdlib>

using namespace modStrat;

namespace modAI {

namespace {

struct PriorityRow {
    const char* attacker;
    std::array<std::int8_t, 15> byTarget;  // target type codes 1..15
};

// Anti-Air has no row: it never picks a target and always advances instead.
constexpr std::array<PriorityRow, 14> Priorities{{
    {"Infantry", {1, 5, 0, 0, 0, 4, 2, 4, 2, 3, 4, 4, 1, 3, 2}},
    {"Heavy Infantry", {3, 5, 0, 0, 0, 4, 0, 4, 0, 3, 0, 4, 1, 5, 2}},
    {"Rover", {2, 6, 0, 0, 0, 4, 0, 5, 0, 4, 0, 5, 1, 5, 1}},
    {"Armored ATV", {2, 3, 0, 0, 0, 3, 0, 2, 0, 2, 0, 4, 0, 2, 0}},
    {"Heavy Tank", {5, 6, 0, 0, 0, 4, 0, 4, 0, 4, 0, 4, 6, 5, 6}},
    {"Hover Tank Ground", {3, 5, 0, 0, 0, 2, 0, 3, 0, 3, 0, 4, 1, 3, 2}},
    {"Hover Tank Air", {1, 3, 0, 0, 0, 2, 4, 3, 5, 2, 5, 2, 1, 2, 2}},
    {"Mobile Turret", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"Fixed Turret", {3, 5, 5, 6, 4, 3, 3, 3, 3, 2, 5, 2, 5, 5, 4}},
    {"Transport", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"Recon", {1, 5, 0, 0, 0, 3, 4, 4, 3, 2, 5, 3, 3, 4, 4}},
    {"Fighter", {0, 0, 0, 4, 5, 0, 3, 0, 4, 0, 6, 0, 0, 0, 0}},
    {"Bomber", {7, 6, 0, 0, 0, 2, 0, 4, 0, 3, 0, 2, 5, 5, 4}},
    {"Battle Cruiser", {5, 4, 0, 0, 0, 2, 0, 5, 0, 3, 0, 2, 4, 6, 4}},
}};

// The sides of a target the attacker may strike from, in the order tried:
// left, right, below, above. Offsets of the attacker's new position.
constexpr std::array<std::pair<int, int>, 4> StrikeSides{{{-TileSize, 0}, {TileSize, 0}, {0, TileSize}, {0, -TileSize}}};

}  // namespace

std::int32_t AttackPriority(const QString& attackerName, std::int32_t targetType)
{
    if (targetType < 1 || targetType > 15)
        return 0;
    for (const PriorityRow& row : Priorities) {
        if (attackerName == QLatin1String(row.attacker))
            return row.byTarget[targetType - 1];
    }
    return 0;
}

void ComputerOpponent::AIAttack(std::int32_t UnitNum, const QString& UnitName)
{
    UnitRecord* attacker = Units.at(UnitNum);
    if (!attacker)
        return;
    // Each round either strikes, advances, or marks one more target as out of reach.
    for (;;) {
        SelectedUnit = static_cast<std::int16_t>(UnitNum);
        if (!attacker->E)
            return;
        frmGame::SetUnitRange(UnitName, UnitNum);
        const int moves = attacker->Moves;

        int target = 0;
        std::int64_t best = 0;
        for (int j = 1; j <= MaxUnits; ++j) {
            const UnitRecord& candidate = Units[j];
            if (candidate.P == CurrentPlayer || !candidate.V || candidate.HIDDEN || candidate.AIMark)
                continue;
            const double distance =
                (std::abs(candidate.X - attacker->X) + std::abs(candidate.Y - attacker->Y)) / double(TileSize);
            if (distance > moves + 1)
                continue;
            std::int64_t score = moves + 2 - platform::roundHalfEven(distance);
            score *= AttackPriority(UnitName, candidate.PIC);
            score = platform::roundHalfEven(candidate.HP / 20.0 * double(score));
            if (candidate.CAP != None)
                score *= 2;
            if (score > best) {
                best = score;
                target = j;
            }
        }
        if (target == 0) {
            AIAdvanceToUnits(UnitNum, UnitName);
            return;
        }

        frmGame::SetUnitRange(UnitName, UnitNum);
        UnitRecord& victim = Units[target];
        for (const auto& [dx, dy] : StrikeSides) {
            const int x = victim.X + dx;
            const int y = victim.Y + dy;
            if (!AIMoveUnit(x, y + UnitRaise, UnitNum, UnitName, false, None))
                continue;
            attacker->X = static_cast<std::int16_t>(x);
            attacker->Y = static_cast<std::int16_t>(y);
            std::int64_t blow = frmGame::MaximumDamage(UnitName, frmGame::GetUnitName(victim.PIC));
            // A skill level of 4 or more would divide by zero or strike backwards: full strength.
            const int divisor = 4 - Players[CurrentPlayer].AILevel;
            if (divisor > 0)
                blow = platform::roundHalfEven(double(blow) / divisor);
            DamageBarValue = static_cast<std::int32_t>(blow + 1);
            TargetUnit = target;
            game_.FinalDamage();
            attacker->E = false;
            return;
        }
        victim.AIMark = 1;
    }
}

}  // namespace modAI
