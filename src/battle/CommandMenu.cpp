// The unit command menu.

#include "battle/frmGame.h"

void frmGame::LoadMenuOptions(std::int32_t unit)
{
}
