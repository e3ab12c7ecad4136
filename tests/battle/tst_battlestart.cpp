// Starting a battle from a map file.

#include "BattleKit.h"
#include "data/GameTypes.h"

#include <QFile>
#include <array>

using namespace modStrat;

class BattleStartTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void centresTheMapHalfToEven();
    void firstTurnGoesToPlayerOne();
    void extraOwnersBecomeNeutral();
    void whatAMapMayLack();
    void unreadableTerrainIsClosed_data();
    void unreadableTerrainIsClosed();
    void aNewBattleForgetsTheLastOne();
};

void BattleStartTest::centresTheMapHalfToEven()
{
    // 400 - 37.5 = 362.5 -> 362 and 200.5 - 37.5 = 163; 200.5 - 200 = 0.5 -> 0; too wide: 0.
    for (const auto& [width, height, left, top] : {std::array{3, 3, 362, 163}, {25, 16, 88, 0}, {33, 10, 0, 76}}) {
        BattleKit kit(width, height);
        QVERIFY(kit.start() && MapLeft == left && MapTop == top);
        QVERIFY(Tiles[width + 2].X == left + 25 && Tiles[width + 2].Y == top + 25);
    }
}

void BattleStartTest::firstTurnGoesToPlayerOne()
{
    BattleKit kit(10, 8);
    const int hq1 = kit.building(BuildingType::Headquarters[1], 1, 2, 3);
    const int hq2 = kit.building(BuildingType::Headquarters[2], 2, 7, 4);
    kit.building(BuildingType::City[1], 1, 3, 3);
    kit.map.headquarters(1, hq1).headquarters(2, hq2);
    const int infantry = kit.unit(UnitType::Infantry, 1, 2, 2);
    Units[infantry].Moves = Units[infantry].RangeAir = Units[infantry].MoveCost1 = 7;  // the slot's last unit's
    QVERIFY(kit.start(2, 45));
    // The set-up turn change counts the first day and pays player 1.
    QVERIFY(CurrentPlayer == 1 && DayCount == 2 && Money[1] == 200 && Money[2] == 0 && kit.game->SecondsLeft == 45);
    // The cursor starts on player 1's headquarters, in unit coordinates.
    QVERIFY(kit.game->CursorShown && kit.game->CursorX == Buildings[hq1].X && kit.game->CursorY == Buildings[hq1].Y - 2);
    const UnitRecord& unit = Units[infantry];
    QVERIFY(unit.V && unit.E && unit.HP == 100 && unit.FUEL == 40 && unit.AMMO == 10);
    // Movement and reach wait for the unit's first selection or order.
    QVERIFY(unit.Moves == 0 && unit.RangeAir == 0 && unit.MoveCost1 == 0);
    QVERIFY(kit.at(infantry, 2, 2) && Tiles[2 * 10 + 3].Occupied && !Tiles[2 * 10 + 4].Occupied);
    QVERIFY(Buildings[hq2].CanBuild && kit.out.lines.isEmpty() && kit.music.plays() == 1);
}

void BattleStartTest::extraOwnersBecomeNeutral()
{
    BattleKit kit(12, 6);
    // The last three: owners no map of ours has, and a player's city left to nobody.
    const int types[] = {BuildingType::City[3], BuildingType::Factory[4], BuildingType::Airport[3],
                         BuildingType::Headquarters[4], BuildingType::Factory[2], 25, -1,
                         BuildingType::City[1], BuildingType::City[1], BuildingType::City[1]};
    const int owners[] = {3, 4, 3, 4, 2, 0, 3, 5, -1, 0};
    for (int i = 0; i < 10; ++i)
        kit.building(types[i], owners[i], i, 1);
    kit.map.headquarters(4, 4);
    QVERIFY(kit.start(2));
    // Each keeps its kind; the types without a picture are buildings all the same.
    QList<int> pictures;
    for (int b = 1; b <= 10; ++b)
        pictures << Buildings[b].PIC;
    QCOMPARE(pictures, QList<int>({0, 1, 9, 0, BuildingType::Factory[2], 25, -1, 0, 0, BuildingType::City[1]}));
    QVERIFY(Buildings[6].Exists && Buildings[7].Exists);
    // The owner field stays; nobody in this battle is paid for those buildings.
    QVERIFY(Buildings[1].P == 3 && Buildings[8].P == 5 && Buildings[9].P == -1 && Money[1] == 0);
}

