// Turn change: next player, income and repair, hand-over, sync lines, chat.

#include "BattleKit.h"
#include "data/GameTypes.h"

#include <QtTest>

using namespace modStrat;

class TurnChangeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void repairSeesOnlyTheIncomeOfEarlierBuildings();
    void repairNeedsTheFullPriceAndCapsHitPoints();
    void secondRequestWithinCooldownIsIgnored();
    void soleSurvivorKeepsTheTurn();
    void hotSeatKeyboardFollowsTheHumans();
    void networkTurnSendsEndTurnAndUnitStates();
    void offlineGameSendsNothing();
    void turnChangeCancelsWhatWasUnderWay();
    void cursorIsSavedAndRestoredPerPlayer();
    void chatLineIsCleanedAndEscapeSendsNothing();
    void musicPicksATrackAtRandom();
};

namespace {

// Player 1 owns buildings 1..3 on the top row; the rest of the map is floor.
MapBuilder threeBuildingMap()
{
    MapBuilder map(12, 8);
    map.building(BuildingType::Headquarters[1], 1, 0, 0);
    map.building(BuildingType::Factory[1], 1, 1, 0);
    map.building(BuildingType::City[1], 1, 2, 0);
    map.building(BuildingType::Headquarters[2], 2, 11, 7);
    map.headquarters(1, 1).headquarters(2, 4);
    return map;
}

}  // namespace

void TurnChangeTest::repairSeesOnlyTheIncomeOfEarlierBuildings()
{
    BattleKit kit;
    MapBuilder map = threeBuildingMap();
    // A damaged heavy tank (repair 240) in slot 2, on building 2: at its turn in
    // the loop only buildings 1 and 2 have paid (200). One in a late slot sees all 300.
    const int early = map.unit(UnitType::HeavyTank, 1, 1, 0);
    map.nextUnit = 60;
    const int late = map.unit(UnitType::HeavyTank, 1, 2, 0);
    QCOMPARE(early, 1);
    QCOMPARE(late, 60);
    QVERIFY(kit.start(map));
    kit.game->EndTurn();
    Units[early].HP = 50;
    Units[late].HP = 50;
    Money[1] = 0;
    kit.game->EndTurn();
    QCOMPARE(int(CurrentPlayer), 1);
    QCOMPARE(int(Units[early].HP), 50);
    QCOMPARE(int(Units[late].HP), 70);
    QCOMPARE(Money[1], 300 - 240);
}

void TurnChangeTest::repairNeedsTheFullPriceAndCapsHitPoints()
{
    BattleKit kit;
    MapBuilder map(12, 8);
    map.building(BuildingType::Factory[1], 1, 5, 5);
    const int tank = map.unit(UnitType::HeavyTank, 1, 5, 5);
    const int infantry = map.unit(UnitType::Infantry, 2, 9, 2);
    QVERIFY(kit.start(map));
    // 139 + 100 income = 239: short of the 240 that a 1,200 unit's repair costs.
    kit.game->EndTurn();
    Units[tank].HP = 95;
    Money[1] = 139;
    kit.game->EndTurn();
    QCOMPARE(int(Units[tank].HP), 95);
    QCOMPARE(Money[1], 239);
    kit.game->EndTurn();
    Money[1] = 140;
    kit.game->EndTurn();
    // 95 -> 100 at the full price.
    QCOMPARE(int(Units[tank].HP), 100);
    QCOMPARE(Money[1], 0);
    // Units are repaired on their own player's buildings only.
    Units[infantry].X = Units[tank].X;
    Units[infantry].Y = Units[tank].Y;
    Units[infantry].HP = 10;
    Money[2] = 1000;
    kit.game->EndTurn();
    QCOMPARE(int(Units[infantry].HP), 10);
}

void TurnChangeTest::secondRequestWithinCooldownIsIgnored()
{
    BattleKit kit;
    MapBuilder map(6, 6);
    QVERIFY(kit.start(map));
    kit.frames(25);
    kit.game->RequestEndTurn();
    QCOMPARE(int(CurrentPlayer), 2);
    kit.frames(24);
    kit.game->RequestEndTurn();
    QCOMPARE(int(CurrentPlayer), 2);
    kit.frames(1);
    kit.game->RequestEndTurn();
    QCOMPARE(int(CurrentPlayer), 1);
    QCOMPARE(DayCount, 3);
}

