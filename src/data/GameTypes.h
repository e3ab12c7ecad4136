#pragma once
// The shared type codes: unit types (the value of UnitRecord::PIC and of the
// map's UT keys) and building types (BuildingRecord::PIC and the BT keys).

namespace UnitType {
inline constexpr int AntiAir = 1;
inline constexpr int ArmoredATV = 2;
inline constexpr int Bomber = 3;
inline constexpr int BattleCruiser = 4;
inline constexpr int Fighter = 5;
inline constexpr int HeavyInfantry = 6;
inline constexpr int HoverTankAir = 7;
inline constexpr int MobileTurret = 8;
inline constexpr int Recon = 9;
inline constexpr int Rover = 10;
inline constexpr int Transport = 11;
inline constexpr int Infantry = 12;
inline constexpr int HeavyTank = 13;
inline constexpr int FixedTurret = 14;
inline constexpr int HoverTankGround = 15;
inline constexpr int First = 1;
inline constexpr int Last = 15;
}  // namespace UnitType

// Building type codes by owner colour and kind; 8 is a neutral building of no kind.
namespace BuildingType {
inline constexpr int NeutralCity = 0;
inline constexpr int NeutralFactory = 1;
inline constexpr int NeutralAirport = 9;
inline constexpr int NeutralPlain = 8;
inline constexpr int Last = 19;
// Indexed by player 1..4 (element 0 unused).
inline constexpr int City[5] = {0, 4, 5, 13, 17};
inline constexpr int Factory[5] = {1, 6, 7, 14, 18};
inline constexpr int Airport[5] = {9, 10, 11, 15, 19};
inline constexpr int Headquarters[5] = {-1, 2, 3, 12, 16};
}  // namespace BuildingType

enum class BuildingKind { City, Factory, Airport, Headquarters, None };

// The kind and owner colour (0 neutral, 1..4 a player) of a building type code.
struct BuildingLook {
    BuildingKind kind = BuildingKind::None;
    int colour = -1;
};

constexpr BuildingLook LookOf(int type)
{
    // There is no neutral headquarters: its -1 in the table matches no building.
    if (type < 0 || type > BuildingType::Last)
        return {};
    for (int p = 0; p <= 4; ++p) {
        if (type == BuildingType::City[p])
            return {BuildingKind::City, p};
        if (type == BuildingType::Factory[p])
            return {BuildingKind::Factory, p};
        if (type == BuildingType::Airport[p])
            return {BuildingKind::Airport, p};
        if (type == BuildingType::Headquarters[p])
            return {BuildingKind::Headquarters, p};
    }
    return {};
}

// A player's factory or airport: the buildings that produce units.
constexpr bool IsProductionBuilding(int type)
{
    const BuildingLook look = LookOf(type);
    return look.colour >= 1 && (look.kind == BuildingKind::Factory || look.kind == BuildingKind::Airport);
}

// The default terrain: open space.
inline constexpr int SpaceTerrain = 9;
inline constexpr int LastTerrain = 70;
