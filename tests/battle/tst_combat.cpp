// Attacks: the scene, the damage bar, damage and counter-attack, deaths.

#include "BattleKit.h"
#include "data/GameTypes.h"

#include <QtTest>

using namespace modStrat;

class CombatTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void workedExampleLine();
    void counterAttackRoundsHalvesToEven_data();
    void counterAttackRoundsHalvesToEven();
    void smallAttacksRoundToNothing();
    void overkillStopsAtZeroAndTheDeadStrikeBackWithNothing();
    void sceneSlidesInAndTheBarRuns();
    void barStepsSlowThenFastAndKeepsItsCount();
    void wholeAttackThroughTheKeys();
    void targetChoicePicksTheNearestHurtableEnemy();
    void attackAfterTheTurnChangedIsNothing();
    void corpsesAreNotHit();
    void passengerDiesWithItsCarrier();
    void offlineCountsButSendsNothing();
    void damageDealt_data();
    void damageDealt();
};

namespace {

// Two units side by side on floor plates, or on the given terrain.
struct Duel {
    BattleKit kit;
    int attacker = 0;
    int target = 0;
    Duel(int attackerType, int targetType, std::int16_t terrain = 0, bool network = false)
    {
        MapBuilder map(6, 3, terrain);
        attacker = map.unit(attackerType, 1, 1, 1);
        target = map.unit(targetType, 2, 2, 1);
        IsOfflineGame = !network;
        if (!kit.start(map))
            qFatal("no battle");
        SelectedUnit = static_cast<std::int16_t>(attacker);
        TargetUnit = target;
    }
    void strike(int bar, double chance)
    {
        kit.random.push(chance);
        DamageBarValue = bar;
        kit.game->FinalDamage();
    }
};

}  // namespace

void CombatTest::workedExampleLine()
{
    // Bar step 5 by a 100-HP unit on a target with defence 3 (raised plates), chance 4:
    // 50 / 2 + 4 = 29. The heavy tank left with 71 strikes back at the infantry: 57.
    BattleKit kit;
    MapBuilder map(20, 3, 0);
    map.tile(11, 1, 10);
    map.nextUnit = 7;
    const int infantry = map.unit(UnitType::Infantry, 1, 10, 1);
    map.nextUnit = 12;
    const int tank = map.unit(UnitType::HeavyTank, 2, 11, 1);
    IsOfflineGame = false;
    QVERIFY(kit.start(map));
    Units[tank].AMMO = 5;
    Units[infantry].AMMO = 6;
    SelectedUnit = static_cast<std::int16_t>(infantry);
    Units[infantry].SEL = true;
    kit.game->SelectedOriginX = Units[infantry].X;
    kit.game->SelectedOriginY = Units[infantry].Y;
    TargetUnit = tank;
    kit.random.push(0.4);
    DamageBarValue = 5;
    kit.game->FinalDamage();
    QCOMPARE(kit.sink.lines.size(), 2);
    QVERIFY(kit.sink.lines.at(0).startsWith(QStringLiteral("MOVEUNIT7@")));  // the move always comes first
    QCOMPARE(kit.sink.lines.at(1), QStringLiteral("ATTACKUNIT12@ATTACKDAMAGE29@ATTACKHP71@ATTACKAMMO4@DEFENDUNIT7@"
                                                  "DEFENDDAMAGE57@DEFENDHP43@DEFENDAMMO5"));
    QCOMPARE(kit.game->AttackSceneState, 2);
    QCOMPARE(GameMessages[3].Text, QStringLiteral("Player 1 did 29 damage"));
}

void CombatTest::counterAttackRoundsHalvesToEven_data()
{
    QTest::addColumn<int>("targetHp");
    QTest::addColumn<int>("counter");
    // Heavy infantry strikes back at infantry with step 6: round(4.8) = 5, so 50 at full health;
    // at 1, 3 and 5 HP that is 0.5, 1.5 and 2.5, which round to 0, 2 and 2.
    QTest::newRow("1 HP") << 1 << 0;
    QTest::newRow("3 HP") << 3 << 2;
    QTest::newRow("5 HP") << 5 << 2;
    QTest::newRow("full") << 100 << 50;
}

