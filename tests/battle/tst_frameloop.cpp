// The frame loop and the turn clock, counted in frames.

#include "BattleKit.h"
#include "data/GameTypes.h"

#include <QtTest>

using namespace modStrat;

class FrameLoopTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void timeLimitTurnLastsLimitPlusOneSeconds();
    void earlyEndLeavesTheSecondRunning();
    void noLimitShowsInfAndNeverEnds();
    void computerStepsOncePerFrameAfterRefresh();
    void otherPlayersTurnHidesCursorAndKeepsInfoTexts();
    void networkClockEndsOnlyTheCurrentPlayersTurn();
    void framesRunOnlyWhenTheIntervalHasPassed();
    void driverRunsFramesOffTheEventLoop();
};

void FrameLoopTest::timeLimitTurnLastsLimitPlusOneSeconds()
{
    BattleKit kit;
    MapBuilder map(6, 6);
    QVERIFY(kit.start(map, 2, 60));
    frmGame& game = *kit.game;
    // A time-out during the very first turn: 61 x 20 frames.
    for (int frame = 1; frame <= 20; ++frame) {
        game.RunFrame();
        QCOMPARE(game.ScreenTexts[20].Text, frame < 20 ? QStringLiteral("60") : QStringLiteral("59"));
    }
    kit.frames(1219 - 20);
    QCOMPARE(int(CurrentPlayer), 1);
    QCOMPARE(game.ScreenTexts[20].Text, QStringLiteral("0"));
    game.RunFrame();
    QCOMPARE(int(CurrentPlayer), 2);
    QCOMPARE(game.SecondsLeft, 60);
    QCOMPARE(MyPlayer, 2);
    // The turn after a change by time lasts just as long.
    kit.frames(1219);
    QCOMPARE(int(CurrentPlayer), 2);
    game.RunFrame();
    QCOMPARE(int(CurrentPlayer), 1);

    // The clock's shadow sits 2 pixels right and down, in grey.
    QCOMPARE(game.ScreenTexts[19].X, 732);
    QCOMPARE(game.ScreenTexts[19].Y, 447);
    QCOMPARE(game.ScreenTexts[19].Color, QStringLiteral("8421504"));
    QCOMPARE(game.ScreenTexts[20].X, 730);
    QCOMPARE(game.ScreenTexts[20].Color, QStringLiteral("15"));
}

void FrameLoopTest::earlyEndLeavesTheSecondRunning()
{
    BattleKit kit;
    MapBuilder map(6, 6);
    QVERIFY(kit.start(map, 2, 10));
    kit.frames(30);  // a second and a half into the turn
    kit.game->RequestEndTurn();
    QCOMPARE(int(CurrentPlayer), 2);
    QCOMPARE(kit.game->TimerFrameCount, 10);
    // The first second of the new turn is only 10 frames long.
    kit.frames(9);
    QCOMPARE(kit.game->SecondsLeft, 10);
    kit.frames(1);
    QCOMPARE(kit.game->SecondsLeft, 9);
}

void FrameLoopTest::noLimitShowsInfAndNeverEnds()
{
    BattleKit kit;
    MapBuilder map(6, 6);
    QVERIFY(kit.start(map, 2, NoTimeLimit));
    kit.frames(3000);
    QCOMPARE(int(CurrentPlayer), 1);
    QCOMPARE(kit.game->ScreenTexts[20].Text, QStringLiteral("Inf."));
    QCOMPARE(kit.game->ScreenTexts[19].X, 724);
    QCOMPARE(kit.game->ScreenTexts[20].X, 722);
}

void FrameLoopTest::computerStepsOncePerFrameAfterRefresh()
{
    BattleKit kit;
    QStringList log;
    kit.computer.log = &log;
    kit.display.log = &log;
    MapBuilder map(6, 6);
    Players[2].IsComputer = true;
    QVERIFY(kit.start(map));
    kit.frames(25);
    QCOMPARE(kit.computer.steps, 0);

    kit.game->RequestEndTurn();
    QVERIFY(kit.game->IsComputerTurn);
    QCOMPARE(MyPlayer, 1);  // the human keeps the keyboard during the computer's turn
    log.clear();
    kit.frames(3);
    QCOMPARE(kit.computer.steps, 3);
    QCOMPARE(log, QStringList({"refresh", "ai", "refresh", "ai", "refresh", "ai"}));
}