void BattleStartTest::whatAMapMayLack()
{
    // Slot 1 has no keys at all, slot 3 an unknown type: both are empty, whatever
    // the last battle left there.
    BattleKit kit;
    QFile file(kit.path(QStringLiteral("sparse.spw")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[GEN]\r\nXMAX=6\r\nYMAX=6\r\nUT2=9\r\nUP2=2\r\nULEFT2=25\r\nUTOP2=23\r\n"
               "UT3=16\r\nUP3=1\r\nULEFT3=75\r\nUTOP3=73\r\n");
    file.close();
    Units[1].V = true;
    Units[1].PIC = UnitType::Infantry;
    MapPath = file.fileName();
    QVERIFY(kit.startWithSettings(2, NoTimeLimit));
    QVERIFY(!Units[1].V && Units[2].V && !Units[3].V && !Units[3].E);
    QVERIFY(Tiles[1 * 6 + 2].Occupied && !Tiles[3 * 6 + 4].Occupied);
    // A map that is missing, or has no size a battle holds, is refused with a message.
    MapPath = kit.path(QStringLiteral("nowhere.spw"));
    QVERIFY(!kit.startWithSettings(2, NoTimeLimit));
    QVERIFY(kit.out.count("hide") == 1 && !kit.game->refusal().isEmpty() && !StartGamePending);
    QVERIFY(!kit.start(MapBuilder(30, 21)));  // 630 tiles: more than a battle holds
    QVERIFY(!kit.start(MapBuilder(0, 5)));
    QCOMPARE(platform::dialogScript::shown().size(), 3);
    // Tiles beyond the map of a smaller battle are nowhere near the window.
    QVERIFY(kit.start(MapBuilder(24, 25)) && kit.start(MapBuilder(4, 4)));
    QVERIFY(Tiles[17].X < 0 && Tiles[600].Y < 0);
}

void BattleStartTest::unreadableTerrainIsClosed_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("terrain");  // -1: some code outside 0..70
    QTest::newRow("empty is open space") << QString() << 9;
    QTest::newRow("a code") << QStringLiteral("23") << 23;
    QTest::newRow("not a number") << QStringLiteral("abc") << -1;
    QTest::newRow("too large for a code") << QStringLiteral("70000") << -1;
    QTest::newRow("beyond the codes") << QStringLiteral("80") << 80;
}

void BattleStartTest::unreadableTerrainIsClosed()
{
    QFETCH(QString, value);
    QFETCH(int, terrain);
    BattleKit kit(3, 1);
    const int recon = kit.unit(UnitType::Recon, 1, 0, 0);  // flies over all but pads
    platform::IniDocument doc = platform::IniDocument::load(MapPath = kit.writeMap(kit.map));
    doc.setValue(QStringLiteral("GEN"), QStringLiteral("T2"), value);
    QVERIFY(doc.save(MapPath) && kit.startWithSettings(2, NoTimeLimit));
    const int code = Tiles[2].Terrain;
    const bool closed = code < 0 || code > 70;
    QVERIFY(terrain == -1 ? closed : code == terrain);
    BattleKit::refill(recon);
    QCOMPARE(kit.game->IsTileBlocked(2, recon), closed);
}

void BattleStartTest::aNewBattleForgetsTheLastOne()
{
    BattleKit kit(8, 8);
    const int tank = kit.unit(UnitType::HeavyTank, 1, 3, 3);
    const int transport = kit.unit(UnitType::Transport, 1, 4, 3);
    QVERIFY(kit.start());
    frmGame& game = *kit.game;
    // Activated again (after a message box, say), the window does not start anew.
    Money[1] = 777;
    game.Form_Activate();
    QCOMPARE(Money[1], 777);
    // The last battle ended mid-move, mid-attack, with menus open and results counted.
    SelectedUnit = static_cast<std::int16_t>(tank);
    game.SelectedOriginX = game.SelectedOriginY = 0;
    game.DamageBarRunning = game.MainMenuOpen = game.CreateMenuItems[1].Visible = Tiles[5].Highlight = true;
    TargetUnit = tank;
    game.SelectedBuilding = 3;
    UnitsProduced[1] = 4;
    UnitsLost[2] = 3;
    // The tank's slot held a unit on board: the map's tank there is no rider.
    BattleKit::board(transport, tank);
    game.Form_Unload();
    kit.out.events.clear();
    QVERIFY(kit.start());
    QVERIFY(!Units[tank].HIDDEN && Units[transport].TRANS == None);
    QVERIFY(kit.at(tank, 3, 3) && !game.DamageBarRunning && TargetUnit == None && game.SelectedBuilding == None);
    QVERIFY(!game.MainMenuOpen && !game.CreateMenuItems[1].Visible && !Tiles[5].Highlight && kit.out.count("reset") == 1);
    // The results add up every battle of the run.
    QVERIFY(UnitsProduced[1] == 4 && UnitsLost[2] == 3 && Money[1] == 0);
}

QTEST_MAIN(BattleStartTest)
#include "tst_battlestart.moc"
