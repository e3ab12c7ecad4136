// The battle keyboard, the cursor and selection, and the window's key handling.

#include "BattleKit.h"
#include "data/GameTypes.h"
#include "screen/BattleView.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QtTest>

using namespace modStrat;

class KeyboardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void endTurnKey();
    void otherPlayersTurnOnlyHidesTheCursor();
    void menuHighlightWraps();
    void keysWaitWhileAUnitIsBetweenTiles();
    void spaceEndsTheActionAndOpensTheMainMenu();
    void escapeTakesTheMoveBack();
    void pauseAndResume();
    void quitLeavesTheBattle();
    void headquartersKey();
    void cursorStaysOnTheMap();
    void whatCanBeSelected();
    void unitBoxFollowsTheCursor();
    void unitsSharingATile();
    void windowTranslatesKeys();
};

void KeyboardTest::endTurnKey()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int a = map.unit(UnitType::Infantry, 1, 1, 1);
    map.unit(UnitType::Infantry, 1, 2, 1);
    QVERIFY(kit.start(map));
    kit.frames(25);
    kit.select(a);
    kit.step(BattleKit::Right);  // onto the other ready unit
    kit.key(69);
    QCOMPARE(int(CurrentPlayer), 1);
    kit.key(BattleKit::Escape);
    kit.key(69);
    QCOMPARE(int(CurrentPlayer), 2);
    kit.key(69);  // within the cooldown
    QCOMPARE(int(CurrentPlayer), 2);
}

void KeyboardTest::otherPlayersTurnOnlyHidesTheCursor()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    IsOfflineGame = false;
    MyPlayer = 2;
    QVERIFY(kit.start(map));
    kit.frames(200);
    kit.game->CursorShown = true;
    kit.key(69);
    QCOMPARE(int(CurrentPlayer), 1);
    kit.key(BattleKit::Space);
    QVERIFY(!kit.game->MainMenuOpen);
    QVERIFY(!kit.game->CursorShown);
}

void KeyboardTest::menuHighlightWraps()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 1, 1);
    QVERIFY(kit.start(map));
    kit.select(tank);
    kit.game->LoadMenuOptions(tank);
    kit.key(BattleKit::Enter);
    QCOMPARE(kit.menu(), QStringList({"Deselect", "Cancel"}));
    kit.key(BattleKit::Up);
    QCOMPARE(int(kit.game->MenuHighlight), 1);
    kit.key(BattleKit::Down);
    QCOMPARE(int(kit.game->MenuHighlight), 0);
    kit.key(BattleKit::Down);
    kit.key(BattleKit::Down);
    QCOMPARE(int(kit.game->MenuHighlight), 0);
    kit.key(BattleKit::Escape);  // the menu lets go; the unit stays selected
    QVERIFY(!kit.game->MenuActive);
    QCOMPARE(int(SelectedUnit), tank);
}

void KeyboardTest::keysWaitWhileAUnitIsBetweenTiles()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 1, 1);
    QVERIFY(kit.start(map));
    kit.select(tank);
    kit.game->Form_KeyDown(BattleKit::Right, 0);
    kit.frames(2);
    kit.key(BattleKit::Enter);
    kit.key(BattleKit::Escape);
    kit.key(BattleKit::Down);
    QVERIFY(!kit.game->MenuActive);
    QCOMPARE(int(SelectedUnit), tank);
    kit.frames(3);
    QCOMPARE(int(Units[tank].X), MapLeft + 50);
    QCOMPARE(int(Units[tank].Y), MapTop + 23);
}

void KeyboardTest::spaceEndsTheActionAndOpensTheMainMenu()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 1, 1);
    QVERIFY(kit.start(map));
    kit.select(tank);
    kit.step(BattleKit::Right);
    kit.key(BattleKit::Space);
    QVERIFY(!Units[tank].E);
    QCOMPARE(int(SelectedUnit), None);
    QVERIFY(kit.game->MainMenuOpen);
}

