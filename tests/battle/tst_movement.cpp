// The battle keyboard, the cursor and selection, the window's key handling, and
// walking units tile by tile under the terrain rule.

#include "BattleKit.h"
#include "battle/Terrain.h"
#include "data/GameTypes.h"
#include "screen/BattleView.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPoint>

using namespace modStrat;
using namespace UnitType;

namespace {

constexpr int E = 69, H = 72;

// What a unit type pays to step from one terrain onto another; -1: it may not.
struct Cost {
    int type, from, to, cost;
};
// No type of ours: a unit with a floor cost of 1 and no other.
constexpr int FloorOnly = 0;
// A walk on a small map, a row a string: '.' floor, 'g' ground, '~' space, '^' raised
// plates, '/' a ramp, 'e' and 'o' floor with an enemy or an own infantry unit on it.
// The walker starts at `from`, takes the arrow keys (Left, Up, Right, Down) and
// ends at `to` with `moves` points left.
struct Walk {
    const char* map;
    int type;
    QPoint from;
    const char* keys;
    QPoint to;
    int moves;
};

}  // namespace

Q_DECLARE_METATYPE(Cost)
Q_DECLARE_METATYPE(Walk)

class MovementTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void terrainCosts_data();
    void terrainCosts();
    void walks_data();
    void walks();
    void anotherUnitsOldPathOpensNothing();
    void aBoardedEnemyLeavesItsTile();
    void fuelIsPaidByDistanceFromTheStart();
    void leavingACaptureResetsTheBuilding();
    void aStepUnderWayEndsOnTheGrid_data();
    void aStepUnderWayEndsOnTheGrid();
    void aSelectedUnitAndTheEndOfTurn();
    void theCursor();
    void whatCanBeSelected();
    void theWindowsKeysAndThePause();
};

void MovementTest::terrainCosts_data()
{
    QTest::addColumn<Cost>("row");
    QTest::newRow("tank on rough") << Cost{HeavyTank, 0, 44, 2};
    // 41 looks rough but is floor.
    QTest::newRow("tank on floor 41") << Cost{HeavyTank, 0, 41, 1};
    QTest::newRow("no rough-ground cost, floor 41") << Cost{FloorOnly, 0, 41, 1};
    QTest::newRow("infantry onto a rim") << Cost{Infantry, 0, 1, -1};
    QTest::newRow("bomber in space") << Cost{Bomber, 0, 9, 2};
    QTest::newRow("hovering tank not in space") << Cost{HoverTankAir, 0, 9, -1};
    // Rough 42 is priced as rough before space: the flying cost, not the space cost.
    QTest::newRow("cruiser over rough 42") << Cost{BattleCruiser, 0, 42, 2};
    QTest::newRow("infantry down a ramp") << Cost{Infantry, 10, 34, 1};
    QTest::newRow("recon off raised plates") << Cost{Recon, 10, 0, 1};
    QTest::newRow("pads") << Cost{Recon, 0, 53, -1};
    QTest::newRow("fixed turret") << Cost{FixedTurret, 0, 0, -1};
}

void MovementTest::terrainCosts()
{
    QFETCH(Cost, row);
    BattleKit kit;
    frmGame::SetUnitRange(frmGame::GetUnitName(row.type), 1);
    if (row.type == FloorOnly)
        std::tie(Units[1].MoveCost1, Units[1].MoveCost2, Units[1].MoveCost3, Units[1].MoveCost4, Units[1].MoveCost5) =
            std::tuple(0, 1, 0, 0, 0);
    QCOMPARE(terrain::EntryCost(Units[1], row.to, row.from).value_or(-1), row.cost);
}

void MovementTest::walks_data()
{
    QTest::addColumn<Walk>("walk");
    QTest::newRow("three ground tiles, not a fourth") << Walk{"gggggg", Infantry, {0, 0}, "RRRR", {3, 0}, 0};
    QTest::newRow("a step back is free") << Walk{"gggggg", Infantry, {0, 0}, "RRRRL", {2, 0}, 1};
    QTest::newRow("back to the start another way") << Walk{"..|..", HeavyTank, {0, 0}, "RDLU", {0, 0}, 5};
    QTest::newRow("edges and enemies stop") << Walk{".e|o.", HeavyTank, {0, 0}, "ULRD", {0, 1}, 4};
    QTest::newRow("no space on foot") << Walk{".~.", Infantry, {0, 0}, "R", {0, 0}, 3};
    // Up a ramp onto raised plates, but not straight from the floor, nor down without a ramp.
    QTest::newRow("raised plates") << Walk{"^./^^.", HeavyTank, {1, 0}, "LRRRR", {4, 0}, 2};
}

