// Walking units tile by tile under the terrain rule.

#include "BattleKit.h"
#include "battle/Terrain.h"
#include "data/GameTypes.h"

#include <QtTest>

using namespace modStrat;

class MovementTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void terrainCostsForEveryUnit();
    void infantryWalksItsPointsAndStepsBackForFree();
    void aLoopBackRefundsThePath();
    void anotherUnitsOldPathOpensNothing();
    void enemiesBlockOwnUnitsDoNot();
    void mapEdgesStopTheUnit();
    void raisedPlatesOnlyFromARamp();
    void fuelIsPaidByDistanceFromTheStart();
    void leavingACaptureResetsTheBuilding();
    void moveLineInANetworkGame();
    void aStepUnderWayEndsOnTheGrid_data();
    void aStepUnderWayEndsOnTheGrid();
};

namespace {

// What each unit pays, written from the terrain groups: ground units walk floors,
// ground, rough and ramps, climb raised plates from a ramp; flyers pay their
// flying cost everywhere but open space, where only space craft go.
std::optional<int> expectedCost(int type, int code, bool fromRaised, bool fromRamp)
{
    struct Costs { int ground, floor, space, fly, rough; };
    static const std::map<int, Costs> table = {
        {UnitType::AntiAir, {1, 1, 0, 0, 2}},  {UnitType::ArmoredATV, {1, 1, 0, 0, 2}},
        {UnitType::Bomber, {0, 0, 2, 1, 0}},   {UnitType::BattleCruiser, {0, 0, 1, 2, 0}},
        {UnitType::Fighter, {0, 0, 1, 1, 0}},  {UnitType::HeavyInfantry, {1, 1, 0, 0, 1}},
        {UnitType::HoverTankAir, {0, 0, 0, 1, 0}}, {UnitType::MobileTurret, {1, 2, 0, 0, 3}},
        {UnitType::Recon, {0, 0, 1, 1, 0}},    {UnitType::Rover, {1, 2, 0, 0, 3}},
        {UnitType::Transport, {0, 0, 2, 1, 0}}, {UnitType::Infantry, {1, 1, 0, 0, 1}},
        {UnitType::HeavyTank, {1, 1, 0, 0, 2}}, {UnitType::FixedTurret, {0, 0, 0, 0, 0}},
        {UnitType::HoverTankGround, {1, 1, 0, 0, 3}},
    };
    const Costs c = table.at(type);
    const bool blocked = (code >= 53 && code <= 59) || code < 0 || code > 70;
    if (blocked)
        return std::nullopt;
    if (c.fly != 0) {
        if (code == 9)
            return c.space ? std::optional<int>(c.space) : std::nullopt;
        return c.fly;
    }
    if (c.ground == 0)
        return std::nullopt;  // cannot move at all
    const bool raised = (code >= 10 && code <= 17) || (code >= 61 && code <= 64);
    const bool ramp = code == 18 || code == 34 || code == 35 || code == 36 || code == 60;
    if (fromRaised && !raised && !ramp)
        return std::nullopt;
    if (raised)
        return (fromRaised || fromRamp) ? std::optional<int>(c.floor) : std::nullopt;
    if (code >= 23 && code <= 33)
        return c.ground;
    if ((code >= 42 && code <= 51))
        return c.rough;
    if (code == 0 || ramp || (code >= 37 && code <= 41) || code == 52 || (code >= 65 && code <= 70))
        return c.floor;
    return std::nullopt;  // space and platform rims
}

}  // namespace

void MovementTest::terrainCostsForEveryUnit()
{
    BattleKit kit;
    for (int type = UnitType::First; type <= UnitType::Last; ++type) {
        kit.game->SetUnitRange(frmGame::GetUnitName(type), 1);
        UnitRecord& unit = Units[1];
        unit.PIC = static_cast<std::int16_t>(type);
        for (const int from : {0, 18, 10}) {
            for (int code = -1; code <= 71; ++code) {
                const auto actual = terrain::EntryCost(unit, code, from);
                const auto expected = expectedCost(type, code, from == 10, from == 18);
                QVERIFY2(actual == expected, qPrintable(QStringLiteral("%1 onto %2 from %3: %4, expected %5")
                                                            .arg(frmGame::GetUnitName(type))
                                                            .arg(code)
                                                            .arg(from)
                                                            .arg(actual ? *actual : -1)
                                                            .arg(expected ? *expected : -1)));
            }
        }
    }
}

void MovementTest::infantryWalksItsPointsAndStepsBackForFree()
{
    BattleKit kit;
    MapBuilder map(8, 3, 23);  // textured ground
    const int infantry = map.unit(UnitType::Infantry, 1, 0, 1);
    QVERIFY(kit.start(map));
    kit.select(infantry);
    QCOMPARE(int(SelectedUnit), infantry);
    const int startX = Units[infantry].X;
    for (int i = 0; i < 3; ++i)
        kit.step(BattleKit::Right);
    QCOMPARE(int(Units[infantry].X), startX + 75);
    QCOMPARE(Units[infantry].Moves, 0);
    kit.step(BattleKit::Right);
    QCOMPARE(int(Units[infantry].X), startX + 75);  // refused: no points left
    QVERIFY(!kit.game->RightHeld);
    kit.step(BattleKit::Left);
    QCOMPARE(int(Units[infantry].X), startX + 50);
    QCOMPARE(Units[infantry].Moves, 1);  // the step back gave its point back
    // A step takes five frames, five pixels each.
    kit.game->Form_KeyDown(BattleKit::Left, 0);
    kit.frames(3);
    QCOMPARE(int(Units[infantry].X), startX + 35);
    kit.frames(2);
    QCOMPARE(int(Units[infantry].X), startX + 25);
}

