// The unit layer.

#include "battle/frmGame.h"

void frmGame::DrawUnits()
{
}
