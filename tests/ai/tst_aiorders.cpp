// The orders of single units: whom they attack and how hard, what infantry
// captures, where units go, how Armored ATVs load and unload, and regrouping;
// production at factories and airports: the rows, the rolls, the prices, who pays;
// and reachability: the bounded search against a slow reference search on random
// maps, and the move-cost edge cases.

#include "AiKit.h"
#include "ai/PathSearch.h"

#include <QRandomGenerator>

using namespace modStrat;
using namespace UnitType;

class AiOrdersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void blowStrength();
    void targetChoice();
    void captureChoice();
    void goingSomewhere();
    void armoredAtvs();
    void regroup();
    void purchases_data();
    void purchases();
    void whatStopsAPurchase();
    void agreesWithTheExhaustiveSearch();
    void budgetsAndCosts();
    void offTheMapIsNotEntered();
    void whoSharesTheUnitsSpot();
    void aiMoveUnitRefusesTakenTargets();
    void fireRangeMarksWhatTheUnitReaches();
};

namespace {

// A purchase at a factory or an airport: the enemy's unit types (the dead ones
// negative), the day, the roll 1..3, the money, and the type bought (0 for none).
struct Purchase {
    bool airport;
    QList<int> enemies;
    int day, roll, money, bought;
};

// The type of the unit in play on a building, 0 when none.
int typeOn(int building)
{
    for (const UnitRecord& unit : Units) {
        if (unit.V && unit.X == Buildings[building].X && unit.Y + 2 == Buildings[building].Y)
            return unit.PIC;
    }
    return 0;
}


// The exhaustive search, straight from the rules: depth first over up, down,
// right, left, entering a neighbour when its cost is not 999 and points remain.
bool referenceFindPath(int unit, int x, int y, int targetX, int targetY, int movesLeft)
{
    if (x == targetX && y == targetY)
        return true;
    if (movesLeft <= 0)
        return false;
    const int steps[4][2] = {{0, -25}, {0, 25}, {25, 0}, {-25, 0}};
    for (const auto& [dx, dy] : steps) {
        std::int32_t tile = 0;
        const int cost = modAI::GetMoveCost(unit, x + dx, y + dy, tile);
        if (cost != modAI::Blocked && referenceFindPath(unit, x + dx, y + dy, targetX, targetY, movesLeft - cost))
            return true;
    }
    return false;
}

QList<int> highlighted()
{
    QList<int> tiles;
    for (int i = 1; i <= MapTileCount(); ++i) {
        if (Tiles[i].Highlight)
            tiles << i;
    }
    return tiles;
}

const std::int16_t Codes[] = {0, 0, 0, 9, 9, 10, 11, 18, 23, 24, 34, 36, 37, 42, 44, 48, 53, 60, 65, 1, 19};

}  // namespace

Q_DECLARE_METATYPE(Purchase)