void MovementTest::walks()
{
    QFETCH(Walk, walk);
    const QStringList rows = QString::fromLatin1(walk.map).split(QLatin1Char('|'));
    BattleKit kit(int(rows[0].size()), int(rows.size()));
    const int walker = kit.unit(walk.type, 1, walk.from.x(), walk.from.y());
    const QString codes = QStringLiteral(".g~^/");
    const int terrains[] = {0, 23, 9, 10, 18};
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            const QChar ch = rows[r][c];
            kit.map.tile(c, r, static_cast<std::int16_t>(codes.contains(ch) ? terrains[codes.indexOf(ch)] : 0));
            if (ch == QLatin1Char('e') || ch == QLatin1Char('o'))
                kit.unit(Infantry, ch == QLatin1Char('e') ? 2 : 1, c, r);
        }
    }
    QVERIFY(kit.start());
    kit.select(walker);
    for (const char key : QByteArray(walk.keys))
        kit.step(BattleKit::Left + int(QByteArray("LURD").indexOf(key)));
    QVERIFY(kit.at(walker, walk.to.x(), walk.to.y()));
    QCOMPARE(Units[walker].Moves, walk.moves);
}

void MovementTest::anotherUnitsOldPathOpensNothing()
{
    BattleKit kit;
    kit.map.tile(3, 1, 9);  // open space: no ground unit enters it
    const int scout = kit.unit(Recon, 1, 4, 0);
    const int infantry = kit.unit(Infantry, 1, 2, 1);
    QVERIFY(kit.start());
    // The recon flies across the space tile; its path is remembered.
    kit.select(scout);
    for (const int arrow : {BattleKit::Down, BattleKit::Left, BattleKit::Up})
        kit.step(arrow);
    kit.key(BattleKit::Space);
    kit.select(infantry);
    kit.step(BattleKit::Right);
    QVERIFY(kit.at(infantry, 2, 1));
}

void MovementTest::aBoardedEnemyLeavesItsTile()
{
    BattleKit kit;
    const int tank = kit.unit(HeavyTank, 1, 0, 1);
    const int rider = kit.unit(Infantry, 2, 1, 1);
    const int carrier = kit.unit(Transport, 2, 1, 0);
    QVERIFY(kit.start());
    kit.game->EndTurn();
    // Boarding from the next tile: the rider, out of sight, still holds its old place.
    kit.select(rider);
    kit.command(QStringLiteral("Load Into Up"));
    QVERIFY(Units[carrier].TRANS == rider && Units[rider].HIDDEN && kit.at(rider, 1, 1));
    kit.game->EndTurn();
    kit.select(tank);
    kit.step(BattleKit::Right);
    QVERIFY(kit.at(tank, 1, 1));
}

void MovementTest::fuelIsPaidByDistanceFromTheStart()
{
    BattleKit kit(8, 3);
    const int hover = kit.unit(HoverTankAir, 1, 0, 0);
    const int rover = kit.unit(Rover, 1, 4, 2);
    QVERIFY(kit.start());
    kit.select(hover);
    kit.step(BattleKit::Right, 3);
    kit.key(BattleKit::Space);
    QCOMPARE(int(Units[hover].FUEL), 60 - 6);  // hovering costs double
    // Out, back and beyond: paid for the 2 tiles from the start; and never below 0.
    for (const auto& [right, left, before, after] : {std::tuple{2, 4, 3, 1}, {0, 2, 1, 0}}) {
        Units[rover].FUEL = static_cast<std::int16_t>(before);
        kit.select(rover);
        kit.step(BattleKit::Right, right);
        kit.step(BattleKit::Left, left);
        kit.key(BattleKit::Space);
        QCOMPARE(int(Units[rover].FUEL), after);
        kit.game->EndTurn();
        kit.game->EndTurn();
    }
    // Out of fuel, a unit does not move but still takes its menu.
    kit.select(rover);
    kit.step(BattleKit::Right);
    QVERIFY(kit.at(rover, 0, 2));
    kit.key(BattleKit::Enter);
    QVERIFY(kit.game->MenuActive);
}

void MovementTest::leavingACaptureResetsTheBuilding()
{
    BattleKit kit;
    const int city = kit.building(BuildingType::NeutralCity, 0, 1, 1);
    const int infantry = kit.unit(Infantry, 1, 1, 1);
    QVERIFY(kit.start());
    kit.select(infantry);
    kit.command(QStringLiteral("Capture"));
    QCOMPARE(Buildings[city].CAP, 100);
    kit.game->EndTurn();
    kit.game->EndTurn();
    kit.select(infantry);
    kit.step(BattleKit::Right);
    kit.key(BattleKit::Space);
    QVERIFY(Buildings[city].CAP == 200 && Units[infantry].CAP == None);
}

