// Movement of the selected unit.

#include "battle/frmGame.h"

void frmGame::MoveUnit()
{
}
