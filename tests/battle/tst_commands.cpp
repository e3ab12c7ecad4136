// The unit command menu and its commands.

#include "BattleKit.h"
#include "data/GameTypes.h"

#include <QtTest>

using namespace modStrat;

class CommandsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void entriesFillAThreeByThreeGrid();
    void infantryOnAnEnemyBuildingWithAnEnemyInRange();
    void unitOnAnotherUnitGetsNoActionEntries();
    void attackOnlyAgainstWhatTheUnitCanHurtInReach();
    void packOnlyWhereTheTurretWasSelected();
    void joinMergesAndCaps();
    void modeChangesSendTheirLinesBeforeTheMove();
    void loadAndUnloadAroundACarrier();
    void noBoardingDeadOrEnemyCarriers();
    void noUnloadBeyondTheMapEdge();
    void cancelPutsTheUnitBack();
};

void CommandsTest::entriesFillAThreeByThreeGrid()
{
    BattleKit kit;
    MapBuilder map(4, 4, 0);
    QVERIFY(kit.start(map));
    frmGame& game = *kit.game;
    const int columns[] = {0, 0, 0, 1, 1, 1, 2, 2, 2, 2, 2};
    for (int index = 1; index <= 11; ++index) {
        game.SetMenuStats(index, QStringLiteral("x"));
        QCOMPARE(game.MenuItems[index].X, 54 + 250 + columns[index - 1] * 100);
        QCOMPARE(game.MenuItems[index].Y, game.PanelTop + 10 + ((index - 1) % 3) * 24);
        QCOMPARE(game.MenuItems[index].FontName, QStringLiteral("Impact"));
    }
    game.SetMenuStats(21, QStringLiteral("nowhere"));
}

void CommandsTest::infantryOnAnEnemyBuildingWithAnEnemyInRange()
{
    BattleKit kit;
    MapBuilder map(6, 4, 0);
    map.building(BuildingType::City[2], 2, 1, 1);
    const int infantry = map.unit(UnitType::Infantry, 1, 1, 1);
    map.unit(UnitType::Rover, 2, 2, 1);
    map.unit(UnitType::Rover, 2, 1, 2);
    QVERIFY(kit.start(map));
    kit.select(infantry);
    kit.game->LoadMenuOptions(infantry);
    QCOMPARE(kit.menu(), QStringList({"Attack", "Capture", "Deselect", "Cancel"}));
}

void CommandsTest::unitOnAnotherUnitGetsNoActionEntries()
{
    BattleKit kit;
    MapBuilder map(6, 4, 0);
    const int infantry = map.unit(UnitType::Infantry, 1, 1, 1);
    map.unit(UnitType::Infantry, 1, 2, 1);
    map.unit(UnitType::Rover, 2, 3, 1);
    QVERIFY(kit.start(map));
    kit.select(infantry);
    kit.step(BattleKit::Right);  // onto the other infantry, next to the enemy
    QCOMPARE(kit.menu(), QStringList({"Cancel"}));
    Units[infantry].HP = 60;
    Units[2].HP = 70;
    kit.game->LoadMenuOptions(infantry);
    QCOMPARE(kit.menu(), QStringList({"Join", "Cancel"}));
    // Without ammunition not even that.
    Units[infantry].AMMO = 0;
    kit.game->LoadMenuOptions(infantry);
    QCOMPARE(kit.menu(), QStringList({"Cancel"}));
}

