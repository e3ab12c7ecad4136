// The orders of single units: whom they attack and how hard, what infantry
// captures, where units go, how Armored ATVs load and unload, and regrouping.

#include "AiKit.h"

using namespace modStrat;
using namespace UnitType;

class AiOrdersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void blowStrength_data();
    void blowStrength();
    void targetChoice();
    void targetsOutOfReach();
    void captureChoice();
    void captureUnderWay();
    void goingSomewhere();
    void armoredAtvs();
    void regroup();
};

namespace {

// Pads that no unit enters.
constexpr std::int16_t Wall = 53;

}  // namespace

void AiOrdersTest::blowStrength_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("strength");
    // A bomber's largest blow on infantry is 15: 15/3 = 5, 15/2 = 7.5 -> 8, 15/1; each + 1.
    QTest::newRow("level 1") << 1 << 6;
    QTest::newRow("level 2") << 2 << 9;
    QTest::newRow("level 3") << 3 << 16;
    // No division by zero, nor a blow that heals: full strength.
    QTest::newRow("level 4") << 4 << 16;
    QTest::newRow("level 5") << 5 << 16;
}

void AiOrdersTest::blowStrength()
{
    QFETCH(int, level);
    QFETCH(int, strength);
    AiKit kit;
    const int bomber = kit.unit(Bomber, 1, 1, 1);
    const int infantry = kit.unit(Infantry, 2, 3, 1);
    QVERIFY(kit.begin(level));
    kit.attack(bomber);
    QCOMPARE(DamageBarValue, strength);
    QCOMPARE(TargetUnit, infantry);
    QVERIFY(kit.at(bomber, 2, 1) && !Units[bomber].E);
    QVERIFY(Units[infantry].HP < 100);
}

void AiOrdersTest::targetChoice()
{
    // Two equal targets: the lower slot; unless the other one is capturing.
    for (const bool capturing : {false, true}) {
        AiKit kit;
        const int tank = kit.unit(HeavyTank, 1, 4, 4);
        const int north = kit.unit(Infantry, 2, 4, 1);
        const int south = kit.unit(Infantry, 2, 4, 7);
        QVERIFY(kit.begin());
        Units[south].CAP = capturing ? 1 : None;
        kit.attack(tank);
        QCOMPARE(TargetUnit, capturing ? south : north);
        QVERIFY(kit.at(tank, 3, capturing ? 7 : 1));  // from the left
    }
    // A heavy tank moves 5: a target 6 tiles away is in reach, one 7 away is not.
    for (const int distance : {6, 7}) {
        AiKit kit(9, 3);
        const int tank = kit.unit(HeavyTank, 1, 0, 1);
        const int target = kit.unit(Infantry, 2, distance, 1);
        QVERIFY(kit.begin());
        kit.attack(tank);
        QCOMPARE(Units[target].HP < 100, distance == 6);
        QCOMPARE(kit.at(tank, 5, 1), distance == 6);
        QVERIFY(!Units[tank].E);  // the other one advanced
    }
}

void AiOrdersTest::targetsOutOfReach()
{
    // The favourite is hemmed in by the attacker's own side: marked, and the next
    // one is attacked; with no next one the unit advances.
    for (const bool second : {true, false}) {
        AiKit kit;
        const int tank = kit.unit(HeavyTank, 1, 0, 4);
        const int favourite = kit.unit(ArmoredATV, 2, 3, 4);
        for (const auto& [c, r] : {std::pair{2, 4}, {4, 4}, {3, 3}, {3, 5}})
            kit.unit(FixedTurret, 1, c, r);
        const int other = second ? kit.unit(Infantry, 2, 0, 7) : 0;
        QVERIFY(kit.begin());
        kit.attack(tank);
        QVERIFY(Units[favourite].AIMark && Units[favourite].HP == 100);
        QVERIFY(!Units[tank].E);
        if (second)
            QVERIFY(TargetUnit == other && kit.at(tank, 1, 7));  // its left is off the map
        else
            QVERIFY(!kit.at(tank, 0, 4));
    }
}