void MovementTest::aLoopBackRefundsThePath()
{
    BattleKit kit;
    MapBuilder map(6, 6, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 2, 2);
    QVERIFY(kit.start(map));
    kit.select(tank);
    kit.step(BattleKit::Right);
    kit.step(BattleKit::Down);
    kit.step(BattleKit::Left);
    QCOMPARE(Units[tank].Moves, 2);
    kit.step(BattleKit::Up);  // back on the start by another way
    QCOMPARE(Units[tank].Moves, 5);
    QCOMPARE(kit.game->PathLength, 1);
}

void MovementTest::anotherUnitsOldPathOpensNothing()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    map.tile(3, 1, 9);  // open space: no ground unit enters it
    const int scout = map.unit(UnitType::Recon, 1, 4, 0);
    const int infantry = map.unit(UnitType::Infantry, 1, 2, 1);
    QVERIFY(kit.start(map));
    // The recon flies across the space tile; its path is remembered.
    kit.select(scout);
    kit.step(BattleKit::Down);
    kit.step(BattleKit::Left);
    kit.step(BattleKit::Up);
    kit.key(BattleKit::Space);
    QCOMPARE(int(Units[scout].X), MapLeft + 75);
    kit.key(BattleKit::Escape);
    kit.select(infantry);
    kit.step(BattleKit::Right);
    QCOMPARE(int(Units[infantry].X), MapLeft + 50);
}

void MovementTest::enemiesBlockOwnUnitsDoNot()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 2, 1);
    map.unit(UnitType::Infantry, 2, 3, 1);
    map.unit(UnitType::Infantry, 1, 2, 2);
    QVERIFY(kit.start(map));
    kit.select(tank);
    kit.step(BattleKit::Right);
    QCOMPARE(int(Units[tank].X), MapLeft + 50);
    kit.step(BattleKit::Down);
    QCOMPARE(int(Units[tank].Y), MapTop + 48);
}

void MovementTest::mapEdgesStopTheUnit()
{
    BattleKit kit;
    MapBuilder map(3, 3, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 0, 0);
    QVERIFY(kit.start(map));
    kit.select(tank);
    kit.step(BattleKit::Up);
    kit.step(BattleKit::Left);
    QCOMPARE(int(Units[tank].X), int(MapLeft));
    QCOMPARE(int(Units[tank].Y), MapTop - 2);
    QCOMPARE(Units[tank].Moves, 5);
}

void MovementTest::raisedPlatesOnlyFromARamp()
{
    BattleKit kit;
    // Floor, ramp, raised, raised, floor in a row.
    MapBuilder map(5, 1, 0);
    map.tile(1, 0, 18).tile(2, 0, 10).tile(3, 0, 11);
    const int infantry = map.unit(UnitType::Infantry, 1, 0, 0);
    QVERIFY(kit.start(map));
    kit.select(infantry);
    kit.step(BattleKit::Right);  // onto the ramp
    kit.step(BattleKit::Right);  // up onto the raised plate
    QCOMPARE(int(Units[infantry].X), MapLeft + 50);
    kit.key(BattleKit::Space);
    // Next turn: from the raised plate, not down onto floor except by a ramp.
    kit.game->EndTurn();
    kit.game->EndTurn();
    kit.select(infantry);
    kit.step(BattleKit::Right);
    QCOMPARE(int(Units[infantry].X), MapLeft + 75);
    kit.step(BattleKit::Right);
    QCOMPARE(int(Units[infantry].X), MapLeft + 75);

    // Straight from the floor onto raised plates: refused.
    BattleKit other;
    MapBuilder flat(3, 1, 0);
    flat.tile(1, 0, 10);
    const int walker = flat.unit(UnitType::Infantry, 1, 0, 0);
    QVERIFY(other.start(flat));
    other.select(walker);
    other.step(BattleKit::Right);
    QCOMPARE(int(Units[walker].X), int(MapLeft));
}

