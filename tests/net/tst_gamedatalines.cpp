// The receive engine of game-data lines: room messages, battle messages applied
// on a machine that is not on turn, the unit states on the machine whose turn
// begins, the turn passing between machines, and a sender's own lines replayed
// on another player's view of the same battle.

#include "battle/BattleKit.h"
#include "data/GameTypes.h"
#include "net/BattleMessages.h"
#include "net/GameDataLines.h"
#include "net/RoomMessages.h"

#include <QtTest>

using namespace modStrat;

namespace {

// Every line of `lines` (one per text line) as game 7 delivers it.
void receive(const QString& lines, bool host = false)
{
    for (const QString& line : lines.split(QLatin1Char('\n'))) {
        const QString data = QStringLiteral("7@@") + line;
        host ? modStrat::HandleHostGameData(data) : modStrat::HandleClientGameData(data);
    }
}

struct RecordingRoom final : RoomMessageHandler {
    QStringList calls;
    bool log(const QString& call)
    {
        calls << call;
        return true;
    }
    void Chat(const QString& text) override { log("Chat " + text); }
    bool Ready(const QString& name) override { return log("Ready " + name); }
    bool NotReady(const QString& name) override { return log("NotReady " + name); }
    bool JoinGame(const QString& name) override { return log("JoinGame " + name); }
    bool LeaveGame(std::int32_t player) override { return log(QStringLiteral("LeaveGame %1").arg(player)); }
    void Num(std::int32_t player, const QString& name) override { log(QStringLiteral("Num %1 ").arg(player) + name); }
    void Max(std::int32_t count) override { log(QStringLiteral("Max %1").arg(count)); }
    void MapName(const QString& name, bool found) override { log("MapName " + name + (found ? " found" : " missing")); }
    void TimeOn() override { log("TimeOn"); }
    void TimeOff() override { log("TimeOff"); }
    void TimeSec(std::int32_t seconds) override { log(QStringLiteral("TimeSec %1").arg(seconds)); }
    void StartGame() override { log("StartGame"); }
    void Boot() override { log("Boot"); }
};

// Three players; a network battle seen from player `me`'s machine.
struct NetBattle {
    BattleKit kit;
    explicit NetBattle(int me)
    {
        MapBuilder map(12, 6, 0);
        map.unit(UnitType::Infantry, 1, 1, 1);    // 1
        map.unit(UnitType::Infantry, 2, 2, 1);    // 2, on its own city
        map.unit(UnitType::ArmoredATV, 1, 4, 1);  // 3
        map.unit(UnitType::Infantry, 1, 5, 1);    // 4
        map.unit(UnitType::HeavyTank, 3, 8, 4);   // 5
        map.unit(UnitType::Infantry, 1, 10, 5);   // 6, on player 3's headquarters
        map.headquarters(1, map.building(BuildingType::Headquarters[1], 1, 0, 0));
        map.headquarters(2, map.building(BuildingType::Headquarters[2], 2, 11, 0));
        map.headquarters(3, map.building(BuildingType::Headquarters[3], 3, 10, 5));  // 3
        map.building(BuildingType::City[2], 2, 2, 1);                                   // 4
        map.building(BuildingType::Factory[3], 3, 9, 5);                                // 5
        map.building(BuildingType::Factory[1], 1, 0, 5);                                // 6
        ResetRemoteScratch();
        IsOfflineGame = false;
        MyPlayer = me;
        if (!kit.start(map, 3))
            qFatal("no battle");
        GameDataReceivers = {kit.game.get(), nullptr, nullptr};
        kit.out.lines.clear();
    }
    ~NetBattle() { GameDataReceivers = {}; }
};

// What every machine of a battle must hold alike, one line per live unit,
// building and player; whether a unit may act counts across a turn change.
QStringList sharedTables(bool withMayAct)
{
    QStringList lines;
    for (int i = 1; i <= MaxUnits; ++i) {
        const UnitRecord& u = Units[i];
        if (u.V)
            lines << QStringLiteral("unit %1: type %2 owner %3 at %4,%5 hp %6 fuel %7 ammo %8 carried %9 carries %10 "
                                    "captures %11 acts %12")
                         .arg(i).arg(u.PIC).arg(u.P).arg(u.X).arg(u.Y).arg(u.HP).arg(u.FUEL).arg(u.AMMO)
                         .arg(int(u.HIDDEN)).arg(u.TRANS).arg(u.CAP).arg(int(withMayAct && u.E));
    }
    for (int i = 1; i <= MaxBuildings; ++i)
        lines << QStringLiteral("building %1: type %2 owner %3 points %4")
                     .arg(i).arg(Buildings[i].PIC).arg(Buildings[i].P).arg(Buildings[i].CAP);
    for (int p = 1; p <= MaxPlayers; ++p)
        lines << QStringLiteral("player %1: money %2 bought %3 destroyed %4 lost %5 out %6")
                     .arg(p).arg(Money[p]).arg(UnitsProduced[p]).arg(UnitsDestroyed[p]).arg(UnitsLost[p])
                     .arg(int(PlayerLost[p]));
    return lines << QStringLiteral("turn: player %1 day %2").arg(int(CurrentPlayer)).arg(DayCount);
}

// The word after `key` on the state line of `subject` ("unit 3 carries"), the
// whole line for a subject alone ("banner"), "none" without such a line.
QString probe(const QStringList& state, const QString& check)
{
    const bool keyed = check.contains(QLatin1Char(' '));
    const QString subject = keyed ? check.section(' ', 0, -2) : check;
    for (const QString& line : state) {
        if (!line.startsWith(subject + QStringLiteral(": ")))
            continue;
        const QString rest = line.mid(subject.size() + 2);
        const QStringList words = rest.split(QLatin1Char(' '));
        const int at = words.indexOf(check.section(' ', -1));
        return !keyed ? rest : at >= 0 && at + 1 < words.size() ? words[at + 1] : QString();
    }
    return QStringLiteral("none");
}

QStringList state(const BattleKit& kit)
{
    QStringList shown;
    for (const TextItem& message : GameMessages) {
        if (message.Visible)
            shown << message.Text;
    }
    return sharedTables(false) << "banner: " + kit.out.banners.join(',') << "messages: " + shown.join('|')
                               << "sent: " + kit.out.lines.join('|');
}

}  // namespace

class GameDataLinesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup() { GameDataReceivers = {}; }
    void roomMessages_data();
    void roomMessages();
    void battleMessages_data();
    void battleMessages();
    void sameTablesOnBothMachines_data();
    void sameTablesOnBothMachines();

private:
    QTemporaryDir folder_;
    RecordingRoom room_;
};

void GameDataLinesTest::init()
{
    ResetAll();
    UserName = QStringLiteral("ann");
    TimeLimit = 60;
    platform::setProgramFolder(folder_.path());
    QFile map(folder_.filePath(QStringLiteral("Docks.spw")));
    QVERIFY(map.open(QIODevice::WriteOnly));
    room_ = RecordingRoom{};
    GameDataReceivers = {nullptr, &room_, &room_};
}

void GameDataLinesTest::roomMessages_data()
{
    QTest::addColumn<bool>("host");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("settings");  // MyPlayer, PlayerCount, TimeLimit, map file

    const QString untouched = QStringLiteral("0 0 60 ");
    QTest::newRow("start sequence, listed second and ready")
        << false << "MAPNAMEDOCKS.SPW\nNUM2*ann\nNUM3bob\nMAX3\nTIMEON\nTIMESEC90\nMAPNAMEdocks.spw\nSTARTGAME"
        << QStringList{"MapName DOCKS.SPW found", "Num 2 *ann", "Num 3 bob", "Max 3", "TimeOn", "TimeSec 90",
                       "MapName docks.spw found", "StartGame"}
        << "2 3 90 Docks.spw";
    QTest::newRow("four players, we the last; the top of every range")
        << false << "LEAVEGAME4\nNUM2bob\nNUM3cid\nNUM4ann\nMAX4\nTIMESEC32767\nMAPNAMEDocks.spw\nSTARTGAME"
        << QStringList{"LeaveGame 4", "Num 2 bob", "Num 3 cid", "Num 4 ann", "Max 4", "TimeSec 32767",
                       "MapName Docks.spw found", "StartGame"}
        << "4 4 32767 Docks.spw";
    QTest::newRow("no start when our number is beyond the count")
        << false << "NUM3ann@MAX2@MAPNAMEDocks.spw@STARTGAME"
        << QStringList{"Num 3 ann", "Max 2", "MapName Docks.spw found"} << "3 2 60 Docks.spw";
    QTest::newRow("no start without our number")
        << false << "MAPNAMEDocks.spw@NUM2bob@MAX2@TIMEOFF@STARTGAME"
        << QStringList{"MapName Docks.spw found", "Num 2 bob", "Max 2", "TimeOff"} << "0 2 9999 Docks.spw";
    QTest::newRow("no start on a map outside our folder")
        << false << "NUM2ann@MAX2@MAPNAME../Docks.spw@STARTGAME"
        << QStringList{"Num 2 ann", "Max 2", "MapName ../Docks.spw missing"} << "2 2 60 ";
    for (const char* bad : {"MAX0", "MAX5", "NUM5bob", "NUM", "TIMESEC0", "TIMESECsixty", "LEAVEGAME5"})
        QTest::newRow(bad) << false << QString(bad) + "@CHATafter" << QStringList{} << untouched;
    QTest::newRow("chat, boot, and what nobody handles")
        << false << "chatlow@RACEQorrans@TEAMRed@IWIN1@CHATann: hi@BOOT*bob"
        << QStringList{"Chat ann: hi", "Boot"} << untouched;
    QTest::newRow("host: members come and go; the joined room's messages are not for it")
        << true << "JOINGAMEbob@READYbob@NUM2ann@MAX2@TIMEOFF@MAPNAMEDocks.spw@BOOT@STARTGAME@NOTREADYbob@LEAVEGAME2"
        << QStringList{"JoinGame bob", "Ready bob", "NotReady bob", "LeaveGame 2"} << untouched;
}

