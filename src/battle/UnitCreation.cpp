// A newly bought unit enters the battle in the first free slot.

#include "battle/frmGame.h"

using namespace modStrat;

bool frmGame::CreateUnit(std::int32_t type, std::int32_t player, std::int32_t x, std::int32_t y)
{
    int slot = 0;
    for (int i = 1; i <= MaxUnits; ++i) {
        if (!Units[i].V) {
            slot = i;
            break;
        }
    }
    if (slot == 0)
        return false;
    NewUnitInSlot(slot, type);
    UnitRecord& unit = Units[slot];
    unit.X = static_cast<std::int16_t>(x);
    unit.Y = static_cast<std::int16_t>(y);
    unit.P = static_cast<std::int16_t>(player);
    Send(QStringLiteral("CREATEUNIT%1@CREATETYPE%2@CREATEPLAYER%3@CREATEX%4@CREATEY%5")
             .arg(slot)
             .arg(type)
             .arg(int(CurrentPlayer))
             .arg(x)
             .arg(y));
    return true;
}

void frmGame::NewUnitInSlot(std::int32_t slot, std::int32_t type)
{
    UnitRecord* unit = Units.at(slot);
    if (!unit)
        return;
    UnitsProduced[CurrentPlayer] += 1;
    unit->V = true;
    unit->E = false;  // it cannot act in the turn it was bought
    unit->SEL = false;
    unit->HP = MaxHitPoints;
    unit->PIC = static_cast<std::int16_t>(type);
    unit->CAP = None;
    unit->TRANS = None;
    // A reused slot may have held a carried unit: the new one stands on the map.
    unit->HIDDEN = false;
    unit->Defense = 1;
    const QString name = GetUnitName(type);
    SetUnitFuelAndAmmo(name, slot);
    SetUnitRange(name, slot);
}