void CombatTest::counterAttackRoundsHalvesToEven()
{
    QFETCH(int, targetHp);
    QFETCH(int, counter);
    Duel duel(UnitType::Infantry, UnitType::HeavyInfantry);
    Units[duel.target].HP = static_cast<std::int16_t>(targetHp);
    duel.strike(0, 0.0);  // a bar of 0 leaves the target its health
    QCOMPARE(100 - Units[duel.attacker].HP, counter);
}

void CombatTest::smallAttacksRoundToNothing()
{
    // Bar 1 against defence 3 by a 10-HP attacker: 10 / 2 x 0.1 = 0.5, which rounds to 0.
    Duel duel(UnitType::HeavyTank, UnitType::Infantry, 10);
    Units[duel.attacker].HP = 10;
    duel.strike(1, 0.0);
    QCOMPARE(int(Units[duel.target].HP), 100);
}

void CombatTest::overkillStopsAtZeroAndTheDeadStrikeBackWithNothing()
{
    Duel duel(UnitType::BattleCruiser, UnitType::Infantry);
    Units[duel.target].HP = 20;
    const int ammo = Units[duel.target].AMMO;
    duel.strike(15, 0.9);
    QCOMPARE(int(Units[duel.target].HP), 0);
    QVERIFY(!Units[duel.target].V);
    QCOMPARE(int(Units[duel.target].AMMO), ammo - 1);
    QCOMPARE(int(Units[duel.attacker].HP), 100);
    QCOMPARE(UnitsDestroyed[1], 1);
    QCOMPARE(UnitsLost[2], 1);
    QCOMPARE(GameMessages[3].Text, QStringLiteral("Player 1 did 20 damage"));

    // No ammunition: no counter-attack at all; an attack made all the same (the
    // computer's) leaves the attacker's count at 0.
    Duel dry(UnitType::Infantry, UnitType::HeavyTank);
    Units[dry.target].AMMO = 0;
    Units[dry.attacker].AMMO = 0;
    dry.strike(1, 0.0);
    QCOMPARE(int(Units[dry.attacker].HP), 100);
    QCOMPARE(int(Units[dry.target].AMMO), 0);
    QCOMPARE(int(Units[dry.attacker].AMMO), 0);
}

void CombatTest::sceneSlidesInAndTheBarRuns()
{
    Duel duel(UnitType::HeavyTank, UnitType::Infantry, 36);
    frmGame& game = *duel.kit.game;
    const int attackerTile = frmGame::TileAt(Units[duel.attacker].X, Units[duel.attacker].Y);
    game.subAttack(attackerTile, 0);
    QVERIFY(game.SceneSprites[1].Visible);
    QCOMPARE(int(game.SceneSprites[1].X), -481);
    QCOMPARE(int(game.SceneSprites[1].Y), 15);
    QCOMPARE(int(game.SceneSprites[2].X), 800);
    QCOMPARE(game.DamageBarMax, 10);
    // Ramp 36 fights in front of set "1".
    for (int frame = 0; frame < 13; ++frame)
        game.DrawBGImage();
    QVERIFY(!game.DamageBarRunning);
    game.DrawBGImage();
    QVERIFY(game.DamageBarRunning);
    QCOMPARE(int(game.SceneSprites[1].X), 9);
    // Sliding out takes 25 frames and ends the scene.
    game.AttackSceneState = 2;
    for (int frame = 0; frame < 25; ++frame)
        game.DrawBGImage();
    QVERIFY(!game.SceneSprites[1].Visible);
}

