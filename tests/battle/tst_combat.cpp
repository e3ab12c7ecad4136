// Attacks: the scene, the damage bar, damage and counter-attack, deaths and the
// shelter of buildings; capture, unit creation, and the end of a battle.

#include "BattleKit.h"
#include "data/GameTypes.h"

using namespace modStrat;
using namespace UnitType;

class CombatTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void workedExampleLine();
    void roundingHalvesToEven_data();
    void roundingHalvesToEven();
    void overkillStopsAtZeroAndTheDeadStrikeBackWithNothing();
    void theBarStepsAndStopsAtTheTurnsEnd();
    void wholeAttackThroughTheKeys();
    void targetChoicePicksTheNearestHurtableEnemy();
    void buildingsShelterUnits();
    void damageDealt_data();
    void damageDealt();
    void captureSteps();
    void headquartersFallEndsATwoPlayerBattle();
    void creationTakesTheLowestFreeSlot();
    void lastUnitLostInACounterAttack();
    void aHotSeatGoesOnWhileAHumanRemains();
};

namespace {

// Two units side by side on floor plates, the first about to attack the second, which
// may stand on other ground.
struct Duel {
    BattleKit kit;
    int attacker = 0;
    int target = 0;
    Duel(int attackerType, int targetType, std::int16_t targetTerrain = 0)
    {
        kit.map.tile(2, 1, targetTerrain);
        attacker = kit.unit(attackerType, 1, 1, 1);
        target = kit.unit(targetType, 2, 2, 1);
        if (!kit.start())
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

// One strike: the hit points of both sides before it, the bar, and what each lost.
struct Strike {
    int attackerHp, targetHp, bar, damage, counter;
};
struct Dealt {
    double base;
    int hp, defence, dealt;
};

// Player 1's infantry on player 2's city; player 2 also has a factory, an airport,
// its headquarters and two units.
struct Captured {
    BattleKit kit;
    int infantry = 0;
    int city = 0;
    int hq2 = 0;
    explicit Captured(bool network = false) : kit(8, 4)
    {
        const int hq1 = kit.building(BuildingType::Headquarters[1], 1, 0, 0);
        hq2 = kit.building(BuildingType::Headquarters[2], 2, 5, 2);
        city = kit.building(BuildingType::City[2], 2, 3, 1);
        kit.building(BuildingType::Factory[2], 2, 7, 3);
        kit.building(BuildingType::Airport[2], 2, 6, 3);
        kit.map.headquarters(1, hq1).headquarters(2, hq2);
        infantry = kit.unit(Infantry, 1, 3, 1);
        kit.unit(HeavyTank, 2, 7, 0);
        kit.unit(Infantry, 2, 6, 0);
        if (network)
            BattleKit::network();
        if (!kit.start())
            qFatal("no battle");
    }
    void captureStep(int building)
    {
        Units[infantry].E = true;
        kit.select(infantry);
        kit.game->CaptureBuilding(building);
    }
};

}  // namespace

Q_DECLARE_METATYPE(Strike)
Q_DECLARE_METATYPE(Dealt)

void CombatTest::workedExampleLine()
{
    // Bar step 5 by a 100-HP unit on a target with defence 3 (raised plates), chance 4:
    // 50 / 2 + 4 = 29. The heavy tank left with 71 strikes back at the infantry: 57.
    BattleKit kit(20, 3);
    kit.map.tile(11, 1, 10);
    kit.map.nextUnit = 7;
    const int infantry = kit.unit(Infantry, 1, 10, 1);
    kit.map.nextUnit = 12;
    const int tank = kit.unit(HeavyTank, 2, 11, 1);
    BattleKit::network();
    QVERIFY(kit.start());
    Units[tank].AMMO = 5;
    Units[infantry].AMMO = 6;
    kit.select(infantry);
    TargetUnit = tank;
    kit.random.push(0.4);
    DamageBarValue = 5;
    kit.game->FinalDamage();
    QVERIFY(kit.out.lines.size() == 2 && kit.out.lines.at(0).startsWith(QStringLiteral("MOVEUNIT7@")));  // the move first
    QCOMPARE(kit.out.lines.at(1), QStringLiteral("ATTACKUNIT12@ATTACKDAMAGE29@ATTACKHP71@ATTACKAMMO4@DEFENDUNIT7@"
                                                 "DEFENDDAMAGE57@DEFENDHP43@DEFENDAMMO5"));
    QVERIFY(kit.game->AttackSceneState == 2 && GameMessages[3].Text == QStringLiteral("Player 1 did 29 damage"));
}

void CombatTest::roundingHalvesToEven_data()
{
    // Infantry attacks heavy infantry on raised plates (defence 3).
    QTest::addColumn<Strike>("strike");
    // Heavy infantry strikes back at infantry with step 6: round(4.8) = 5, so 50 at full health;
    // at 1, 3 and 5 HP that is 0.5, 1.5 and 2.5, which round to 0, 2 and 2.
    QTest::newRow("counter 0.5") << Strike{100, 1, 0, 0, 0};
    QTest::newRow("counter 1.5") << Strike{100, 3, 0, 0, 2};
    QTest::newRow("counter 2.5") << Strike{100, 5, 0, 0, 2};
    QTest::newRow("full counter") << Strike{100, 100, 0, 0, 50};
    // Every machine removes a unit left at 0: one kept here would split the battle.
    QTest::newRow("a counter of exactly the attacker's HP destroys it") << Strike{50, 100, 0, 0, 50};
    // Bar 1 by a 10-HP attacker: 10 / 2 x 0.1 = 0.5.
    QTest::newRow("damage 0.5") << Strike{10, 100, 1, 0, 50};
    QTest::newRow("damage 1.5") << Strike{30, 100, 1, 2, 49};
}

void CombatTest::roundingHalvesToEven()
{
    QFETCH(Strike, strike);
    Duel duel(Infantry, HeavyInfantry, 10);
    Units[duel.attacker].HP = static_cast<std::int16_t>(strike.attackerHp);
    Units[duel.target].HP = static_cast<std::int16_t>(strike.targetHp);
    duel.strike(strike.bar, 0.0);
    QCOMPARE(strike.targetHp - Units[duel.target].HP, strike.damage);
    QCOMPARE(strike.attackerHp - Units[duel.attacker].HP, strike.counter);
    QCOMPARE(Units[duel.attacker].V, Units[duel.attacker].HP > 0);
}

void CombatTest::overkillStopsAtZeroAndTheDeadStrikeBackWithNothing()
{
    // An Armored ATV with 20 HP and an infantry unit on board: both go, both count.
    Duel duel(BattleCruiser, ArmoredATV);
    UnitRecord& rider = Units[10];
    rider = Units[duel.target];
    rider.PIC = Infantry;
    rider.HIDDEN = true;
    Units[duel.target].TRANS = 10;
    Units[duel.target].HP = 20;
    duel.strike(15, 0.9);
    QVERIFY(Units[duel.target].HP == 0 && !Units[duel.target].V && !rider.V && Units[duel.target].AMMO == 2);
    QVERIFY(Units[duel.attacker].HP == 100 && UnitsDestroyed[1] == 2 && UnitsLost[2] == 2);
    QCOMPARE(GameMessages[3].Text, QStringLiteral("Player 1 did 20 damage"));
    QVERIFY(duel.kit.out.lines.isEmpty());  // counted, but a hot-seat game sends nothing
    // No ammunition: no counter-attack at all; an attack made all the same (the
    // computer's) leaves the attacker's count at 0.
    Duel dry(Infantry, HeavyTank);
    Units[dry.target].AMMO = Units[dry.attacker].AMMO = 0;
    dry.strike(1, 0.0);
    QVERIFY(Units[dry.attacker].HP == 100 && Units[dry.target].AMMO == 0 && Units[dry.attacker].AMMO == 0);
}

void CombatTest::theBarStepsAndStopsAtTheTurnsEnd()
{
    Duel duel(HeavyTank, Infantry);
    frmGame& game = *duel.kit.game;
    // Frames until the bar leaves its step, starting from `counted` frames already on it.
    const auto framesOn = [&](int value, int counted) {
        DamageBarValue = value;
        game.DamageBarFrameCount = counted;
        int n = 0;
        for (; DamageBarValue == value; ++n)
            game.DrawDamageBar();
        return n;
    };
    game.DamageBarMax = 10;
    QCOMPARE(QList<int>({framesOn(1, 0), framesOn(2, 0), framesOn(3, 0), framesOn(4, 0)}), QList<int>({12, 7, 3, 1}));
    // A bar stopped 5 frames into a step leaves step 1 of the next after 7 frames.
    QCOMPARE(framesOn(1, 5), 7);
    // Past the maximum it wraps back to 1.
    game.DamageBarMax = 3;
    framesOn(3, 5);
    QCOMPARE(DamageBarValue, 1);
    // An attack whose turn has ended comes to nothing.
    game.subAttack(frmGame::TileAt(Units[duel.attacker].X, Units[duel.attacker].Y), 0);
    duel.kit.frames(14);
    QVERIFY(game.DamageBarRunning);
    game.EndTurn();
    QVERIFY(!game.DamageBarRunning && TargetUnit == None);
    game.FinalDamage();
    QCOMPARE(int(Units[duel.target].HP), 100);
}

void CombatTest::wholeAttackThroughTheKeys()
{
    BattleKit kit;
    kit.map.tile(1, 1, 36);  // a ramp: the attacker fights in front of scene "1"
    const int corpse = kit.unit(Infantry, 2, 2, 1);  // a unit that died there earlier
    const int tank = kit.unit(HeavyTank, 1, 1, 1);
    const int rover = kit.unit(Rover, 2, 2, 1);
    QVERIFY(kit.start());
    Units[corpse].V = false;
    Units[corpse].HP = 0;
    frmGame& game = *kit.game;
    kit.select(tank);
    kit.command(QStringLiteral("Attack"));
    kit.key(BattleKit::Enter);  // no target picked yet: nothing happens
    QVERIFY(game.ChoosingTarget && !game.SceneSprites[1].Visible);
    kit.key(BattleKit::Right);
    QVERIFY(TargetUnit == rover && game.TargetShown);
    kit.key(BattleKit::Enter);
    // The pictures come in from both edges, and the bar runs once the left one is in.
    QVERIFY(game.SceneSprites[1].X == -481 && game.SceneSprites[2].X == 800 && game.SceneSprites[1].Y == 15);
    kit.frames(13);
    QVERIFY(game.SceneSprites[1].Visible && !game.DamageBarRunning && game.DamageBarMax == 10);
    kit.frames(1);
    QVERIFY(game.DamageBarRunning && game.SceneSprites[1].X == 9);
    kit.frames(3);
    kit.random.push(0.0);
    kit.key(BattleKit::Space);
    // Bar step 1: 10 damage, to the living unit only.
    QVERIFY(!game.DamageBarRunning && !Units[tank].E && Units[rover].HP == 90 && Units[corpse].HP == 0);
    kit.frames(24);
    const bool stillIn = game.SceneSprites[1].Visible;
    kit.frames(1);  // sliding out takes 25 frames
    QVERIFY(stillIn && !game.SceneSprites[1].Visible);
}

void CombatTest::targetChoicePicksTheNearestHurtableEnemy()
{
    BattleKit kit(7, 5);
    const int turret = kit.unit(FixedTurret, 1, 3, 2);
    const int near = kit.unit(Infantry, 2, 5, 2);       // 2 tiles right
    const int sameDistance = kit.unit(Rover, 2, 4, 3);  // 2 tiles too, lower right
    const int fighter = kit.unit(Fighter, 2, 4, 2);     // hurtable by the turret (2)
    QVERIFY(kit.start());
    kit.select(turret);
    kit.command(QStringLiteral("Attack"));
    kit.key(BattleKit::Right);
    QCOMPARE(TargetUnit, fighter);  // nearest first
    kit.key(BattleKit::Right);
    QVERIFY(TargetUnit == near && kit.game->MoveFacing == 3);  // then the next one beyond
    // A target on the diagonal turns the unit up or down, not sideways.
    kit.key(BattleKit::Escape);
    kit.command(QStringLiteral("Attack"));
    kit.key(BattleKit::Down);
    QVERIFY(TargetUnit == sameDistance && kit.game->MoveFacing == 0);
}

void CombatTest::buildingsShelterUnits()
{
    BattleKit kit(6, 4, 10);  // all raised plates: class 3
    const int onCity = kit.unit(Infantry, 1, 2, 1);
    const int onTile1 = kit.unit(Infantry, 1, 0, 0);
    kit.building(BuildingType::City[1], 1, 2, 1);
    // A freed building slot keeps a position; the map file stores it at the corner.
    kit.building(None, 0, 0, 0);
    QVERIFY(kit.start());
    QVERIFY(frmGame::GetUnitDefense(onCity) == 2 && frmGame::GetUnitDefense(onTile1) == 3);
    Units[onTile1].X = -500;  // off the map: plain ground
    QCOMPARE(frmGame::GetUnitDefense(onTile1), 1);
}

void CombatTest::damageDealt_data()
{
    QTest::addColumn<Dealt>("row");
    QTest::newRow("the product rounds half to even") << Dealt{0.5, 45, 1, 22};
    QTest::newRow("then the quotient: 7 / 2") << Dealt{1, 7, 2, 4};
    QTest::newRow("5 / 2") << Dealt{1, 5, 2, 2};
    QTest::newRow("50 / 3") << Dealt{1, 50, 3, 17};
    QTest::newRow("never below 0") << Dealt{1, -20, 1, 0};
    QTest::newRow("no defence yet") << Dealt{1, 30, 0, 30};
}

void CombatTest::damageDealt()
{
    QFETCH(Dealt, row);
    Duel duel(HeavyTank, Infantry);
    Units[duel.attacker].HP = static_cast<std::int16_t>(row.hp);
    Units[duel.target].Defense = static_cast<std::int16_t>(row.defence);
    QCOMPARE(frmGame::DamageDealt(row.base, duel.attacker, duel.target), row.dealt);
    QCOMPARE(frmGame::DamageDealt(row.base, duel.attacker, 999), 0);
}

void CombatTest::captureSteps()
{
    Captured battle(true);
    QStringList& lines = battle.kit.out.lines;
    const QString unit = QStringLiteral("CAPTUREUNIT%1").arg(battle.infantry);
    const QString building = QStringLiteral("CAPTUREBUILDING%1").arg(battle.city);
    battle.captureStep(battle.city);
    QCOMPARE(Buildings[battle.city].CAP, 100);
    QCOMPARE(lines.mid(0, 3), QStringList({unit, building, QStringLiteral("CAPTUREPOINTS100")}));
    QVERIFY(lines.at(3).startsWith(QStringLiteral("MOVEUNIT")));
    lines.clear();
    battle.captureStep(battle.city);
    QCOMPARE(lines.mid(0, 3), QStringList({unit, building, QStringLiteral("CAPTURECHANGE1")}));
    const BuildingRecord& taken = Buildings[battle.city];
    QVERIFY(taken.PIC == BuildingType::City[1] && taken.P == 1 && taken.CAP == 200);
    QCOMPARE(Units[battle.infantry].CAP, None);
    QCOMPARE(GameMessages[4].Text, QStringLiteral("Player 1's Infantry captured the building."));
    // 60 hit points take four steps, the last below 0; here on a neutral city that HQ
    // names, for a neutral building is nobody's headquarters.
    HQ[2] = battle.city;
    Buildings[battle.city].P = 0;
    Units[battle.infantry].HP = 60;
    QList<int> points;
    for (int i = 0; i < 4; ++i) {
        battle.captureStep(battle.city);
        points << Buildings[battle.city].CAP;
    }
    QVERIFY(points == QList<int>({140, 80, 20, 200}) && Buildings[battle.city].P == 1 && !PlayerLost[2]);
}

void CombatTest::headquartersFallEndsATwoPlayerBattle()
{
    Captured battle(true);
    std::tie(Units[battle.infantry].X, Units[battle.infantry].Y) = BattleKit::spot(5, 2);
    battle.captureStep(battle.hq2);
    battle.captureStep(battle.hq2);
    QVERIFY(PlayerLost[2]);
    for (const UnitRecord& unit : Units)
        QVERIFY(unit.P != 2 || !unit.V);
    // Every building of the loser is the capturer's now, kind by kind.
    for (const BuildingRecord& building : Buildings)
        QVERIFY(!building.Exists || building.P == 1);
    QVERIFY(Buildings[battle.hq2].PIC == BuildingType::City[1] && Buildings[4].PIC == BuildingType::Factory[1]);
    QCOMPARE(Buildings[5].PIC, BuildingType::Airport[1]);
    QCOMPARE(battle.kit.out.banners, QStringList{QStringLiteral("Victory!")});
    QVERIFY(!battle.kit.game->Running && battle.kit.out.count("hide") == 1);
    // The others hear of the headquarters, of the loss and of the win, in that order.
    const QStringList& lines = battle.kit.out.lines;
    const auto at = [&](const char* line) { return lines.indexOf(QLatin1String(line)); };
    QVERIFY(at("CAPTUREHQ2") >= 0 && at("CAPTUREHQ2") < at("PLAYERLOST2") && at("PLAYERLOST2") + 1 == at("IWIN1"));
}

void CombatTest::creationTakesTheLowestFreeSlot()
{
    BattleKit kit;
    kit.unit(Infantry, 1, 0, 0);
    const int freed = kit.unit(Infantry, 1, 1, 0);
    kit.unit(Infantry, 1, 2, 0);
    BattleKit::network();
    QVERIFY(kit.start());
    Units[freed].V = false;
    Units[freed].HIDDEN = true;  // it died inside a carrier
    CurrentPlayer = 2;
    QVERIFY(kit.game->CreateUnit(Infantry, 2, 150, 73));
    const UnitRecord& unit = Units[freed];
    QVERIFY(unit.V && !unit.HIDDEN && !unit.E && unit.FUEL == 40 && unit.Moves == 3);
    QCOMPARE(UnitsProduced[2], 1);
    QCOMPARE(kit.out.lines.last(), QStringLiteral("CREATEUNIT%1@CREATETYPE12@CREATEPLAYER2@CREATEX150@CREATEY73").arg(freed));
    // A full table: no unit, no count, no line.
    for (UnitRecord& any : Units)
        any.V = true;
    kit.out.lines.clear();
    QVERIFY(!kit.game->CreateUnit(Infantry, 2, 0, 0));
    QVERIFY(UnitsProduced[2] == 1 && kit.out.lines.isEmpty());
}

void CombatTest::lastUnitLostInACounterAttack()
{
    BattleKit kit;
    const int infantry = kit.unit(Infantry, 1, 1, 1);
    const int tank = kit.unit(HeavyTank, 2, 2, 1);
    kit.unit(HeavyTank, 3, 5, 2);
    BattleKit::network();
    QVERIFY(kit.start(3));
    Units[infantry].HP = 5;
    kit.select(infantry);
    TargetUnit = tank;
    DamageBarValue = 1;
    kit.game->FinalDamage();
    QVERIFY(!Units[infantry].V);
    QCOMPARE(kit.out.banners, QStringList{QStringLiteral("Defeat!")});
    // The attack line goes before the loss line.
    QVERIFY(kit.out.lines.at(1).startsWith(QStringLiteral("ATTACKUNIT")) && kit.out.lines.at(2) == QStringLiteral("PLAYERLOST1"));
    // The turn moves on here as on the others, and no end of turn follows the defeat.
    QCOMPARE(kit.out.lines.size(), 3);
    QCOMPARE(int(CurrentPlayer), 2);
}

void CombatTest::aHotSeatGoesOnWhileAHumanRemains()
{
    BattleKit kit;
    const int factory = kit.building(BuildingType::Factory[2], 2, 0, 0);
    const int first = kit.unit(HeavyTank, 1, 4, 1);
    const int second = kit.unit(Infantry, 2, 1, 1);
    kit.unit(HeavyTank, 3, 5, 1);
    Players[2].Name = QStringLiteral("Bea");
    Players[3].IsComputer = true;
    QVERIFY(kit.start(3));
    Units[second].HIDDEN = true;  // carried, but still in the battle
    kit.game->CheckLoss(2);
    QVERIFY(!PlayerLost[2]);
    // Player 2 is out: two others remain, one of them human.
    Units[second].V = false;
    kit.game->CheckLoss(2);
    QVERIFY(PlayerLost[2] && kit.game->Running && kit.out.banners.isEmpty());
    QVERIFY(Buildings[factory].PIC == BuildingType::NeutralFactory && GameMessages[1].Text == QStringLiteral("Bea has been defeated!"));
    kit.game->EndTurn();
    QCOMPARE(int(CurrentPlayer), 3);  // the lost player is skipped
    // Then the last human falls: only the computer is left.
    Units[first].V = false;
    kit.game->CheckLoss(1);
    QCOMPARE(kit.out.banners, QStringList{QStringLiteral("Defeat!")});
}

QTEST_MAIN(CombatTest)
#include "tst_combat.moc"
