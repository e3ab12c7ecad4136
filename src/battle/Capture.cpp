// Buildings change hands: owner colours, who may capture, and one capture step.

#include "battle/frmGame.h"
#include "data/GameTypes.h"

using namespace modStrat;

std::int32_t frmGame::ChangeBuildingPicture(std::int32_t type, std::int32_t oldOwner, std::int32_t newOwner)
{
    Q_UNUSED(oldOwner);
    if (newOwner < 1 || newOwner > MaxPlayers || type < 0 || type > BuildingType::Last)
        return BuildingType::NeutralCity;
    // A building already in the new owner's colour gives 0.
    const BuildingLook look = LookOf(type);
    if (look.colour == newOwner)
        return BuildingType::NeutralCity;
    switch (look.kind) {
    case BuildingKind::City:
    case BuildingKind::Headquarters:
        return BuildingType::City[newOwner];
    case BuildingKind::Factory:
        return BuildingType::Factory[newOwner];
    case BuildingKind::Airport:
        return BuildingType::Airport[newOwner];
    case BuildingKind::None:  // codes outside the building types stay as they are
        break;
    }
    return BuildingType::NeutralCity;
}

void frmGame::LeaveCapture(UnitRecord& unit)
{
    BuildingRecord* building = Buildings.at(unit.CAP);
    if (building && (unit.X != building->X || unit.Y != building->Y - UnitRaise)) {
        building->CAP = FullCapturePoints;
        unit.CAP = None;
    }
}

void frmGame::ChangeBuildingToNull(std::int32_t building)
{
    BuildingRecord* record = Buildings.at(building);
    if (!record)
        return;
    // Keeps the building's kind in the neutral colour; the owner field is left alone.
    switch (LookOf(record->PIC).kind) {
    case BuildingKind::City:
    case BuildingKind::Headquarters:
        record->PIC = BuildingType::NeutralCity;
        break;
    case BuildingKind::Factory:
        record->PIC = BuildingType::NeutralFactory;
        break;
    case BuildingKind::Airport:
        record->PIC = BuildingType::NeutralAirport;
        break;
    case BuildingKind::None:
        break;
    }
}

bool frmGame::CanCapture(std::int32_t type)
{
    return type == UnitType::Infantry || type == UnitType::HeavyInfantry;
}

void frmGame::CaptureBuilding(std::int32_t b)
{
    const int u = SelectedUnit;
    BuildingRecord* building = Buildings.at(b);
    UnitRecord* unit = Units.at(u);
    if (!building || !unit)
        return;
    unit->CAP = b;
    building->CAP -= unit->HP;
    Send(QStringLiteral("CAPTUREUNIT%1").arg(u));
    Send(QStringLiteral("CAPTUREBUILDING%1").arg(b));
    if (building->CAP >= 1)
        Send(QStringLiteral("CAPTUREPOINTS%1").arg(building->CAP));
    if (building->CAP > 0) {
        ViewCapture(b, u, false);
    } else {
        const int loser = building->P;
        const int capturer = CurrentPlayer;
        building->PIC = ChangeBuildingPicture(building->PIC, loser, capturer);
        building->CAP = FullCapturePoints;
        Send(QStringLiteral("CAPTURECHANGE%1").arg(capturer));
        if (loser != 0 && loser <= PlayerCount && HQ[loser] == b) {
            // The headquarters has fallen: that player is out, and everything they owned is the capturer's.
            Send(QStringLiteral("CAPTUREHQ%1").arg(loser));
            for (UnitRecord& other : Units) {
                if (other.P == loser)
                    other.V = false;
            }
            ShowGameMessage(Players[loser].Name + QStringLiteral(" has lost!"));
            PlayerLost[loser] = true;
            CheckLoss(loser);
            for (BuildingRecord& owned : Buildings) {
                if (owned.P == loser) {
                    owned.PIC = ChangeBuildingPicture(owned.PIC, loser, capturer);
                    owned.P = capturer;
                    owned.CAP = FullCapturePoints;
                }
            }
        }
        building->P = capturer;
        unit->CAP = None;
        ViewCapture(b, u, true);
    }
    DisableUnit();
}
