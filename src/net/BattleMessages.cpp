// Battle messages. Every number that arrives is checked before it is used:
// unit slots 1..100, building slots 1..50, players 1..4, unit types 1..15,
// places on the battle's map.

#include "net/BattleMessages.h"

#include "battle/Transport.h"
#include "battle/frmGame.h"
#include "data/GameData.h"
#include "data/GameTypes.h"
#include "net/GameDataParts.h"

#include <array>
#include <limits>

using namespace modStrat;

namespace gamedata {

namespace {

// A free slot in the unit states; 0 comes from no sender but means the same.
constexpr std::int32_t NoUnitType = None;
constexpr std::int32_t BlankUnitType = 0;

// Stores a unit slot for the parts that follow; false unless it names one.
bool nameUnit(std::int32_t& scratch, QStringView value)
{
    return toInt32(value, scratch) && Units.valid(scratch);
}

// A 16-bit value for a field of the unit that earlier parts named.
bool setUnitField(std::int32_t slot, std::int16_t UnitRecord::*field, QStringView value)
{
    UnitRecord* unit = Units.at(slot);
    std::int32_t number = 0;
    if (!unit || !toInt16(value, number))
        return false;
    unit->*field = static_cast<std::int16_t>(number);
    return true;
}

bool fitsInt16(std::int32_t value)
{
    return value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max();
}

// A coordinate of the unit that `slot` names; one off the battle's map fails.
template <std::int16_t UnitRecord::*Field>
bool setCoordinate(std::int32_t slot, QStringView value)
{
    constexpr bool across = Field == &UnitRecord::X;
    UnitRecord* unit = Units.at(slot);
    std::int32_t number = 0;
    if (!unit || !toInt32(value, number) || !(across ? UnitXOnMap(number) : UnitYOnMap(number)))
        return false;
    unit->*Field = static_cast<std::int16_t>(number);
    return true;
}

template <std::int16_t UnitRecord::*Field>
bool moveCoordinate(QStringView value)
{
    if (!setCoordinate<Field>(RemoteUnit, value))
        return false;
    UnitRecord& unit = Units[RemoteUnit];
    unit.V = true;
    transport::CarryRider(unit);
    return true;
}

// --- status

bool inChat(Context&, QStringView value)
{
    ShowGameMessage(value.toString());
    return true;
}

bool exitGame(Context& c, QStringView value)
{
    std::int32_t player = 0;
    if (!toIntIn(value, 1, MaxPlayers, player))
        return false;
    PlayerLost[player] = true;
    for (UnitRecord& unit : Units) {
        if (unit.P == player)
            unit.V = false;
    }
    c.battle->PassTurnOf(player);
    // With no unit left the loss check leaves the player's buildings neutral.
    c.battle->CheckLoss(player);
    return true;
}

bool endTurn(Context& c, QStringView value)
{
    if (CurrentPlayer == MyPlayer)
        return true;
    // The number is the player whose turn ended: a repeated line, or one for a
    // turn that already passed here, ends nothing. Older senders send none.
    if (!value.isEmpty()) {
        std::int32_t outgoing = 0;
        if (!toInt32(value, outgoing) || outgoing != CurrentPlayer)
            return true;
    }
    c.battle->EndTurn();
    return true;
}

// --- the player on turn acts

// Names the unit in `Slot` for the parts that follow.
template <std::int32_t& Slot>
bool named(Context&, QStringView value)
{
    return nameUnit(Slot, value);
}

// A number kept for a later part.
template <std::int32_t& Scratch>
bool kept(Context&, QStringView value)
{
    return toInt32(value, Scratch);
}

// A 16-bit value into a field of the unit that `Slot` names.
template <std::int32_t& Slot, std::int16_t UnitRecord::*Field>
bool field(Context&, QStringView value)
{
    return setUnitField(Slot, Field, value);
}

// A place on the map for the unit that `Slot` names.
template <std::int32_t& Slot, std::int16_t UnitRecord::*Field>
bool place(Context&, QStringView value)
{
    return setCoordinate<Field>(Slot, value);
}

bool moveX(Context&, QStringView value)
{
    return moveCoordinate<&UnitRecord::X>(value);
}

bool moveY(Context&, QStringView value)
{
    if (!moveCoordinate<&UnitRecord::Y>(value))
        return false;
    frmGame::LeaveCapture(Units[RemoteUnit]);
    return true;
}

bool attackHp(Context&, QStringView value)
{
    if (!setUnitField(RemoteUnit, &UnitRecord::HP, value))
        return false;
    if (Units[RemoteUnit].HP < 1)
        frmGame::DestroyUnit(RemoteUnit, CurrentPlayer);
    return true;
}

bool defendHp(Context& c, QStringView value)
{
    const UnitRecord* target = Units.at(RemoteUnit);
    if (!target || !setUnitField(RemoteAttacker, &UnitRecord::HP, value))
        return false;
    if (!fitsInt16(RemoteDamage) || !fitsInt16(RemoteCounterDamage))
        return false;
    c.battle->ViewDamage(static_cast<std::int16_t>(RemoteDamage), static_cast<std::int16_t>(RemoteUnit),
                         static_cast<std::int16_t>(RemoteCounterDamage), static_cast<std::int16_t>(RemoteAttacker));
    if (Units[RemoteAttacker].HP < 1)
        frmGame::DestroyUnit(RemoteAttacker, target->P);
    return true;
}

template <int Type>
bool changeMode(Context&, QStringView value)
{
    if (!nameUnit(RemoteUnit, value))
        return false;
    Units[RemoteUnit].PIC = Type;
    return true;
}

// The unit boards the carrier that the part before named, or leaves it.
template <bool Boards>
bool board(Context&, QStringView value)
{
    if (!nameUnit(RemoteUnit, value) || !Units.valid(RemoteCarrier))
        return false;
    Units[RemoteCarrier].TRANS = Boards ? RemoteUnit : None;
    Units[RemoteUnit].HIDDEN = Boards;
    return true;
}

bool captureBuilding(Context&, QStringView value)
{
    if (!toInt32(value, RemoteBuilding) || !Buildings.valid(RemoteBuilding) || !Units.valid(RemoteUnit))
        return false;
    // The capturer remembers its building, so that walking away gives the capture up.
    Units[RemoteUnit].CAP = RemoteBuilding;
    return true;
}

bool capturePoints(Context& c, QStringView value)
{
    BuildingRecord* building = Buildings.at(RemoteBuilding);
    std::int32_t points = 0;
    if (!building || !toInt16(value, points))
        return false;
    building->CAP = points;
    c.battle->ViewCapture(RemoteBuilding, RemoteUnit, false);
    return true;
}

bool captureChange(Context& c, QStringView value)
{
    BuildingRecord* building = Buildings.at(RemoteBuilding);
    std::int32_t owner = 0;
    if (!building || !toIntIn(value, 1, MaxPlayers, owner))
        return false;
    building->PIC = frmGame::ChangeBuildingPicture(building->PIC, building->P, owner);
    building->P = owner;
    building->CAP = frmGame::FullCapturePoints;
    if (UnitRecord* unit = Units.at(RemoteUnit))
        unit->CAP = None;
    c.battle->ViewCapture(RemoteBuilding, RemoteUnit, true);
    return true;
}

bool captureHq(Context&, QStringView value)
{
    const BuildingRecord* headquarters = Buildings.at(RemoteBuilding);
    std::int32_t loser = 0;
    if (!headquarters || !toIntIn(value, 1, MaxPlayers, loser))
        return false;
    // Everything the loser owned is the capturer's, and the loser's units are gone.
    const std::int32_t capturer = headquarters->P;
    for (BuildingRecord& building : Buildings) {
        if (building.P == loser) {
            building.P = capturer;
            building.PIC = frmGame::ChangeBuildingPicture(building.PIC, loser, capturer);
            building.CAP = frmGame::FullCapturePoints;
        }
    }
    for (UnitRecord& unit : Units) {
        if (unit.P == loser)
            unit.V = false;
    }
    return true;
}

bool createType(Context&, QStringView value)
{
    std::int32_t type = 0;
    if (!Units.valid(RemoteUnit) || !toIntIn(value, UnitType::First, UnitType::Last, type))
        return false;
    frmGame::NewUnitInSlot(RemoteUnit, type);
    // The buyer paid on its machine; every machine keeps the same purse.
    Money[CurrentPlayer] -= frmGame::GetUnitCost(frmGame::GetUnitName(type));
    return true;
}

bool setOwner(Context&, QStringView value)
{
    std::int32_t owner = 0;
    if (!Units.valid(RemoteUnit) || !toIntIn(value, 1, MaxPlayers, owner))
        return false;
    Units[RemoteUnit].P = static_cast<std::int16_t>(owner);
    return true;
}

bool joinHide(Context&, QStringView value)
{
    std::int32_t merged = 0;
    if (!toIntIn(value, 1, MaxUnits, merged))
        return false;
    Units[merged].V = false;
    return true;
}

bool playerLost(Context& c, QStringView value)
{
    std::int32_t player = 0;
    if (!toIntIn(value, 1, MaxPlayers, player))
        return false;
    frmGame::AnnounceDefeat(player);
    PlayerLost[player] = true;
    c.battle->CheckLoss(player);
    // Beaten on their own turn: the battle goes on without them, as after a departure.
    c.battle->PassTurnOf(player);
    return true;
}

// --- the unit states, applied by the machine whose turn has begun

bool checkPic(Context&, QStringView value)
{
    UnitRecord* unit = Units.at(RemoteUnit);
    std::int32_t type = 0;
    if (!unit || !toInt16(value, type))
        return false;
    const bool noUnit = type == NoUnitType || type == BlankUnitType;
    if (!noUnit && (type < UnitType::First || type > UnitType::Last))
        return false;
    const bool ours = unit->P == MyPlayer;
    if (noUnit) {
        // The states may arrive after we bought a unit into a slot that was free
        // when they were sent: our own live units stay. Others are gone.
        if (ours && unit->V)
            return true;
        unit->PIC = static_cast<std::int16_t>(type);
        unit->V = false;
        return true;
    }
    unit->PIC = static_cast<std::int16_t>(type);
    if (!ours)
        unit->V = true;
    return true;
}

// Positions of our own units are ours: the mover's machine may not have seen the last step.
template <std::int16_t UnitRecord::*Field>
bool checkPosition(Context&, QStringView value)
{
    const UnitRecord* unit = Units.at(RemoteUnit);
    return unit && (unit->P == MyPlayer || setCoordinate<Field>(RemoteUnit, value));
}

const std::array BattleTable{
    Keyword{QLatin1String("INCHAT"), Gate::Always, inChat},
    Keyword{QLatin1String("EXITGAME"), Gate::InBattle, exitGame},
    Keyword{QLatin1String("MOVEUNIT"), Gate::OtherTurn, named<RemoteUnit>},
    Keyword{QLatin1String("MOVEX"), Gate::OtherTurn, moveX},
    Keyword{QLatin1String("MOVEY"), Gate::OtherTurn, moveY},
    Keyword{QLatin1String("MOVEFUEL"), Gate::OtherTurn, field<RemoteUnit, &UnitRecord::FUEL>},
    Keyword{QLatin1String("ATTACKUNIT"), Gate::OtherTurn, named<RemoteUnit>},
    Keyword{QLatin1String("ATTACKDAMAGE"), Gate::OtherTurn, kept<RemoteDamage>},
    Keyword{QLatin1String("ATTACKHP"), Gate::OtherTurn, attackHp},
    Keyword{QLatin1String("ATTACKAMMO"), Gate::OtherTurn, field<RemoteUnit, &UnitRecord::AMMO>},
    Keyword{QLatin1String("DEFENDUNIT"), Gate::OtherTurn, named<RemoteAttacker>},
    Keyword{QLatin1String("DEFENDDAMAGE"), Gate::OtherTurn, kept<RemoteCounterDamage>},
    Keyword{QLatin1String("DEFENDHP"), Gate::OtherTurn, defendHp},
    Keyword{QLatin1String("DEFENDAMMO"), Gate::OtherTurn, field<RemoteAttacker, &UnitRecord::AMMO>},
    Keyword{QLatin1String("HOVER"), Gate::OtherTurn, changeMode<UnitType::HoverTankAir>},
    Keyword{QLatin1String("UNHOVER"), Gate::OtherTurn, changeMode<UnitType::HoverTankGround>},
    Keyword{QLatin1String("PACKUNIT"), Gate::OtherTurn, changeMode<UnitType::FixedTurret>},
    Keyword{QLatin1String("UNPACKUNIT"), Gate::OtherTurn, changeMode<UnitType::MobileTurret>},
    Keyword{QLatin1String("LOADTOUNIT"), Gate::OtherTurn, named<RemoteCarrier>},
    Keyword{QLatin1String("LOADUNIT"), Gate::OtherTurn, board<true>},
    Keyword{QLatin1String("UNLOADFROMUNIT"), Gate::OtherTurn, named<RemoteCarrier>},
    Keyword{QLatin1String("UNLOADUNIT"), Gate::OtherTurn, board<false>},
    Keyword{QLatin1String("UNLOADX"), Gate::OtherTurn, place<RemoteUnit, &UnitRecord::X>},
    Keyword{QLatin1String("UNLOADY"), Gate::OtherTurn, place<RemoteUnit, &UnitRecord::Y>},
    Keyword{QLatin1String("CAPTUREUNIT"), Gate::OtherTurn, named<RemoteUnit>},
    Keyword{QLatin1String("CAPTUREBUILDING"), Gate::OtherTurn, captureBuilding},
    Keyword{QLatin1String("CAPTUREPOINTS"), Gate::OtherTurn, capturePoints},
    Keyword{QLatin1String("CAPTURECHANGE"), Gate::OtherTurn, captureChange},
    Keyword{QLatin1String("CAPTUREHQ"), Gate::OtherTurn, captureHq},
    Keyword{QLatin1String("CREATEUNIT"), Gate::OtherTurn, named<RemoteUnit>},
    Keyword{QLatin1String("CREATETYPE"), Gate::OtherTurn, createType},
    Keyword{QLatin1String("CREATEPLAYER"), Gate::OtherTurn, setOwner},
    Keyword{QLatin1String("CREATEX"), Gate::OtherTurn, place<RemoteUnit, &UnitRecord::X>},
    Keyword{QLatin1String("CREATEY"), Gate::OtherTurn, place<RemoteUnit, &UnitRecord::Y>},
    Keyword{QLatin1String("JOINUNIT"), Gate::OtherTurn, named<RemoteUnit>},
    Keyword{QLatin1String("JOINHIDE"), Gate::OtherTurn, joinHide},
    Keyword{QLatin1String("JOINHP"), Gate::OtherTurn, field<RemoteUnit, &UnitRecord::HP>},
    Keyword{QLatin1String("PLAYERLOST"), Gate::OtherTurn, playerLost},
    Keyword{QLatin1String("CHECKUNIT"), Gate::OwnTurn, named<RemoteUnit>},
    Keyword{QLatin1String("CHECKPIC"), Gate::OwnTurn, checkPic},
    Keyword{QLatin1String("CHECKX"), Gate::OwnTurn, checkPosition<&UnitRecord::X>},
    Keyword{QLatin1String("CHECKY"), Gate::OwnTurn, checkPosition<&UnitRecord::Y>},
    Keyword{QLatin1String("CHECKPLAYER"), Gate::OwnTurn, setOwner},
    Keyword{QLatin1String("CHECKHP"), Gate::OwnTurn, field<RemoteUnit, &UnitRecord::HP>},
    Keyword{QLatin1String("ENDTURN"), Gate::InBattle, endTurn},
};

}  // namespace

std::span<const Keyword> battleKeywords()
{
    return BattleTable;
}

}  // namespace gamedata

namespace modStrat {

void ResetRemoteScratch()
{
    RemoteUnit = RemoteCarrier = RemoteDamage = RemoteBuilding = RemoteAttacker = RemoteCounterDamage = 0;
}

}  // namespace modStrat
