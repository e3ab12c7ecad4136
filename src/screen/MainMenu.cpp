// The in-battle main menu and the saved game it writes.

#include "battle/frmGame.h"
#include "platform/Dialogs.h"
#include "platform/Ini.h"
#include "platform/ProgramFolder.h"

using namespace modStrat;

namespace {

constexpr int PanelX = 15;
constexpr int PanelY = 0;
constexpr int IncomePerBuilding = frmGame::IncomePerBuilding;

QString flag(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace

void frmGame::LoadMainMenuOptions()
{
    MenuHighlight = 0;
    for (TextItem& item : CreateMenuItems)
        item.Visible = false;
    SetCreateUnit(1, QStringLiteral("Funds"), QString());
    SetCreateUnit(2, QStringLiteral("Save"), QString());
    SetCreateUnit(3, QStringLiteral("Exit"), QString());
    SetCreateUnit(4, QStringLiteral("End Turn"), QString());
    SelectedUnit = None;
    SelectedBuilding = None;
    MainMenuOpen = true;
    MenuPanelX = PanelX;
    MenuPanelY = PanelY;
    MenuActive = true;
    MenuHighlight = 0;
}

void frmGame::subMainMenuOption(std::int32_t entry)
{
    const TextItem* item = CreateMenuItems.at(entry);
    if (!item)
        return;
    const QString& command = item->Text;
    if (command == QLatin1String("Funds")) {
        int owned = 0;
        for (const BuildingRecord& building : Buildings)
            owned += building.P == CurrentPlayer ? 1 : 0;
        platform::messageBox(boxOwner, QStringLiteral("Your total funds are: %1.  Your current incoming funds are: %2")
                                 .arg(Money[CurrentPlayer])
                                 .arg(owned * IncomePerBuilding),
                             platform::MessageButtons::Ok, QStringLiteral("Vesperfall"));
    } else if (command == QLatin1String("Save")) {
        const auto answer = platform::inputBox(boxOwner, QStringLiteral("What do you want to call this saved game?"),
                                               QStringLiteral("Vesperfall"));
        // Cancel or an empty name saves nothing.
        if (!answer || answer->isEmpty())
            return;
        if (!platform::isPlainFileName(*answer)) {
            platform::messageBox(boxOwner, QStringLiteral("A saved game cannot be called \"%1\".").arg(*answer));
            return;
        }
        if (!WriteSavedGame(platform::programFolder() + QLatin1Char('/') + *answer + QStringLiteral(".save")))
            platform::messageBox(boxOwner, QStringLiteral("The game could not be saved."));
    } else if (command == QLatin1String("Exit")) {
        if (platform::messageBox(boxOwner, QStringLiteral("Are you sure that you want to quit?"),
                                 platform::MessageButtons::YesNo, QStringLiteral("Are you sure?"))
            == platform::MessageResult::Yes) {
            // Like Q, the others are told, so they do not wait for this player.
            QuitBattle();
        }
    } else if (command == QLatin1String("End Turn")) {
        RequestEndTurn();
    }
}

bool frmGame::WriteSavedGame(const QString& path) const
{
    // Over an earlier save each key is replaced in place; the file is written once.
    platform::IniDocument file = platform::IniDocument::load(path);
    const QString unitSection = QStringLiteral("UNIT");
    const QString buildingSection = QStringLiteral("B");
    const QString general = QStringLiteral("GEN");
    const QString players = QStringLiteral("PLAYER");
    const auto put = [&](const QString& section, const char* key, int index, const QString& value) {
        file.setValue(section, QLatin1String(key) + QString::number(index), value);
    };
    for (int i = 1; i <= MaxUnits; ++i) {
        const UnitRecord& unit = Units[i];
        put(unitSection, "V", i, flag(unit.V));
        if (unit.V) {
            put(unitSection, "HP", i, QString::number(unit.HP));
            put(unitSection, "X", i, QString::number(unit.X));
            put(unitSection, "Y", i, QString::number(unit.Y));
            put(unitSection, "P", i, QString::number(unit.P));
            put(unitSection, "CAP", i, QString::number(unit.CAP));
            put(unitSection, "AMMO", i, QString::number(unit.AMMO));
            put(unitSection, "FUEL", i, QString::number(unit.FUEL));
            put(unitSection, "E", i, flag(unit.E));
            put(unitSection, "HIDDEN", i, flag(unit.HIDDEN));
            put(unitSection, "TRANS", i, QString::number(unit.TRANS));
            put(unitSection, "PIC", i, QString::number(unit.PIC));
            put(unitSection, "SEL", i, flag(unit.SEL));
        }
        if (i <= MaxBuildings) {
            const BuildingRecord& building = Buildings[i];
            put(buildingSection, "P", i, QString::number(building.P));
            put(buildingSection, "PIC", i, QString::number(building.PIC));
            put(buildingSection, "CAP", i, QString::number(building.CAP));
        }
    }
    file.setValue(general, QStringLiteral("CURUNITSELECTED"), QString::number(SelectedUnit));
    for (int p = 1; p <= MaxPlayers; ++p) {
        put(players, "NAME", p, Players[p].Name);
        put(players, "MONEY", p, QString::number(Money[p]));
    }
    file.setValue(general, QStringLiteral("TURN"), QString::number(int(CurrentPlayer)));
    return file.save(path);
}
