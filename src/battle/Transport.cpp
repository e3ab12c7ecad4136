#include "battle/Transport.h"

#include "battle/frmGame.h"
#include "data/GameTypes.h"

namespace transport {

bool IsInfantry(int type)
{
    return type == UnitType::Infantry || type == UnitType::HeavyInfantry;
}

bool MayBoard(const UnitRecord& rider, const UnitRecord& carrier)
{
    const bool kind = carrier.PIC == UnitType::Transport
        || (carrier.PIC == UnitType::ArmoredATV && IsInfantry(rider.PIC));
    return kind && carrier.V && !carrier.HIDDEN && carrier.TRANS == None && rider.V && !rider.HIDDEN && rider.E
        && rider.P == carrier.P && !frmGame::IsAirType(rider.PIC);
}

void CarryRider(const UnitRecord& carrier)
{
    if (UnitRecord* rider = modStrat::Units.at(carrier.TRANS)) {
        rider->X = carrier.X;
        rider->Y = carrier.Y;
    }
}

}  // namespace transport
