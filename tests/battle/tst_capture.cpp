// Capture, unit creation, and the end of a battle.

#include "BattleKit.h"
#include "data/GameTypes.h"

#include <QtTest>

using namespace modStrat;

class CaptureTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void coloursByOwnerAndKind();
    void fullInfantryTakesABuildingInTwoSteps();
    void weakInfantryNeedsFourSteps();
    void headquartersFallEndsATwoPlayerBattle();
    void onlyARealHeadquartersCounts();
    void creationTakesTheLowestFreeSlot();
    void creationWithAFullTable();
    void lastUnitLostInACounterAttack();
    void carriedUnitsKeepAPlayerAlive();
    void threePlayersGoOnAfterTheFirstLoss();
    void hotSeatGoesOnWhileAHumanRemains();
    void networkLossLines();
};

namespace {

struct Captured {
    BattleKit kit;
    int infantry = 0;
    int city = 0;
    int hq2 = 0;
    explicit Captured(bool network = false)
    {
        MapBuilder map(8, 4, 0);
        const int hq1 = map.building(BuildingType::Headquarters[1], 1, 0, 0);
        hq2 = map.building(BuildingType::Headquarters[2], 2, 5, 2);
        city = map.building(BuildingType::City[2], 2, 3, 1);
        map.building(BuildingType::Factory[2], 2, 7, 3);
        map.building(BuildingType::Airport[2], 2, 6, 3);
        map.headquarters(1, hq1).headquarters(2, hq2);
        infantry = map.unit(UnitType::Infantry, 1, 3, 1);
        map.unit(UnitType::HeavyTank, 2, 7, 0);
        map.unit(UnitType::Infantry, 2, 6, 0);
        IsOfflineGame = !network;
        MyPlayer = 1;
        if (!kit.start(map))
            qFatal("no battle");
    }
    void captureStep(int building)
    {
        SelectedUnit = static_cast<std::int16_t>(infantry);
        Units[infantry].SEL = true;
        kit.game->SelectedOriginX = Units[infantry].X;
        kit.game->SelectedOriginY = Units[infantry].Y;
        kit.game->CaptureBuilding(building);
    }
};

}  // namespace

void CaptureTest::coloursByOwnerAndKind()
{
    // Rows by type, columns by new owner 1..4.
    const int expected[20][4] = {
        {4, 5, 13, 17}, {6, 7, 14, 18}, {0, 5, 13, 17}, {4, 0, 13, 17}, {0, 5, 13, 17},
        {4, 0, 13, 17}, {0, 7, 14, 18}, {6, 0, 14, 18}, {0, 0, 0, 0},    {10, 11, 15, 19},
        {0, 11, 15, 19}, {10, 0, 15, 19}, {4, 5, 0, 17}, {4, 5, 0, 17},  {6, 7, 0, 18},
        {10, 11, 0, 19}, {4, 5, 13, 0}, {4, 5, 13, 0}, {6, 7, 14, 0},   {10, 11, 15, 0}};
    for (int type = 0; type < 20; ++type) {
        for (int owner = 1; owner <= 4; ++owner)
            QCOMPARE(frmGame::ChangeBuildingPicture(type, 0, owner), expected[type][owner - 1]);
    }
    QCOMPARE(frmGame::ChangeBuildingPicture(4, 0, 0), 0);
    QCOMPARE(frmGame::ChangeBuildingPicture(4, 0, 5), 0);
    QCOMPARE(frmGame::ChangeBuildingPicture(25, 0, 1), 0);
    QVERIFY(frmGame::CanCapture(UnitType::Infantry));
    QVERIFY(frmGame::CanCapture(UnitType::HeavyInfantry));
    QVERIFY(!frmGame::CanCapture(UnitType::HeavyTank));
}

