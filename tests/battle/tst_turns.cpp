// The frame loop and the turn clock, counted in frames; the turn change: next
// player, income and repair, hand-over, sync lines and chat.

#include "BattleKit.h"
#include "data/GameTypes.h"

using namespace modStrat;

class TurnsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void timeLimitTurnLastsLimitPlusOneSeconds();
    void computerStepsOncePerFrameAfterRefresh();
    void otherPlayersTurnHidesCursorAndKeepsInfoTexts();
    void networkTurns();
    void framesRunOnlyWhenTheIntervalHasPassed();
    void repair();
    void whoIsNext();
    void turnChangeCancelsWhatWasUnderWay();
    void cursorIsSavedAndRestoredPerPlayer();
    void chatLineIsCleanedAndEscapeSendsNothing();
};

void TurnsTest::timeLimitTurnLastsLimitPlusOneSeconds()
{
    BattleKit kit;
    QVERIFY(kit.start(2, 60));
    const TextItem& clock = kit.game->ScreenTexts[20];
    kit.frames(19);
    QCOMPARE(clock.Text, QStringLiteral("60"));
    kit.frames(1);
    QCOMPARE(clock.Text, QStringLiteral("59"));
    // 61 x 20 frames, the last second showing 0; the next turn lasts as long.
    for (const int player : {1, 2}) {
        kit.frames(player == 1 ? 1219 - 20 : 1219);
        QVERIFY(CurrentPlayer == player && clock.Text == QStringLiteral("0"));
        kit.frames(1);
        QVERIFY(CurrentPlayer != player && kit.game->SecondsLeft == 60);
    }
    // A turn ended a second and a half in leaves the next turn a first second of 10 frames.
    kit.frames(30);
    kit.game->RequestEndTurn();
    kit.frames(9);
    QVERIFY(CurrentPlayer == 2 && kit.game->SecondsLeft == 60);
    kit.frames(1);
    QCOMPARE(kit.game->SecondsLeft, 59);
}

void TurnsTest::computerStepsOncePerFrameAfterRefresh()
{
    BattleKit kit;
    Players[2].IsComputer = true;
    QVERIFY(kit.start());
    kit.frames(25);
    QCOMPARE(kit.out.count("ai"), 0);
    kit.game->RequestEndTurn();
    kit.out.events.clear();
    kit.frames(3);
    QCOMPARE(kit.out.events, QStringList({"refresh", "ai", "refresh", "ai", "refresh", "ai"}));
}

void TurnsTest::otherPlayersTurnHidesCursorAndKeepsInfoTexts()
{
    BattleKit kit;
    BattleKit::network(2);
    QVERIFY(kit.start());
    frmGame& game = *kit.game;
    kit.frames(100);  // past the end-of-turn cooldown
    // Keys do nothing but hide the cursor, and no menu is worked on.
    game.CursorShown = game.ScreenTexts[5].Visible = game.MenuItems[1].Visible = true;
    game.UnitBoxShown = true;  // keeps the line alive through DrawText
    kit.key(69);
    kit.key(BattleKit::Space);
    QVERIFY(CurrentPlayer == 1 && !game.MainMenuOpen && !game.CursorShown);
    game.CursorShown = true;
    game.RunFrame();
    QVERIFY(!game.CursorShown && game.ScreenTexts[5].Visible && game.MenuItems[1].Visible);
    // On the local turn, info lines go when no info box is shown.
    MyPlayer = 1;
    game.UnitBoxShown = false;
    game.RunFrame();
    QVERIFY(!game.ScreenTexts[5].Visible && !game.MenuItems[1].Visible);
}

