// The map layer: terrain, buildings and cursors.

#include "battle/frmGame.h"

void frmGame::DrawMap()
{
}
