// Starting a battle from a map file.

#include "BattleKit.h"
#include "data/GameTypes.h"

#include <QtTest>

using namespace modStrat;

class BattleStartTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void centresTheMapHalfToEven_data();
    void centresTheMapHalfToEven();
    void firstTurnGoesToPlayerOne();
    void extraOwnersBecomeNeutral();
    void emptyAndBrokenUnitSlots();
    void unreadableTerrainIsClosed_data();
    void unreadableTerrainIsClosed();
    void defaultMapFromProgramFolder();
    void refusesMissingOrOversizedMaps();
    void newBattleForgetsTheLastOne();
    void reactivationDoesNotRestart();
    void networkBattleIsPlayedByPeople();
};

void BattleStartTest::centresTheMapHalfToEven_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    // 400 - 312.5 = 87.5 -> 88; 200.5 - 200 = 0.5 -> 0 (halves go to the even neighbour).
    QTest::newRow("25x16") << 25 << 16 << 88 << 0;
    QTest::newRow("24x15") << 24 << 15 << 100 << 13;
    // 400 - 37.5 = 362.5 -> 362; 200.5 - 37.5 = 163.
    QTest::newRow("3x3") << 3 << 3 << 362 << 163;
    QTest::newRow("too wide for the window") << 33 << 10 << 0 << 76;
}

void BattleStartTest::centresTheMapHalfToEven()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, left);
    QFETCH(int, top);
    BattleKit kit;
    MapBuilder map(width, height);
    QVERIFY(kit.start(map));
    QCOMPARE(int(MapLeft), left);
    QCOMPARE(int(MapTop), top);
    QCOMPARE(int(Tiles[width + 2].X), left + 25);
    QCOMPARE(int(Tiles[width + 2].Y), top + 25);
}

void BattleStartTest::firstTurnGoesToPlayerOne()
{
    BattleKit kit;
    MapBuilder map(10, 8);
    const int hq1 = map.building(BuildingType::Headquarters[1], 1, 2, 3);
    const int hq2 = map.building(BuildingType::Headquarters[2], 2, 7, 4);
    map.building(BuildingType::City[1], 1, 3, 3);
    map.building(BuildingType::City[2], 2, 6, 4);
    map.headquarters(1, hq1).headquarters(2, hq2);
    const int infantry = map.unit(UnitType::Infantry, 1, 2, 2);
    Units[infantry].Moves = 7;  // left by the last battle's unit in the slot
    Units[infantry].RangeAir = 2;
    Units[infantry].MoveCost1 = 1;
    QVERIFY(kit.start(map, 2, 45));

    QCOMPARE(int(CurrentPlayer), 1);
    QCOMPARE(DayCount, 2);  // the set-up turn change counts the first day
    QCOMPARE(Money[1], 200);
    QCOMPARE(Money[2], 0);
    QCOMPARE(kit.game->SecondsLeft, 45);
    QCOMPARE(MyPlayer, 1);
    QVERIFY(kit.game->CursorShown);
    // The cursor starts on player 1's headquarters, in unit coordinates.
    QCOMPARE(int(kit.game->CursorX), Buildings[hq1].X);
    QCOMPARE(int(kit.game->CursorY), Buildings[hq1].Y - 2);
    QCOMPARE(int(SelectedUnit), None);
    QCOMPARE(int(kit.game->SelectedBuilding), None);

    const UnitRecord& unit = Units[infantry];
    QVERIFY(unit.V && unit.E);
    QCOMPARE(int(unit.HP), 100);
    QCOMPARE(int(unit.FUEL), 40);
    QCOMPARE(int(unit.AMMO), 10);
    // Movement and reach wait for the unit's first selection or order.
    QCOMPARE(unit.Moves, 0);
    QCOMPARE(unit.RangeAir, 0);
    QCOMPARE(unit.MoveCost1, 0);
    QCOMPARE(int(unit.X), MapLeft + 50);
    QCOMPARE(int(unit.Y), MapTop + 48);
    QVERIFY(Tiles[2 * 10 + 3].Occupied);
    QVERIFY(!Tiles[2 * 10 + 4].Occupied);
    // Only player 1's buildings may build before the first turn change; after it, all may.
    QVERIFY(Buildings[hq2].CanBuild);
    QVERIFY(kit.sink.lines.isEmpty());
    QCOMPARE(kit.music.plays(), 1);
}

