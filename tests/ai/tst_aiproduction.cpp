// Production at factories and airports: the rows, the rolls, the prices and who pays.

#include "AiKit.h"

#include <QSet>

using namespace modStrat;
using namespace UnitType;

class AiProductionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pricesAreTheCatalogues();
    void purchases_data();
    void purchases();
    void whatStopsAPurchase();
};

namespace {

// The type of the unit in play on a building, 0 when none.
int typeOn(int building)
{
    for (const UnitRecord& unit : Units) {
        if (unit.V && unit.X == Buildings[building].X && unit.Y + 2 == Buildings[building].Y)
            return unit.PIC;
    }
    return 0;
}

}  // namespace

void AiProductionTest::pricesAreTheCatalogues()
{
    const QSet<int> ground{1, 2, 6, 8, 10, 12, 13, 15};
    const QSet<int> air{3, 4, 5, 9, 11};
    for (int roll = 1; roll <= 3; ++roll) {
        for (int enemy = 0; enemy <= Last; ++enemy) {
            QVERIFY(!modAI::GroundChoices(enemy, roll).empty());
            for (const modAI::PurchaseOption& option : modAI::GroundChoices(enemy, roll)) {
                QCOMPARE(option.price, frmGame::GetUnitCost(frmGame::GetUnitName(option.type)));
                QVERIFY(ground.contains(option.type));
            }
        }
        for (int day : {1, 3, 4, 40}) {
            for (const modAI::PurchaseOption& option : modAI::AirChoices(day, roll)) {
                QCOMPARE(option.price, frmGame::GetUnitCost(frmGame::GetUnitName(option.type)));
                QVERIFY(air.contains(option.type));
            }
        }
    }
}

void AiProductionTest::purchases_data()
{
    QTest::addColumn<bool>("airport");
    QTest::addColumn<QList<int>>("enemies");  // dead ones negative
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("roll");
    QTest::addColumn<int>("money");
    QTest::addColumn<int>("bought");
    const QList<int> none;
    QTest::newRow("no enemy, 1, 1200") << false << none << 2 << 1 << 1200 << HeavyTank;
    QTest::newRow("no enemy, 3, plenty") << false << none << 2 << 3 << 9000 << Infantry;
    QTest::newRow("no enemy, exactly 100") << false << none << 2 << 2 << 100 << Infantry;
    QTest::newRow("no enemy, 99") << false << none << 2 << 3 << 99 << 0;
    QTest::newRow("rovers, 1, 500") << false << QList<int>{Rover} << 2 << 1 << 500 << Rover;
    QTest::newRow("aircraft, 1, 800") << false << QList<int>{Bomber, Fighter} << 2 << 1 << 800 << AntiAir;
    // Equal counts go to the lower type code: infantry before heavy tanks.
    QTest::newRow("tie, 2") << false << QList<int>{HeavyTank, Infantry} << 2 << 2 << 1200 << MobileTurret;
    // The enemy's army as last seen: destroyed units count until their slot is reused.
    QTest::newRow("dead tanks, 2") << false << QList<int>{-HeavyTank, Infantry, -HeavyTank} << 2 << 2 << 1200 << HoverTankGround;
    QTest::newRow("day 2, 1") << true << none << 2 << 1 << 9000 << Recon;
    QTest::newRow("day 3, 549") << true << none << 3 << 1 << 549 << 0;
    QTest::newRow("day 4, 2, 2500") << true << none << 4 << 2 << 2500 << BattleCruiser;
    QTest::newRow("day 9, 3") << true << none << 9 << 3 << 9000 << Transport;
}

void AiProductionTest::purchases()
{
    QFETCH(bool, airport);
    QFETCH(QList<int>, enemies);
    QFETCH(int, day);
    QFETCH(int, roll);
    QFETCH(int, money);
    QFETCH(int, bought);
    AiKit kit(10, 6);
    const int building = kit.building(airport ? 10 : 6, 1, 1, 1);
    kit.unit(FixedTurret, 1, 0, 5);
    int column = 0;
    for (int type : enemies)
        kit.unit(std::abs(type), 2, type < 0 ? 9 : column++, 4);
    QVERIFY(kit.begin());
    // The dead ones fell on the last column.
    for (UnitRecord& unit : Units)
        unit.V = unit.V && unit.X != AiKit::spot(9, 4).first;
    DayCount = day;
    Money[1] = money;
    kit.dice.queue(roll - 1, 3);
    if (airport)
        kit.ai.AIBuildAirUnit(building);
    else
        kit.ai.AIBuildGroundUnit(building);
    QCOMPARE(kit.dice.trace, (QStringList{"reseed", "draw"}));
    QCOMPARE(typeOn(building), bought);
    QCOMPARE(Money[1], money - (bought ? frmGame::GetUnitCost(frmGame::GetUnitName(bought)) : 0));
}

void AiProductionTest::whatStopsAPurchase()
{
    // A unit of any side on the factory blocks it, before any roll; the record of
    // a destroyed one does not. With every slot taken nothing is made or paid.
    for (const int blocker : {1, 0, -1}) {
        AiKit kit(6, 6);
        const int factory = kit.building(6, 1, 1, 1);
        const int squatter = kit.unit(Infantry, 2, 1, 1);
        QVERIFY(kit.begin());
        Units[squatter].V = blocker == 1;
        if (blocker < 0) {
            Units[squatter].X = Tiles[1].X;
            for (UnitRecord& unit : Units)
                unit.V = true;
        }
        Money[1] = 1000;
        kit.dice.queue(2, 3);
        kit.ai.AIBuildGroundUnit(factory);
        QCOMPARE(kit.dice.trace.isEmpty(), blocker == 1);
        QCOMPARE(Money[1], blocker == 0 ? 900 : 1000);
    }
}

QTEST_MAIN(AiProductionTest)
#include "tst_aiproduction.moc"
