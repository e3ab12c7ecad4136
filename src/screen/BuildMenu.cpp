// The build menu of factories and airports.

#include "battle/frmGame.h"

void frmGame::LoadBuildingMenuOptions()
{
}

void frmGame::DrawCreateUnitMenu()
{
}