void FrameLoopTest::otherPlayersTurnHidesCursorAndKeepsInfoTexts()
{
    BattleKit kit;
    MapBuilder map(6, 6);
    IsOfflineGame = false;
    MyPlayer = 2;
    QVERIFY(kit.start(map));
    frmGame& game = *kit.game;
    game.CursorShown = true;
    game.ScreenTexts[5].Visible = true;
    game.UnitBoxShown = true;  // keeps the line alive through DrawText
    game.MenuItems[1].Visible = true;
    game.RunFrame();
    QVERIFY(!game.CursorShown);
    QVERIFY(game.ScreenTexts[5].Visible);
    QVERIFY(game.MenuItems[1].Visible);  // no menu work on another player's turn

    // On the local turn, info lines go when no info box is shown.
    MyPlayer = 1;
    game.UnitBoxShown = false;
    game.RunFrame();
    QVERIFY(!game.ScreenTexts[5].Visible);
    QVERIFY(!game.MenuItems[1].Visible);
}

void FrameLoopTest::networkClockEndsOnlyTheCurrentPlayersTurn()
{
    BattleKit kit;
    MapBuilder map(6, 6);
    IsOfflineGame = false;
    MyPlayer = 2;
    QVERIFY(kit.start(map, 2, 1));
    kit.sink.lines.clear();
    kit.frames(200);
    // Player 1's clock ran out here, but only player 1's machine ends that turn.
    QCOMPARE(int(CurrentPlayer), 1);
    QCOMPARE(kit.game->ScreenTexts[20].Text, QStringLiteral("0"));
    QVERIFY(kit.sink.lines.isEmpty());

    // Its "ENDTURN" arrives: a received turn change always runs, cooldown or not.
    kit.game->EndTurnCooldown = 50;
    kit.game->EndTurn();
    QCOMPARE(int(CurrentPlayer), 2);
    kit.frames(40);
    QCOMPARE(int(CurrentPlayer), 2);
    kit.frames(100);
    QCOMPARE(int(CurrentPlayer), 1);
    QCOMPARE(kit.sink.lines.first(), QStringLiteral("ENDTURN2"));
}

void FrameLoopTest::framesRunOnlyWhenTheIntervalHasPassed()
{
    BattleKit kit;
    MapBuilder map(6, 6);
    QVERIFY(kit.start(map));
    frmGame& game = *kit.game;
    game.GameLoopPass();
    const int first = kit.display.refreshes;
    QCOMPARE(first, 1);  // the first pass of a battle always runs a frame
    kit.clock.advance(35);
    game.GameLoopPass();
    QCOMPARE(kit.display.refreshes, first);
    kit.clock.advance(1);
    game.GameLoopPass();
    QCOMPARE(kit.display.refreshes, first + 1);
    // The next frame counts from the start of the pass that ran the last one.
    kit.clock.advance(30);
    QCOMPARE(game.MsUntilNextFrame(), 6);
    game.Running = false;
    kit.clock.advance(100);
    game.GameLoopPass();
    QCOMPARE(kit.display.refreshes, first + 1);
}

void FrameLoopTest::driverRunsFramesOffTheEventLoop()
{
    platform::SystemClock clock;
    BattleKit kit;
    frmGame game(clock);
    game.services.display = &kit.display;
    MapBuilder map(6, 6);
    MapPath = kit.writeMap(map);
    PlayerCount = 2;
    MyPlayer = 1;
    TimeLimit = NoTimeLimit;
    game.Form_Load();
    game.Form_Activate();
    QTRY_VERIFY(kit.display.refreshes >= 3);
    game.Form_Unload();
    QVERIFY(kit.display.hidden);
    const int stopped = kit.display.refreshes;
    QTest::qWait(100);
    QCOMPARE(kit.display.refreshes, stopped);
}

QTEST_MAIN(FrameLoopTest)
#include "tst_frameloop.moc"
