// The build menu of factories and airports, and the panel both menus are drawn on.

#include "battle/frmGame.h"
#include "data/GameTypes.h"
#include "platform/Dialogs.h"
#include "platform/Text.h"
#include "screen/Blit.h"
#include "screen/PictureStore.h"

using namespace modStrat;

namespace {

// The menus' names; prices come from the catalogue.
constexpr const char* FactoryOffers[] = {"Infantry",   "Heavy Infantry", "Rover",  "Armored ATV",
                                         "Heavy Tank", "Hover Tank",     "Turret", "Anti-Air"};
constexpr const char* AirportOffers[] = {"Recon", "Fighter", "Bomber", "Transport", "Battle Cruiser"};

constexpr int PanelX = 15;
constexpr int PanelY = 0;
constexpr int EntryX = 25;
constexpr int MoneyY = 360;
constexpr int PointerGap = 5;

}  // namespace

void frmGame::SetCreateUnit(std::int32_t Index, const QString& Name, const QString& Cost)
{
    TextItem* entry = CreateMenuItems.at(Index);
    if (!entry)
        return;
    entry->Text = Cost.isEmpty() ? Name : Name + QStringLiteral(" - $") + Cost;
    entry->Visible = true;
    entry->Bold = false;
    entry->Size = 12;
    entry->FontName = QStringLiteral("Impact");
    entry->Y = 15 * Index + 20;
    entry->X = EntryX;
    entry->Color = QStringLiteral("15");
    CreateMenuNames[Index] = Name;
    CreateMenuCosts[Index] = Cost;
}

void frmGame::LoadBuildingMenuOptions()
{
    for (TextItem& entry : CreateMenuItems)
        entry.Visible = false;
    MenuHighlight = 0;
    const BuildingRecord* building = Buildings.at(SelectedBuilding);
    if (!building)
        return;
    const auto offer = [&](const auto& offers) {
        int index = 1;
        for (const char* name : offers) {
            const QString menuName = QLatin1String(name);
            const std::int32_t price = GetUnitCost(GetUnitName(GetPictureNum(menuName)));
            SetCreateUnit(index++, menuName, QString::number(price));
        }
        CreateMenuOpen = true;
        CreateMenuPanelX = PanelX;
        CreateMenuPanelY = PanelY;
        MenuActive = true;
    };
    if (!IsProductionBuilding(building->PIC))
        return;
    if (LookOf(building->PIC).kind == BuildingKind::Factory)
        offer(FactoryOffers);
    else
        offer(AirportOffers);
}

void frmGame::DrawCreateUnitMenu()
{
    const PictureStore& pics = pictures();
    if (MainMenuOpen)
        screen::blit(surface, MenuPanelX, MenuPanelY, pics.picOptions[0].width(), pics.picOptions[0].height(),
                     pics.picOptions[0], platform::RasterOp::Copy);
    else
        screen::blit(surface, CreateMenuPanelX, CreateMenuPanelY, pics.picOptions[2].width(),
                     pics.picOptions[2].height(), pics.picOptions[2], platform::RasterOp::Copy);
    for (const TextItem& entry : CreateMenuItems) {
        if (entry.Visible) {
            TextItem line = entry;
            line.Italic = false;
            DrawTextItem(line);
        }
    }
    if (!MainMenuOpen) {
        TextItem money;
        money.Text = QStringLiteral("Money: $") + QString::number(Money[CurrentPlayer]);
        money.X = EntryX;
        money.Y = MoneyY;
        money.FontName = QStringLiteral("Impact");
        money.Size = 12;
        money.Bold = true;
        money.Color = QStringLiteral("15");
        DrawTextItem(money);
    }
    if (MenuActive) {
        if (const TextItem* entry = CreateMenuItems.at(MenuHighlight + 1)) {
            const QImage& arrow = pics.picArrow[0];
            screen::blitMasked(surface, entry->X - arrow.width() - PointerGap, entry->Y, arrow.width(),
                               arrow.height(), pics.picArrow[1], arrow);
        }
    }
}

void frmGame::subNewUnitOption(std::int32_t entry)
{
    BuildingRecord* building = Buildings.at(SelectedBuilding);
    if (!building || !CreateMenuNames.valid(entry))
        return;
    const int type = GetPictureNum(CreateMenuNames[entry]);
    std::int16_t price = 0;
    if (!platform::parseInt16(CreateMenuCosts[entry], price))
        return;
    if (Money[CurrentPlayer] < price) {
        platform::messageBox(boxOwner, QStringLiteral("Not enough money to purchase this unit!"));
        return;
    }
    // Paid only for a unit that was made: with every unit slot in use nothing is bought.
    if (!CreateUnit(type, CurrentPlayer, building->X, building->Y - UnitRaise)) {
        platform::messageBox(boxOwner, QStringLiteral("There is no room for another unit."));
        return;
    }
    Money[CurrentPlayer] -= price;
    building->CanBuild = false;
    MenuActive = false;
    CreateMenuOpen = false;
    SelectedBuilding = None;
    for (TextItem& item : CreateMenuItems)
        item.Visible = false;
}
