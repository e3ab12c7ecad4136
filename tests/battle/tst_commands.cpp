// The unit command menu and its commands.

#include "BattleKit.h"
#include "data/GameTypes.h"

using namespace modStrat;
using namespace UnitType;

class CommandsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void infantryOnAnEnemyBuildingWithAnEnemyInRange_data();
    void infantryOnAnEnemyBuildingWithAnEnemyInRange();
    void unitOnAnotherUnitCanOnlyJoin();
    void attackOnlyWithAmmunitionAgainstWhatTheUnitCanHurtInReach();
    void modeChangesOnTheSpotAndTheirLines();
    void loadAndUnloadAroundACarrier();
    void noBoardingDeadOrEnemyCarriers();
};

void CommandsTest::infantryOnAnEnemyBuildingWithAnEnemyInRange_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("infantry") << Infantry;
    QTest::newRow("heavy infantry") << HeavyInfantry;
}

void CommandsTest::infantryOnAnEnemyBuildingWithAnEnemyInRange()
{
    QFETCH(int, type);
    BattleKit kit;
    kit.building(BuildingType::City[2], 2, 1, 1);
    const int infantry = kit.unit(type, 1, 1, 1);
    kit.unit(Rover, 2, 2, 1);
    kit.unit(Rover, 2, 1, 2);
    QVERIFY(kit.start());
    kit.select(infantry);
    kit.game->LoadMenuOptions(infantry);
    QCOMPARE(kit.menu(), QStringList({"Attack", "Capture", "Deselect", "Cancel"}));
}

void CommandsTest::unitOnAnotherUnitCanOnlyJoin()
{
    BattleKit kit;
    const int infantry = kit.unit(Infantry, 1, 1, 1);
    const int other = kit.unit(Infantry, 1, 2, 1);
    kit.unit(Rover, 2, 3, 1);
    QVERIFY(kit.start());
    kit.select(infantry);
    kit.step(BattleKit::Right);  // onto the other infantry, next to the enemy
    QCOMPARE(kit.menu(), QStringList({"Cancel"}));
    Units[infantry].HP = 60;
    Units[other].HP = 70;
    kit.game->LoadMenuOptions(infantry);
    QCOMPARE(kit.menu(), QStringList({"Join", "Cancel"}));
    Units[infantry].AMMO = 0;  // without ammunition not even that
    kit.game->LoadMenuOptions(infantry);
    QCOMPARE(kit.menu(), QStringList({"Cancel"}));
    // Join merges the two, the record of the other staying out of play.
    Units[infantry].AMMO = 1;
    kit.command(QStringLiteral("Join"));
    QVERIFY(Units[infantry].HP == 100 && !Units[infantry].E && SelectedUnit == None && !Units[other].V && Units[other].P == 1);
    QVERIFY(kit.out.lines.isEmpty());  // a hot-seat game sends nothing
}

void CommandsTest::attackOnlyWithAmmunitionAgainstWhatTheUnitCanHurtInReach()
{
    BattleKit kit(8, 3);
    const int turret = kit.unit(FixedTurret, 1, 0, 1);
    const int recon = kit.unit(Recon, 2, 4, 1);  // 4 tiles: beyond the air reach of 3
    const int fighter = kit.unit(Fighter, 2, 1, 0);
    const int infantry = kit.unit(Infantry, 1, 7, 2);
    QVERIFY(kit.start());
    kit.select(turret);
    const auto attack = [&] {
        kit.game->LoadMenuOptions(SelectedUnit);
        return kit.menu().indexOf(QStringLiteral("Attack"));
    };
    QCOMPARE(attack(), 0);  // the fighter next to it, and always the first entry
    Units[turret].AMMO = 0;  // nothing left to shoot with
    QCOMPARE(attack(), -1);
    Units[turret].AMMO = 1;
    Units[fighter].V = false;
    QCOMPARE(attack(), -1);
    Units[recon].X = static_cast<std::int16_t>(Units[recon].X - 25);
    QCOMPARE(attack(), 0);
    // Infantry cannot hurt a fighter at all.
    kit.key(BattleKit::Escape);
    Units[fighter].V = true;
    std::tie(Units[fighter].X, Units[fighter].Y) = BattleKit::spot(7, 1);
    kit.select(infantry);
    QCOMPARE(attack(), -1);
}

