// Reachability: the bounded search against a slow reference search on random maps,
// and the move-cost edge cases.

#include "../battle/BattleKit.h"
#include "ai/PathSearch.h"
#include "data/GameTypes.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace modStrat;

class PathSearchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void agreesWithTheExhaustiveSearch();
    void budgetsAndCosts();
    void raisedPlatesWithoutFlying();
    void spaceAndBlockedPads();
    void offTheMapIsNotEntered();
    void aCarrierWithItsPassengerCanMove();
    void anotherUnitOnTheSpotPinsTheUnit();
    void aiMoveUnitRefusesTakenTargets();
    void fireRangeMarksWhatTheUnitReaches();
};

namespace {

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

const std::int16_t Codes[] = {0, 0, 0, 9, 9, 10, 11, 18, 23, 24, 34, 36, 37, 42, 44, 48, 53, 60, 65, 1, 19};

}  // namespace

void PathSearchTest::agreesWithTheExhaustiveSearch()
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

void PathSearchTest::budgetsAndCosts()
{
    BattleKit kit;
    MapBuilder map(8, 1, 23);
    const int infantry = map.unit(UnitType::Infantry, 1, 0, 0);
    QVERIFY(kit.start(map));
    frmGame::SetUnitRange(QStringLiteral("Infantry"), infantry);
    const modAI::ReachMap three(infantry, 3);
    QVERIFY(three.reaches(4));
    QVERIFY(!three.reaches(5));
    QVERIFY(modAI::FindPath(infantry, Units[infantry].X, Units[infantry].Y + 2, Units[infantry].X,
                            Units[infantry].Y + 2, 0));
    // Rough ground at cost 2 for a rover with 7 points... a cost above the points left is refused.
    Units[infantry].MoveCost1 = 2;
    Units[infantry].Moves = 3;
    const modAI::ReachMap expensive(infantry, 3);
    QVERIFY(expensive.reaches(3));  // 2, then 2 more with 1 left: the last step may overspend
    QVERIFY(!expensive.reaches(4));
    std::int32_t tile = 0;
    Units[infantry].Moves = 1;
    QCOMPARE(modAI::GetMoveCost(infantry, Tiles[2].X, Tiles[2].Y, tile), modAI::Blocked);
    QCOMPARE(tile, 2);
}

void PathSearchTest::raisedPlatesWithoutFlying()
{
    BattleKit kit;
    MapBuilder map(3, 1, 0);
    map.tile(1, 0, 10).tile(2, 0, 18);
    const int infantry = map.unit(UnitType::Infantry, 1, 1, 0);
    QVERIFY(kit.start(map));
    frmGame::SetUnitRange(QStringLiteral("Infantry"), infantry);
    std::int32_t tile = 0;
    QCOMPARE(modAI::GetMoveCost(infantry, Tiles[1].X, Tiles[1].Y, tile), modAI::Blocked);
    QCOMPARE(modAI::GetMoveCost(infantry, Tiles[3].X, Tiles[3].Y, tile), 1);
}

void PathSearchTest::spaceAndBlockedPads()
{
    BattleKit kit;
    MapBuilder map(4, 1, 9);
    map.tile(3, 0, 55);
    const int bomber = map.unit(UnitType::Bomber, 1, 0, 0);
    const int hover = map.unit(UnitType::HoverTankAir, 1, 1, 0);
    QVERIFY(kit.start(map));
    frmGame::SetUnitRange(QStringLiteral("Bomber"), bomber);
    frmGame::SetUnitRange(QStringLiteral("Hover Tank Air"), hover);
    std::int32_t tile = 0;
    QCOMPARE(modAI::GetMoveCost(bomber, Tiles[3].X, Tiles[3].Y, tile), 2);
    QCOMPARE(modAI::GetMoveCost(bomber, Tiles[4].X, Tiles[4].Y, tile), modAI::Blocked);
    QCOMPARE(modAI::GetMoveCost(hover, Tiles[3].X, Tiles[3].Y, tile), modAI::Blocked);
}

void PathSearchTest::offTheMapIsNotEntered()
{
    BattleKit kit;
    MapBuilder map(3, 3, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 2, 0);
    QVERIFY(kit.start(map));
    frmGame::SetUnitRange(QStringLiteral("Heavy Tank"), tank);
    std::int32_t tile = 0;
    // Right of the last column is not the first tile of the next row.
    QCOMPARE(modAI::GetMoveCost(tank, Units[tank].X + 25, Units[tank].Y + 2, tile), modAI::Blocked);
    QCOMPARE(tile, 0);
    const modAI::ReachMap reach(tank, 1);
    QVERIFY(!reach.reaches(4));
    QVERIFY(reach.reaches(2));
}

