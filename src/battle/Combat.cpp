// Combat: the attack scene and the damage bar.

#include "battle/frmGame.h"

void frmGame::DrawBGImage()
{
}

void frmGame::DrawDamageBar()
{
}