void GameDataLinesTest::roomMessages()
{
    QFETCH(bool, host);
    QFETCH(QString, lines);
    receive(lines, host);
    QTEST(room_.calls, "calls");
    QTEST(QStringLiteral("%1 %2 %3 ").arg(MyPlayer).arg(PlayerCount).arg(TimeLimit) + QFileInfo(MapPath).fileName(),
          "settings");
    QCOMPARE(StartGamePending, room_.calls.contains(QStringLiteral("StartGame")));
}

void GameDataLinesTest::battleMessages_data()
{
    QTest::addColumn<bool>("ourTurn");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QStringList>("expected");  // "what=value"; "same": as before the lines

    const auto row = [](const char* name, const QString& lines, const QStringList& expected, bool ourTurn = false) {
        QTest::newRow(name) << ourTurn << lines << expected;
    };
    row("attacker destroyed by the counter-attack",
        "ATTACKUNIT2@ATTACKDAMAGE60@ATTACKHP40@ATTACKAMMO3@DEFENDUNIT1@DEFENDDAMAGE70@DEFENDHP0@DEFENDAMMO8",
        {"unit 1 type=none", "unit 2 hp=40", "player 2 destroyed=1", "player 1 lost=1",
         "messages=Player 1 did 60 damage|Leaving 40 HP|And took 70 damage leaving 0"});
    row("a carrier goes down with its passenger", "LOADTOUNIT3\nLOADUNIT4\nATTACKUNIT3@ATTACKDAMAGE90@ATTACKHP0",
        {"unit 4 type=none", "player 1 destroyed=2"});
    row("the passenger travels with its carrier", "LOADTOUNIT3\nLOADUNIT4\nMOVEUNIT3@MOVEX400@MOVEY199",
        {"unit 3 carries=4", "unit 4 carried=1", "unit 4 at=400,199"});
    row("capture given up by walking away", "CAPTUREUNIT1\nCAPTUREBUILDING4\nCAPTUREPOINTS60\nMOVEUNIT1@MOVEX{left}@MOVEY{top}",
        {"building 4 points=200", "unit 1 captures=999"});
    row("unit bought", "CREATEUNIT20@CREATETYPE12@CREATEPLAYER1@CREATEX275@CREATEY174",
        {"unit 20 type=12", "unit 20 owner=1", "unit 20 at=275,174", "unit 20 hp=100", "player 1 bought=1",
         "player 1 money=900"});
    row("we are defeated", "ATTACKUNIT2@ATTACKDAMAGE100@ATTACKHP0\nPLAYERLOST2",
        {"player 2 out=1", "messages=Player 2 has been defeated!", "banner=Defeat!"});
    row("an owner no player holds is beaten: no nameless message", "PLAYERLOST4",
        {"player 4 out=1", "messages=", "banner="});
    // The top of every range passes: slot 100, building 50, player 4, type 15, the last tile.
    row("player 4 and the top of every range",
        "CAPTUREUNIT1@CAPTUREBUILDING50@CAPTURECHANGE4@CAPTUREHQ4@PLAYERLOST4@EXITGAME4@"
        "CREATEUNIT100@CREATETYPE15@CREATEPLAYER4@CREATEX{right}@CREATEY{bottom}",
        {"building 50 owner=4", "player 4 out=1", "unit 100 type=15", "unit 100 owner=4",
         "unit 100 at={right},{bottom}"});
    row("the first tile", "MOVEUNIT1@MOVEX{left}@MOVEY{top}", {"unit 1 at={left},{top}"});
    // A failing step ends its line; what came before it stays.
    for (const char* bad : {"MOVEUNIT101@MOVEX150", "MOVEUNITtwelve@MOVEX150", "MOVEX150", "MOVEUNIT1@MOVEX40000",
                            "JOINHIDE0", "CAPTUREBUILDING51@CAPTUREPOINTS5", "CHECKUNIT1@CHECKPIC12",
                            "MOVEUNIT1@MOVEX1196@MOVEY-1199", "MOVEUNIT1@MOVEY{beyondBottom}",
                            "CREATEUNIT1@CREATEX{beyondLeft}", "UNLOADFROMUNIT3@UNLOADUNIT1@UNLOADY{beyondTop}"})
        row(bad, bad, {"unit 1 at=same", "building 1 points=same", "turn player=1"});
    row("CREATEPLAYER7 halfway", "CREATEUNIT20@CREATETYPE9@CREATEPLAYER7@CREATEX75",
        {"unit 20 type=9", "unit 20 owner=0"});
    row("our turn: battle parts ignored", "MOVEUNIT1@MOVEX150", {"unit 1 at=same"}, true);
    row("our own turn: an end of turn does nothing", "ENDTURN2", {"turn player=2"}, true);
    row("unit state off the map", "CHECKUNIT1@CHECKX{beyondRight}@CHECKHP70", {"unit 1 at=same", "unit 1 hp=same"},
        true);
    row("unit state", "CHECKUNIT1@CHECKPIC9@CHECKX300@CHECKY174@CHECKPLAYER3@CHECKHP70",
        {"unit 1 type=9", "unit 1 at=300,174", "unit 1 owner=3", "unit 1 hp=70"}, true);
    row("unit state of our own unit", "CHECKUNIT2@CHECKPIC6@CHECKX300@CHECKY48@CHECKPLAYER2@CHECKHP70",
        {"unit 2 type=6", "unit 2 hp=70", "unit 2 at=same"}, true);
    row("free slot", "CHECKUNIT44@CHECKPIC999", {"unit 44 type=none"}, true);
    row("late free slot over our new unit", "CHECKUNIT2@CHECKPIC999", {"unit 2 type=12"}, true);
    row("free slot over another's unit", "CHECKUNIT5@CHECKPIC999", {"unit 5 type=none"}, true);
    row("no such unit type", "CHECKUNIT1@CHECKPIC77@CHECKHP5", {"unit 1 type=same", "unit 1 hp=same"}, true);
    // The turn passes once per ending turn, during the cooldown too.
    row("end of turn from an older sender", "ENDTURN", {"turn player=2"});
    row("the same end of turn twice", "ENDTURN1\nENDTURN1", {"turn player=2"});
    row("end of a turn already over", "ENDTURN3", {"turn player=1"});
    row("a player leaves on turn", "EXITGAME1",
        {"turn player=2", "player 1 out=1", "unit 3 type=none", "building 1 type=0", "building 1 owner=1", "banner="});
    // Beaten on their own turn, they end it no more: we pass it on, and say nothing for it.
    row("the player on turn is defeated", "JOINHIDE1@JOINHIDE3@JOINHIDE4@JOINHIDE6@PLAYERLOST1",
        {"turn player=2", "player 1 out=1", "building 1 type=0", "banner=", "sent="});
    row("the last other player leaves", "EXITGAME3\nEXITGAME1\nMOVEUNIT2@MOVEX5",
        {"banner=Victory!", "unit 2 at=same"});
}