void AiOrdersTest::blowStrength()
{
    // A bomber's largest blow on infantry is 15: 15/3 = 5, 15/2 = 7.5 -> 8, 15/1, each + 1;
    // at level 4 no division by zero, nor a blow that heals: full strength.
    for (const auto& [level, strength] : {std::pair{1, 6}, {2, 9}, {3, 16}, {4, 16}}) {
        AiKit kit;
        const int bomber = kit.unit(Bomber, 1, 1, 1);
        const int infantry = kit.unit(Infantry, 2, 3, 1);
        QVERIFY(kit.begin(level));
        kit.attack(bomber);
        QVERIFY(DamageBarValue == strength && TargetUnit == infantry && Units[infantry].HP < 100);
        QVERIFY(kit.at(bomber, 2, 1) && !Units[bomber].E);
    }
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
        QVERIFY(TargetUnit == (capturing ? south : north) && kit.at(tank, 3, capturing ? 7 : 1));  // from the left
    }
    // A heavy tank moves 5: a target 6 tiles away is in reach, one 7 away is not
    // (and then the tank advances instead).
    for (const int distance : {6, 7}) {
        AiKit kit(9, 3);
        const int tank = kit.unit(HeavyTank, 1, 0, 1);
        const int target = kit.unit(Infantry, 2, distance, 1);
        QVERIFY(kit.begin());
        kit.attack(tank);
        QVERIFY((Units[target].HP < 100) == (distance == 6) && kit.at(tank, 5, 1) == (distance == 6));
        QVERIFY(!Units[tank].E);
    }
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
        QVERIFY(Units[favourite].AIMark && Units[favourite].HP == 100 && !Units[tank].E);
        QVERIFY(second ? TargetUnit == other && kit.at(tank, 1, 7) : !kit.at(tank, 0, 4));  // its left is off the map
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
        BuildingRecord& building = Buildings[Units[infantry].CAP];
        QVERIFY(building.CAP == 100 && Units[infantry].X == building.X && !Units[infantry].E);
        taken << Units[infantry].CAP;
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
    QVERIFY(second.begin());  // unrefilled since the map was read: only the building under it is in reach
    second.capture(walker);
    QVERIFY(Buildings[under].AIMark && Units[walker].CAP == near && second.at(walker, 3, 1));

    // Nothing in reach: a draw of 1..3, no reseed: advance, attack, or no order.
    for (const int outcome : {1, 2, 3}) {
        AiKit far(12, 6);
        const int roamer = far.unit(Infantry, 1, 1, 1);
        const int enemy = far.unit(Infantry, 2, 3, 1);
        far.building(0, 0, 11, 5);
        QVERIFY(far.begin());
        far.random.queue(outcome - 1, 3);
        far.capture(roamer);
        QCOMPARE(far.random.trace.first(), QStringLiteral("draw"));
        QVERIFY((Units[enemy].HP < 100) == (outcome == 2) && far.at(roamer, 1, 1) == (outcome == 3));
    }
    // The building became ours meanwhile: the capture stops, the factory stays a factory.
    {
        AiKit kit(6, 6);
        const int infantry = kit.unit(Infantry, 1, 1, 1);
        const int factory = kit.building(6, 1, 1, 1);
        QVERIFY(kit.begin());
        Units[infantry].CAP = factory;
        kit.random.queue(2, 3);  // nothing else to capture: no order
        kit.capture(infantry);
        QVERIFY(Buildings[factory].PIC == 6 && Buildings[factory].P == 1 && Units[infantry].CAP == None);
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
        QVERIFY(Buildings[city].CAP == 100 && kit.at(infantry, 1, 3));
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
    AiKit kit(6, 6);
    const int tank = kit.unit(HeavyTank, 1, 0, 0);
    QVERIFY(kit.begin());
    kit.ai.AIMoveToHQ(tank, QStringLiteral("Heavy Tank"), 2);
    QVERIFY(Tiles[1].AIMark && kit.at(tank, 1, 0) && !Units[tank].E);
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
        QVERIFY(Units[atv].TRANS == (distance == 5 ? infantry : None) && Units[infantry].HIDDEN == (distance == 5));
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
        BattleKit::board(atv, rider);
        kit.ai.AIUnloadTransport(atv, atvName);
        QVERIFY(kit.at(rider, sides[taken].first, sides[taken].second) && !Units[rider].HIDDEN && !Units[rider].E);
        QVERIFY(Units[atv].TRANS == None && kit.at(atv, 4, 4) && Units[atv].E);
    }
    // No foreign building within 3 tiles (ours next door does not count): the ATV
    // heads for the buildings with its passenger, though the passenger shares its tile.
    AiKit kit(12, 9);
    const int atv = kit.unit(ArmoredATV, 1, 4, 4);
    const int rider = kit.unit(Infantry, 1, 4, 4);
    kit.building(6, 1, 5, 4);
    kit.building(0, 0, 8, 4);
    QVERIFY(kit.begin());
    BattleKit::board(atv, rider);
    kit.ai.AIUnloadTransport(atv, atvName);
    QVERIFY(!kit.at(atv, 4, 4) && !Units[atv].E && Units[atv].TRANS == rider && Units[rider].HIDDEN);
}

void AiOrdersTest::regroup()
{
    // At 20 hit points: a friend at 30 beats one at 25 and one at 40, carried or
    // not; it goes beside it. A friend behind a wall is given up and the order ends.
    for (const int variant : {0, 1, 2}) {
        const bool walled = variant == 1;
        AiKit kit;
        for (int r = 0; walled && r < 9; ++r)
            kit.map.tile(5, r, 53);  // pads that no unit enters
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
        QVERIFY(kit.at(hurt, 6, 4) == !walled && Units[hurt].E == walled && bool(Units[better].AIMark) == walled);
    }
}

void AiOrdersTest::purchases_data()
{
    QTest::addColumn<Purchase>("row");
    QTest::newRow("no enemy, 1, 1200") << Purchase{false, {}, 2, 1, 1200, HeavyTank};
    QTest::newRow("no enemy, exactly 100") << Purchase{false, {}, 2, 2, 100, Infantry};
    QTest::newRow("no enemy, 99") << Purchase{false, {}, 2, 3, 99, 0};
    QTest::newRow("aircraft, 1, 800") << Purchase{false, {Bomber, Fighter}, 2, 1, 800, AntiAir};
    // Equal counts go to the lower type code: infantry before heavy tanks.
    QTest::newRow("tie, 2") << Purchase{false, {HeavyTank, Infantry}, 2, 2, 1200, MobileTurret};
    // The enemy's army as last seen: destroyed units count until their slot is reused.
    QTest::newRow("dead tanks, 2") << Purchase{false, {-HeavyTank, Infantry, -HeavyTank}, 2, 2, 1200, HoverTankGround};
    QTest::newRow("day 2, 1") << Purchase{true, {}, 2, 1, 9000, Recon};
    QTest::newRow("day 3, 549") << Purchase{true, {}, 3, 1, 549, 0};
    QTest::newRow("day 4, 2, 2500") << Purchase{true, {}, 4, 2, 2500, BattleCruiser};
    QTest::newRow("day 9, 3") << Purchase{true, {}, 9, 3, 9000, Transport};
}

