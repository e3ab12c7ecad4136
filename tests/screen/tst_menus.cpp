// The build menu, the main menu and the saved game.

#include "../battle/BattleKit.h"
#include "data/GameTypes.h"

#include <QFile>
#include <QtTest>

using namespace modStrat;

class MenusTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void factoryAndAirportOffers();
    void buyingAtTheExactPriceAndOneShort();
    void aFullUnitTableCostsNothing();
    void otherBuildingsOfferNothing();
    void mainMenuEntriesAndFunds();
    void savedGameMatchesTheGoldenFile();
    void resavingKeepsStaleKeys();
    void badNamesSaveNothing();
    void failedWriteSaysSo();
    void exitAsksAndTellsTheOthers();
    void endTurnFromTheMenu();

private:
    void openFactoryMenu();
    std::unique_ptr<BattleKit> kit;
    int factory = 0;
    int airport = 0;
    int city = 0;
};

void MenusTest::init()
{
    kit = std::make_unique<BattleKit>();
    MapBuilder map(8, 4, 0);
    factory = map.building(BuildingType::Factory[1], 1, 1, 1);
    airport = map.building(BuildingType::Airport[1], 1, 3, 1);
    city = map.building(BuildingType::City[1], 1, 5, 1);
    map.building(BuildingType::Factory[2], 2, 7, 3);
    map.unit(UnitType::Infantry, 1, 0, 0);
    map.unit(UnitType::Recon, 2, 6, 2);
    Players[1].Name = QStringLiteral("Ann");
    Players[2].Name = QStringLiteral("Bo");
    QVERIFY(kit->start(map));
}

void MenusTest::openFactoryMenu()
{
    kit->game->CursorX = static_cast<std::int16_t>(Buildings[factory].X);
    kit->game->CursorY = static_cast<std::int16_t>(Buildings[factory].Y - 2);
    kit->key(BattleKit::Enter);
    kit->frames(1);
}

void MenusTest::factoryAndAirportOffers()
{
    frmGame& game = *kit->game;
    openFactoryMenu();
    QCOMPARE(int(game.SelectedBuilding), factory);
    QVERIFY(game.CreateMenuOpen && game.MenuActive);
    QStringList entries;
    for (const TextItem& item : game.CreateMenuItems) {
        if (item.Visible)
            entries << item.Text;
    }
    QCOMPARE(entries, QStringList({"Infantry - $100", "Heavy Infantry - $300", "Rover - $500", "Armored ATV - $600",
                                   "Heavy Tank - $1200", "Hover Tank - $1200", "Turret - $900", "Anti-Air - $750"}));
    QCOMPARE(game.CreateMenuItems[1].Y, 35);
    QCOMPARE(game.CreateMenuItems[8].Y, 140);
    QCOMPARE(game.CreateMenuItems[8].X, 25);
    kit->key(BattleKit::Escape);
    QCOMPARE(int(game.SelectedBuilding), None);

    game.CursorX = static_cast<std::int16_t>(Buildings[airport].X);
    kit->key(BattleKit::Enter);
    kit->frames(1);
    int visible = 0;
    for (const TextItem& item : game.CreateMenuItems)
        visible += item.Visible;
    QCOMPARE(visible, 5);
    QCOMPARE(game.CreateMenuItems[5].Text, QStringLiteral("Battle Cruiser - $2500"));
    kit->key(BattleKit::Up);  // wraps to the last of the five
    QCOMPARE(int(game.MenuHighlight), 4);
}

void MenusTest::buyingAtTheExactPriceAndOneShort()
{
    frmGame& game = *kit->game;
    openFactoryMenu();
    game.MenuHighlight = 4;  // Heavy Tank, 1200
    Money[1] = 1199;
    kit->key(BattleKit::Enter);
    QCOMPARE(platform::dialogScript::shown(), QStringList{QStringLiteral("Not enough money to purchase this unit!")});
    QCOMPARE(Money[1], 1199);
    QVERIFY(game.CreateMenuOpen);
    QCOMPARE(int(game.MenuHighlight), 4);

    Money[1] = 1200;
    kit->key(BattleKit::Enter);
    QCOMPARE(Money[1], 0);
    QVERIFY(!Buildings[factory].CanBuild);
    QCOMPARE(int(game.SelectedBuilding), None);
    QVERIFY(!game.CreateMenuOpen);
    const UnitRecord& made = Units[3];
    QVERIFY(made.V && !made.E);
    QCOMPARE(int(made.PIC), int(UnitType::HeavyTank));
    QCOMPARE(int(made.X), Buildings[factory].X);
    QCOMPARE(int(made.Y), Buildings[factory].Y - 2);
    // Once per building and turn: with a unit on it, it cannot even be selected.
    openFactoryMenu();
    QCOMPARE(int(game.SelectedBuilding), None);
}

void MenusTest::aFullUnitTableCostsNothing()
{
    frmGame& game = *kit->game;
    openFactoryMenu();
    for (UnitRecord& unit : Units) {
        if (!unit.V) {
            unit.V = true;
            unit.X = unit.Y = -1000;
        }
    }
    Money[1] = 500;
    kit->key(BattleKit::Enter);  // infantry, 100
    QCOMPARE(Money[1], 500);
    QVERIFY(Buildings[factory].CanBuild);
    QCOMPARE(platform::dialogScript::shown().size(), 1);
    QVERIFY(game.CreateMenuOpen);
}

