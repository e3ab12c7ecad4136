// The unit catalogue: names, prices, movement, reach, supplies and the defence
// of the ground. Tables are keyed by the exact unit name strings.

#include "battle/frmGame.h"
#include "data/GameTypes.h"

#include <array>

using namespace modStrat;

namespace {

struct UnitKind {
    int code;
    const char* name;
    int price;
};

// Type codes, names and prices of the units that can appear in a battle.
constexpr std::array<UnitKind, 15> Kinds{{
    {1, "Anti-Air", 750},
    {2, "Armored ATV", 600},
    {3, "Bomber", 1800},
    {4, "Battle Cruiser", 2500},
    {5, "Fighter", 1600},
    {6, "Heavy Infantry", 300},
    {7, "Hover Tank Air", 1200},
    {8, "Mobile Turret", 900},
    {9, "Recon", 550},
    {10, "Rover", 500},
    {11, "Transport", 600},
    {12, "Infantry", 100},
    {13, "Heavy Tank", 1200},
    {14, "Fixed Turret", 900},
    {15, "Hover Tank Ground", 1200},
}};

struct MovementRow {
    const char* name;
    int moves, rangeGround, rangeAir;
    int cost1, cost2, cost3, cost4, cost5;
};

// The second race's rows answer only by name: no unit of theirs has a type code.
constexpr std::array<MovementRow, 30> Movement{{
    {"Anti-Air", 6, 1, 1, 1, 1, 0, 0, 2},
    {"Armored ATV", 6, 1, 0, 1, 1, 0, 0, 2},
    {"Bomber", 6, 1, 0, 0, 0, 2, 1, 0},
    {"Battle Cruiser", 4, 2, 0, 0, 0, 1, 2, 0},
    {"Fighter", 7, 0, 1, 0, 0, 1, 1, 0},
    {"Heavy Infantry", 2, 1, 0, 1, 1, 0, 0, 1},
    {"Hover Tank Air", 6, 1, 1, 0, 0, 0, 1, 0},
    {"Mobile Turret", 5, 0, 0, 1, 2, 0, 0, 3},
    {"Recon", 8, 1, 1, 0, 0, 1, 1, 0},
    {"Rover", 7, 1, 0, 1, 2, 0, 0, 3},
    {"Transport", 6, 0, 0, 0, 0, 2, 1, 0},
    {"Infantry", 3, 1, 1, 1, 1, 0, 0, 1},
    {"Heavy Tank", 5, 1, 1, 1, 1, 0, 0, 2},
    {"Fixed Turret", 0, 4, 3, 0, 0, 0, 0, 0},
    {"Hover Tank Ground", 6, 1, 0, 1, 1, 0, 0, 3},
    {"Grunt", 3, 2, 1, 1, 1, 0, 0, 1},
    {"Fire Grunt", 2, 1, 0, 1, 1, 0, 0, 1},
    {"Blood Hound", 6, 1, 0, 1, 1, 0, 0, 2},
    {"Shadow Stalker", 4, 1, 1, 1, 2, 0, 0, 2},
    {"Mammoth Brute", 5, 1, 0, 1, 2, 0, 0, 2},
    {"Spitter", 6, 1, 2, 1, 1, 0, 0, 2},
    {"Burrower Above", 5, 1, 0, 1, 1, 0, 0, 4},
    {"Burrower Below", 5, 2, 0, 2, 2, 0, 0, 1},
    {"Heavy Transporter", 5, 0, 0, 1, 1, 0, 0, 2},
    {"Flying Beast", 6, 1, 1, 0, 0, 1, 1, 0},
    {"Fleeting Beast", 7, 0, 1, 0, 0, 1, 1, 0},
    {"Grinding Beast", 5, 1, 0, 0, 0, 1, 1, 0},
    {"Shuttle", 5, 0, 0, 0, 0, 1, 1, 0},
    {"Behemoth", 3, 0, 2, 1, 1, 0, 0, 1},
    {"Micro Grunt", 3, 1, 0, 1, 2, 0, 0, 2},
}};

struct SupplyRow {
    const char* name;
    int fuel, ammo;
};

// The supply table spells one second-race name differently from the movement
// table ("Mammoth Beast"); each table answers only to its own spelling.
constexpr std::array<SupplyRow, 30> Supply{{
    {"Anti-Air", 50, 8},
    {"Armored ATV", 100, 3},
    {"Bomber", 65, 7},
    {"Battle Cruiser", 120, 8},
    {"Fighter", 65, 8},
    {"Heavy Infantry", 30, 10},
    {"Hover Tank Air", 60, 8},
    {"Mobile Turret", 60, 8},
    {"Recon", 65, 6},
    {"Rover", 65, 7},
    {"Transport", 65, 0},
    {"Infantry", 40, 10},
    {"Heavy Tank", 50, 8},
    {"Fixed Turret", 60, 8},
    {"Hover Tank Ground", 60, 8},
    {"Grunt", 35, 10},
    {"Fire Grunt", 30, 5},
    {"Blood Hound", 60, 3},
    {"Shadow Stalker", 30, 5},
    {"Mammoth Beast", 50, 10},
    {"Spitter", 60, 8},
    {"Burrower Above", 40, 6},
    {"Burrower Below", 40, 6},
    {"Heavy Transporter", 100, 0},
    {"Flying Beast", 75, 10},
    {"Fleeting Beast", 90, 5},
    {"Grinding Beast", 65, 12},
    {"Shuttle", 65, 0},
    {"Behemoth", 50, 9},
    {"Micro Grunt", 10, 2},
}};

// The build menu's names for two units.
constexpr std::pair<const char*, int> MenuNames[] = {{"Turret", 8}, {"Hover Tank", 15}};

template <typename Row, std::size_t N>
const Row* findRow(const std::array<Row, N>& rows, const QString& name)
{
    for (const Row& row : rows) {
        if (name == QLatin1String(row.name))
            return &row;
    }
    return nullptr;
}

}  // namespace