void AiOrdersTest::captureChoice()
{
    // Headquarters, airports, factories, cities; the lower slot among equals; never our own.
    AiKit kit;
    const int infantry = kit.unit(Infantry, 1, 4, 4);
    const int city = kit.building(0, 0, 4, 5);
    const int factory = kit.building(1, 0, 5, 4);
    const int airport = kit.building(9, 0, 4, 2);
    kit.building(2, 1, 3, 4);
    const int enemyHQ = kit.building(3, 2, 4, 7);
    const int city2 = kit.building(0, 0, 4, 6);
    QVERIFY(kit.begin());
    AiKit::refill(infantry);
    QList<int> taken;
    for (int round = 0; round < 5; ++round) {
        std::tie(Units[infantry].X, Units[infantry].Y) = AiKit::spot(4, 4);
        Units[infantry].E = true;
        Units[infantry].CAP = None;
        kit.capture(infantry);
        taken << Units[infantry].CAP;
        BuildingRecord& building = Buildings[Units[infantry].CAP];
        QVERIFY(building.CAP == 100 && Units[infantry].X == building.X && !Units[infantry].E);
        building.Exists = false;
        building.AIMark = 0;
    }
    QCOMPARE(taken, (QList<int>{enemyHQ, airport, factory, city, city2}));

    // The building under the unit: refused (the unit stands there) and marked; that
    // test refilled the unit's moves, so the factory two tiles off is next.
    AiKit second;
    const int walker = second.unit(Infantry, 1, 1, 1);
    const int under = second.building(0, 0, 1, 1);
    const int near = second.building(1, 0, 3, 1);
    QVERIFY(second.begin());
    Units[walker].Moves = 0;  // spent: only the building under it is in reach
    second.capture(walker);
    QVERIFY(Buildings[under].AIMark && Units[walker].CAP == near && second.at(walker, 3, 1));

    // Nothing in reach: a draw of 1..3, no reseed: advance, attack, or no order.
    for (const int outcome : {1, 2, 3}) {
        AiKit far(12, 6);
        const int roamer = far.unit(Infantry, 1, 1, 1);
        const int enemy = far.unit(Infantry, 2, 3, 1);
        far.building(0, 0, 11, 5);
        QVERIFY(far.begin());
        far.dice.queue(outcome - 1, 3);
        far.capture(roamer);
        QCOMPARE(far.dice.trace.first(), QStringLiteral("draw"));
        QCOMPARE(Units[enemy].HP < 100, outcome == 2);
        QCOMPARE(far.at(roamer, 1, 1), outcome == 3);
    }
}

void AiOrdersTest::captureUnderWay()
{
    // The building became ours meanwhile: the capture stops, the factory stays a factory.
    {
        AiKit kit(6, 6);
        const int infantry = kit.unit(Infantry, 1, 1, 1);
        const int factory = kit.building(6, 1, 1, 1);
        QVERIFY(kit.begin());
        Units[infantry].CAP = factory;
        kit.dice.queue(2, 3);  // nothing else to capture: no order
        kit.capture(infantry);
        QVERIFY(Buildings[factory].PIC == 6 && Buildings[factory].P == 1);
        QCOMPARE(Units[infantry].CAP, None);
    }
    // The unit was taken off its building: no capture from afar; the building recovers first.
    {
        AiKit kit(6, 6);
        const int infantry = kit.unit(Infantry, 1, 1, 1);
        const int city = kit.building(0, 0, 1, 3);
        QVERIFY(kit.begin());
        AiKit::refill(infantry);
        Units[infantry].CAP = city;
        Buildings[city].CAP = 150;
        kit.capture(infantry);
        QCOMPARE(Buildings[city].CAP, 100);
        QVERIFY(kit.at(infantry, 1, 3));
    }
}

void AiOrdersTest::goingSomewhere()
{
    // Nothing in sight: below and to the left. Toward units the farthest tile that
    // comes last; toward buildings the first one at full range.
    for (const bool units : {true, false}) {
        AiKit kit;
        const int tank = kit.unit(HeavyTank, 1, 4, 4);
        QVERIFY(kit.begin());
        if (units)
            kit.ai.AIAdvanceToUnits(tank, QStringLiteral("Heavy Tank"));
        else
            kit.ai.AIAdvanceToBuildings(tank, QStringLiteral("Heavy Tank"));
        QVERIFY(units ? kit.at(tank, 3, 8) : kit.at(tank, 0, 5));
    }
    // Toward a player without headquarters: the window's corner. The unit's own
    // tile is nearest, fails and is marked; then the first of the next nearest.
    {
        AiKit kit(6, 6);
        const int tank = kit.unit(HeavyTank, 1, 0, 0);
        QVERIFY(kit.begin());
        kit.ai.AIMoveToHQ(tank, QStringLiteral("Heavy Tank"), 2);
        QVERIFY(Tiles[1].AIMark && kit.at(tank, 1, 0) && !Units[tank].E);
    }
}