void CaptureTest::fullInfantryTakesABuildingInTwoSteps()
{
    Captured battle(true);
    RecordingSink& sink = battle.kit.sink;
    battle.captureStep(battle.city);
    QCOMPARE(Buildings[battle.city].CAP, 100);
    QCOMPARE(sink.lines.mid(0, 3), QStringList({QStringLiteral("CAPTUREUNIT%1").arg(battle.infantry),
                                                QStringLiteral("CAPTUREBUILDING%1").arg(battle.city),
                                                QStringLiteral("CAPTUREPOINTS100")}));
    QVERIFY(sink.lines.at(3).startsWith(QStringLiteral("MOVEUNIT")));
    sink.lines.clear();
    battle.captureStep(battle.city);
    QCOMPARE(sink.lines.mid(0, 3), QStringList({QStringLiteral("CAPTUREUNIT%1").arg(battle.infantry),
                                                QStringLiteral("CAPTUREBUILDING%1").arg(battle.city),
                                                QStringLiteral("CAPTURECHANGE1")}));
    QCOMPARE(Buildings[battle.city].PIC, BuildingType::City[1]);
    QCOMPARE(Buildings[battle.city].P, 1);
    QCOMPARE(Buildings[battle.city].CAP, 200);
    QCOMPARE(Units[battle.infantry].CAP, None);
    QCOMPARE(GameMessages[4].Text, QStringLiteral("Player 1's Infantry captured the building."));
}

void CaptureTest::weakInfantryNeedsFourSteps()
{
    Captured battle;
    Units[battle.infantry].HP = 60;
    QList<int> points;
    for (int i = 0; i < 3; ++i) {
        battle.captureStep(battle.city);
        points << Buildings[battle.city].CAP;
    }
    QCOMPARE(points, QList<int>({140, 80, 20}));
    QCOMPARE(Buildings[battle.city].P, 2);
    battle.captureStep(battle.city);  // 20 - 60 = -40: taken
    QCOMPARE(Buildings[battle.city].P, 1);
    QCOMPARE(Buildings[battle.city].CAP, 200);
    QVERIFY(battle.kit.sink.lines.isEmpty());
}

void CaptureTest::headquartersFallEndsATwoPlayerBattle()
{
    Captured battle;
    Units[battle.infantry].X = static_cast<std::int16_t>(Buildings[battle.hq2].X);
    Units[battle.infantry].Y = static_cast<std::int16_t>(Buildings[battle.hq2].Y - 2);
    battle.captureStep(battle.hq2);
    battle.captureStep(battle.hq2);
    QVERIFY(PlayerLost[2]);
    for (const UnitRecord& unit : Units) {
        if (unit.P == 2)
            QVERIFY(!unit.V);
    }
    // Every building of the loser is the capturer's now, kind by kind.
    QCOMPARE(Buildings[battle.hq2].PIC, BuildingType::City[1]);
    for (const BuildingRecord& building : Buildings) {
        if (building.Exists)
            QCOMPARE(building.P, 1);
    }
    QCOMPARE(Buildings[4].PIC, BuildingType::Factory[1]);
    QCOMPARE(Buildings[5].PIC, BuildingType::Airport[1]);
    QCOMPARE(battle.kit.results.banners, QStringList{QStringLiteral("Victory!")});
    QVERIFY(!battle.kit.game->Running);
    QVERIFY(battle.kit.display.hidden);
}

void CaptureTest::onlyARealHeadquartersCounts()
{
    Captured battle;
    HQ[2] = battle.city;
    Buildings[battle.city].P = 0;  // a neutral building is nobody's headquarters
    Buildings[battle.city].PIC = BuildingType::NeutralCity;
    battle.captureStep(battle.city);
    battle.captureStep(battle.city);
    QVERIFY(!PlayerLost[2]);
    QCOMPARE(Buildings[battle.city].P, 1);
}

void CaptureTest::creationTakesTheLowestFreeSlot()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    map.unit(UnitType::Infantry, 1, 0, 0);
    const int freed = map.unit(UnitType::Infantry, 1, 1, 0);
    map.unit(UnitType::Infantry, 1, 2, 0);
    IsOfflineGame = false;
    QVERIFY(kit.start(map));
    Units[freed].V = false;
    Units[freed].HIDDEN = true;  // it died inside a carrier
    CurrentPlayer = 2;
    QVERIFY(kit.game->CreateUnit(UnitType::Infantry, 2, 150, 73));
    const UnitRecord& unit = Units[freed];
    QVERIFY(unit.V && !unit.HIDDEN && !unit.E);
    QCOMPARE(int(unit.FUEL), 40);
    QCOMPARE(unit.Moves, 3);
    QCOMPARE(UnitsProduced[2], 1);
    QCOMPARE(kit.sink.lines.last(), QStringLiteral("CREATEUNIT%1@CREATETYPE12@CREATEPLAYER2@CREATEX150@CREATEY73").arg(freed));
}