void CombatTest::barStepsSlowThenFastAndKeepsItsCount()
{
    Duel duel(UnitType::HeavyTank, UnitType::Infantry);
    frmGame& game = *duel.kit.game;
    game.DamageBarMax = 10;
    DamageBarValue = 1;
    game.DamageBarFrameCount = 0;
    QList<int> held;
    int frames = 0;
    int value = 1;
    while (held.size() < 4) {
        game.DrawDamageBar();
        ++frames;
        if (DamageBarValue != value) {
            held << frames;
            frames = 0;
            value = DamageBarValue;
        }
    }
    QCOMPARE(held, QList<int>({12, 7, 3, 1}));
    // Wrapping back to 1 past the maximum.
    game.DamageBarMax = 3;
    DamageBarValue = 3;
    game.DamageBarFrameCount = 5;
    game.DrawDamageBar();
    QCOMPARE(DamageBarValue, 1);
    // A bar stopped 5 frames into a step leaves step 1 of the next after 7 frames.
    game.DamageBarMax = 10;
    DamageBarValue = 1;
    game.DamageBarFrameCount = 5;
    int count = 0;
    while (DamageBarValue == 1) {
        game.DrawDamageBar();
        ++count;
    }
    QCOMPARE(count, 7);
}

void CombatTest::wholeAttackThroughTheKeys()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 1, 1);
    const int infantry = map.unit(UnitType::Infantry, 2, 2, 1);
    QVERIFY(kit.start(map));
    kit.select(tank);
    kit.command(QStringLiteral("Attack"));
    QVERIFY(kit.game->ChoosingTarget);
    kit.key(BattleKit::Enter);  // no target picked yet: nothing happens
    QVERIFY(!kit.game->SceneSprites[1].Visible);
    kit.key(BattleKit::Right);
    QCOMPARE(TargetUnit, infantry);
    QVERIFY(kit.game->TargetShown);
    kit.key(BattleKit::Enter);
    QVERIFY(kit.game->SceneSprites[1].Visible);
    kit.frames(14);  // slides in, then the bar runs
    QVERIFY(kit.game->DamageBarRunning);
    kit.frames(3);
    kit.random.push(0.0);
    kit.key(BattleKit::Space);
    QVERIFY(!kit.game->DamageBarRunning);
    QCOMPARE(int(Units[infantry].HP), 90);  // bar step 1: 10 damage
    QVERIFY(!Units[tank].E);
    kit.frames(25);
    QVERIFY(!kit.game->SceneSprites[1].Visible);
}

void CombatTest::targetChoicePicksTheNearestHurtableEnemy()
{
    BattleKit kit;
    MapBuilder map(7, 5, 0);
    const int turret = map.unit(UnitType::FixedTurret, 1, 3, 2);
    const int near = map.unit(UnitType::Infantry, 2, 5, 2);     // 2 tiles right
    const int sameDistance = map.unit(UnitType::Rover, 2, 4, 3); // 2 tiles too, lower right
    const int fighter = map.unit(UnitType::Fighter, 2, 4, 2);   // hurtable by the turret (2)
    QVERIFY(kit.start(map));
    Q_UNUSED(sameDistance);
    kit.select(turret);
    kit.command(QStringLiteral("Attack"));
    kit.key(BattleKit::Right);
    QCOMPARE(TargetUnit, fighter);  // nearest first
    kit.key(BattleKit::Right);
    QCOMPARE(TargetUnit, near);     // then the next one beyond, in that direction
    QCOMPARE(kit.game->MoveFacing, 3);
    // A target on the diagonal turns the unit up or down, not sideways.
    kit.key(BattleKit::Escape);
    kit.command(QStringLiteral("Attack"));
    kit.key(BattleKit::Down);
    QCOMPARE(TargetUnit, sameDistance);
    QCOMPARE(kit.game->MoveFacing, 0);
}