void MovementTest::fuelIsPaidByDistanceFromTheStart()
{
    BattleKit kit;
    MapBuilder map(8, 3, 0);
    const int hover = map.unit(UnitType::HoverTankAir, 1, 0, 0);
    const int rover = map.unit(UnitType::Rover, 1, 0, 2);
    QVERIFY(kit.start(map));
    kit.select(hover);
    for (int i = 0; i < 3; ++i)
        kit.step(BattleKit::Right);
    kit.key(BattleKit::Space);
    QCOMPARE(int(Units[hover].FUEL), 60 - 6);  // hovering costs double
    QVERIFY(!Units[hover].E);

    Units[rover].FUEL = 2;
    kit.select(rover);
    for (int i = 0; i < 4; ++i)
        kit.step(BattleKit::Right);
    kit.key(BattleKit::Space);
    QCOMPARE(int(Units[rover].FUEL), 0);

    kit.game->EndTurn();
    kit.game->EndTurn();
    Units[rover].FUEL = 30;
    kit.select(rover);
    kit.step(BattleKit::Left);
    kit.step(BattleKit::Left);
    kit.step(BattleKit::Right);
    kit.step(BattleKit::Right);
    kit.key(BattleKit::Space);
    QCOMPARE(int(Units[rover].FUEL), 30);  // back where it began: no fuel

    // Out of fuel, a unit does not move but still takes its menu.
    kit.game->EndTurn();
    kit.game->EndTurn();
    Units[rover].FUEL = 0;
    const int x = Units[rover].X;
    kit.select(rover);
    kit.step(BattleKit::Left);
    QCOMPARE(int(Units[rover].X), x);
    kit.key(BattleKit::Enter);
    QVERIFY(kit.game->MenuActive);
}

void MovementTest::leavingACaptureResetsTheBuilding()
{
    BattleKit kit;
    MapBuilder map(5, 3, 0);
    const int city = map.building(BuildingType::NeutralCity, 0, 1, 1);
    const int infantry = map.unit(UnitType::Infantry, 1, 1, 1);
    QVERIFY(kit.start(map));
    kit.select(infantry);
    kit.command(QStringLiteral("Capture"));
    QCOMPARE(Buildings[city].CAP, 100);
    QCOMPARE(Units[infantry].CAP, city);
    kit.game->EndTurn();
    kit.game->EndTurn();
    kit.select(infantry);
    kit.step(BattleKit::Right);
    kit.key(BattleKit::Space);
    QCOMPARE(Buildings[city].CAP, 200);
    QCOMPARE(Units[infantry].CAP, None);
}

void MovementTest::moveLineInANetworkGame()
{
    BattleKit kit;
    MapBuilder map(5, 3, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 1, 1);
    IsOfflineGame = false;
    MyPlayer = 1;
    QVERIFY(kit.start(map));
    kit.select(tank);
    kit.step(BattleKit::Right);
    QVERIFY(kit.sink.lines.isEmpty());  // nothing goes out while a unit walks
    kit.key(BattleKit::Space);
    QCOMPARE(kit.sink.lines, QStringList{QStringLiteral("MOVEUNIT%1@MOVEX%2@MOVEY%3@MOVEFUEL49")
                                             .arg(tank)
                                             .arg(MapLeft + 50)
                                             .arg(MapTop + 23)});
}

void MovementTest::aStepUnderWayEndsOnTheGrid_data()
{
    QTest::addColumn<int>("key");    // 0: the turn clock runs out
    QTest::addColumn<int>("tiles");  // how far right of its start the unit ends
    // Space ends the action where the step was going; the end of the turn takes the move back.
    QTest::newRow("Space") << int(BattleKit::Space) << 1;
    QTest::newRow("E") << 69 << 0;
    QTest::newRow("clock") << 0 << 0;
    QTest::newRow("Q") << 81 << 1;
}

void MovementTest::aStepUnderWayEndsOnTheGrid()
{
    QFETCH(int, key);
    QFETCH(int, tiles);
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 1, 1);
    const int other = map.unit(UnitType::HeavyTank, 1, 1, 2);
    IsOfflineGame = false;
    MyPlayer = 1;
    QVERIFY(kit.start(map, 2, 60));
    frmGame& game = *kit.game;
    kit.frames(100);  // past the end-of-turn cooldown
    kit.select(tank);
    game.Form_KeyDown(BattleKit::Right, 0);
    kit.frames(2);
    game.Form_KeyUp(BattleKit::Right, 0);  // a release mid-step changes nothing
    if (key != 0) {
        kit.key(key);
    } else {
        game.SecondsLeft = 0;
        game.TimerFrameCount = 19;
        kit.frames(1);
    }
    QCOMPARE(int(Units[tank].X), MapLeft + 25 + 25 * tiles);
    QCOMPARE(int(Units[tank].Y), MapTop + 23);
    QCOMPARE(game.StepCounter, 0);
    QVERIFY(!game.RightHeld && !game.LeftHeld && !game.UpHeld && !game.DownHeld);
    if (key == BattleKit::Space)
        QCOMPARE(kit.sink.lines.last(),
                 QStringLiteral("MOVEUNIT%1@MOVEX%2@MOVEY%3@MOVEFUEL49").arg(tank).arg(MapLeft + 50).arg(MapTop + 23));
    if (!game.Running)
        return;
    // The next unit selected stays where it is until it is moved.
    if (CurrentPlayer != 1)
        game.EndTurn();
    const int x = Units[other].X;
    kit.select(other);
    QCOMPARE(int(SelectedUnit), other);
    kit.frames(5);
    QCOMPARE(int(Units[other].X), x);
}

QTEST_MAIN(MovementTest)
#include "tst_movement.moc"
