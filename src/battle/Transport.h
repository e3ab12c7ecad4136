#pragma once
// Who may ride in whom: the one rule behind the menu's Load entries and the
// Load commands.

#include "data/Records.h"

namespace transport {

bool IsInfantry(int type);
// A Transport takes any ground unit of its side, an Armored ATV only infantry;
// both must be in play, on the map and free, and the rider ready to act.
bool MayBoard(const UnitRecord& rider, const UnitRecord& carrier);
// The carrier's rider, if any, goes where the carrier is. The mover and the
// receivers of its move both call it whenever the carrier's place is set, so
// every machine keeps the rider in the same place.
void CarryRider(const UnitRecord& carrier);

}  // namespace transport
