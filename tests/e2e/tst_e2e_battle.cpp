// Battles played through the real keys of real game processes: a hot-seat
// game on one machine, and network games between machines that meet in a game
// room on our lobby server.

#include "BattleKit.h"

using namespace e2e;

class BattleEndToEnd : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hotSeatSkirmish();
    void networkSkirmish();
    void hostBootsMember();
    void playerQuitsWithQ();
    void clientKilledMidBattle();
    void middlePlayerLoses();
    void playerBeatenOnOwnTurn();
    void closeBoxQuitsOnTurn();
    void lostServerEndsBattleAndRoom();
};

namespace {

// Player 1 moves on player 2's headquarters from the west; every action of the
// skirmish is a tile or two away.
//      0    1    2    3    4    5    6    7
// 0                  city
// 1        trn  inf  inf       inf  inf'
// 2  HQ                             inf  HQ'
// 3        tur                 inf  inf'
// 4  fac                                 hov'
struct Skirmish {
    MapSketch map{8, 5, 2};
    int hq1 = map.building(BuildingType::Headquarters[1], 1, {0, 2});
    int hq2 = map.building(BuildingType::Headquarters[2], 2, {7, 2});
    Tile factoryTile{0, 4};
    int factory = map.building(BuildingType::Factory[1], 1, factoryTile);
    int city = map.building(BuildingType::NeutralCity, 0, {3, 0});
    int captor = map.unit(UnitType::Infantry, 1, {3, 1});
    int raiderNorth = map.unit(UnitType::Infantry, 1, {5, 1});
    int raiderSouth = map.unit(UnitType::Infantry, 1, {5, 3});
    int transport = map.unit(UnitType::Transport, 1, {1, 1});
    int passenger = map.unit(UnitType::Infantry, 1, {2, 1});
    int turret = map.unit(UnitType::MobileTurret, 1, {1, 3});
    int stormer = map.unit(UnitType::Infantry, 1, {6, 2});
    int guardNorth = map.unit(UnitType::Infantry, 2, {6, 1});
    int guardSouth = map.unit(UnitType::Infantry, 2, {6, 3});
    int hover = map.unit(UnitType::HoverTankGround, 2, {7, 4});
};

// Three players in a row; player 1's infantry stands next to player 2's headquarters.
struct ThreeWay {
    MapSketch map{5, 2, 3};
    int hq1 = map.building(BuildingType::Headquarters[1], 1, {0, 0});
    int hq2 = map.building(BuildingType::Headquarters[2], 2, {2, 0});
    int hq3 = map.building(BuildingType::Headquarters[3], 3, {4, 0});
    int stormer = map.unit(UnitType::Infantry, 1, {1, 0});
    int second = map.unit(UnitType::Infantry, 2, {2, 1});
    int third = map.unit(UnitType::Infantry, 3, {4, 1});
};

// Player 2's recon stands between player 1's infantry and player 3's anti-air,
// which its strike cannot shake, on a city. Player 1's captor is a step from
// player 3's headquarters. (' player 2, " player 3)
//      0     1      2      3    4
// 0   HQ    cap    HQ3          HQ2
// 1   inf   rec'   aa"
struct Crossfire {
    MapSketch map{5, 2, 3};
    int hq1 = map.building(BuildingType::Headquarters[1], 1, {0, 0});
    int hq2 = map.building(BuildingType::Headquarters[2], 2, {4, 0});
    int hq3 = map.building(BuildingType::Headquarters[3], 3, {2, 0});
    int city = map.building(BuildingType::NeutralCity, 0, {2, 1});
    int captor = map.unit(UnitType::Infantry, 1, {1, 0});
    int striker = map.unit(UnitType::Infantry, 1, {0, 1});
    int recon = map.unit(UnitType::Recon, 2, {1, 1});
    int antiAir = map.unit(UnitType::AntiAir, 3, {2, 1});
};

// Five turns: every kind of order, and player 1 takes player 2's headquarters.
void playSkirmish(Match& match, const Skirmish& s)
{
    QVERIFY(match.order(1, s.captor, QStringLiteral("U"), QStringLiteral("Capture")));
    QVERIFY(match.attack(1, s.raiderNorth, QString(), QStringLiteral("Right")));
    QVERIFY(match.attack(1, s.raiderSouth, QString(), QStringLiteral("Right")));
    QVERIFY(match.order(1, s.transport, QString(), QStringLiteral("Load Right")));
    QVERIFY(match.order(1, s.turret, QString(), QStringLiteral("Pack")));
    QVERIFY(match.order(1, s.stormer, QStringLiteral("R"), QStringLiteral("Capture")));
    QVERIFY(match.buy(1, s.factoryTile, QStringLiteral("Infantry")));
    QVERIFY(match.endTurn(1, 2));

    // Both guards were hurt by the raids: they join into one.
    QVERIFY(match.order(2, s.guardSouth, QStringLiteral("UU"), QStringLiteral("Join")));
    QVERIFY(match.order(2, s.hover, QString(), QStringLiteral("Hover")));
    QVERIFY(match.endTurn(2, 1));

    QVERIFY(match.order(1, s.transport, QStringLiteral("D"), QStringLiteral("Unload Right")));
    QVERIFY(match.order(1, s.captor, QString(), QStringLiteral("Capture")));
    QVERIFY(match.order(1, s.turret, QString(), QStringLiteral("Unpack")));
    // The recruit makes room at the factory; the next one takes the slot the join freed.
    QVERIFY(match.order(1, s.hover + 1, QStringLiteral("R"), QStringLiteral("Deselect")));
    QVERIFY(match.buy(1, s.factoryTile, QStringLiteral("Infantry")));
    QVERIFY(match.endTurn(1, 2));

    QVERIFY(match.order(2, s.hover, QStringLiteral("L"), QStringLiteral("Land")));
    QVERIFY(match.endTurn(2, 1));

    // The battle ends with this capture, so no free cursor follows it.
    QVERIFY(match.move(1, s.stormer, QString()));
    QVERIFY(match.choose(1, QStringLiteral("Capture")));
}

}  // namespace