void TurnsTest::networkTurns()
{
    BattleKit kit(10, 6);
    kit.unit(UnitType::Infantry, 1, 2, 3);
    kit.unit(UnitType::Recon, 2, 4, 1);
    BattleKit::network(2);
    Players[1].IsComputer = true;  // left over from a hot-seat game: network battles are played by people
    QVERIFY(kit.start(2, 1));
    QVERIFY(!Players[1].IsComputer && !kit.game->IsComputerTurn && !kit.game->CursorShown);
    // The machine of the last player sends the unit states at set-up, but no "ENDTURN".
    QVERIFY(kit.out.lines.size() == 100 && kit.out.lines.filter(QStringLiteral("ENDTURN")).isEmpty());
    kit.out.lines.clear();
    kit.frames(200);
    // Player 1's clock ran out here, but only player 1's machine ends that turn.
    QVERIFY(CurrentPlayer == 1 && kit.out.lines.isEmpty());
    // Its "ENDTURN" arrives: a received turn change always runs, cooldown or not, and
    // sends nothing from here.
    kit.game->EndTurnCooldown = 50;
    kit.game->EndTurn();
    kit.frames(40);
    QVERIFY(CurrentPlayer == 2 && kit.out.lines.isEmpty());
    // Player 2's clock ends its turn: "ENDTURN" with its number, then every unit slot as this machine sees it.
    Units[2].HP = 80;
    Units[5].PIC = UnitType::Bomber;  // an empty slot's stale type goes out as empty
    kit.frames(100);
    const QStringList& lines = kit.out.lines;
    QVERIFY(CurrentPlayer == 1 && lines.size() == 101 && lines.at(0) == QStringLiteral("ENDTURN2"));
    QCOMPARE(lines.at(1), QStringLiteral("CHECKUNIT1@CHECKPIC12@CHECKX%1@CHECKY%2@CHECKPLAYER1@CHECKHP100")
                              .arg(MapLeft + 50).arg(MapTop + 73));
    QCOMPARE(lines.at(2), QStringLiteral("CHECKUNIT2@CHECKPIC9@CHECKX%1@CHECKY%2@CHECKPLAYER2@CHECKHP80")
                              .arg(MapLeft + 100).arg(MapTop + 23));
    QCOMPARE(lines.at(5), QStringLiteral("CHECKUNIT5@CHECKPIC999"));
}

void TurnsTest::framesRunOnlyWhenTheIntervalHasPassed()
{
    BattleKit kit;
    QVERIFY(kit.start());
    frmGame& game = *kit.game;
    game.GameLoopPass();
    QCOMPARE(kit.out.count("refresh"), 1);  // the first pass of a battle always runs a frame
    kit.clock.advance(35);
    game.GameLoopPass();
    QCOMPARE(kit.out.count("refresh"), 1);
    kit.clock.advance(1);
    game.GameLoopPass();
    QCOMPARE(kit.out.count("refresh"), 2);
    // The next frame counts from the start of the pass that ran the last one.
    kit.clock.advance(30);
    QCOMPARE(game.MsUntilNextFrame(), 6);
    game.Running = false;
    kit.clock.advance(100);
    game.GameLoopPass();
    QCOMPARE(kit.out.count("refresh"), 2);
    // On the program's clock the frames come off the event loop, until the window goes.
    platform::SystemClock systemClock;
    frmGame live(systemClock);
    live.services.display = &kit.out;
    live.Form_Load();
    live.Form_Activate();
    QTRY_VERIFY(kit.out.count("refresh") >= 5);
    live.Form_Unload();
    const int stopped = kit.out.count("refresh");
    QTest::qWait(100);  // long enough for several frames, had the loop gone on
    QVERIFY(kit.out.count("refresh") == stopped && kit.out.count("hide") == 1);
}

void TurnsTest::repair()
{
    BattleKit kit(12, 8);
    int column = 0;
    for (const int type : {BuildingType::Headquarters[1], BuildingType::Factory[1], BuildingType::City[1]})
        kit.building(type, 1, column++, 0);
    // Heavy tanks (repair 240): slot 1 on building 2 is repaired when only building 1
    // has paid its income, slot 60 on building 3 when all three have.
    const int early = kit.unit(UnitType::HeavyTank, 1, 1, 0);
    const int enemy = kit.unit(UnitType::Infantry, 2, 9, 2);
    kit.map.nextUnit = 60;
    const int late = kit.unit(UnitType::HeavyTank, 1, 2, 0);
    QVERIFY(kit.start());
    const auto round = [&](int money) {
        kit.game->EndTurn();
        Money[1] = money;
        kit.game->EndTurn();
    };
    Units[early].HP = Units[late].HP = 50;
    round(0);
    QVERIFY(Units[early].HP == 50 && Units[late].HP == 70 && Money[1] == 300 - 240);
    // 139 + 100 is one short; 140 + 100 pays in full, and 95 hit points become 100.
    Units[early].HP = 95;
    Units[late].HP = 100;
    round(139);
    QVERIFY(Units[early].HP == 95 && Money[1] == 439);
    round(140);
    QVERIFY(Units[early].HP == 100 && Money[1] == 200);
    // Units are repaired on their own player's buildings only.
    std::tie(Units[enemy].X, Units[enemy].Y) = BattleKit::spot(1, 0);
    Units[enemy].HP = 10;
    Money[2] = 1000;
    kit.game->EndTurn();
    QCOMPARE(int(Units[enemy].HP), 10);
}