void AiOrdersTest::purchases()
{
    QFETCH(Purchase, row);
    AiKit kit(10, 6);
    const int building = kit.building(row.airport ? 10 : 6, 1, 1, 1);
    kit.unit(FixedTurret, 1, 0, 5);
    int column = 0;
    for (int type : row.enemies)
        kit.unit(std::abs(type), 2, type < 0 ? 9 : column++, 4);
    QVERIFY(kit.begin());
    for (UnitRecord& unit : Units)  // the dead ones fell on the last column
        unit.V = unit.V && unit.X != AiKit::spot(9, 4).first;
    DayCount = row.day;
    Money[1] = row.money;
    kit.random.queue(row.roll - 1, 3);
    row.airport ? kit.ai.AIBuildAirUnit(building) : kit.ai.AIBuildGroundUnit(building);
    QCOMPARE(kit.random.trace, (QStringList{"reseed", "draw"}));
    QCOMPARE(typeOn(building), row.bought);
    QCOMPARE(Money[1], row.money - (row.bought ? frmGame::GetUnitCost(frmGame::GetUnitName(row.bought)) : 0));
}

void AiOrdersTest::whatStopsAPurchase()
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
        kit.random.queue(2, 3);
        kit.ai.AIBuildGroundUnit(factory);
        QCOMPARE(kit.random.trace.isEmpty(), blocker == 1);
        QCOMPARE(Money[1], blocker == 0 ? 900 : 1000);
    }
}

void AiOrdersTest::agreesWithTheExhaustiveSearch()
{
    QRandomGenerator random(20261206);
    int compared = 0;
    for (int round = 0; round < 150; ++round) {
        BattleKit kit;
        const int width = 5 + random.bounded(2);
        const int height = 5 + random.bounded(2);
        MapBuilder map(width, height, 0);
        for (int i = 1; i <= width * height; ++i)
            map.map.EdTile[i] = Codes[random.bounded(int(std::size(Codes)))];
        const int type = UnitType::First + random.bounded(UnitType::Last);
        const int unit = map.unit(type, 1, random.bounded(width), random.bounded(height));
        QVERIFY(kit.start(map));
        frmGame::SetUnitRange(frmGame::GetUnitName(type), unit);
        const int budget = random.bounded(6);
        const modAI::ReachMap reach(unit, budget);
        for (int i = 1; i <= width * height; ++i) {
            const bool expected =
                referenceFindPath(unit, Units[unit].X, Units[unit].Y + 2, Tiles[i].X, Tiles[i].Y, budget);
            QVERIFY2(reach.reaches(i) == expected,
                     qPrintable(QStringLiteral("round %1, %2, budget %3, tile %4").arg(round).arg(frmGame::GetUnitName(type)).arg(budget).arg(i)));
            QCOMPARE(modAI::FindPath(unit, Units[unit].X, Units[unit].Y + 2, Tiles[i].X, Tiles[i].Y, budget), expected);
            ++compared;
        }
    }
    QVERIFY(compared > 3000);
}

void AiOrdersTest::budgetsAndCosts()
{
    BattleKit kit;
    MapBuilder map(8, 1, 23);
    map.tile(7, 0, 10);
    const int infantry = map.unit(UnitType::Infantry, 1, 0, 0);
    QVERIFY(kit.start(map));
    BattleKit::refill(infantry);
    const int x = Units[infantry].X, y = Units[infantry].Y + 2;
    QVERIFY(modAI::ReachMap(infantry, 3).reaches(4) && !modAI::ReachMap(infantry, 3).reaches(5));
    QVERIFY(modAI::FindPath(infantry, x, y, x, y, 0));
    // At cost 2 a step, 3 points go two steps: the last step may overspend.
    Units[infantry].MoveCost1 = 2;
    Units[infantry].Moves = 3;
    QVERIFY(modAI::ReachMap(infantry, 3).reaches(3) && !modAI::ReachMap(infantry, 3).reaches(4));
    // A single entry is paid from the unit's own points, not the budget.
    std::int32_t tile = 0;
    Units[infantry].Moves = 1;
    QVERIFY(modAI::GetMoveCost(infantry, Tiles[2].X, Tiles[2].Y, tile) == modAI::Blocked && tile == 2);
    // Raised plates are left by a ramp only, judged from the tile the unit stands on.
    Units[infantry].MoveCost1 = Units[infantry].Moves = 1;
    std::tie(Units[infantry].X, Units[infantry].Y) = BattleKit::spot(7, 0);
    QCOMPARE(modAI::GetMoveCost(infantry, Tiles[7].X, Tiles[7].Y, tile), modAI::Blocked);
}

