// The side panel, the menus on it and the clock picture.

#include "battle/frmGame.h"

void frmGame::DrawMenu()
{
}

void frmGame::DrawTime()
{
}
