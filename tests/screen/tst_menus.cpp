// The build menu, the main menu and the saved game.

#include "../battle/BattleKit.h"
#include "data/GameTypes.h"

#include <QFile>
#include <QTemporaryDir>

using namespace modStrat;

class MenusTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void factoriesAndAirportsOfferTheirOwnUnits();
    void buyingAUnit();
    void mainMenuEntriesAndFunds();
    void savedGames();
    void exitAsksAndTellsTheOthers();

private:
    // Enter on a building, then one frame to fill its menu.
    void open(int building)
    {
        kit->cursorTo(Buildings[building].X, Buildings[building].Y - 2);
        kit->key(BattleKit::Enter);
        kit->frames(1);
    }
    // Space, a frame to fill the main menu, and the entry `index` (from 0) highlighted.
    void mainMenu(int index)
    {
        kit->key(BattleKit::Space);
        kit->frames(1);
        kit->game->MenuHighlight = static_cast<std::int16_t>(index);
    }
    QStringList offers() const { return BattleKit::captions(kit->game->CreateMenuItems); }

    std::unique_ptr<BattleKit> kit;
    int factory = 0, airport = 0, city = 0;
};

void MenusTest::init()
{
    kit = std::make_unique<BattleKit>(8, 4);
    factory = kit->building(BuildingType::Factory[1], 1, 1, 1);
    airport = kit->building(BuildingType::Airport[1], 1, 3, 1);
    city = kit->building(BuildingType::City[1], 1, 5, 1);
    kit->building(BuildingType::Factory[2], 2, 7, 3);
    kit->unit(UnitType::Infantry, 1, 0, 0);
    kit->unit(UnitType::Recon, 2, 6, 2);
    Players[1].Name = QStringLiteral("Ann");
    Players[2].Name = QStringLiteral("Bo");
    QVERIFY(kit->start());
}

void MenusTest::factoriesAndAirportsOfferTheirOwnUnits()
{
    frmGame& game = *kit->game;
    open(factory);
    QVERIFY(game.SelectedBuilding == factory && game.CreateMenuOpen && game.MenuActive);
    QVERIFY(offers().size() == 8 && offers().first() == QStringLiteral("Infantry - $100"));
    kit->key(BattleKit::Escape);
    QCOMPARE(int(game.SelectedBuilding), None);
    open(airport);
    QVERIFY(offers().size() == 5 && offers().last() == QStringLiteral("Battle Cruiser - $2500"));
    kit->key(BattleKit::Up);  // from the first entry to the last
    QCOMPARE(int(game.MenuHighlight), 4);
    // A city makes nothing.
    game.SelectedBuilding = static_cast<std::int16_t>(city);
    game.CreateMenuOpen = false;
    game.LoadBuildingMenuOptions();
    QVERIFY(!game.CreateMenuOpen && offers().isEmpty());
}

void MenusTest::buyingAUnit()
{
    frmGame& game = *kit->game;
    open(factory);
    game.MenuHighlight = 5;  // "Hover Tank", 1200
    Money[1] = 1199;
    kit->key(BattleKit::Enter);
    QCOMPARE(platform::dialogScript::shown(), QStringList{QStringLiteral("Not enough money to purchase this unit!")});
    QVERIFY(Money[1] == 1199 && game.CreateMenuOpen && game.MenuHighlight == 5);
    // With every unit slot taken nothing is made, and nothing paid.
    QList<int> freed;
    for (int i = 1; i <= MaxUnits; ++i) {
        if (!Units[i].V)
            freed << i;
        Units[i].V = true;
    }
    Money[1] = 1200;
    kit->key(BattleKit::Enter);
    QVERIFY(Money[1] == 1200 && Buildings[factory].CanBuild && game.CreateMenuOpen);
    for (const int i : freed)
        Units[i].V = false;
    kit->key(BattleKit::Enter);
    QVERIFY(Money[1] == 0 && !Buildings[factory].CanBuild && game.SelectedBuilding == None && !game.CreateMenuOpen);
    const UnitRecord& made = Units[3];
    QVERIFY(made.V && !made.E && made.PIC == UnitType::HoverTankGround && made.X == Buildings[factory].X);
    // Once per building and turn: with a unit on it, it cannot even be selected.
    open(factory);
    QCOMPARE(int(game.SelectedBuilding), None);
}

void MenusTest::mainMenuEntriesAndFunds()
{
    kit->frames(25);  // past the end-of-turn cooldown
    mainMenu(0);
    QVERIFY(kit->game->MainMenuOpen && kit->game->MenuActive);
    QCOMPARE(offers(), QStringList({"Funds", "Save", "Exit", "End Turn"}));
    Money[1] = 450;
    kit->key(BattleKit::Enter);
    QCOMPARE(platform::dialogScript::shown().last(),
             QStringLiteral("Your total funds are: 450.  Your current incoming funds are: 300"));
    QVERIFY(kit->game->MainMenuOpen);
    kit->game->MenuHighlight = 3;
    kit->key(BattleKit::Enter);
    QVERIFY(CurrentPlayer == 2 && !kit->game->MainMenuOpen && offers().isEmpty());
}

void MenusTest::savedGames()
{
    Units[1].HP = 80;
    Units[1].CAP = 3;
    Money[1] = 1234;
    const QString file = kit->path(QStringLiteral("first.save"));
    QVERIFY(kit->game->WriteSavedGame(file));
    QFile written(file);
    QFile golden(QFINDTESTDATA("golden/first.save"));
    QVERIFY(written.open(QIODevice::ReadOnly) && golden.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll() == golden.readAll());
    // Bad names and failed writes save nothing. The program folder's parent is
    // the test's own, so anything in it was written by the game.
    QTemporaryDir parent;
    const QDir program(parent.filePath(QStringLiteral("program")));
    QVERIFY(program.mkpath(QStringLiteral(".")));
    platform::setProgramFolder(program.path());
    mainMenu(1);
    platform::dialogScript::pushInput(std::nullopt);
    kit->key(BattleKit::Enter);
    for (const char* name : {"", "../x", ".."}) {
        platform::dialogScript::pushInput(QLatin1String(name));
        kit->key(BattleKit::Enter);
    }
    QCOMPARE(program.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QCOMPARE(QDir(parent.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"program"});
    platform::dialogScript::pushInput(QStringLiteral("Turn 3"));
    kit->key(BattleKit::Enter);
    QVERIFY(program.exists(QStringLiteral("Turn 3.save")));
    // A failed write says so.
    platform::setProgramFolder(kit->path(QStringLiteral("missing-folder")));
    platform::dialogScript::pushInput(QStringLiteral("lost"));
    kit->key(BattleKit::Enter);
    QCOMPARE(platform::dialogScript::shown().last(), QStringLiteral("The game could not be saved."));
}

void MenusTest::exitAsksAndTellsTheOthers()
{
    BattleKit::network();
    UserName = QStringLiteral("ann");
    mainMenu(2);
    platform::dialogScript::pushMessageResult(platform::MessageResult::No);
    kit->key(BattleKit::Enter);
    QVERIFY(kit->game->Running && kit->out.lines.isEmpty());
    platform::dialogScript::pushMessageResult(platform::MessageResult::Yes);
    kit->key(BattleKit::Enter);
    QVERIFY(!kit->game->Running);
    QCOMPARE(kit->out.lines, QStringList({QStringLiteral("INCHATann has quit the game."), QStringLiteral("EXITGAME1")}));
}

QTEST_MAIN(MenusTest)
#include "tst_menus.moc"