void TurnsTest::whoIsNext()
{
    BattleKit kit;
    kit.building(BuildingType::City[3], 3, 1, 1);
    kit.building(BuildingType::City[3], 3, 2, 1);
    Players[2].IsComputer = true;
    kit.music = platform::SilentMusicPlayer({QStringLiteral("a.mid"), QStringLiteral("b.mid"), QStringLiteral("c.mid")});
    QVERIFY(kit.start(3));
    // Hot seat: the keyboard follows the humans, and stays with them through a computer's turn.
    // Each turn plays a track chosen anew.
    kit.random.queue(2, 3);
    kit.game->EndTurn();
    QVERIFY(CurrentPlayer == 2 && MyPlayer == 1 && !kit.game->CursorShown && kit.game->IsComputerTurn);
    QVERIFY(kit.music.fileName().endsWith(QStringLiteral("/c.mid")) && kit.music.playing());
    kit.random.queue(1, 3);
    kit.game->EndTurn();
    QVERIFY(MyPlayer == 3 && kit.game->CursorShown && !kit.game->IsComputerTurn);
    QVERIFY(kit.music.fileName().endsWith(QStringLiteral("/b.mid")));
    // Lost players are skipped, and a day still passes each time the turn comes round.
    PlayerLost[1] = true;
    const int day = DayCount;
    kit.game->EndTurn();
    kit.game->EndTurn();
    QVERIFY(CurrentPlayer == 3 && DayCount == day + 1);
    // The sole survivor keeps the turn, is paid again and starts a new day.
    PlayerLost[2] = true;
    const int before = Money[3];
    kit.game->EndTurn();
    QVERIFY(CurrentPlayer == 3 && Money[3] == before + 200 && DayCount == day + 2);
    // Everyone lost: the first candidate gets the turn.
    PlayerLost[3] = true;
    kit.game->EndTurn();
    QCOMPARE(int(CurrentPlayer), 1);
}

void TurnsTest::turnChangeCancelsWhatWasUnderWay()
{
    BattleKit kit(8, 8);
    const int tank = kit.unit(UnitType::HeavyTank, 1, 3, 3);
    QVERIFY(kit.start());
    frmGame& game = *kit.game;
    // A unit moved but not confirmed, an attack bar running, a factory menu open.
    SelectedUnit = static_cast<std::int16_t>(tank);
    game.SelectedOriginX = Units[tank].X;
    game.SelectedOriginY = Units[tank].Y;
    Units[tank].X += 50;
    game.DamageBarRunning = game.SceneSprites[1].Visible = game.CreateMenuOpen = game.MainMenuOpen = true;
    game.AttackSceneState = 1;
    TargetUnit = 7;
    game.SelectedBuilding = 2;
    game.EndTurn();
    QVERIFY(kit.at(tank, 3, 3) && SelectedUnit == None && game.SelectedBuilding == None && TargetUnit == None);
    QVERIFY(!game.DamageBarRunning && !game.SceneSprites[1].Visible && game.AttackSceneState == 0);
    QVERIFY(!game.CreateMenuOpen && !game.MainMenuOpen);
}

void TurnsTest::cursorIsSavedAndRestoredPerPlayer()
{
    BattleKit kit(32, 8);  // as wide as the window: its first column lies at X 0
    kit.building(BuildingType::Headquarters[1], 1, 4, 4);
    kit.building(BuildingType::Headquarters[2], 2, 0, 6);
    kit.map.headquarters(1, 1).headquarters(2, 2);
    QVERIFY(kit.start());
    frmGame& game = *kit.game;
    kit.cursorTo(250, 123);
    game.EndTurn();
    QVERIFY(game.CursorX == 0 && game.CursorY == Buildings[2].Y - 2);  // player 2's headquarters
    game.EndTurn();
    QVERIFY(game.CursorX == 250 && game.CursorY == 123);
}

void TurnsTest::chatLineIsCleanedAndEscapeSendsNothing()
{
    BattleKit kit;
    BattleKit::network();
    UserName = QStringLiteral("ann");
    QVERIFY(kit.start());
    frmGame& game = *kit.game;
    game.txtMsgVisible = true;
    game.txtMsgText = QStringLiteral("gg@ENDTURN\r\nbye");
    game.txtMsg_KeyDown(13, 0);
    QCOMPARE(kit.out.lines, QStringList{QStringLiteral("INCHATann: ggENDTURNbye")});
    QVERIFY(!game.txtMsgVisible && game.txtMsgText.isEmpty());
    game.txtMsgVisible = true;
    game.txtMsgText = QStringLiteral("never mind");
    game.txtMsg_KeyDown(27, 0);
    QVERIFY(kit.out.lines.size() == 1 && !game.txtMsgVisible && game.txtMsgText.isEmpty());
}

QTEST_MAIN(TurnsTest)
#include "tst_turns.moc"
