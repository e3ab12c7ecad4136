// Building ownership colours.

#include "battle/frmGame.h"
#include "data/GameTypes.h"

using namespace modStrat;

void frmGame::ChangeBuildingToNull(std::int32_t building)
{
    BuildingRecord* record = Buildings.at(building);
    if (!record)
        return;
    // Keeps the building's kind in the neutral colour; the owner field is left alone.
    switch (record->PIC) {
    case 2: case 3: case 4: case 5: case 12: case 13: case 16: case 17:
        record->PIC = BuildingType::NeutralCity;
        break;
    case 6: case 7: case 14: case 18:
        record->PIC = BuildingType::NeutralFactory;
        break;
    case 10: case 11: case 15: case 19:
        record->PIC = BuildingType::NeutralAirport;
        break;
    default:
        break;
    }
}