void KeyboardTest::escapeTakesTheMoveBack()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 1, 1);
    QVERIFY(kit.start(map));
    const int x = Units[tank].X;
    kit.select(tank);
    kit.step(BattleKit::Right);
    kit.step(BattleKit::Right);
    kit.key(BattleKit::Escape);
    QCOMPARE(int(Units[tank].X), x);
    QCOMPARE(int(kit.game->CursorX), x);
    QVERIFY(Units[tank].E);
    QCOMPARE(Units[tank].Moves, 3);  // given back only at the next selection
    kit.select(tank);
    QCOMPARE(Units[tank].Moves, 5);
}

void KeyboardTest::pauseAndResume()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    QVERIFY(kit.start(map));
    kit.key(112);
    QVERIFY(!kit.game->Running);
    const int refreshes = kit.display.refreshes;
    kit.clock.advance(100);
    kit.game->GameLoopPass();
    QCOMPARE(kit.display.refreshes, refreshes);
    kit.key(112);
    QVERIFY(kit.game->Running);
    kit.clock.advance(100);
    kit.game->GameLoopPass();
    QCOMPARE(kit.display.refreshes, refreshes + 1);
}

void KeyboardTest::quitLeavesTheBattle()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    IsOfflineGame = false;
    UserName = QStringLiteral("ann");
    MyPlayer = 1;
    QVERIFY(kit.start(map));
    kit.key(81);
    QVERIFY(!kit.game->Running);
    QVERIFY(kit.display.hidden);
    QCOMPARE(kit.sink.lines, QStringList({QStringLiteral("INCHATann has quit the game."), QStringLiteral("EXITGAME1")}));
}

void KeyboardTest::headquartersKey()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int hq = map.building(BuildingType::Headquarters[1], 1, 4, 2);
    map.headquarters(1, hq);
    QVERIFY(kit.start(map));
    kit.game->CursorX = Tiles[1].X;
    kit.key(72);
    QCOMPARE(int(kit.game->CursorX), Buildings[hq].X);
    QCOMPARE(int(kit.game->CursorY), Buildings[hq].Y - 2);
    HQ[1] = None;
    kit.game->CursorX = Tiles[1].X;
    kit.key(72);
    QCOMPARE(int(kit.game->CursorX), int(Tiles[1].X));
}

void KeyboardTest::cursorStaysOnTheMap()
{
    BattleKit kit;
    MapBuilder map(3, 3, 0);
    QVERIFY(kit.start(map));
    frmGame& game = *kit.game;
    game.CursorX = Tiles[1].X;
    game.CursorY = static_cast<std::int16_t>(Tiles[1].Y - 2);
    kit.key(BattleKit::Up);
    kit.key(BattleKit::Left);
    QCOMPARE(int(game.CursorX), int(Tiles[1].X));
    QCOMPARE(game.CursorY, static_cast<std::int16_t>(Tiles[1].Y - 2));
    game.UpHeld = false;
    game.DownHeld = true;
    game.RightHeld = true;
    game.MoveHighlight();
    QCOMPARE(int(game.CursorX), Tiles[1].X + 25);  // diagonally, one tile each way
    QCOMPARE(int(game.CursorY), Tiles[1].Y + 23);
    game.MoveHighlight();
    game.MoveHighlight();
    QCOMPARE(int(game.CursorX), int(Tiles[9].X));
    QCOMPARE(int(game.CursorY), Tiles[9].Y - 2);
}