QString frmGame::GetUnitName(std::int32_t code)
{
    for (const UnitKind& kind : Kinds) {
        if (kind.code == code)
            return QLatin1String(kind.name);
    }
    return QStringLiteral("Null");
}

std::int32_t frmGame::GetPictureNum(const QString& name)
{
    if (const UnitKind* kind = findRow(Kinds, name))
        return kind->code;
    for (const auto& [menuName, code] : MenuNames) {
        if (name == QLatin1String(menuName))
            return code;
    }
    return None;
}

std::int32_t frmGame::GetUnitCost(const QString& name)
{
    const UnitKind* kind = findRow(Kinds, name);
    return kind ? kind->price : 0;
}

bool frmGame::IsAirType(std::int32_t code)
{
    using namespace UnitType;
    return code == Bomber || code == BattleCruiser || code == Fighter || code == HoverTankAir
        || code == Recon || code == Transport;
}

void frmGame::SetUnitRange(const QString& name, std::int32_t unit)
{
    UnitRecord* record = Units.at(unit);
    const MovementRow* row = findRow(Movement, name);
    if (!record || !row)
        return;
    record->Moves = row->moves;
    record->MoveCost1 = row->cost1;
    record->MoveCost2 = row->cost2;
    record->MoveCost3 = row->cost3;
    record->MoveCost4 = row->cost4;
    record->MoveCost5 = row->cost5;
    record->RangeGround = row->rangeGround;
    record->RangeAir = row->rangeAir;
}

void frmGame::SetUnitFuelAndAmmo(const QString& name, std::int32_t unit)
{
    UnitRecord* record = Units.at(unit);
    const SupplyRow* row = findRow(Supply, name);
    if (!record || !row)
        return;
    record->FUEL = static_cast<std::int16_t>(row->fuel);
    record->AMMO = static_cast<std::int16_t>(row->ammo);
}

std::int32_t frmGame::GetTileDefense(std::int32_t tile)
{
    const TileRecord* record = Tiles.at(tile);
    if (!record)
        return 1;
    const int t = record->Terrain;
    if ((t >= 10 && t <= 18) || (t >= 61 && t <= 64))
        return 3;
    if ((t >= 34 && t <= 41) || t == 60 || (t >= 44 && t <= 47))
        return 2;
    return 1;
}

std::int32_t frmGame::GetUnitDefense(std::int32_t unit)
{
    const UnitRecord* record = Units.at(unit);
    if (!record)
        return 1;
    // Buildings shelter the unit on them; empty slots keep stale positions, so only real ones count.
    for (const BuildingRecord& building : Buildings) {
        if (building.Exists && building.X == record->X && building.Y - UnitRaise == record->Y)
            return 2;
    }
    for (int i = 1; i <= MapTileCount(); ++i) {
        if (Tiles[i].X == record->X && Tiles[i].Y == record->Y + UnitRaise)
            return GetTileDefense(i);
    }
    return 1;
}