void CommandsTest::attackOnlyAgainstWhatTheUnitCanHurtInReach()
{
    BattleKit kit;
    MapBuilder map(8, 3, 0);
    const int turret = map.unit(UnitType::FixedTurret, 1, 0, 1);
    const int recon = map.unit(UnitType::Recon, 2, 4, 1);  // 4 tiles: beyond the air reach of 3
    const int fighter = map.unit(UnitType::Fighter, 2, 1, 0);
    const int infantry = map.unit(UnitType::Infantry, 1, 7, 2);
    QVERIFY(kit.start(map));
    kit.select(turret);
    kit.game->LoadMenuOptions(turret);
    // The fighter next to it is in reach and can be hurt (2); the recon is air and too far.
    QCOMPARE(kit.menu().first(), QStringLiteral("Attack"));
    Units[turret].AMMO = 0;  // nothing left to shoot with
    kit.game->LoadMenuOptions(turret);
    QVERIFY(!kit.menu().contains(QStringLiteral("Attack")));
    Units[turret].AMMO = 1;
    Units[fighter].V = false;
    kit.game->LoadMenuOptions(turret);
    QVERIFY(!kit.menu().contains(QStringLiteral("Attack")));
    Units[recon].X = static_cast<std::int16_t>(Units[recon].X - 25);
    kit.game->LoadMenuOptions(turret);
    QVERIFY(kit.menu().contains(QStringLiteral("Attack")));

    // Infantry cannot hurt a fighter at all.
    kit.key(BattleKit::Escape);
    Units[fighter].V = true;
    Units[fighter].X = static_cast<std::int16_t>(Units[infantry].X);
    Units[fighter].Y = static_cast<std::int16_t>(Units[infantry].Y - 25);
    kit.select(infantry);
    kit.game->LoadMenuOptions(infantry);
    QCOMPARE(kit.menu(), QStringList({"Deselect", "Cancel"}));
}

void CommandsTest::packOnlyWhereTheTurretWasSelected()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int turret = map.unit(UnitType::MobileTurret, 1, 1, 1);
    QVERIFY(kit.start(map));
    kit.select(turret);
    kit.game->LoadMenuOptions(turret);
    QVERIFY(kit.menu().contains(QStringLiteral("Pack")));
    kit.step(BattleKit::Right);
    QVERIFY(!kit.menu().contains(QStringLiteral("Pack")));
}

void CommandsTest::joinMergesAndCaps()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int a = map.unit(UnitType::Infantry, 1, 1, 1);
    const int b = map.unit(UnitType::Infantry, 1, 2, 1);
    QVERIFY(kit.start(map));
    Units[a].HP = 60;
    Units[b].HP = 70;
    kit.select(a);
    kit.step(BattleKit::Right);
    kit.command(QStringLiteral("Join"));
    QCOMPARE(int(Units[a].HP), 100);
    QVERIFY(!Units[b].V);
    QCOMPARE(int(Units[b].P), 1);  // the record stays, out of play
    QVERIFY(!Units[a].E);
    QCOMPARE(int(SelectedUnit), None);
    QVERIFY(kit.sink.lines.isEmpty());  // a hot-seat game sends nothing
}

void CommandsTest::modeChangesSendTheirLinesBeforeTheMove()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int turret = map.unit(UnitType::MobileTurret, 1, 1, 1);
    const int hover = map.unit(UnitType::HoverTankGround, 1, 3, 1);
    IsOfflineGame = false;
    QVERIFY(kit.start(map));
    kit.select(turret);
    kit.command(QStringLiteral("Pack"));
    QCOMPARE(int(Units[turret].PIC), int(UnitType::FixedTurret));
    QCOMPARE(kit.sink.lines.at(0), QStringLiteral("PACKUNIT%1").arg(turret));
    QVERIFY(kit.sink.lines.at(1).startsWith(QStringLiteral("MOVEUNIT%1@").arg(turret)));
    kit.sink.lines.clear();
    kit.select(hover);
    kit.command(QStringLiteral("Hover"));
    QCOMPARE(int(Units[hover].PIC), int(UnitType::HoverTankAir));
    QCOMPARE(kit.sink.lines.at(0), QStringLiteral("HOVER%1").arg(hover));
}