void CaptureTest::creationWithAFullTable()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    QVERIFY(kit.start(map));
    for (UnitRecord& unit : Units)
        unit.V = true;
    kit.sink.lines.clear();
    QVERIFY(!kit.game->CreateUnit(UnitType::Infantry, 1, 0, 0));
    QCOMPARE(UnitsProduced[1], 0);
    QVERIFY(kit.sink.lines.isEmpty());
}

void CaptureTest::lastUnitLostInACounterAttack()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int infantry = map.unit(UnitType::Infantry, 1, 1, 1);
    const int tank = map.unit(UnitType::HeavyTank, 2, 2, 1);
    map.unit(UnitType::HeavyTank, 3, 5, 2);
    IsOfflineGame = false;
    QVERIFY(kit.start(map, 3));
    Units[infantry].HP = 5;
    Units[infantry].SEL = true;
    SelectedUnit = static_cast<std::int16_t>(infantry);
    TargetUnit = tank;
    DamageBarValue = 1;
    kit.game->FinalDamage();
    QVERIFY(!Units[infantry].V);
    QCOMPARE(kit.results.banners, QStringList{QStringLiteral("Defeat!")});
    QVERIFY(kit.sink.lines.contains(QStringLiteral("PLAYERLOST1")));
    // The attack line goes before the loss line.
    QVERIFY(kit.sink.lines.indexOf(QStringLiteral("PLAYERLOST1")) > 1);
    QVERIFY(kit.sink.lines.at(1).startsWith(QStringLiteral("ATTACKUNIT")));
}

void CaptureTest::carriedUnitsKeepAPlayerAlive()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int infantry = map.unit(UnitType::Infantry, 2, 1, 1);
    map.unit(UnitType::HeavyTank, 1, 4, 1);
    QVERIFY(kit.start(map));
    Units[infantry].HIDDEN = true;
    kit.game->CheckLoss(2);
    QVERIFY(!PlayerLost[2]);
    QVERIFY(kit.game->Running);
}

void CaptureTest::threePlayersGoOnAfterTheFirstLoss()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int factory = map.building(BuildingType::Factory[2], 2, 0, 0);
    const int infantry = map.unit(UnitType::Infantry, 2, 1, 1);
    map.unit(UnitType::HeavyTank, 1, 4, 1);
    map.unit(UnitType::HeavyTank, 3, 5, 1);
    Players[2].Name = QStringLiteral("Bea");
    QVERIFY(kit.start(map, 3));
    Units[infantry].V = false;
    kit.game->CheckLoss(2);
    QVERIFY(PlayerLost[2]);
    QCOMPARE(Buildings[factory].PIC, BuildingType::NeutralFactory);
    QVERIFY(kit.game->Running);
    QCOMPARE(GameMessages[1].Text, QStringLiteral("Bea has been defeated!"));
    kit.game->EndTurn();
    QCOMPARE(int(CurrentPlayer), 3);  // the lost player is skipped
}

void CaptureTest::hotSeatGoesOnWhileAHumanRemains()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int first = map.unit(UnitType::Infantry, 1, 1, 1);
    const int second = map.unit(UnitType::Infantry, 2, 3, 1);
    map.unit(UnitType::Infantry, 3, 5, 1);
    Players[3].IsComputer = true;
    QVERIFY(kit.start(map, 3));
    // Player 1 loses on their own turn: two others remain, one of them human.
    Units[first].V = false;
    kit.game->CheckLoss(1);
    QVERIFY(kit.results.banners.isEmpty());
    QVERIFY(kit.game->Running);
    // Then the last human falls: only the computer is left.
    Units[second].V = false;
    kit.game->CheckLoss(2);
    QCOMPARE(kit.results.banners, QStringList{QStringLiteral("Defeat!")});
}

void CaptureTest::networkLossLines()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    map.unit(UnitType::Infantry, 1, 1, 1);
    const int enemy = map.unit(UnitType::Infantry, 2, 3, 1);
    IsOfflineGame = false;
    MyPlayer = 1;
    QVERIFY(kit.start(map));
    Units[enemy].V = false;
    kit.game->CheckLoss(2);
    QCOMPARE(kit.sink.lines, QStringList({QStringLiteral("PLAYERLOST2"), QStringLiteral("IWIN1")}));
    QCOMPARE(kit.results.banners, QStringList{QStringLiteral("Victory!")});
}

QTEST_MAIN(CaptureTest)
#include "tst_capture.moc"