void PathSearchTest::aCarrierWithItsPassengerCanMove()
{
    BattleKit kit;
    MapBuilder map(4, 1, 0);
    const int transport = map.unit(UnitType::Transport, 1, 1, 0);
    const int infantry = map.unit(UnitType::Infantry, 1, 1, 0);
    QVERIFY(kit.start(map));
    Units[infantry].HIDDEN = true;
    Units[transport].TRANS = infantry;
    frmGame::SetUnitRange(QStringLiteral("Transport"), transport);
    std::int32_t tile = 0;
    QCOMPARE(modAI::GetMoveCost(transport, Tiles[3].X, Tiles[3].Y, tile), 1);
    QVERIFY(modAI::AIMoveUnit(Tiles[4].X, Tiles[4].Y, transport, QStringLiteral("Transport"), false, 0));
}

void PathSearchTest::anotherUnitOnTheSpotPinsTheUnit()
{
    BattleKit kit;
    MapBuilder map(4, 1, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 1, 0);
    map.unit(UnitType::Infantry, 2, 1, 0);
    QVERIFY(kit.start(map));
    frmGame::SetUnitRange(QStringLiteral("Heavy Tank"), tank);
    std::int32_t tile = 0;
    QCOMPARE(modAI::GetMoveCost(tank, Tiles[3].X, Tiles[3].Y, tile), modAI::Blocked);
    kit.game->FireRangeHidden = true;
    kit.game->ShowFireRange(tank);
    for (int i = 1; i <= 4; ++i)
        QVERIFY(!Tiles[i].Highlight);
}

void PathSearchTest::aiMoveUnitRefusesTakenTargets()
{
    BattleKit kit;
    MapBuilder map(5, 1, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 0, 0);
    const int other = map.unit(UnitType::Infantry, 2, 3, 0);
    const int dead = map.unit(UnitType::Infantry, 2, 2, 0);
    QVERIFY(kit.start(map));
    Units[dead].V = false;
    QVERIFY(!modAI::AIMoveUnit(Tiles[4].X, Tiles[4].Y, tank, QStringLiteral("Heavy Tank"), false, 0));
    QVERIFY(modAI::AIMoveUnit(Tiles[4].X, Tiles[4].Y, tank, QStringLiteral("Heavy Tank"), true, 0));
    // The record of a destroyed unit does not take its tile.
    QVERIFY(modAI::AIMoveUnit(Tiles[3].X, Tiles[3].Y, tank, QStringLiteral("Heavy Tank"), false, 0));
    QVERIFY(!modAI::AIMoveUnit(Units[tank].X, Units[tank].Y + 2, tank, QStringLiteral("Heavy Tank"), false, 0));
    Q_UNUSED(other);
}

void PathSearchTest::fireRangeMarksWhatTheUnitReaches()
{
    BattleKit kit;
    MapBuilder map(9, 1, 0);
    map.tile(6, 0, 9);
    const int infantry = map.unit(UnitType::Infantry, 1, 2, 0);
    const int turret = map.unit(UnitType::FixedTurret, 1, 8, 0);
    QVERIFY(kit.start(map));
    frmGame& game = *kit.game;
    Units[infantry].Moves = 0;  // already moved: the range is still the full one
    game.CursorX = Units[infantry].X;
    game.CursorY = Units[infantry].Y;
    // Shift's first press fills the unit box; its repeats show that unit's range.
    game.Form_KeyDown(16, 1);
    QCOMPARE(game.InfoUnit, infantry);
    game.Form_KeyDown(16, 1);
    QList<int> marked;
    for (int i = 1; i <= 9; ++i) {
        if (Tiles[i].Highlight)
            marked << i;
    }
    // Moves 3 + 1: tiles 1..7 but for the space tile 7; 8 lies beyond it.
    QCOMPARE(marked, QList<int>({1, 2, 3, 4, 5, 6}));
    QCOMPARE(Units[infantry].Moves, 3);
    game.Form_KeyUp(16, 0);
    for (int i = 1; i <= 9; ++i)
        QVERIFY(!Tiles[i].Highlight);

    // A fixed turret reaches nothing, not even its own tile.
    game.InfoUnit = turret;
    game.ShowFireRange(turret);
    for (int i = 1; i <= 9; ++i)
        QVERIFY(!Tiles[i].Highlight);
}

QTEST_MAIN(PathSearchTest)
#include "tst_pathsearch.moc"
