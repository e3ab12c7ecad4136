// How hard each unit hits each other unit: the largest damage step (0..15) an
// attacker can reach; 0 means it cannot attack that defender at all.

#include "battle/frmGame.h"

#include <array>

namespace {

constexpr int Kinds = 15;

// Column order of the table, and the row order too.
constexpr std::array<const char*, Kinds> Names{
    "Infantry", "Heavy Infantry", "Rover", "Armored ATV", "Heavy Tank", "Hover Tank Ground", "Hover Tank Air",
    "Recon", "Fighter", "Bomber", "Mobile Turret", "Fixed Turret", "Anti-Air", "Battle Cruiser", "Transport"};

constexpr int Steps[Kinds][Kinds] = {
    // Inf HInf Rov ATV HTk HTG HTA Rec Fig Bom MTur FTur AA  BC  Tra
    {5, 5, 3, 2, 2, 2, 4, 3, 0, 0, 4, 3, 3, 0, 4},             // Infantry
    {6, 5, 7, 6, 4, 5, 0, 0, 0, 0, 7, 6, 5, 0, 0},             // Heavy Infantry
    {7, 7, 5, 5, 2, 3, 2, 2, 0, 0, 5, 4, 4, 0, 2},             // Rover
    {3, 2, 4, 4, 1, 1, 0, 0, 0, 0, 3, 4, 3, 0, 0},             // Armored ATV
    {10, 8, 10, 9, 6, 9, 0, 0, 0, 0, 8, 7, 8, 0, 0},           // Heavy Tank
    {6, 4, 5, 4, 2, 5, 0, 0, 0, 0, 5, 4, 3, 0, 0},             // Hover Tank Ground
    {4, 2, 4, 5, 4, 3, 4, 8, 0, 0, 3, 2, 6, 0, 8},             // Hover Tank Air
    {7, 6, 5, 4, 2, 5, 3, 6, 0, 0, 4, 4, 2, 1, 8},             // Recon
    {0, 0, 0, 0, 0, 0, 15, 14, 7, 10, 0, 0, 0, 3, 14},         // Fighter
    {15, 15, 12, 13, 10, 12, 0, 0, 0, 0, 12, 10, 8, 0, 0},     // Bomber
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},             // Mobile Turret
    {8, 7, 8, 7, 5, 7, 4, 4, 2, 3, 7, 5, 8, 2, 4},             // Fixed Turret
    {7, 4, 5, 4, 2, 5, 7, 15, 10, 9, 5, 4, 6, 4, 15},          // Anti-Air
    {15, 15, 14, 14, 12, 14, 0, 0, 0, 0, 13, 12, 10, 0, 0},    // Battle Cruiser
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},             // Transport
};

int indexOf(const QString& name)
{
    for (int i = 0; i < Kinds; ++i) {
        if (name == QLatin1String(Names[i]))
            return i;
    }
    return -1;
}

}  // namespace

std::int32_t frmGame::MaximumDamage(const QString& attacker, const QString& defender)
{
    const int row = indexOf(attacker);
    const int column = indexOf(defender);
    return row < 0 || column < 0 ? 0 : Steps[row][column];
}