void GameDataLinesTest::battleMessages()
{
    QFETCH(bool, ourTurn);
    QFETCH(QString, lines);
    QFETCH(QStringList, expected);
    NetBattle battle(2);
    Money.fill(1000);
    battle.kit.game->EndTurnCooldown = frmGame::NetworkEndTurnCooldown;
    if (ourTurn)
        CurrentPlayer = static_cast<std::uint8_t>(MyPlayer);
    // Places by the map's edges: its first and last tile, and a pixel beyond each.
    const int right = MapLeft + TileSize * (MapWidth - 1);
    const int bottom = MapTop + TileSize * (MapHeight - 1) - UnitRaise;
    const auto placed = [&](QString text) {
        for (const auto& [name, value] : {std::pair{"{left}", MapLeft}, {"{top}", MapTop - UnitRaise},
                                          {"{right}", right}, {"{bottom}", bottom}, {"{beyondLeft}", MapLeft - 1},
                                          {"{beyondTop}", MapTop - UnitRaise - 1}, {"{beyondRight}", right + 1},
                                          {"{beyondBottom}", bottom + 1}})
            text.replace(QLatin1String(name), QString::number(value));
        return text;
    };
    const QStringList before = state(battle.kit);
    receive(placed(lines));
    const QStringList after = state(battle.kit);
    for (const QString& check : expected) {
        const QString what = check.section('=', 0, 0);
        const QString want = placed(check.section('=', 1));
        QCOMPARE(what + "=" + probe(after, what), what + "=" + (want == "same" ? probe(before, what) : want));
    }
}