void CommandsTest::loadAndUnloadAroundACarrier()
{
    BattleKit kit;
    MapBuilder map(6, 4, 0);
    const int transport = map.unit(UnitType::Transport, 1, 2, 2);
    const int infantry = map.unit(UnitType::Infantry, 1, 1, 2);
    IsOfflineGame = false;
    QVERIFY(kit.start(map));
    const int carrierX = Units[transport].X;
    kit.select(transport);
    kit.command(QStringLiteral("Load Left"));
    QVERIFY(Units[infantry].HIDDEN);
    QCOMPARE(Units[transport].TRANS, infantry);
    QCOMPARE(int(Units[transport].X), carrierX - 25);  // the carrier moves onto its passenger
    QCOMPARE(kit.sink.lines.mid(0, 2),
             QStringList({QStringLiteral("LOADTOUNIT%1").arg(transport), QStringLiteral("LOADUNIT%1").arg(infantry)}));
    QVERIFY(kit.sink.lines.at(2).startsWith(QStringLiteral("MOVEUNIT")));

    kit.game->EndTurn();
    kit.game->EndTurn();
    kit.sink.lines.clear();
    kit.select(transport);
    kit.step(BattleKit::Down);
    QCOMPARE(int(Units[infantry].Y), int(Units[transport].Y));  // the passenger follows each step
    kit.command(QStringLiteral("Unload Up"));
    QVERIFY(!Units[infantry].HIDDEN);
    QVERIFY(!Units[infantry].E);
    QCOMPARE(int(Units[infantry].X), int(Units[transport].X));
    QCOMPARE(int(Units[infantry].Y), Units[transport].Y - 25);
    QCOMPARE(Units[transport].TRANS, None);
    QVERIFY(Tiles[frmGame::TileAt(Units[infantry].X, Units[infantry].Y)].Occupied);
    QCOMPARE(kit.sink.lines.mid(0, 4),
             QStringList({QStringLiteral("UNLOADFROMUNIT%1").arg(transport), QStringLiteral("UNLOADUNIT%1").arg(infantry),
                          QStringLiteral("UNLOADX%1").arg(Units[infantry].X),
                          QStringLiteral("UNLOADY%1").arg(Units[infantry].Y)}));
}

void CommandsTest::noBoardingDeadOrEnemyCarriers()
{
    BattleKit kit;
    MapBuilder map(6, 4, 0);
    const int infantry = map.unit(UnitType::Infantry, 1, 2, 2);
    const int deadAtv = map.unit(UnitType::ArmoredATV, 1, 1, 2);
    map.unit(UnitType::ArmoredATV, 2, 3, 2);
    const int transport = map.unit(UnitType::Transport, 1, 2, 1);
    QVERIFY(kit.start(map));
    Units[deadAtv].V = false;
    kit.select(infantry);
    kit.game->LoadMenuOptions(infantry);
    QStringList menu = kit.menu();
    QVERIFY(!menu.contains(QStringLiteral("Load Into Left")));
    QVERIFY(!menu.contains(QStringLiteral("Load Into Right")));
    QVERIFY(menu.contains(QStringLiteral("Load Into Up")));
    kit.command(QStringLiteral("Load Into Up"));
    QCOMPARE(Units[transport].TRANS, infantry);
    QVERIFY(Units[infantry].HIDDEN);
}

void CommandsTest::noUnloadBeyondTheMapEdge()
{
    BattleKit kit;
    MapBuilder map(4, 3, 0);
    const int atv = map.unit(UnitType::ArmoredATV, 1, 0, 0);
    const int infantry = map.unit(UnitType::Infantry, 2, 3, 2);
    QVERIFY(kit.start(map));
    Units[infantry].P = 1;
    Units[infantry].HIDDEN = true;
    Units[atv].TRANS = infantry;
    kit.select(atv);
    kit.game->LoadMenuOptions(atv);
    QCOMPARE(kit.menu(), QStringList({"Unload Right", "Unload Down", "Deselect", "Cancel"}));
}

void CommandsTest::cancelPutsTheUnitBack()
{
    BattleKit kit;
    MapBuilder map(6, 3, 0);
    const int tank = map.unit(UnitType::HeavyTank, 1, 1, 1);
    QVERIFY(kit.start(map));
    const int x = Units[tank].X;
    kit.select(tank);
    kit.step(BattleKit::Right);
    kit.command(QStringLiteral("Cancel"));
    QCOMPARE(int(Units[tank].X), x);
    QCOMPARE(int(kit.game->CursorX), x);
    QVERIFY(Units[tank].E);
    QCOMPARE(int(SelectedUnit), None);
    kit.select(tank);
    QCOMPARE(int(SelectedUnit), tank);
}

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