void BattleEndToEnd::hotSeatSkirmish()
{
    Skirmish skirmish;
    Game table(QStringLiteral("table"));
    QVERIFY(skirmish.map.writeTo(table));
    QVERIFY(table.start());
    QVERIFY(table.run(QStringLiteral("click cmdLocalGame")));
    QVERIFY(table.run(QStringLiteral("file ") + table.folder() + u'/' + QLatin1String(MapName)));
    QVERIFY(table.run(QStringLiteral("click cmdChooseMap")));
    QVERIFY(table.run(QStringLiteral("click cmdStart")));
    QVERIFY(table.waitFor(QStringLiteral("exists frmGame"), QStringLiteral("1")));

    Match match({&table, &table});
    playSkirmish(match, skirmish);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(table.waitFor(QStringLiteral("get Results"), QStringLiteral("Victory!")));
}

void BattleEndToEnd::networkSkirmish()
{
    Skirmish skirmish;
    Online online{"ann", "bob"};
    QVERIFY(online.start(skirmish.map));
    Match match(online.players());
    playSkirmish(match, skirmish);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(online[1].waitFor(QStringLiteral("get Results"), QStringLiteral("Victory!")));
    QVERIFY(online[2].waitFor(QStringLiteral("get Results"), QStringLiteral("Defeat!")));
    QVERIFY(match.sameTables(true));
}

void BattleEndToEnd::hostBootsMember()
{
    Online online{"ann", "bob"};
    QVERIFY(online.meet());
    QVERIFY(online[1].run(QStringLiteral("select frmHost.lstOps bob")));
    QVERIFY(online[1].run(QStringLiteral("click frmHost.cmdBoot")));
    QVERIFY(online[2].waitForContains(QStringLiteral("shown"), QStringLiteral("You have been booted from the game!")));
    QVERIFY(online[2].waitFor(QStringLiteral("exists frmJoin"), QStringLiteral("0")));
    QVERIFY(online[1].waitFor(QStringLiteral("items frmHost.lstOps"), QStringLiteral("ann")));
}

void BattleEndToEnd::playerQuitsWithQ()
{
    Online online{"ann", "bob"};
    QVERIFY(online.start(Skirmish().map));
    QVERIFY(Match(online.players()).ready(1));
    QVERIFY(online[2].run(QStringLiteral("key frmGame Q")));
    QVERIFY(online[2].waitFor(QStringLiteral("exists frmGame"), QStringLiteral("0")));
    QVERIFY(online[1].waitForContains(QStringLiteral("get Messages"), QStringLiteral("bob has quit the game.")));
    QVERIFY(online[1].waitFor(QStringLiteral("get Results"), QStringLiteral("Victory!")));
}

void BattleEndToEnd::clientKilledMidBattle()
{
    ThreeWay three;
    Online online{"ann", "bob", "cat"};
    QVERIFY(online.start(three.map));
    Match match(online.players());
    QVERIFY(match.endTurn(1, 2));
    online[2].kill();
    match.leaves(2);
    // The server tells the others, and the turn of the player who is gone passes on.
    for (int player : {1, 3}) {
        QVERIFY(online[player].waitForContains(QStringLiteral("get Messages"), QStringLiteral("bob has lost connection.")));
        QVERIFY(online[player].waitFor(QStringLiteral("get CurrentPlayer"), QStringLiteral("3")));
    }
    QVERIFY(match.endTurn(3, 1));
}