void GameDataLinesTest::sameTablesOnBothMachines_data()
{
    QTest::addColumn<int>("play");
    QTest::addColumn<int>("sent");
    QTest::newRow("headquarters taken") << 0 << 6;
    QTest::newRow("a turn: purchase, move, end") << 1 << 2 + 101;
    // The rider stays hidden on its own tile until its carrier moves.
    QTest::newRow("a rider boards; its carrier goes out and back") << 2 << 4;
}

void GameDataLinesTest::sameTablesOnBothMachines()
{
    QFETCH(int, play);
    QFETCH(int, sent);
    const bool wholeTurn = play == 1;
    // Both machines hold a falling headquarters, and a damaged unit on its own
    // city that the turn change repairs and charges.
    const auto prepare = [] {
        Units[2].HP = 10;
        Buildings[3].CAP = 50;
    };
    QStringList lines, sender;
    {
        NetBattle battle(1);
        BattleKit& kit = battle.kit;
        prepare();
        if (play == 2) {
            kit.select(4);
            kit.command(QStringLiteral("Load Into Left"));
            kit.select(3);
            kit.step(BattleKit::Down);
            kit.step(BattleKit::Up);
            kit.command(QStringLiteral("Deselect"));
        } else if (wholeTurn) {
            kit.game->SelectedBuilding = 6;
            kit.game->LoadBuildingMenuOptions();
            kit.game->subNewUnitOption(1);
            kit.select(1);
            kit.step(BattleKit::Up);
            kit.command(QStringLiteral("Deselect"));
            kit.game->EndTurn();
        } else {
            kit.select(6);
            kit.command(QStringLiteral("Capture"));
        }
        lines = kit.out.lines;
        sender = sharedTables(wholeTurn);
    }
    QCOMPARE(lines.size(), sent);  // the action happened, and was sent
    NetBattle receiver(2);
    prepare();
    receive(lines.join(QLatin1Char('\n')));
    QCOMPARE(sharedTables(wholeTurn), sender);
}

QTEST_MAIN(GameDataLinesTest)
#include "tst_gamedatalines.moc"
