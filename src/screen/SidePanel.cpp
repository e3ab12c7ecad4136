// The side panel with the info box and the command menu entries, and the clock.

#include "battle/frmGame.h"
#include "screen/Blit.h"
#include "screen/PictureStore.h"

using namespace modStrat;
using screen::blitMasked;
using screen::element;

namespace {

constexpr int PanelLeft = 5;
constexpr int UnitBoxSpriteInset = 5;
constexpr int PointerGap = 5;
constexpr int InfoBoxFirstSlot = 3;
constexpr int InfoBoxLastSlot = 15;
constexpr int InfoLinesPerColumn = 5;
constexpr int InfoLineHeight = 14;
constexpr int InfoColumnWidth = 85;
constexpr int ClockX = 704;
constexpr int ClockY = 408;

}  // namespace

void frmGame::DrawMenu()
{
    if (!UnitBoxShown)
        return;
    const PictureStore& pics = pictures();

    const QImage& panel = pics.picMenu[0];
    blitMasked(surface, PanelLeft, PanelTop, panel.width(), panel.height(), pics.picMenu[1], panel);
    blitMasked(surface, UnitBoxLeft, UnitBoxTop, UnitBoxWidth, UnitBoxHeight, pics.picUnitBox[1], pics.picUnitBox[0]);

    // The box shows the selected unit's sprite, else the described unit's, in its owner's colours.
    if (const UnitRecord* unit = Units.at(SelectedUnit != None ? SelectedUnit : InfoUnit)) {
        if (unit->P >= 1 && unit->P <= MaxPlayers) {
            const bool facesRight = unit->P == 1 || unit->P == 3;
            const QImage& mask = element(facesRight ? pics.imgMaskRight : pics.imgMaskLeft, unit->PIC);
            const QImage& sprite =
                element(facesRight ? pics.imgPlayerRight[unit->P] : pics.imgPlayerLeft[unit->P], unit->PIC);
            blitMasked(surface, UnitBoxLeft + UnitBoxSpriteInset, UnitBoxTop + UnitBoxSpriteInset,
                       PictureStore::SpriteWidth, PictureStore::SpriteHeight, mask, sprite);
        }
    }

    for (const TextItem& item : MenuItems) {
        if (item.Visible)
            DrawTextItem(item);
    }
    if (MenuActive) {
        if (const TextItem* entry = MenuItems.at(MenuHighlight + 1)) {
            const QImage& arrow = pics.picArrow[0];
            blitMasked(surface, entry->X - arrow.width() - PointerGap, entry->Y, arrow.width(), arrow.height(),
                       pics.picArrow[1], arrow);
        }
    }
}

void frmGame::SetUnitBoxPic()
{
    UnitBoxShown = true;
    UnitRecord* unit = Units.at(InfoUnit);
    if (!unit)
        return;
    // An owner outside 1..4 (a neutral unit placed in the editor) keeps its line, empty.
    const PlayerRecord* owner = Players.at(unit->P);
    AddUnitBoxText(owner ? owner->Name : QString());
    AddUnitBoxText(GetUnitName(unit->PIC));
    AddUnitBoxText(QStringLiteral("HP: ") + QString::number(unit->HP));
    unit->Defense = static_cast<std::int16_t>(GetUnitDefense(InfoUnit));
    AddUnitBoxText(QStringLiteral("Defense: ") + QString::number(unit->Defense));
    AddUnitBoxText(QStringLiteral("Moves Left: ") + QString::number(unit->Moves));
    AddUnitBoxText(QStringLiteral("Fuel: ") + QString::number(unit->FUEL));
    AddUnitBoxText(QStringLiteral("Ammo: ") + QString::number(unit->AMMO));
    if (unit->TRANS != None) {
        if (const UnitRecord* carried = Units.at(unit->TRANS))
            AddUnitBoxText(QStringLiteral("Transporting: ") + GetUnitName(carried->PIC));
    }
    if (unit->CAP != None) {
        if (const BuildingRecord* building = Buildings.at(unit->CAP))
            AddUnitBoxText(QStringLiteral("Rem. Capture: ") + QString::number(building->CAP));
    }
}

void frmGame::AddUnitBoxText(const QString& Text)
{
    for (int slot = InfoBoxFirstSlot; slot <= InfoBoxLastSlot; ++slot) {
        TextItem& line = ScreenTexts[slot];
        if (line.Visible)
            continue;
        const int k = slot - InfoBoxFirstSlot + 1;
        const int column = k <= InfoLinesPerColumn ? 0 : 1;
        line.FontName = QStringLiteral("Arial");
        line.Size = 8;
        line.Bold = false;
        line.Color = QString::number(0xFFFFFF);
        line.Visible = true;
        line.Text = Text;
        line.Y = PanelTop + 7 + ((k - 1) % InfoLinesPerColumn) * InfoLineHeight;
        line.X = UnitBoxLeft + UnitBoxWidth + 10 + column * InfoColumnWidth;
        return;
    }
}

void frmGame::DrawTime()
{
    const PictureStore& pics = pictures();
    const QImage& clock = pics.picTime[0];
    blitMasked(surface, ClockX, ClockY, clock.width(), clock.height(), pics.picTime[1], clock);
}

void frmGame::DrawArrow() {}