void AiOrdersTest::offTheMapIsNotEntered()
{
    BattleKit kit;
    MapBuilder map(3, 3, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 2, 0);
    QVERIFY(kit.start(map));
    BattleKit::refill(tank);
    std::int32_t tile = 0;
    // Right of the last column is not the first tile of the next row.
    QVERIFY(modAI::GetMoveCost(tank, Units[tank].X + 25, Units[tank].Y + 2, tile) == modAI::Blocked && tile == 0);
    QVERIFY(!modAI::ReachMap(tank, 1).reaches(4) && modAI::ReachMap(tank, 1).reaches(2));
}

void AiOrdersTest::whoSharesTheUnitsSpot()
{
    // A carried passenger does not pin its carrier; any other unit on the spot does,
    // and then the fire range is empty.
    BattleKit kit;
    MapBuilder map(4, 2, 0);
    const int transport = map.unit(UnitType::Transport, 1, 1, 0);
    const int infantry = map.unit(UnitType::Infantry, 1, 1, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 1, 1);
    map.unit(UnitType::Infantry, 2, 1, 1);
    QVERIFY(kit.start(map));
    BattleKit::board(transport, infantry);
    BattleKit::refill(transport);
    BattleKit::refill(tank);
    std::int32_t tile = 0;
    QCOMPARE(modAI::GetMoveCost(transport, Tiles[3].X, Tiles[3].Y, tile), 1);
    QVERIFY(modAI::AIMoveUnit(Tiles[4].X, Tiles[4].Y, transport, QStringLiteral("Transport"), false, 0));
    QCOMPARE(modAI::GetMoveCost(tank, Tiles[7].X, Tiles[7].Y, tile), modAI::Blocked);
    kit.game->FireRangeHidden = true;
    kit.game->ShowFireRange(tank);
    QVERIFY(highlighted().isEmpty());
}

void AiOrdersTest::aiMoveUnitRefusesTakenTargets()
{
    BattleKit kit;
    MapBuilder map(5, 1, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 0, 0);
    map.unit(UnitType::Infantry, 2, 3, 0);
    const int dead = map.unit(UnitType::Infantry, 2, 2, 0);
    QVERIFY(kit.start(map));
    Units[dead].V = false;
    const auto reaches = [&](int x, int y, bool allowOccupied) {
        return modAI::AIMoveUnit(x, y, tank, QStringLiteral("Heavy Tank"), allowOccupied, 0);
    };
    QVERIFY(!reaches(Tiles[4].X, Tiles[4].Y, false) && reaches(Tiles[4].X, Tiles[4].Y, true));
    // The record of a destroyed unit does not take its tile; the unit itself takes its own.
    QVERIFY(reaches(Tiles[3].X, Tiles[3].Y, false) && !reaches(Units[tank].X, Units[tank].Y + 2, false));
}

void AiOrdersTest::fireRangeMarksWhatTheUnitReaches()
{
    BattleKit kit;
    MapBuilder map(9, 1, 0);
    map.tile(6, 0, 9);
    const int infantry = map.unit(UnitType::Infantry, 1, 2, 0);
    const int turret = map.unit(UnitType::FixedTurret, 1, 8, 0);
    QVERIFY(kit.start(map));
    frmGame& game = *kit.game;
    kit.cursorTo(Units[infantry].X, Units[infantry].Y);
    // Shift's first press fills the unit box; its repeats show that unit's range.
    game.Form_KeyDown(16, 1);
    QCOMPARE(game.InfoUnit, infantry);
    game.Form_KeyDown(16, 1);
    // Moves 3 + 1 from its never-filled 0: tiles 1..7 but for the space tile 7; 8 lies beyond it.
    QVERIFY(highlighted() == QList<int>({1, 2, 3, 4, 5, 6}) && Units[infantry].Moves == 3);
    game.Form_KeyUp(16, 0);
    QVERIFY(highlighted().isEmpty());
    // A fixed turret reaches nothing, not even its own tile.
    game.InfoUnit = turret;
    game.ShowFireRange(turret);
    QVERIFY(highlighted().isEmpty());
}

QTEST_MAIN(AiOrdersTest)
#include "tst_aiorders.moc"