void MovementTest::aStepUnderWayEndsOnTheGrid_data()
{
    QTest::addColumn<int>("key");     // 0: the turn clock runs out
    QTest::addColumn<int>("column");  // where the unit ends
    // Space ends the action where the step was going; the end of the turn takes the move back.
    QTest::newRow("Space") << int(BattleKit::Space) << 2;
    QTest::newRow("E") << 69 << 1;
    QTest::newRow("clock") << 0 << 1;
    QTest::newRow("Q") << 81 << 2;
}

void MovementTest::aStepUnderWayEndsOnTheGrid()
{
    QFETCH(int, key);
    QFETCH(int, column);
    BattleKit kit;
    const int tank = kit.unit(HeavyTank, 1, 1, 1);
    const int other = kit.unit(HeavyTank, 1, 1, 2);
    BattleKit::network();
    QVERIFY(kit.start(2, 60));
    frmGame& game = *kit.game;
    kit.frames(100);  // past the end-of-turn cooldown
    kit.select(tank);
    game.Form_KeyDown(BattleKit::Right, 0);
    kit.frames(2);  // five pixels a frame
    game.Form_KeyUp(BattleKit::Right, 0);  // a release mid-step changes nothing
    QVERIFY(Units[tank].X == MapLeft + 35 && kit.out.lines.isEmpty());  // nothing goes out while a unit walks
    if (key != 0) {
        kit.key(key);
    } else {
        game.SecondsLeft = 0;
        game.TimerFrameCount = 19;
        kit.frames(1);
    }
    QVERIFY(kit.at(tank, column, 1) && game.StepCounter == 0);
    QVERIFY(!game.RightHeld && !game.LeftHeld && !game.UpHeld && !game.DownHeld);
    if (key == BattleKit::Space)
        QCOMPARE(kit.out.lines.last(),
                 QStringLiteral("MOVEUNIT%1@MOVEX%2@MOVEY%3@MOVEFUEL49").arg(tank).arg(MapLeft + 50).arg(MapTop + 23));
    if (!game.Running)
        return;
    // The next unit selected stays where it is until it is moved.
    if (CurrentPlayer != 1)
        game.EndTurn();
    kit.select(other);
    kit.frames(5);
    QVERIFY(SelectedUnit == other && kit.at(other, 1, 2));
}

void MovementTest::aSelectedUnitAndTheEndOfTurn()
{
    BattleKit kit;
    const int a = kit.unit(Infantry, 1, 1, 1);
    kit.unit(Infantry, 1, 2, 1);
    QVERIFY(kit.start());
    kit.frames(25);  // past the end-of-turn cooldown
    // On another ready unit E does nothing; Escape takes the move back, and the
    // points come back only at the next selection.
    kit.select(a);
    kit.step(BattleKit::Right);
    kit.key(E);
    kit.key(BattleKit::Escape);
    QVERIFY(CurrentPlayer == 1 && kit.at(a, 1, 1) && Units[a].E && kit.game->CursorX == Units[a].X && Units[a].Moves == 2);
    kit.select(a);
    QCOMPARE(Units[a].Moves, 3);
    // So does Cancel in its menu.
    kit.step(BattleKit::Right);
    kit.command(QStringLiteral("Cancel"));
    QVERIFY(kit.at(a, 1, 1) && SelectedUnit == None);
    kit.select(a);
    // Between two tiles no key but Space acts.
    kit.game->Form_KeyDown(BattleKit::Right, 0);
    kit.frames(2);
    for (const int key : {BattleKit::Enter, BattleKit::Escape, BattleKit::Down})
        kit.key(key);
    kit.frames(3);
    QVERIFY(kit.at(a, 2, 1) && !kit.game->MenuActive && SelectedUnit == a);
    // Space ends the action and, in the same press, opens the main menu.
    kit.key(BattleKit::Space);
    QVERIFY(!Units[a].E && SelectedUnit == None && kit.game->MainMenuOpen);
    // With no unit selected E ends the turn, once within the cooldown.
    kit.key(E);
    kit.key(E);
    QCOMPARE(int(CurrentPlayer), 2);
}