void TurnChangeTest::soleSurvivorKeepsTheTurn()
{
    BattleKit kit;
    MapBuilder map(10, 6);
    map.building(BuildingType::City[3], 3, 1, 1);
    map.building(BuildingType::City[3], 3, 2, 1);
    QVERIFY(kit.start(map, 3));
    PlayerLost[1] = true;
    kit.game->EndTurn();
    QCOMPARE(int(CurrentPlayer), 2);
    PlayerLost[2] = true;
    kit.game->EndTurn();
    QCOMPARE(int(CurrentPlayer), 3);
    const int before = Money[3];
    kit.game->EndTurn();
    QCOMPARE(int(CurrentPlayer), 3);
    QCOMPARE(Money[3], before + 200);
    // Everyone lost: the first candidate gets the turn.
    PlayerLost[3] = true;
    kit.game->EndTurn();
    QCOMPARE(int(CurrentPlayer), 1);
}

void TurnChangeTest::hotSeatKeyboardFollowsTheHumans()
{
    BattleKit kit;
    MapBuilder map(6, 6);
    Players[2].IsComputer = true;
    QVERIFY(kit.start(map, 3));
    QCOMPARE(MyPlayer, 1);
    kit.game->EndTurn();
    QCOMPARE(int(CurrentPlayer), 2);
    QCOMPARE(MyPlayer, 1);
    QVERIFY(!kit.game->CursorShown);
    kit.game->EndTurn();
    QCOMPARE(MyPlayer, 3);
    QVERIFY(kit.game->CursorShown);
    QVERIFY(!kit.game->IsComputerTurn);
}

void TurnChangeTest::networkTurnSendsEndTurnAndUnitStates()
{
    BattleKit kit;
    MapBuilder map(10, 6);
    map.unit(UnitType::Infantry, 1, 2, 3);
    map.unit(UnitType::Recon, 2, 4, 1);
    IsOfflineGame = false;
    MyPlayer = 1;
    QVERIFY(kit.start(map));
    QVERIFY(kit.sink.lines.isEmpty());  // player 1's machine sends nothing at set-up

    Units[2].HP = 80;
    Units[5].PIC = UnitType::Bomber;  // an empty slot's stale type goes out as empty
    kit.game->EndTurn();
    QCOMPARE(kit.sink.lines.size(), 101);
    QCOMPARE(kit.sink.lines.at(0), QStringLiteral("ENDTURN1"));
    QCOMPARE(kit.sink.lines.at(1), QStringLiteral("CHECKUNIT1@CHECKPIC12@CHECKX%1@CHECKY%2@CHECKPLAYER1@CHECKHP100")
                                       .arg(MapLeft + 50).arg(MapTop + 73));
    QCOMPARE(kit.sink.lines.at(2), QStringLiteral("CHECKUNIT2@CHECKPIC9@CHECKX%1@CHECKY%2@CHECKPLAYER2@CHECKHP80")
                                       .arg(MapLeft + 100).arg(MapTop + 23));
    QCOMPARE(kit.sink.lines.at(5), QStringLiteral("CHECKUNIT5@CHECKPIC999"));
    QCOMPARE(kit.sink.lines.at(100), QStringLiteral("CHECKUNIT100@CHECKPIC999"));

    // Player 2's turn on player 1's machine: its turn change sends nothing from here.
    kit.sink.lines.clear();
    kit.game->EndTurn();
    QVERIFY(kit.sink.lines.isEmpty());
}

void TurnChangeTest::offlineGameSendsNothing()
{
    BattleKit kit;
    MapBuilder map(6, 6);
    map.unit(UnitType::Infantry, 1, 2, 3);
    QVERIFY(kit.start(map));
    kit.game->EndTurn();
    kit.game->EndTurn();
    kit.game->txtMsgText = QStringLiteral("hello");
    kit.game->txtMsg_KeyDown(13, 0);
    QVERIFY(kit.sink.lines.isEmpty());
}