void MenusTest::otherBuildingsOfferNothing()
{
    frmGame& game = *kit->game;
    game.SelectedBuilding = static_cast<std::int16_t>(city);
    game.LoadBuildingMenuOptions();
    QVERIFY(!game.CreateMenuOpen);
    QVERIFY(!game.CreateMenuItems[1].Visible);
}

void MenusTest::mainMenuEntriesAndFunds()
{
    frmGame& game = *kit->game;
    kit->key(BattleKit::Space);
    kit->frames(1);
    QVERIFY(game.MainMenuOpen && game.MenuActive);
    QStringList entries;
    for (const TextItem& item : game.CreateMenuItems) {
        if (item.Visible)
            entries << item.Text;
    }
    QCOMPARE(entries, QStringList({"Funds", "Save", "Exit", "End Turn"}));
    Money[1] = 450;
    kit->key(BattleKit::Enter);
    QCOMPARE(platform::dialogScript::shown().last(),
             QStringLiteral("Your total funds are: 450.  Your current incoming funds are: 300"));
    QVERIFY(game.MainMenuOpen);
}

void MenusTest::savedGameMatchesTheGoldenFile()
{
    Units[1].HP = 80;
    Units[1].CAP = 3;
    Money[1] = 1234;
    const QString file = kit->path(QStringLiteral("first.save"));
    QVERIFY(kit->game->WriteSavedGame(file));
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QFile golden(QFINDTESTDATA("golden/first.save"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    const QByteArray actual = written.readAll();
    const QByteArray expected = golden.readAll();
    QCOMPARE(actual.size(), expected.size());
    QVERIFY(actual == expected);
}

void MenusTest::resavingKeepsStaleKeys()
{
    const QString file = kit->path(QStringLiteral("again.save"));
    QVERIFY(kit->game->WriteSavedGame(file));
    Units[2].V = false;
    QVERIFY(kit->game->WriteSavedGame(file));
    platform::iniForgetCache();
    QCOMPARE(platform::iniRead(QStringLiteral("UNIT"), QStringLiteral("V2"), file), QStringLiteral("False"));
    QCOMPARE(platform::iniRead(QStringLiteral("UNIT"), QStringLiteral("PIC2"), file), QStringLiteral("9"));
    QCOMPARE(platform::iniRead(QStringLiteral("UNIT"), QStringLiteral("HP3"), file), QString());
}

void MenusTest::badNamesSaveNothing()
{
    frmGame& game = *kit->game;
    kit->key(BattleKit::Space);
    kit->frames(1);
    game.MenuHighlight = 1;
    const QStringList before = QDir(kit->folder.path()).entryList(QDir::Files);
    platform::dialogScript::pushInput(std::nullopt);
    kit->key(BattleKit::Enter);
    platform::dialogScript::pushInput(QString());
    kit->key(BattleKit::Enter);
    platform::dialogScript::pushInput(QStringLiteral("../x"));
    kit->key(BattleKit::Enter);
    platform::dialogScript::pushInput(QStringLiteral(".."));
    kit->key(BattleKit::Enter);
    QCOMPARE(QDir(kit->folder.path()).entryList(QDir::Files), before);
    QVERIFY(!QFile::exists(kit->folder.path() + QStringLiteral("/../x.save")));
    platform::dialogScript::pushInput(QStringLiteral("Turn 3"));
    kit->key(BattleKit::Enter);
    QVERIFY(QFile::exists(kit->path(QStringLiteral("Turn 3.save"))));
}

void MenusTest::failedWriteSaysSo()
{
    frmGame& game = *kit->game;
    platform::setProgramFolder(kit->path(QStringLiteral("missing-folder")));
    kit->key(BattleKit::Space);
    kit->frames(1);
    game.MenuHighlight = 1;
    platform::dialogScript::pushInput(QStringLiteral("lost"));
    kit->key(BattleKit::Enter);
    QCOMPARE(platform::dialogScript::shown().last(), QStringLiteral("The game could not be saved."));
}

void MenusTest::exitAsksAndTellsTheOthers()
{
    frmGame& game = *kit->game;
    IsOfflineGame = false;
    UserName = QStringLiteral("ann");
    MyPlayer = 1;
    kit->key(BattleKit::Space);
    kit->frames(1);
    game.MenuHighlight = 2;
    platform::dialogScript::pushMessageResult(platform::MessageResult::No);
    kit->key(BattleKit::Enter);
    QVERIFY(game.Running);
    QVERIFY(kit->sink.lines.isEmpty());
    platform::dialogScript::pushMessageResult(platform::MessageResult::Yes);
    kit->key(BattleKit::Enter);
    QVERIFY(!game.Running);
    QCOMPARE(kit->sink.lines, QStringList({QStringLiteral("INCHATann has quit the game."), QStringLiteral("EXITGAME1")}));
}

void MenusTest::endTurnFromTheMenu()
{
    frmGame& game = *kit->game;
    kit->frames(25);
    kit->key(BattleKit::Space);
    kit->frames(1);
    game.MenuHighlight = 3;
    kit->key(BattleKit::Enter);
    QCOMPARE(int(CurrentPlayer), 2);
    QVERIFY(!game.MainMenuOpen);
    QVERIFY(!game.CreateMenuItems[1].Visible);
}

QTEST_MAIN(MenusTest)
#include "tst_menus.moc"