void MovementTest::theCursor()
{
    BattleKit kit(3, 3);
    kit.map.headquarters(1, kit.building(BuildingType::Headquarters[1], 1, 2, 1));
    const int tank = kit.unit(HeavyTank, 1, 1, 1);
    QVERIFY(kit.start());
    frmGame& game = *kit.game;
    const auto onTile = [&](int t) { return game.CursorX == Tiles[t].X && game.CursorY == Tiles[t].Y - 2; };
    // It stays on the map; arrows held together move it diagonally.
    kit.cursorTo(Tiles[1].X, Tiles[1].Y - 2);
    kit.key(BattleKit::Up);
    kit.key(BattleKit::Left);
    QVERIFY(onTile(1));
    game.DownHeld = game.RightHeld = true;
    game.MoveHighlight();
    QVERIFY(onTile(5));
    game.MoveHighlight();
    game.MoveHighlight();
    QVERIFY(onTile(9));
    game.DownHeld = game.RightHeld = false;
    // H: to the headquarters, when there is one.
    kit.key(H);
    QVERIFY(onTile(6));
    HQ[1] = None;
    kit.key(H);
    QVERIFY(onTile(6));
    // The unit box shows the unit under it, and keeps the last one for the fire range.
    kit.cursorTo(Units[tank].X, Units[tank].Y);
    kit.key(16, 1);  // Shift alone also refreshes the box
    QVERIFY(game.InfoUnit == tank && game.UnitBoxShown);
    kit.key(BattleKit::Right);
    QVERIFY(!game.UnitBoxShown && game.InfoUnit == tank);
}

void MovementTest::whatCanBeSelected()
{
    BattleKit kit(8, 3);
    const int factory = kit.building(BuildingType::Factory[1], 1, 0, 0);
    const int hq = kit.building(BuildingType::Headquarters[1], 1, 1, 0);
    const int acted = kit.unit(Infantry, 1, 2, 0);
    const int enemy = kit.unit(Infantry, 2, 3, 0);
    const int dead = kit.unit(Infantry, 1, 0, 0);  // on the factory
    const int a = kit.unit(HeavyTank, 1, 5, 1);     // three on one tile
    const int b = kit.unit(Infantry, 2, 5, 1);
    const int c = kit.unit(Infantry, 1, 5, 1);
    QVERIFY(kit.start());
    Units[acted].E = false;
    kit.select(acted);
    kit.select(enemy);
    QCOMPARE(int(SelectedUnit), None);
    kit.cursorTo(Buildings[hq].X, Buildings[hq].Y - 2);
    kit.key(BattleKit::Enter);
    QCOMPARE(int(kit.game->SelectedBuilding), None);
    // A unit destroyed on a factory does not keep it from being used.
    Units[dead].V = false;
    kit.cursorTo(Buildings[factory].X, Buildings[factory].Y - 2);
    kit.key(BattleKit::Enter);
    QCOMPARE(int(kit.game->SelectedBuilding), factory);
    // The first other ready unit on a unit's spot; the first live unit on a tile.
    QVERIFY(kit.game->OnAnotherUnit(999) == None && kit.game->OnAnotherUnit(a) == b);
    Units[b].E = false;
    QCOMPARE(kit.game->OnAnotherUnit(a), c);
    const int tile = frmGame::TileAt(Units[a].X, Units[a].Y);
    QCOMPARE(kit.game->GetUnitFromTile(tile), a);
    Units[a].V = false;
    QCOMPARE(kit.game->GetUnitFromTile(tile), b);
}

void MovementTest::theWindowsKeysAndThePause()
{
    BattleKit kit;
    QVERIFY(kit.start());
    BattleView view(*kit.game);
    kit.game->services.display = &kit.out;
    const auto send = [&](QEvent::Type type, Qt::Key key, bool repeat = false) {
        QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_T ? QStringLiteral("t") : QString(), repeat);
        QCoreApplication::sendEvent(&view, &event);
    };
    const auto frameRuns = [&] {
        const int before = kit.out.count("refresh");
        kit.clock.advance(100);
        kit.game->GameLoopPass();
        return kit.out.count("refresh") > before;
    };
    // F1 pauses the battle and resumes it.
    send(QEvent::KeyPress, Qt::Key_F1);
    QVERIFY(!kit.game->Running && !frameRuns());
    send(QEvent::KeyPress, Qt::Key_F1);
    QVERIFY(frameRuns());
    // A held key repeats as release and press pairs: the repeated release is not a release.
    send(QEvent::KeyPress, Qt::Key_Right);
    send(QEvent::KeyRelease, Qt::Key_Right, true);
    QVERIFY(kit.game->RightHeld);
    send(QEvent::KeyRelease, Qt::Key_Right);
    QVERIFY(!kit.game->RightHeld);
    // T opens the chat box, which then takes the keys: "e" typed there ends no turn.
    send(QEvent::KeyPress, Qt::Key_T);
    QLineEdit* chat = view.findChild<QLineEdit*>();
    QVERIFY(kit.game->txtMsgVisible && chat && chat->isVisibleTo(&view));
    QTest::keyClicks(chat, QStringLiteral("gg e"));
    QCOMPARE(int(CurrentPlayer), 1);
    QTest::keyClick(chat, Qt::Key_Escape);
    QVERIFY(!kit.game->txtMsgVisible && chat->text().isEmpty());
}

QTEST_MAIN(MovementTest)
#include "tst_movement.moc"