void CombatTest::attackAfterTheTurnChangedIsNothing()
{
    Duel duel(UnitType::HeavyTank, UnitType::Infantry);
    frmGame& game = *duel.kit.game;
    game.subAttack(frmGame::TileAt(Units[duel.attacker].X, Units[duel.attacker].Y), 0);
    duel.kit.frames(14);
    QVERIFY(game.DamageBarRunning);
    game.EndTurn();
    QVERIFY(!game.DamageBarRunning);
    QCOMPARE(TargetUnit, None);
    game.FinalDamage();
    QCOMPARE(int(Units[duel.target].HP), 100);
}

void CombatTest::corpsesAreNotHit()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int corpse = map.unit(UnitType::Infantry, 2, 2, 1);
    const int tank = map.unit(UnitType::HeavyTank, 1, 1, 1);
    const int living = map.unit(UnitType::Rover, 2, 2, 1);
    QVERIFY(kit.start(map));
    Units[corpse].V = false;
    Units[corpse].HP = 0;
    kit.select(tank);
    kit.command(QStringLiteral("Attack"));
    kit.key(BattleKit::Right);
    QCOMPARE(TargetUnit, living);
    kit.key(BattleKit::Enter);
    QCOMPARE(kit.game->DamageBarMax, 10);  // heavy tank against rover
    kit.frames(14);
    kit.random.push(0.0);
    kit.key(BattleKit::Enter);
    QCOMPARE(int(Units[living].HP), 90);
    QCOMPARE(int(Units[corpse].HP), 0);
}

void CombatTest::passengerDiesWithItsCarrier()
{
    Duel duel(UnitType::BattleCruiser, UnitType::ArmoredATV);
    const int passenger = 10;
    UnitRecord& rider = Units[passenger];
    rider = Units[duel.target];
    rider.PIC = UnitType::Infantry;
    rider.HIDDEN = true;
    Units[duel.target].TRANS = passenger;
    Units[duel.target].HP = 10;
    duel.strike(15, 0.0);
    QVERIFY(!Units[duel.target].V);
    QVERIFY(!rider.V);
    QCOMPARE(UnitsDestroyed[1], 2);
    QCOMPARE(UnitsLost[2], 2);
}

void CombatTest::offlineCountsButSendsNothing()
{
    Duel duel(UnitType::BattleCruiser, UnitType::Infantry);
    Units[duel.target].HP = 5;
    duel.strike(15, 0.0);
    QVERIFY(duel.kit.sink.lines.isEmpty());
    QCOMPARE(UnitsDestroyed[1], 1);
}

void CombatTest::damageDealt_data()
{
    QTest::addColumn<double>("base");
    QTest::addColumn<int>("hp");
    QTest::addColumn<int>("defence");
    QTest::addColumn<int>("dealt");
    QTest::newRow("whole") << 2.0 << 100 << 1 << 200;
    QTest::newRow("the product rounds half to even") << 0.5 << 45 << 1 << 22;
    QTest::newRow("then the quotient: 7 / 2") << 1.0 << 7 << 2 << 4;
    QTest::newRow("5 / 2") << 1.0 << 5 << 2 << 2;
    QTest::newRow("50 / 3") << 1.0 << 50 << 3 << 17;
    QTest::newRow("never below 0") << 1.0 << -20 << 1 << 0;
    QTest::newRow("no defence yet") << 1.0 << 30 << 0 << 30;
}

void CombatTest::damageDealt()
{
    QFETCH(double, base);
    QFETCH(int, hp);
    QFETCH(int, defence);
    QFETCH(int, dealt);
    Duel duel(UnitType::HeavyTank, UnitType::Infantry);
    Units[duel.attacker].HP = static_cast<std::int16_t>(hp);
    Units[duel.target].Defense = static_cast<std::int16_t>(defence);
    QCOMPARE(frmGame::DamageDealt(base, duel.attacker, duel.target), dealt);
    QCOMPARE(frmGame::DamageDealt(base, duel.attacker, 999), 0);
}

QTEST_MAIN(CombatTest)
#include "tst_combat.moc"