void BattleStartTest::extraOwnersBecomeNeutral()
{
    BattleKit kit;
    MapBuilder map(12, 6);
    const int city3 = map.building(BuildingType::City[3], 3, 1, 1);
    const int factory4 = map.building(BuildingType::Factory[4], 4, 2, 1);
    const int airport3 = map.building(BuildingType::Airport[3], 3, 3, 1);
    const int hq4 = map.building(BuildingType::Headquarters[4], 4, 4, 1);
    const int factory2 = map.building(BuildingType::Factory[2], 2, 5, 1);
    // Types without a picture are buildings all the same, and have no kind to lose.
    const int unknown = map.building(25, 0, 6, 1);
    const int negative = map.building(-1, 3, 7, 1);
    map.headquarters(4, hq4);
    QVERIFY(kit.start(map, 2));
    QVERIFY(Buildings[unknown].Exists && Buildings[negative].Exists);
    QCOMPARE(Buildings[unknown].PIC, 25);
    QCOMPARE(Buildings[negative].PIC, -1);

    QCOMPARE(Buildings[city3].PIC, BuildingType::NeutralCity);
    QCOMPARE(Buildings[factory4].PIC, BuildingType::NeutralFactory);
    QCOMPARE(Buildings[airport3].PIC, BuildingType::NeutralAirport);
    QCOMPARE(Buildings[hq4].PIC, BuildingType::NeutralCity);
    QCOMPARE(Buildings[factory2].PIC, BuildingType::Factory[2]);
    // The owner field stays; nobody in this battle is paid for those buildings.
    QCOMPARE(Buildings[city3].P, 3);
    QCOMPARE(Money[1], 0);
}

void BattleStartTest::emptyAndBrokenUnitSlots()
{
    BattleKit kit;
    MapBuilder map(6, 6);
    const int real = map.unit(UnitType::Recon, 2, 1, 1);
    const int empty = map.unit(None, 1, 2, 2);
    const int bogus = map.unit(16, 1, 3, 3);
    const QString file = kit.writeMap(map);
    // A unit key missing from the file is an empty slot too, whatever the last battle left there.
    platform::IniDocument doc = platform::IniDocument::load(file);
    QVERIFY(doc.contains(QStringLiteral("GEN"), QStringLiteral("UT1")));
    Units[7].V = true;
    Units[7].PIC = UnitType::Infantry;
    MapPath = file;
    QVERIFY(kit.startWithSettings(2, NoTimeLimit));

    QVERIFY(Units[real].V);
    QVERIFY(!Units[empty].V && !Units[empty].E);
    QVERIFY(!Units[bogus].V);
    QVERIFY(!Units[7].V);
    QVERIFY(!Tiles[2 * 6 + 3].Occupied);
    QVERIFY(!Tiles[3 * 6 + 4].Occupied);
    QVERIFY(Tiles[1 * 6 + 2].Occupied);
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
    QTest::newRow("negative") << QStringLiteral("-4") << -4;
}

void BattleStartTest::unreadableTerrainIsClosed()
{
    QFETCH(QString, value);
    QFETCH(int, terrain);
    BattleKit kit;
    MapBuilder map(3, 1);
    const int recon = map.unit(UnitType::Recon, 1, 0, 0);  // flies over all but pads
    const QString file = kit.writeMap(map);
    platform::IniDocument doc = platform::IniDocument::load(file);
    doc.setValue(QStringLiteral("GEN"), QStringLiteral("T2"), value);
    QVERIFY(doc.save(file));
    MapPath = file;
    QVERIFY(kit.startWithSettings(2, NoTimeLimit));
    const int code = Tiles[2].Terrain;
    QVERIFY(terrain == -1 ? (code < 0 || code > 70) : code == terrain);
    frmGame::SetUnitRange(QStringLiteral("Recon"), recon);
    QCOMPARE(kit.game->IsTileBlocked(2, recon), code < 0 || code > 70);
}

void BattleStartTest::defaultMapFromProgramFolder()
{
    BattleKit kit;
    MapBuilder map(7, 5);
    map.unit(UnitType::Fighter, 1, 4, 4);
    kit.writeMap(map, frmGame::DefaultMapName);
    MapPath.clear();
    QVERIFY(kit.startWithSettings(2, NoTimeLimit));
    QCOMPARE(MapPath, kit.path(frmGame::DefaultMapName));
    QCOMPARE(int(MapWidth), 7);
    QCOMPARE(int(Units[1].PIC), UnitType::Fighter);
}