void KeyboardTest::whatCanBeSelected()
{
    BattleKit kit;
    MapBuilder map(8, 3, 0);
    const int factory = map.building(BuildingType::Factory[1], 1, 0, 0);
    const int hq = map.building(BuildingType::Headquarters[1], 1, 1, 0);
    const int acted = map.unit(UnitType::Infantry, 1, 2, 0);
    const int enemy = map.unit(UnitType::Infantry, 2, 3, 0);
    const int dead = map.unit(UnitType::Infantry, 1, 0, 0);  // on the factory
    QVERIFY(kit.start(map));
    Units[acted].E = false;
    kit.select(acted);
    kit.select(enemy);
    QCOMPARE(int(SelectedUnit), None);
    kit.game->CursorX = static_cast<std::int16_t>(Buildings[hq].X);
    kit.game->CursorY = static_cast<std::int16_t>(Buildings[hq].Y - 2);
    kit.key(BattleKit::Enter);
    QCOMPARE(int(kit.game->SelectedBuilding), None);
    // A unit destroyed on a factory does not keep it from being used.
    Units[dead].V = false;
    kit.game->CursorX = static_cast<std::int16_t>(Buildings[factory].X);
    kit.game->CursorY = static_cast<std::int16_t>(Buildings[factory].Y - 2);
    kit.key(BattleKit::Enter);
    QCOMPARE(int(kit.game->SelectedBuilding), factory);
}

void KeyboardTest::unitBoxFollowsTheCursor()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 1, 1);
    QVERIFY(kit.start(map));
    kit.game->CursorX = Units[tank].X;
    kit.game->CursorY = Units[tank].Y;
    kit.key(16, 1);  // Shift alone also refreshes the box
    QCOMPARE(kit.game->InfoUnit, tank);
    QVERIFY(kit.game->UnitBoxShown);
    kit.key(BattleKit::Right);
    QVERIFY(!kit.game->UnitBoxShown);
    QCOMPARE(kit.game->InfoUnit, tank);  // kept for the fire range
}

void KeyboardTest::unitsSharingATile()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int a = map.unit(UnitType::HeavyTank, 1, 1, 1);
    const int b = map.unit(UnitType::Infantry, 2, 1, 1);
    const int c = map.unit(UnitType::Infantry, 1, 1, 1);
    QVERIFY(kit.start(map));
    QCOMPARE(kit.game->OnAnotherUnit(999), None);
    QCOMPARE(kit.game->OnAnotherUnit(a), b);
    Units[b].E = false;
    QCOMPARE(kit.game->OnAnotherUnit(a), c);
    QCOMPARE(kit.game->GetUnitFromTile(frmGame::TileAt(Units[a].X, Units[a].Y)), a);
    Units[a].V = false;
    QCOMPARE(kit.game->GetUnitFromTile(frmGame::TileAt(Units[a].X, Units[a].Y)), b);
}

void KeyboardTest::windowTranslatesKeys()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    QVERIFY(kit.start(map));
    BattleView view(*kit.game);
    kit.game->services.display = &kit.display;
    QCOMPARE(BattleView::keyCodeOf(Qt::Key_E), 69);
    QCOMPARE(BattleView::keyCodeOf(Qt::Key_F1), 112);
    QCOMPARE(BattleView::keyCodeOf(Qt::Key_F12), 123);
    QCOMPARE(BattleView::keyCodeOf(Qt::Key_Return), 13);
    QCOMPARE(BattleView::keyCodeOf(Qt::Key_Enter), 13);
    QCOMPARE(BattleView::keyCodeOf(Qt::Key_Down), 40);

    QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &press);
    QVERIFY(kit.game->RightHeld);
    // A held key repeats as release and press pairs: the repeated release is not a release.
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(&view, &repeat);
    QVERIFY(kit.game->RightHeld);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &release);
    QVERIFY(!kit.game->RightHeld);

    // T opens the chat box, which then takes the keys: "e" typed there ends no turn.
    QKeyEvent t(QEvent::KeyPress, Qt::Key_T, Qt::NoModifier, QStringLiteral("t"));
    QCoreApplication::sendEvent(&view, &t);
    QVERIFY(kit.game->txtMsgVisible);
    QLineEdit* chat = view.findChild<QLineEdit*>();
    QVERIFY(chat && chat->isVisibleTo(&view));
    QTest::keyClicks(chat, QStringLiteral("gg e"));
    QCOMPARE(int(CurrentPlayer), 1);
    QTest::keyClick(chat, Qt::Key_Escape);
    QVERIFY(!kit.game->txtMsgVisible);
    QVERIFY(chat->text().isEmpty());
}

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