void TurnChangeTest::turnChangeCancelsWhatWasUnderWay()
{
    BattleKit kit;
    MapBuilder map(8, 8);
    const int tank = map.unit(UnitType::HeavyTank, 1, 3, 3);
    QVERIFY(kit.start(map));
    frmGame& game = *kit.game;
    // A unit moved but not confirmed, an attack bar running, a factory menu open.
    SelectedUnit = static_cast<std::int16_t>(tank);
    game.SelectedOriginX = Units[tank].X;
    game.SelectedOriginY = Units[tank].Y;
    Units[tank].X += 50;
    game.DamageBarRunning = true;
    game.SceneSprites[1].Visible = true;
    game.AttackSceneState = 1;
    TargetUnit = 7;
    game.SelectedBuilding = 2;
    game.CreateMenuOpen = true;
    game.CreateMenuItems[3].Visible = true;
    game.MainMenuOpen = true;
    game.ChoosingTarget = true;
    game.EndTurn();

    QCOMPARE(int(Units[tank].X), game.SelectedOriginX);
    QCOMPARE(int(SelectedUnit), None);
    QVERIFY(!game.DamageBarRunning);
    QVERIFY(!game.SceneSprites[1].Visible);
    QCOMPARE(game.AttackSceneState, 0);
    QCOMPARE(TargetUnit, None);
    QCOMPARE(int(game.SelectedBuilding), None);
    QVERIFY(!game.CreateMenuOpen);
    QVERIFY(!game.CreateMenuItems[3].Visible);
    QVERIFY(!game.MainMenuOpen);
    QVERIFY(!game.ChoosingTarget);
}

void TurnChangeTest::cursorIsSavedAndRestoredPerPlayer()
{
    BattleKit kit;
    // A map as wide as the window: its first column lies at X 0.
    MapBuilder map(32, 8);
    map.building(BuildingType::Headquarters[1], 1, 4, 4);
    map.building(BuildingType::Headquarters[2], 2, 0, 6);
    map.headquarters(1, 1).headquarters(2, 2);
    QVERIFY(kit.start(map));
    frmGame& game = *kit.game;
    QCOMPARE(int(MapLeft), 0);
    game.CursorX = 250;
    game.CursorY = 123;
    game.EndTurn();
    QCOMPARE(int(game.CursorX), 0);  // player 2's headquarters, in the first column
    QCOMPARE(int(game.CursorY), Buildings[2].Y - 2);
    game.EndTurn();
    QCOMPARE(int(game.CursorX), 250);
    QCOMPARE(int(game.CursorY), 123);
}

void TurnChangeTest::chatLineIsCleanedAndEscapeSendsNothing()
{
    BattleKit kit;
    MapBuilder map(6, 6);
    IsOfflineGame = false;
    UserName = QStringLiteral("ann");
    QVERIFY(kit.start(map));
    frmGame& game = *kit.game;
    game.txtMsgVisible = true;
    game.txtMsgText = QStringLiteral("gg@ENDTURN\r\nbye");
    game.txtMsg_KeyDown(13, 0);
    QCOMPARE(kit.sink.lines, QStringList{QStringLiteral("INCHATann: ggENDTURNbye")});
    QVERIFY(!game.txtMsgVisible);
    QVERIFY(game.txtMsgText.isEmpty());

    game.txtMsgVisible = true;
    game.txtMsgText = QStringLiteral("never mind");
    game.txtMsg_KeyDown(27, 0);
    QCOMPARE(kit.sink.lines.size(), 1);
    QVERIFY(!game.txtMsgVisible);
    QVERIFY(game.txtMsgText.isEmpty());
}

void TurnChangeTest::musicPicksATrackAtRandom()
{
    BattleKit kit;
    MapBuilder map(6, 6);
    QVERIFY(kit.start(map));
    platform::SilentMusicPlayer music({QStringLiteral("a.mid"), QStringLiteral("b.mid"), QStringLiteral("c.mid")});
    kit.game->services.music = &music;
    kit.random.push(0.5);
    kit.game->EndTurn();
    QCOMPARE(music.fileName(), kit.path(QStringLiteral("b.mid")));
    QVERIFY(music.playing());
    // No tracks: the last one plays again.
    kit.game->services.music = &kit.music;
    kit.music.setFileName(QStringLiteral("old.mid"));
    kit.game->EndTurn();
    QCOMPARE(kit.music.fileName(), QStringLiteral("old.mid"));
    QVERIFY(kit.music.playing());
}

QTEST_MAIN(TurnChangeTest)
#include "tst_turnchange.moc"