void CommandsTest::modeChangesOnTheSpotAndTheirLines()
{
    BattleKit kit;
    const int turret = kit.unit(MobileTurret, 1, 1, 1);
    const int hover = kit.unit(HoverTankGround, 1, 3, 1);
    BattleKit::network();
    QVERIFY(kit.start());
    // A turret packs only where it was selected.
    kit.select(turret);
    kit.step(BattleKit::Right);
    QVERIFY(!kit.menu().contains(QStringLiteral("Pack")));
    kit.step(BattleKit::Left);
    kit.command(QStringLiteral("Pack"));
    QCOMPARE(int(Units[turret].PIC), int(FixedTurret));
    // Each mode line goes before the move line.
    QCOMPARE(kit.out.lines.at(0), QStringLiteral("PACKUNIT%1").arg(turret));
    QVERIFY(kit.out.lines.at(1).startsWith(QStringLiteral("MOVEUNIT%1@").arg(turret)));
    kit.out.lines.clear();
    kit.select(hover);
    kit.command(QStringLiteral("Hover"));
    QVERIFY(Units[hover].PIC == HoverTankAir && kit.out.lines.at(0) == QStringLiteral("HOVER%1").arg(hover));
}

void CommandsTest::loadAndUnloadAroundACarrier()
{
    BattleKit kit(6, 4);
    const int transport = kit.unit(Transport, 1, 1, 2);
    const int infantry = kit.unit(Infantry, 1, 0, 2);
    BattleKit::network();
    QVERIFY(kit.start());
    kit.select(transport);
    kit.command(QStringLiteral("Load Left"));
    // The carrier moves onto its passenger.
    QVERIFY(Units[infantry].HIDDEN && Units[transport].TRANS == infantry && kit.at(transport, 0, 2));
    QCOMPARE(kit.out.lines.mid(0, 2),
             QStringList({QStringLiteral("LOADTOUNIT%1").arg(transport), QStringLiteral("LOADUNIT%1").arg(infantry)}));
    QVERIFY(kit.out.lines.at(2).startsWith(QStringLiteral("MOVEUNIT")));
    kit.game->EndTurn();
    kit.game->EndTurn();
    kit.out.lines.clear();
    kit.select(transport);
    kit.step(BattleKit::Down);
    QVERIFY(kit.at(infantry, 0, 3));  // the passenger follows each step
    // Nothing is set down beyond the map's edge.
    kit.game->LoadMenuOptions(transport);
    QCOMPARE(kit.menu(), QStringList({"Unload Right", "Unload Up", "Deselect", "Cancel"}));
    kit.command(QStringLiteral("Unload Up"));
    QVERIFY(!Units[infantry].HIDDEN && !Units[infantry].E && Units[transport].TRANS == None);
    QVERIFY(kit.at(infantry, 0, 2) && Tiles[frmGame::TileAt(Units[infantry].X, Units[infantry].Y)].Occupied);
    QCOMPARE(kit.out.lines.mid(0, 4),
             QStringList({QStringLiteral("UNLOADFROMUNIT%1").arg(transport), QStringLiteral("UNLOADUNIT%1").arg(infantry),
                          QStringLiteral("UNLOADX%1").arg(Units[infantry].X),
                          QStringLiteral("UNLOADY%1").arg(Units[infantry].Y)}));
}

void CommandsTest::noBoardingDeadOrEnemyCarriers()
{
    BattleKit kit(6, 4);
    const int infantry = kit.unit(Infantry, 1, 2, 2);
    const int deadAtv = kit.unit(ArmoredATV, 1, 1, 2);
    kit.unit(ArmoredATV, 2, 3, 2);
    const int transport = kit.unit(Transport, 1, 2, 1);
    QVERIFY(kit.start());
    Units[deadAtv].V = false;
    kit.select(infantry);
    kit.game->LoadMenuOptions(infantry);
    QCOMPARE(kit.menu().filter(QStringLiteral("Load Into")), QStringList{QStringLiteral("Load Into Up")});
    kit.command(QStringLiteral("Load Into Up"));
    QVERIFY(Units[transport].TRANS == infantry && Units[infantry].HIDDEN);
}

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
