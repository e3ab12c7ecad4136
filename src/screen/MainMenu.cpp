// The in-battle main menu.

#include "battle/frmGame.h"

void frmGame::LoadMainMenuOptions()
{
}