void BattleEndToEnd::middlePlayerLoses()
{
    ThreeWay three;
    Online online{"ann", "bob", "cat"};
    QVERIFY(online.start(three.map));
    Match match(online.players());
    QVERIFY(match.order(1, three.stormer, QStringLiteral("R"), QStringLiteral("Capture")));
    QVERIFY(match.endTurn(1, 2));
    QVERIFY(match.endTurn(2, 3));
    QVERIFY(match.endTurn(3, 1));
    QVERIFY(match.order(1, three.stormer, QString(), QStringLiteral("Capture")));
    QVERIFY(online[2].waitFor(QStringLiteral("get Results"), QStringLiteral("Defeat!")));
    match.leaves(2);
    // The turns pass over the beaten player.
    QVERIFY(match.endTurn(1, 3));
    QVERIFY(match.endTurn(3, 1));
}

void BattleEndToEnd::playerBeatenOnOwnTurn()
{
    Crossfire cross;
    Online online{"ann", "bob", "cat"};
    QVERIFY(online.start(cross.map));
    Match match(online.players());
    QVERIFY(match.order(1, cross.captor, QStringLiteral("R"), QStringLiteral("Capture")));
    // Worn down by a strike of at most 39, the recon cannot outlast the anti-air's answer of 95 or more.
    QVERIFY(match.attack(1, cross.striker, QString(), QStringLiteral("Right")));
    QVERIFY(match.endTurn(1, 2));
    QVERIFY(match.strike(2, cross.recon, QString(), QStringLiteral("Right")));
    QVERIFY(online[2].waitFor(QStringLiteral("get Results"), QStringLiteral("Defeat!")));
    // Every machine, the beaten one too, gives the turn to player 3.
    for (Game* game : online.players())
        QVERIFY(game->waitFor(QStringLiteral("get CurrentPlayer"), QStringLiteral("3")));
    match.leaves(2);
    QVERIFY(match.endTurn(3, 1));
    QVERIFY(match.move(1, cross.captor, QString()));
    QVERIFY(match.choose(1, QStringLiteral("Capture")));
    QVERIFY(online[1].waitFor(QStringLiteral("get Results"), QStringLiteral("Victory!")));
    QVERIFY(online[3].waitFor(QStringLiteral("get Results"), QStringLiteral("Defeat!")));
    const auto onlooker = wireLogin(online.port(), "dan");
    QVERIFY(onlooker);
    QVERIFY(recordBecomes(*onlooker, "ann", "1 wins"));
    QVERIFY(recordBecomes(*onlooker, "cat", "0 wins"));
    QVERIFY(recordBecomes(*onlooker, "bob", "0 wins"));
}

void BattleEndToEnd::closeBoxQuitsOnTurn()
{
    ThreeWay three;
    Online online{"ann", "bob", "cat"};
    QVERIFY(online.start(three.map));
    Match match(online.players());
    QVERIFY(match.ready(1));
    // Player 1, on turn, closes the battle window: the others are told, and the turn passes.
    QVERIFY(online[1].run(QStringLiteral("close frmGame")));
    QVERIFY(online[1].waitFor(QStringLiteral("exists frmGame"), QStringLiteral("0")));
    match.leaves(1);
    for (int player : {2, 3}) {
        QVERIFY(online[player].waitForContains(QStringLiteral("get Messages"), QStringLiteral("ann has quit the game.")));
        QVERIFY(online[player].waitFor(QStringLiteral("get CurrentPlayer"), QStringLiteral("2")));
    }
    QVERIFY(match.endTurn(2, 3));
}

void BattleEndToEnd::lostServerEndsBattleAndRoom()
{
    ThreeWay three;
    Online online{"ann", "bob", "cat"};
    QVERIFY(online.start(three.map));
    for (int player : {1, 2, 3})
        QVERIFY(online[player].waitFor(QStringLiteral("get Mode"), player == 1 ? "free" : "wait"));
    // A fourth player waits in a room of its own.
    Game dan(QStringLiteral("dan"));
    QVERIFY(dan.enterLobby(online.port()) && dan.openRoom(QStringLiteral("den")));

    online.stopServer();
    const QString lost = QStringLiteral("Connection to the server was lost.");
    std::vector<Game*> everyone = online.players();
    everyone.push_back(&dan);
    for (Game* game : everyone) {
        QVERIFY(game->waitForContains(QStringLiteral("shown"), lost));
        // Answered: the battle or the room is gone, undecided, and the lobby shows why.
        QVERIFY(game->waitFor(QStringLiteral("exists frmGame"), QStringLiteral("0")));
        QVERIFY(game->waitFor(QStringLiteral("exists frmHost"), QStringLiteral("0")));
        QVERIFY(game->waitFor(QStringLiteral("exists frmChat"), QStringLiteral("1")));
        QVERIFY(game->waitForContains(QStringLiteral("text txtChat"), lost));
        QCOMPARE(game->ask(QStringLiteral("get Results")), std::optional<QString>(QString()));
    }
}

QTEST_GUILESS_MAIN(BattleEndToEnd)
#include "tst_e2e_battle.moc"