void BattleStartTest::refusesMissingOrOversizedMaps()
{
    BattleKit kit;
    MapBuilder good(5, 5);
    good.unit(UnitType::Infantry, 1, 0, 0);
    QVERIFY(kit.start(good));

    MapPath = kit.path(QStringLiteral("nowhere.spw"));
    QVERIFY(!kit.startWithSettings(2, NoTimeLimit));
    QVERIFY(kit.display.hidden);
    QVERIFY(!kit.game->refusal().isEmpty());
    QCOMPARE(platform::dialogScript::shown().size(), 1);
    QVERIFY(!StartGamePending);

    // 30 x 21 = 630 tiles: more than a battle holds.
    MapBuilder huge(30, 21);
    QVERIFY(!kit.start(huge));
    MapBuilder zero(0, 5);
    QVERIFY(!kit.start(zero));
    QCOMPARE(platform::dialogScript::shown().size(), 3);

    // Tiles beyond the map of a smaller battle are nowhere near the window.
    MapBuilder wide(24, 25);
    QVERIFY(kit.start(wide));
    MapBuilder small(4, 4);
    QVERIFY(kit.start(small));
    QVERIFY(Tiles[17].X < 0 && Tiles[600].Y < 0);
}

void BattleStartTest::newBattleForgetsTheLastOne()
{
    BattleKit kit;
    MapBuilder map(8, 8);
    const int tank = map.unit(UnitType::HeavyTank, 1, 3, 3);
    QVERIFY(kit.start(map));

    // The last battle ended mid-move, mid-attack, with menus open and results counted.
    SelectedUnit = static_cast<std::int16_t>(tank);
    kit.game->SelectedOriginX = 0;
    kit.game->SelectedOriginY = 0;
    kit.game->DamageBarRunning = true;
    TargetUnit = tank;
    kit.game->SelectedBuilding = 3;
    kit.game->MainMenuOpen = true;
    kit.game->CreateMenuItems[1].Visible = true;
    Tiles[5].Highlight = true;
    UnitsProduced[1] = 4;
    UnitsLost[2] = 3;
    kit.game->Form_Unload();
    const int resetsBefore = kit.computer.resets;

    QVERIFY(kit.start(map));
    QCOMPARE(int(Units[tank].X), MapLeft + 75);
    QVERIFY(!kit.game->DamageBarRunning);
    QCOMPARE(TargetUnit, None);
    QCOMPARE(int(kit.game->SelectedBuilding), None);
    QVERIFY(!kit.game->MainMenuOpen);
    QVERIFY(!kit.game->CreateMenuItems[1].Visible);
    QVERIFY(!Tiles[5].Highlight);
    // The results add up every battle of the run.
    QCOMPARE(UnitsProduced[1], 4);
    QCOMPARE(UnitsLost[2], 3);
    QCOMPARE(kit.computer.resets, resetsBefore + 1);
}

void BattleStartTest::reactivationDoesNotRestart()
{
    BattleKit kit;
    MapBuilder map(5, 5);
    QVERIFY(kit.start(map));
    Money[1] = 777;
    kit.game->Form_Activate();
    QCOMPARE(Money[1], 777);
    // A window created anew arms a new battle.
    kit.game->Form_Unload();
    QVERIFY(kit.start(map));
    QCOMPARE(Money[1], 0);
}

void BattleStartTest::networkBattleIsPlayedByPeople()
{
    BattleKit kit;
    MapBuilder map(5, 5);
    IsOfflineGame = false;
    MyPlayer = 2;
    Players[1].IsComputer = true;  // left over from a hot-seat game
    QVERIFY(kit.start(map));
    QVERIFY(!Players[1].IsComputer);
    QVERIFY(!kit.game->IsComputerTurn);
    QVERIFY(!kit.game->CursorShown);  // player 1's turn on player 2's machine
    // The machine of the last player sends the unit states at set-up, but no "ENDTURN".
    QCOMPARE(kit.sink.lines.size(), 100);
    QVERIFY(!kit.sink.lines.contains(QStringLiteral("ENDTURN")));
}

QTEST_MAIN(BattleStartTest)
#include "tst_battlestart.moc"