void AiOrdersTest::armoredAtvs()
{
    const QString atvName = QStringLiteral("Armored ATV");
    // With 4 points left an ATV takes infantry 5 tiles away, not 6; the lowest
    // slot, though another is nearer. The passenger keeps its place until the ATV moves on.
    for (const int distance : {5, 6}) {
        AiKit kit(9, 3);
        const int atv = kit.unit(ArmoredATV, 1, 0, 1);
        const int infantry = kit.unit(Infantry, 1, distance, 1);
        if (distance == 5)
            kit.unit(Infantry, 1, 0, 0);
        QVERIFY(kit.begin());
        Units[atv].Moves = 4;
        kit.ai.AILoadTransport(atv, atvName);
        QCOMPARE(Units[atv].TRANS, distance == 5 ? infantry : None);
        QCOMPARE(Units[infantry].HIDDEN, distance == 5);
        if (distance == 5)
            QVERIFY(kit.at(atv, 4, 1) && kit.at(infantry, 5, 1) && !Units[atv].E && !Units[infantry].E);
    }
    // A building 3 tiles off: set down left, right, above, below, the first free; the ATV stays.
    const QList<std::pair<int, int>> sides{{3, 4}, {5, 4}, {4, 3}, {4, 5}};
    for (int taken = 0; taken < 4; ++taken) {
        AiKit kit;
        const int atv = kit.unit(ArmoredATV, 1, 4, 4);
        const int rider = kit.unit(Infantry, 1, 4, 4);
        for (int i = 0; i < taken; ++i)
            kit.unit(FixedTurret, 2, sides[i].first, sides[i].second);
        kit.building(0, 0, 4, 7);
        QVERIFY(kit.begin());
        Units[atv].TRANS = rider;
        Units[rider].HIDDEN = true;
        kit.ai.AIUnloadTransport(atv, atvName);
        QVERIFY(kit.at(rider, sides[taken].first, sides[taken].second));
        QVERIFY(!Units[rider].HIDDEN && !Units[rider].E && Units[atv].TRANS == None);
        QVERIFY(kit.at(atv, 4, 4) && Units[atv].E);
    }
    // No foreign building within 3 tiles (ours next door does not count): the ATV
    // heads for the buildings with its passenger, though the passenger shares its tile.
    AiKit kit(12, 9);
    const int atv = kit.unit(ArmoredATV, 1, 4, 4);
    const int rider = kit.unit(Infantry, 1, 4, 4);
    kit.building(6, 1, 5, 4);
    kit.building(0, 0, 8, 4);
    QVERIFY(kit.begin());
    Units[atv].TRANS = rider;
    Units[rider].HIDDEN = true;
    kit.ai.AIUnloadTransport(atv, atvName);
    QVERIFY(!kit.at(atv, 4, 4) && !Units[atv].E);
    QVERIFY(Units[atv].TRANS == rider && Units[rider].HIDDEN);
}

void AiOrdersTest::regroup()
{
    // At 20 hit points: a friend at 30 beats one at 25 and one at 40, carried or
    // not; it goes beside it. A friend behind a wall is given up and the order ends.
    for (const int variant : {0, 1, 2}) {
        const bool walled = variant == 1;
        AiKit kit;
        if (walled) {
            for (int r = 0; r < 9; ++r)
                kit.map.tile(5, r, Wall);
        }
        const int hurt = kit.unit(HeavyTank, 1, 4, 4);
        const int worse = kit.unit(HeavyTank, 1, 4, 6);
        const int healthy = kit.unit(HeavyTank, 1, 2, 4);
        const int better = kit.unit(HeavyTank, 1, 7, 4);
        QVERIFY(kit.begin());
        AiKit::refill(hurt);
        Units[hurt].HP = 20;
        Units[worse].HP = walled ? 20 : 25;
        Units[healthy].HP = 40;
        Units[better].HP = 30;
        Units[better].HIDDEN = variant == 2;
        kit.ai.AIRegroup(hurt, QStringLiteral("Heavy Tank"));
        QCOMPARE(kit.at(hurt, 6, 4), !walled);
        QCOMPARE(Units[hurt].E, walled);
        QCOMPARE(bool(Units[better].AIMark), walled);
    }
}

QTEST_MAIN(AiOrdersTest)
#include "tst_aiorders.moc"
