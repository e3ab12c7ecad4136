// The lobby server's games over loopback: who may send which game-data
// part, seats, turns, departures and wins, and a room that survives a peer
// who stops reading. Scripted raw clients against the real server.

#include "Connection.h"
#include "LobbyServerKit.h"
#include "TokenBucket.h"

#include <QtTest>

using namespace lobby;

class LobbyGamesTest : public QObject, LobbyServerKit
{
    Q_OBJECT

private slots:
    void init() { freshServer(); }
    void cleanup() { server.reset(); }
    void partsFromTheWrongSender_data();
    void partsFromTheWrongSender();
    void seatsComeFromTheHostsNumbers();
    void oneSeatEach_data();
    void oneSeatEach();
    void turnsAndDepartures_data();
    void turnsAndDepartures();
    void winGoesToTheLastPlayerStanding_data();
    void winGoesToTheLastPlayerStanding();
    void winNeedsTwoSeats_data();
    void winNeedsTwoSeats();
    void hostIsTheCreatorAndOnlyBeforeTheStart();
    void hostOfAnOpenRoomCannotJoinAnother();
    void floodLimitsHoldTheirRates_data();
    void floodLimitsHoldTheirRates();
    void closedRoomIsToldInTheLobby_data();
    void closedRoomIsToldInTheLobby();
    void roomSurvivesAHostThatStopsReading();
    void slowestReaderGoesWhenTheBudgetIsSpent();
    void refusedLinesFillNoLog();

private:
    // The host stops reading and bob floods the room until the server cuts the host.
    void stopReadingAndFlood(LobbyClient& host, LobbyClient& flooder);
    // Each member marks ready as the joined room sends it; the host sees every mark.
    void markReady(const Clients& c, const QByteArrayList& names);
    // The members mark ready, then the host's start sequence as the real room
    // sends it, with the members in order; names[0] is the host's.
    void startBattle(const Clients& c, const QByteArrayList& names);
    int wins(const QByteArray& name);
    // Each name's "<wins> wins, <losses> losses"; empty when the stats did not come.
    QByteArrayList records(const QByteArrayList& names);
};

void LobbyGamesTest::markReady(const Clients& c, const QByteArrayList& names)
{
    for (size_t i = 1; i < c.size(); ++i) {
        const QByteArray mark = "GDATA1@@READY" + names[qsizetype(i)];
        c[i]->send(mark);
        QCOMPARE(c[0]->next(mark), mark);
    }
}

void LobbyGamesTest::startBattle(const Clients& c, const QByteArrayList& names)
{
    markReady(c, names);
    LobbyClient& host = *c[0];
    const QByteArrayList members = names.mid(1);
    host.send("GDATA1@@MAPNAMESpacePorts.spw");
    for (qsizetype i = 0; i < members.size(); ++i)
        host.send("GDATA1@@NUM" + QByteArray::number(i + 2) + members[i]);
    host.send("GDATA1@@MAX" + QByteArray::number(members.size() + 1));
    for (const char* line : {"GDATA1@@TIMEOFF", "GDATA1@@MAPNAMESpacePorts.spw", "GDATA1@@STARTGAME", "STARTGAME1"})
        host.send(line);
    QCOMPARE(host.next("REMOVEGAME"), QByteArray("REMOVEGAMEduel"));
}

int LobbyGamesTest::wins(const QByteArray& name)
{
    const QByteArrayList record = records({name});
    return record.isEmpty() ? -1 : record[0].split(' ').value(0).toInt();
}

QByteArrayList LobbyGamesTest::records(const QByteArrayList& names)
{
    auto asker = loggedIn("stats");
    if (!asker)
        return {};
    QByteArrayList out;
    for (const QByteArray& name : names) {
        asker->send("GETSTATS " + name);
        const QByteArray head = "CHATMSG" + name + ": ";
        const QByteArray answer = asker->next(head);
        if (!answer.startsWith(head))
            return {};
        out << answer.sliced(head.size()).split(',').mid(0, 2).join(',');
    }
    return out;
}

void LobbyGamesTest::partsFromTheWrongSender_data()
{
    QTest::addColumn<int>("sender");  // 0 the host ann, 1 the member bob
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("passes");
    QTest::newRow("member's chat") << 1 << QByteArray("GDATA1@@CHATbob: hi") << true;
    QTest::newRow("member's ready mark") << 1 << QByteArray("GDATA1@@READYbob") << true;
    QTest::newRow("member's ready mark taken back") << 1 << QByteArray("GDATA1@@READYbob@NOTREADYbob") << true;
    QTest::newRow("another's ready mark") << 1 << QByteArray("GDATA1@@READYcarl") << false;
    QTest::newRow("another's ready mark taken back") << 1 << QByteArray("GDATA1@@NOTREADYcarl") << false;
    QTest::newRow("ready mark for a longer name") << 1 << QByteArray("GDATA1@@READYbobby") << false;
    QTest::newRow("ready mark for no name") << 1 << QByteArray("GDATA1@@READY") << false;
    QTest::newRow("member's quit line") << 1 << QByteArray("GDATA1@@INCHATbob has quit the game.") << true;
    QTest::newRow("host's settings") << 0 << QByteArray("GDATA1@@TIMESEC60") << true;
    QTest::newRow("chat as Server") << 1 << QByteArray("GDATA1@@CHATServer: bob is gone") << false;
    QTest::newRow("chat as a longer name") << 1 << QByteArray("GDATA1@@CHATbobby: hi") << false;
    QTest::newRow("battle chat as another") << 1 << QByteArray("GDATA1@@INCHATann has quit the game.") << false;
    QTest::newRow("forged part after a good one") << 1 << QByteArray("GDATA1@@READYbob@CHATann: go") << false;
    QTest::newRow("member's boot") << 1 << QByteArray("GDATA1@@BOOTcarl") << false;
    QTest::newRow("host's boot as a part") << 0 << QByteArray("GDATA1@@BOOTcarl") << false;
    QTest::newRow("member's join") << 1 << QByteArray("GDATA1@@JOINGAMEzed") << false;
    QTest::newRow("member's leave") << 1 << QByteArray("GDATA1@@LEAVEGAME3") << false;
    QTest::newRow("host's word of a member left out") << 0 << QByteArray("GDATA1@@LEFTOUTyou are out") << false;
    QTest::newRow("member's start") << 1 << QByteArray("GDATA1@@NUM2carl@MAPNAMESpacePorts.spw@STARTGAME") << false;
    QTest::newRow("member's player count") << 1 << QByteArray("GDATA1@@MAX2") << false;
    QTest::newRow("member's map") << 1 << QByteArray("GDATA1@@MAPNAMEother.spw") << false;
    QTest::newRow("member's time limit") << 1 << QByteArray("GDATA1@@TIMEON") << false;
    QTest::newRow("member's seconds") << 1 << QByteArray("GDATA1@@TIMESEC5") << false;
    QTest::newRow("member's no limit") << 1 << QByteArray("GDATA1@@TIMEOFF") << false;
    QTest::newRow("member's start of the room") << 1 << QByteArray("STARTGAME1") << false;
    QTest::newRow("host's move before the battle") << 0 << QByteArray("GDATA1@@MOVEUNIT3@MOVEX50@MOVEY23") << false;
    // The player count and numbers pass only as every client reads them alike.
    QTest::newRow("host's plain count and numbers") << 0 << QByteArray("GDATA1@@NUM2bob@NUM3*carl@MAX4") << true;
    QTest::newRow("host's number for himself") << 0 << QByteArray("GDATA1@@NUM1bob") << true;
    for (const char* part : {"MAX 4", "MAX+4", "MAX04", "MAX4 ", "MAX0", "MAX5", "MAX", "MAXx@MAX3", "NUM+2bob",
                             "NUM 2bob", "NUM02bob", "NUM5bob", "NUM", "NUMx@MAX3"})
        QTest::addRow("host's \"%s\"", part) << 0 << "GDATA1@@" + QByteArray(part) << false;
    // A client stops reading a line at a part it refuses: nothing after it is followed.
    QTest::newRow("host's seconds at both ends") << 0 << QByteArray("GDATA1@@TIMESEC1@TIMESEC32767") << true;
    for (const char* line : {"TIMESEC0@MAX2", "TIMESEC32768@MAX2", "TIMESECx@MAX2", "TIMESEC@NUM3bob", "NOTREADYann@MAX2",
                             "READYann"})
        QTest::addRow("host's \"%s\"", line) << 0 << "GDATA1@@" + QByteArray(line) << false;
    QTest::newRow("member's mark taken back unmarked") << 1 << QByteArray("GDATA1@@NOTREADYbob@CHATbob: hi") << false;
    QTest::newRow("member's mark given again and taken back") << 1 << QByteArray("GDATA1@@READYbob@READYbob@NOTREADYbob") << false;
}

void LobbyGamesTest::partsFromTheWrongSender()
{
    QFETCH(int, sender);
    QFETCH(QByteArray, line);
    QFETCH(bool, passes);
    Clients c = room({"ann", "bob", "carl"});
    QVERIFY(!c.empty());
    const QByteArray marker = sender == 0 ? "GDATA1@@CHATann: next" : "GDATA1@@CHATbob: next";
    c[size_t(sender)]->send(line);
    c[size_t(sender)]->send(marker);
    for (size_t i = 0; i < c.size(); ++i) {
        if (int(i) == sender)
            continue;
        QCOMPARE(c[i]->next("GDATA1@@"), passes ? line : marker);
        if (passes)
            QCOMPARE(c[i]->next("GDATA1@@"), marker);
    }
    // The room is still open and on the game list: the host's settings reach it.
    c[0]->send("GDATA1@@TIMESEC45");
    for (size_t i = 1; i < c.size(); ++i)
        QCOMPARE(c[i]->next("GDATA1@@TIMESEC"), QByteArray("GDATA1@@TIMESEC45"));
    QCOMPARE(c[2]->pending("REMOVEGAME"), QByteArrayList());
}

void LobbyGamesTest::seatsComeFromTheHostsNumbers()
{
    // bob leaves after the host numbered the players: carl stays number 3.
    Clients c = room({"ann", "bob", "carl"});
    QVERIFY(!c.empty());
    auto [ann, bob, carl] = std::tie(c[0], c[1], c[2]);
    markReady(c, {"ann", "bob", "carl"});
    for (const char* line : {"GDATA1@@MAPNAMESpacePorts.spw", "GDATA1@@NUM2bob", "GDATA1@@NUM3carl", "GDATA1@@MAX3"})
        ann->send(line);
    QCOMPARE(carl->next("GDATA1@@MAX"), QByteArray("GDATA1@@MAX3"));
    bob->send("LEAVEGAME");
    QCOMPARE(carl->next("GDATA1@@LEAVE"), QByteArray("GDATA1@@LEAVEGAME2"));
    ann->send("GDATA1@@STARTGAME");
    ann->send("STARTGAME1");
    // The battle was set up with bob as number 2: his seat is empty, and said
    // so. His number left the room with him: it names nobody now.
    QCOMPARE(carl->next("GDATA1@@EXITGAME"), QByteArray("GDATA1@@EXITGAME2"));
    carl->socket.abort();
    QCOMPARE(ann->next("GDATA1@@EXITGAME"), QByteArray("GDATA1@@EXITGAME2"));
    QCOMPARE(ann->next("GDATA1@@INCHAT"), QByteArray("GDATA1@@INCHATcarl has lost connection."));
    QCOMPARE(ann->next("GDATA1@@EXITGAME"), QByteArray("GDATA1@@EXITGAME3"));
}

void LobbyGamesTest::oneSeatEach_data()
{
    QTest::addColumn<QByteArrayList>("numbers");  // the host's NUM and MAX parts
    QTest::addColumn<QByteArrayList>("toldOut");  // the numbers out from the start
    QTest::newRow("the host numbered") << QByteArrayList{"NUM2ann", "NUM3bob", "MAX3"} << QByteArrayList{"EXITGAME2"};
    // bob's room takes the last number it is given.
    QTest::newRow("a member numbered thrice") << QByteArrayList{"NUM2bob", "NUM3bob", "NUM4bob", "MAX4"}
                                              << QByteArrayList{"EXITGAME2", "EXITGAME3"};
    // The clients ignore a quit in the room: ann is still in the battle.
    QTest::newRow("the host's quit in the room") << QByteArrayList{"NUM2bob", "MAX2", "EXITGAME1"} << QByteArrayList{};
}

void LobbyGamesTest::oneSeatEach()
{
    QFETCH(QByteArrayList, numbers);
    QFETCH(QByteArrayList, toldOut);
    Clients c = room({"ann", "bob"});
    QVERIFY(!c.empty());
    auto [ann, bob] = std::tie(c[0], c[1]);
    markReady(c, {"ann", "bob"});
    for (const QByteArray& part : numbers + QByteArrayList{"STARTGAME"})
        ann->send("GDATA1@@" + part);
    ann->send("STARTGAME1");
    for (const QByteArray& out : toldOut)
        QCOMPARE(bob->next("GDATA1@@EXITGAME"), "GDATA1@@" + out);
    ann->send("REMOVEGAME");
    QCOMPARE(bob->next("GDATA1@@EXITGAME"), QByteArray("GDATA1@@EXITGAME1"));
    bob->send("REMOVEGAME");
    QVERIFY(bob->sync());
    QCOMPARE(records({"ann", "bob"}), (QByteArrayList{"0 wins, 1 losses", "1 wins, 0 losses"}));
    // Only ann's departure is said: an empty number names nobody.
    bob->cursor = 0;
    QCOMPARE(bob->pending("GDATA1@@INCHAT"), QByteArrayList{"GDATA1@@INCHATann has left the game."});
}

namespace {

enum Player { Ann, Bob, Carl, Dave };
const QByteArrayList PlayerNames{"ann", "bob", "carl", "dave"};

// Lines one player sends, and whether the others receive them.
struct Step
{
    Player from;
    QByteArrayList lines;
    bool passes;
};

// A turn's end sends the state of every unit slot, a line each.
QByteArrayList unitStates()
{
    QByteArrayList states;
    for (int slot = 1; slot <= 100; ++slot)
        states << "GDATA1@@CHECKUNIT" + QByteArray::number(slot)
                      + (slot % 4 ? "@CHECKPIC999" : "@CHECKPIC5@CHECKX100@CHECKY48@CHECKPLAYER2@CHECKHP100");
    return states;
}

// One slot's state: owner and hit points of whatever unit is in it.
const QByteArray OneState = "GDATA1@@CHECKUNIT20@CHECKPIC1@CHECKX0@CHECKY23@CHECKPLAYER1@CHECKHP1";
const QByteArray AMove = "GDATA1@@MOVEUNIT20@MOVEX0@MOVEY23@MOVEFUEL90";

}  // namespace

Q_DECLARE_METATYPE(QList<Step>)

void LobbyGamesTest::turnsAndDepartures_data()
{
    QTest::addColumn<QList<Step>>("steps");  // from the start of a battle of four: ann on turn
    QTest::addColumn<int>("standing");       // the last player standing, whose win is checked; -1 for none
    QTest::addColumn<int>("players");        // ann, bob, carl and dave, the first this many
    // What ann's turn sends before its end, as her battle sends it.
    const QByteArrayList annActs{
        "GDATA1@@MOVEUNIT1@MOVEX50@MOVEY23@MOVEFUEL90",
        "GDATA1@@ATTACKUNIT5@ATTACKDAMAGE40@ATTACKHP60@ATTACKAMMO9@DEFENDUNIT1@DEFENDDAMAGE20@DEFENDHP80@DEFENDAMMO8",
        "GDATA1@@CAPTUREUNIT2", "GDATA1@@CAPTUREBUILDING3", "GDATA1@@CAPTURECHANGE1",
        "GDATA1@@CREATEUNIT20@CREATETYPE1@CREATEPLAYER1@CREATEX0@CREATEY98"};
    QList<Step> battle{
        {Dave, unitStates(), true},            // the opening turn change is the last player's
        {Carl, {OneState}, false},             // not his to sync
        {Bob, {annActs[0]}, false},            // ann has the turn: no move,
        {Carl, {annActs[1]}, false},           // attack
        {Dave, {annActs.back()}, false},       // or purchase from anyone else
    };
    // Nor any other battle part, each on its own.
    for (const char* part : {"MOVEUNIT", "MOVEX", "MOVEY", "MOVEFUEL", "ATTACKUNIT", "ATTACKDAMAGE", "ATTACKHP",
                             "ATTACKAMMO", "DEFENDUNIT", "DEFENDDAMAGE", "DEFENDHP", "DEFENDAMMO", "HOVER", "UNHOVER",
                             "PACKUNIT", "UNPACKUNIT", "LOADTOUNIT", "LOADUNIT", "UNLOADFROMUNIT", "UNLOADUNIT",
                             "UNLOADX", "UNLOADY", "CAPTUREUNIT", "CAPTUREBUILDING", "CAPTUREPOINTS", "CAPTURECHANGE",
                             "CAPTUREHQ", "CREATEUNIT", "CREATETYPE", "CREATEPLAYER", "CREATEX", "CREATEY", "JOINUNIT",
                             "JOINHIDE", "JOINHP", "IWIN"})
        battle << Step{Bob, {"GDATA1@@" + QByteArray(part) + '0'}, false};
    battle << QList<Step>{
        {Bob, {"GDATA1@@EXITGAME3"}, false},   // another's number
        {Bob, {"GDATA1@@PLAYERLOST4"}, false}, // ann has the turn
        {Bob, {"GDATA1@@ENDTURN1"}, false},    // not his turn to end
        {Bob, {"GDATA1@@ENDTURN2"}, false},    // his number, ann's turn
        {Ann, annActs, true},
        {Dave, {OneState}, false},             // ann has acted: the opening's states are over
        {Ann, {"GDATA1@@ENDTURN1"}, true},     // bob's turn
        {Ann, unitStates(), true},             // and her turn's unit states
        {Dave, {OneState}, false},             // his turn change is over
        {Bob, {OneState}, false},              // his turn has not ended
        {Carl, {"GDATA1@@ENDTURN3"}, false},   // his number, bob's turn
        {Ann, {"GDATA1@@ENDTURN1"}, false},    // her number, no longer her turn
        {Ann, {"GDATA1@@PLAYERLOST4"}, false},
        {Bob, {"GDATA1@@PLAYERLOST4"}, true},  // dave is out, unannounced
        {Ann, {OneState}, false},              // bob has acted
        {Dave, {"GDATA1@@ENDTURN4"}, false},   // out: ends nothing
        {Bob, {"GDATA1@@ENDTURN2"}, true},     // carl's turn
        {Carl, {"GDATA1@@ENDTURN3"}, true},    // dave is out: ann's turn
        {Carl, {"GDATA1@@PLAYERLOST1"}, false},
        {Ann, {"GDATA1@@EXITGAME1"}, true},    // ann quits: bob's turn
        {Carl, {OneState}, true},              // his turn's states, until bob acts
        {Bob, {"GDATA1@@PLAYERLOST3"}, true},
    };
    QTest::newRow("a battle to its end") << battle << int(Bob) << 4;
    // The unit states of a turn's end pass only until the player on turn acts.
    QTest::newRow("states after the opening turn's first move") << QList<Step>{{Ann, {AMove}, true}, {Dave, {OneState}, false}} << -1 << 4;
    QTest::newRow("states after the player on turn moved")
        << QList<Step>{{Ann, {"GDATA1@@ENDTURN1"}, true}, {Ann, unitStates(), true}, {Bob, {AMove}, true}, {Ann, {OneState}, false}} << -1 << 4;
    QTest::newRow("states from a player who quit")
        << QList<Step>{{Ann, {"GDATA1@@ENDTURN1"}, true}, {Ann, {"GDATA1@@EXITGAME1"}, true}, {Ann, {OneState}, false}} << -1 << 4;
    QTest::newRow("states after a defeat moved the turn")
        << QList<Step>{{Ann, {"GDATA1@@ENDTURN1"}, true}, {Bob, {"GDATA1@@PLAYERLOST2"}, true}, {Ann, {OneState}, false}} << -1 << 4;
    QTest::newRow("states after a departure moved the turn")
        << QList<Step>{{Ann, {"GDATA1@@ENDTURN1"}, true}, {Bob, {"GDATA1@@EXITGAME2"}, true}, {Ann, {OneState}, true},
                       {Carl, {AMove}, true}, {Ann, {OneState}, false}} << -1 << 4;
    // Each part is judged as the turn stands after the parts before it.
    QTest::newRow("a move after one's own turn's end in one line")
        << QList<Step>{{Ann, {"GDATA1@@ENDTURN1@MOVEUNIT6@MOVEX125@MOVEY73"}, false}, {Ann, {"GDATA1@@ENDTURN1"}, true}} << -1 << 4;
    // The machine on turn answers a departure with a defeat of its own: that
    // is no act, and the honest states go on whole until a real one.
    const QByteArrayList states = unitStates();
    QTest::newRow("a turn's states beside a departure")
        << QList<Step>{{Ann, {"GDATA1@@ENDTURN1"}, true}, {Ann, states.first(40), true},
                       {Carl, {"GDATA1@@EXITGAME3"}, true}, {Bob, {"GDATA1@@PLAYERLOST3"}, true},
                       {Ann, states.sliced(40), true}, {Bob, {AMove}, true}, {Ann, {OneState}, false}} << -1 << 4;
    // The turn passes over a player who drops before acting: the states go
    // on whole to the next, until it acts.
    QTest::newRow("a turn's states when the next player drops")
        << QList<Step>{{Ann, {"GDATA1@@ENDTURN1"}, true}, {Ann, states.first(50), true}, {Bob, {"drop"}, true},
                       {Carl, {"GDATA1@@PLAYERLOST2"}, true}, {Ann, states.sliced(50), true}, {Carl, {AMove}, true},
                       {Ann, {OneState}, false}} << -1 << 4;
    QTest::newRow("the opening states beside a departure")
        << QList<Step>{{Carl, {"GDATA1@@EXITGAME3"}, true}, {Ann, {"GDATA1@@PLAYERLOST3"}, true},
                       {Dave, states, true}, {Ann, {AMove}, true}, {Dave, {OneState}, false}} << -1 << 4;
    // Turn lines in any form but the one every client writes and reads alike
    // reach nobody and move nothing: ann keeps the turn.
    QList<Step> forms;
    for (const char* line : {"PLAYERLOST+3", "PLAYERLOST 3", "PLAYERLOST3 ", "PLAYERLOST-2", "PLAYERLOST03",
                             "PLAYERLOST0", "PLAYERLOST5", "PLAYERLOST", "IWIN+1", "IWIN", "ENDTURN+1", "ENDTURN 1",
                             "ENDTURN01", "ENDTURN", "EXITGAME 1", "MOVEUNIT999@ENDTURN1", "MOVEUNIT1@PLAYERLOST3",
                             "CHATann: bye@EXITGAME1", "IWIN1@MOVEUNIT1"})
        forms << Step{Ann, {"GDATA1@@" + QByteArray(line)}, false};
    forms << QList<Step>{{Ann, {AMove}, true}, {Ann, {"GDATA1@@PLAYERLOST4"}, true}, {Ann, {"GDATA1@@PLAYERLOST1"}, true},
                         {Bob, {"GDATA1@@EXITGAME2"}, true}, {Carl, {"GDATA1@@IWIN3"}, true}};
    QTest::newRow("turn lines only alone and in plain digits") << forms << -1 << 4;
    // Maps keep units of owners beyond the battle's count: the machine on
    // turn says their defeat, which changes nothing the server follows.
    QTest::newRow("defeats of owners no player is, of two")
        << QList<Step>{{Ann, {"GDATA1@@PLAYERLOST3"}, true}, {Ann, {"GDATA1@@PLAYERLOST4"}, true},
                       {Bob, {OneState}, true}, {Bob, {AMove}, false}, {Ann, {"GDATA1@@ENDTURN1"}, true},
                       {Bob, {"GDATA1@@PLAYERLOST3"}, true}, {Ann, unitStates(), true}, {Bob, {"GDATA1@@ENDTURN2"}, true}}
        << -1 << 2;
    QTest::newRow("a defeat of an owner no player is, of three")
        << QList<Step>{{Ann, {"GDATA1@@PLAYERLOST4"}, true}, {Carl, {OneState}, true}, {Ann, {"GDATA1@@ENDTURN1"}, true},
                       {Bob, {"GDATA1@@PLAYERLOST4"}, true}, {Ann, {OneState}, true}, {Bob, {"GDATA1@@ENDTURN2"}, true},
                       {Carl, {"GDATA1@@ENDTURN3"}, true}}
        << -1 << 3;
}

void LobbyGamesTest::turnsAndDepartures()
{
    QFETCH(QList<Step>, steps);
    QFETCH(int, standing);
    QFETCH(int, players);
    const QByteArrayList names = PlayerNames.first(players);
    Clients c = room(names);
    QVERIFY(!c.empty());
    startBattle(c, names);
    for (size_t i = 1; i < c.size(); ++i)
        QCOMPARE(c[i]->next("GDATA1@@START"), QByteArray("GDATA1@@STARTGAME"));
    // Each step's lines are followed by a part no client reads, which passes
    // from anyone and is not chat, with its flood limit: what the others see
    // next tells whether the lines passed. "drop" closes the connection.
    QSet<int> dropped;
    for (const auto& [from, lines, passes] : steps) {
        QByteArrayList seen{"GDATA1@@MARK" + PlayerNames[from]};
        if (lines == QByteArrayList{"drop"}) {
            c[from]->socket.abort();
            dropped.insert(from);
            seen = {"GDATA1@@INCHAT" + PlayerNames[from] + " has lost connection.",
                    "GDATA1@@EXITGAME" + QByteArray::number(from + 1)};
        } else {
            for (const QByteArray& line : lines + seen)
                c[from]->send(line);
            if (passes)
                seen = lines + seen;
        }
        for (int other = 0; other < int(c.size()); ++other)
            for (const QByteArray& line : other == from || dropped.contains(other) ? QByteArrayList() : seen)
                QCOMPARE(c[size_t(other)]->next("GDATA1@@"), line);
    }
    if (standing < 0)
        return;
    // Only one is still standing; those who are out leave unannounced.
    LobbyClient& last = *c[size_t(standing)];
    for (size_t i = 0; i < c.size(); ++i)
        if (int(i) != standing)
            c[i]->socket.abort();
    QTRY_COMPARE(last.userList(), QByteArrayList{PlayerNames[standing]});
    QVERIFY(last.sync());
    QCOMPARE(last.pending("GDATA1@@INCHAT"), QByteArrayList());
    last.send("REMOVEGAME");
    QVERIFY(last.sync());
    QCOMPARE(wins(PlayerNames[standing]), 1);
}

void LobbyGamesTest::winGoesToTheLastPlayerStanding_data()
{
    QTest::addColumn<QByteArrayList>("bobSends");  // "drop" closes bob's connection
    QTest::addColumn<QByteArrayList>("annSends");  // "stop" stops the server in the battle
    QTest::addColumn<QByteArrayList>("recorded");  // ann's and bob's records
    // A game counts once its battle ended for that player: the last one in
    // has won it at once, whatever it does next.
    const QByteArrayList annWon{"1 wins, 0 losses", "0 wins, 1 losses"};
    const QByteArrayList annLeft{"0 wins, 1 losses", "1 wins, 0 losses"};
    QTest::newRow("at once") << QByteArrayList{} << QByteArrayList{} << annLeft;
    QTest::newRow("after bob quit") << QByteArrayList{"GDATA1@@EXITGAME2"} << QByteArrayList{} << annWon;
    QTest::newRow("after bob dropped") << QByteArrayList{"drop"} << QByteArrayList{} << annWon;
    QTest::newRow("after bob left") << QByteArrayList{"REMOVEGAME"} << QByteArrayList{} << annWon;
    QTest::newRow("after bob lost on ann's turn") << QByteArrayList{} << QByteArrayList{"GDATA1@@PLAYERLOST2"} << annWon;
    QTest::newRow("after bob lost on his turn") << QByteArrayList{"GDATA1@@PLAYERLOST2"} << QByteArrayList{"GDATA1@@ENDTURN1"} << annWon;
    QTest::newRow("bob's defeat said off turn") << QByteArrayList{"GDATA1@@PLAYERLOST2"} << QByteArrayList{} << annLeft;
    QTest::newRow("owners no player is beaten") << QByteArrayList{} << QByteArrayList{"GDATA1@@PLAYERLOST3", "GDATA1@@PLAYERLOST4"} << annLeft;
    // Her connection drops before her results window says the battle is over.
    QTest::newRow("ann dropped after bob quit") << QByteArrayList{"GDATA1@@EXITGAME2"} << QByteArrayList{"drop"} << annWon;
    QTest::newRow("ann dropped after bob lost") << QByteArrayList{} << QByteArrayList{"GDATA1@@PLAYERLOST2", "drop"} << annWon;
    // A defeat is recorded once, whatever passes after it.
    QTest::newRow("after bob lost, ann moved")
        << QByteArrayList{} << QByteArrayList{"GDATA1@@PLAYERLOST2", AMove, "GDATA1@@CHATann: gg"} << annWon;
    // The server never saw the battle end: nobody lost it.
    QTest::newRow("server stopped in the battle") << QByteArrayList{} << QByteArrayList{"stop"}
                                                  << QByteArrayList{"0 wins, 0 losses", "0 wins, 0 losses"};
}

void LobbyGamesTest::winGoesToTheLastPlayerStanding()
{
    QFETCH(QByteArrayList, bobSends);
    QFETCH(QByteArrayList, annSends);
    QFETCH(QByteArrayList, recorded);
    Clients c = room({"ann", "bob"});
    QVERIFY(!c.empty());
    auto [ann, bob] = std::tie(c[0], c[1]);
    startBattle(c, {"ann", "bob"});
    if (annSends == QByteArrayList{"stop"}) {
        startServer();  // on the same database
        QCOMPARE(records({"ann", "bob"}), recorded);
        return;
    }
    // "drop" closes a connection after the other lines.
    for (const QByteArray& line : annSends)
        if (line != "drop")
            ann->send(line);
    QVERIFY(ann->sync());
    if (bobSends == QByteArrayList{"drop"}) {
        bob->socket.abort();
        QCOMPARE(ann->next("GDATA1@@EXITGAME"), QByteArray("GDATA1@@EXITGAME2"));
    }
    for (const QByteArray& line : bobSends)
        if (line != "drop")
            bob->send(line);
    QVERIFY(bob->socket.state() != QAbstractSocket::ConnectedState || bob->sync());
    if (annSends.contains("drop")) {
        ann->socket.abort();
        QTRY_COMPARE(bob->userList(), QByteArrayList{"bob"});
    } else {
        ann->send("REMOVEGAME");
        ann->send("REMOVEGAME");  // leaving twice is nothing, and no second win
        QVERIFY(ann->sync());
    }
    // bob hears ann leave unless he is out, and she wins only when he is.
    if (recorded[0] == "0 wins, 1 losses")
        QCOMPARE(bob->next("GDATA1@@EXITGAME"), QByteArray("GDATA1@@EXITGAME1"));
    QCOMPARE(records({"ann", "bob"}), recorded);
}

void LobbyGamesTest::winNeedsTwoSeats_data()
{
    QTest::addColumn<bool>("bobJoins");
    QTest::addColumn<QByteArrayList>("numbers");  // the host's NUM parts
    // Before the start: 1 leaves, 2 leaves and joins again, 3 as 2 between the host's numbers and his marks.
    QTest::addColumn<int>("bobLeaves");
    QTest::addColumn<QByteArrayList>("bobMarks");
    QTest::addColumn<int>("max");
    QTest::addColumn<QByteArrayList>("bobReads");  // bob's room lines and lobby notes from the start on
    QTest::addColumn<QByteArrayList>("annReads");  // ann's battle lines at the start
    QTest::addColumn<int>("annWins");
    const QByteArrayList ready{"READY"};
    const QByteArrayList numbered{"NUM2bob"};
    const QByteArrayList seated{"GDATA1@@STARTGAME"};
    // A member the start leaves out opens no battle: its room closes with the reason.
    const auto leftOut = [](const QByteArray& why) {
        const QByteArray words = "The battle started without you: " + why;
        return QByteArrayList{"GDATA1@@LEFTOUT" + words, "GDATA1@@CHAT" + words, "CHATMSG" + words, "GDATA1@@BOOTbob"};
    };
    const QByteArrayList notReady = leftOut("you were not marked ready.");
    const QByteArrayList notNamed = leftOut("the host's start did not name you.");
    const QByteArrayList bobGone{"GDATA1@@INCHATbob has left the game.", "GDATA1@@EXITGAME2"};
    QTest::newRow("alone, one player") << false << QByteArrayList{} << 0 << QByteArrayList{} << 1 << QByteArrayList{} << QByteArrayList{} << 0;
    QTest::newRow("alone, two players") << false << QByteArrayList{} << 0 << QByteArrayList{} << 2 << QByteArrayList{}
                                        << QByteArrayList{"GDATA1@@EXITGAME2"} << 0;
    QTest::newRow("alone, four players") << false << QByteArrayList{} << 0 << QByteArrayList{} << 4 << QByteArrayList{}
                                         << QByteArrayList{"GDATA1@@EXITGAME2", "GDATA1@@EXITGAME3", "GDATA1@@EXITGAME4"} << 0;
    QTest::newRow("bob in the room, never numbered") << true << QByteArrayList{} << 0 << ready << 2 << notNamed
                                                     << QByteArrayList{"GDATA1@@EXITGAME2", "GDATA1@@INCHATbob has left the game."} << 0;
    QTest::newRow("bob numbered beyond the count") << true << QByteArrayList{"NUM3bob"} << 0 << ready << 2 << notNamed
                                                   << QByteArrayList{"GDATA1@@EXITGAME2", "GDATA1@@INCHATbob has left the game."} << 0;
    // His room takes the last number it is given: the host's, which seats him nowhere.
    QTest::newRow("bob numbered, then given the host's number") << true << QByteArrayList{"NUM2bob", "NUM1bob"} << 0 << ready << 2
                                                                << notNamed
                                                                << QByteArrayList{"GDATA1@@EXITGAME2", "GDATA1@@INCHATbob has left the game."} << 0;
    QTest::newRow("bob numbered, gone before the start") << true << numbered << 1 << ready << 2 << QByteArrayList{} << bobGone << 0;
    QTest::newRow("bob numbered and seated") << true << numbered << 0 << ready << 2 << seated << QByteArrayList{} << 1;
    // A host cannot seat, and then defeat, a member who never said ready.
    QTest::newRow("bob numbered, never ready") << true << numbered << 0 << QByteArrayList{} << 2 << notReady << bobGone << 0;
    QTest::newRow("bob numbered, ready taken back") << true << numbered << 0 << QByteArrayList{"READY", "NOTREADY"} << 2
                                                    << notReady << bobGone << 0;
    QTest::newRow("bob numbered, ready again") << true << numbered << 0 << QByteArrayList{"READY", "NOTREADY", "READY"} << 2 << seated
                                               << QByteArrayList{} << 1;
    // Leaving the room forgets the mark: back in it, he has not said ready.
    QTest::newRow("bob ready, left and back") << true << numbered << 2 << ready << 2 << notReady << bobGone << 0;
    // So does it his number: his new room has none.
    QTest::newRow("bob numbered, left, back and ready") << true << numbered << 3 << ready << 2 << notNamed
                                                        << QByteArrayList{"GDATA1@@EXITGAME2", "GDATA1@@INCHATbob has left the game."} << 0;
}

void LobbyGamesTest::winNeedsTwoSeats()
{
    // A battle with fewer than two seated players is no win, whatever MAX says.
    QFETCH(bool, bobJoins);
    QFETCH(QByteArrayList, numbers);
    QFETCH(int, bobLeaves);
    QFETCH(QByteArrayList, bobMarks);
    QFETCH(int, max);
    QFETCH(QByteArrayList, bobReads);
    QFETCH(QByteArrayList, annReads);
    QFETCH(int, annWins);
    Clients c = room(bobJoins ? QByteArrayList{"ann", "bob"} : QByteArrayList{"ann"});
    QVERIFY(!c.empty());
    LobbyClient& ann = *c[0];
    const auto number = [&] {
        for (const QByteArray& part : numbers)
            ann.send("GDATA1@@" + part);
        QVERIFY(ann.sync());
    };
    const auto mark = [&] {
        for (const QByteArray& mark : bobMarks) {
            c[1]->send("GDATA1@@" + mark + "bob");
            QCOMPARE(ann.next("GDATA1@@" + mark), "GDATA1@@" + mark + "bob");
        }
    };
    bobLeaves == 3 ? number() : mark();
    if (bobLeaves > 0) {
        c[1]->send("LEAVEGAME");
        QCOMPARE(ann.next("GDATA1@@LEAVE"), QByteArray("GDATA1@@LEAVEGAME2"));
    }
    if (bobLeaves > 1) {
        QCOMPARE(join(*c[1]), QByteArray("JOINGAME1"));
        QCOMPARE(ann.next("GDATA1@@JOINGAME"), QByteArray("GDATA1@@JOINGAMEbob"));
    }
    bobLeaves == 3 ? mark() : number();
    QVERIFY(!QTest::currentTestFailed());
    ann.send("GDATA1@@MAX" + QByteArray::number(max));
    QVERIFY(ann.sync());
    if (bobJoins) {
        QVERIFY(c[1]->sync());
        c[1]->cursor = c[1]->lines.size();
    }
    ann.send("GDATA1@@STARTGAME");
    ann.send("STARTGAME1");
    QCOMPARE(ann.next("REMOVEGAME"), QByteArray("REMOVEGAMEduel"));
    QVERIFY(ann.sync());
    QCOMPARE(ann.pending("GDATA1@@"), annReads);
    if (bobJoins) {
        LobbyClient& bob = *c[1];
        QVERIFY(bob.sync());
        QByteArrayList read;
        for (const QByteArray& line : bob.lines.sliced(bob.cursor))
            if (line.startsWith("GDATA1@@") || line.startsWith("CHATMSGThe battle"))
                read << line;
        QCOMPARE(read, bobReads);
    }
    // The host on turn says player 2 is beaten.
    ann.send("GDATA1@@PLAYERLOST2");
    if (bobJoins && bobLeaves != 1) {
        c[1]->send("REMOVEGAME");
        QVERIFY(c[1]->sync());
    }
    ann.send("REMOVEGAME");
    QVERIFY(ann.sync());
    // Only a battle of two seats or more counts as a game, for either.
    const QByteArray annRecord = QByteArray::number(annWins) + " wins, 0 losses";
    if (bobJoins)
        QCOMPARE(records({"ann", "bob"}), (QByteArrayList{annRecord, "0 wins, " + QByteArray::number(annWins) + " losses"}));
    else
        QCOMPARE(records({"ann"}), QByteArrayList{annRecord});
}

void LobbyGamesTest::hostIsTheCreatorAndOnlyBeforeTheStart()
{
    Clients c = room({"ann", "bob", "carl"});
    QVERIFY(!c.empty());
    auto [ann, bob, carl] = std::tie(c[0], c[1], c[2]);
    startBattle(c, {"ann", "bob", "carl"});
    QCOMPARE(carl->next("GDATA1@@START"), QByteArray("GDATA1@@STARTGAME"));
    // Room settings are nobody's once the battle is on, the host's included.
    for (auto& [sender, name] : {std::pair{ann.get(), "ann"}, std::pair{bob.get(), "bob"}}) {
        sender->send("GDATA1@@MAX2");
        sender->send("GDATA1@@CHAT" + QByteArray(name) + ": .");
        QCOMPARE(carl->next("GDATA1@@"), "GDATA1@@CHAT" + QByteArray(name) + ": .");
    }
    ann->socket.abort();
    QCOMPARE(carl->next("GDATA1@@INCHAT"), QByteArray("GDATA1@@INCHATann has lost connection."));
    QCOMPARE(carl->next("GDATA1@@EXITGAME"), QByteArray("GDATA1@@EXITGAME1"));
    // bob, first in the list now, is no host: his MAX is dropped, he may not
    // boot, and his leaving is told to carl, who is still playing.
    bob->send("GDATA1@@MAX2");
    bob->send("GDATA1BOOTcarl");
    bob->send("GDATA1@@CHATbob: .");
    QCOMPARE(carl->next({"GDATA1@@MAX", "GDATA1@@BOOT", "GDATA1@@CHAT"}), QByteArray("GDATA1@@CHATbob: ."));
    bob->send("REMOVEGAME");
    QCOMPARE(carl->next("GDATA1@@INCHAT"), QByteArray("GDATA1@@INCHATbob has left the game."));
    QCOMPARE(carl->next("GDATA1@@EXITGAME"), QByteArray("GDATA1@@EXITGAME2"));
    QVERIFY(bob->sync());
    QCOMPARE(wins("bob"), 0);
    carl->send("REMOVEGAME");
    QVERIFY(carl->sync());
    QCOMPARE(wins("carl"), 1);
}

void LobbyGamesTest::hostOfAnOpenRoomCannotJoinAnother()
{
    Clients c = room({"ann", "bob"});
    QVERIFY(!c.empty());
    auto carl = loggedIn("carl");
    QVERIFY(carl);
    // A room may only be opened in one's own name.
    for (const char* line : {"SETUPGAME", "GAMENAMEx", "GAMEPASS", "GAMEHOSTbob"})
        carl->send(line);
    QCOMPARE(open(*carl, "carl", "x", ""), QByteArray("GAMENUMBER2"));
    QCOMPARE(carl->pending("GAMENUMBER"), QByteArrayList());
    QCOMPARE(join(*carl), QByteArray("JOINBAD"));
    // Both rooms stay as they were.
    c[1]->send("GDATA1@@CHATbob: still here");
    QCOMPARE(c[0]->next("GDATA1@@CHAT"), QByteArray("GDATA1@@CHATbob: still here"));
    auto dave = loggedIn("dave");
    QVERIFY(dave);
    QCOMPARE(join(*dave, "x", ""), QByteArray("JOINGAME2"));
    QCOMPARE(carl->next("GDATA2@@JOINGAME"), QByteArray("GDATA2@@JOINGAMEdave"));
}

void LobbyGamesTest::floodLimitsHoldTheirRates_data()
{
    QTest::addColumn<double>("burst");
    QTest::addColumn<double>("perSecond");
    QTest::newRow("chat") << ChatLimit.burst << ChatLimit.perSecond;
    QTest::newRow("control") << ControlLimit.burst << ControlLimit.perSecond;
    QTest::newRow("game data") << GameLimit.burst << GameLimit.perSecond;
}

void LobbyGamesTest::floodLimitsHoldTheirRates()
{
    QFETCH(double, burst);
    QFETCH(double, perSecond);
    TokenBucket bucket(burst, perSecond);
    auto takes = [&bucket](int lines, qint64 atMs) {
        int taken = 0;
        while (taken <= lines && bucket.take(atMs))
            ++taken;
        return taken;
    };
    // The whole burst and not a line more; a second later the whole rate.
    QCOMPARE(takes(int(burst), 0), int(burst));
    QCOMPARE(takes(int(perSecond), 1000), int(perSecond));
    QCOMPARE(takes(int(perSecond), 1999), int(perSecond) - 1);
}

void LobbyGamesTest::closedRoomIsToldInTheLobby_data()
{
    QTest::addColumn<bool>("dropped");
    QTest::newRow("closed by the host") << false;
    QTest::newRow("host's connection dropped") << true;
}

void LobbyGamesTest::closedRoomIsToldInTheLobby()
{
    QFETCH(bool, dropped);
    Clients c = room({"ann", "bob"});
    QVERIFY(!c.empty());
    dropped ? c[0]->socket.abort() : c[0]->send("REMOVEGAME");
    QCOMPARE(c[1]->next("CHATMSG"), QByteArray("CHATMSGann closed the game."));
    QCOMPARE(c[1]->next("GDATA1@@BOOT"), QByteArray("GDATA1@@BOOTbob"));
}

void LobbyGamesTest::stopReadingAndFlood(LobbyClient& host, LobbyClient& flooder)
{
    QObject::disconnect(&host.socket, &QTcpSocket::readyRead, nullptr, nullptr);
    host.socket.setReadBufferSize(1);
    // Game data within its burst, far more than the system's buffers hold.
    const QByteArray line = "GDATA1@@PAD" + QByteArray(platform::LineFramer::MaxLineBytes - 64, 'x') + "\r\n";
    flooder.socket.write(line.repeated(3700));
}

void LobbyGamesTest::roomSurvivesAHostThatStopsReading()
{
    // The host's queue passes its cap while the server is sending the
    // member's lines to the room; the room closes without a fault.
    startServer(unthrottledRelay());
    Clients c = room({"ann", "bob", "carl"});
    QVERIFY(!c.empty());
    auto [ann, bob, carl] = std::tie(c[0], c[1], c[2]);
    stopReadingAndFlood(*ann, *bob);
    QCOMPARE(bob->next("GDATA1@@CHAT"), QByteArray("GDATA1@@CHATann closed the game."));
    QCOMPARE(bob->next("GDATA1@@BOOT"), QByteArray("GDATA1@@BOOTbob"));
    QCOMPARE(carl->next("GDATA1@@BOOT"), QByteArray("GDATA1@@BOOTcarl"));
    QCOMPARE(carl->next("REMOVEGAME"), QByteArray("REMOVEGAMEduel"));
    QTRY_COMPARE(carl->userList(), (QByteArrayList{"bob", "carl"}));
    carl->send("CHATTXTcarl: still up");
    QCOMPARE(bob->next("CHATTXT"), QByteArray("CHATTXTcarl: still up"));
}

void LobbyGamesTest::slowestReaderGoesWhenTheBudgetIsSpent()
{
    // No one peer's cap is reached: the budget for all of them cuts the one
    // that reads least, and only that one.
    ServerConfig limits = unthrottledRelay();
    limits.maxQueuedBytes = 64 * 1024 * 1024;
    limits.outputBudgetBytes = 512 * 1024;
    startServer(limits);
    Clients c = room({"ann", "bob", "carl"});
    QVERIFY(!c.empty());
    auto [ann, bob, carl] = std::tie(c[0], c[1], c[2]);
    stopReadingAndFlood(*ann, *bob);
    QCOMPARE(carl->next("GDATA1@@BOOT"), QByteArray("GDATA1@@BOOTcarl"));
    QTRY_COMPARE(carl->userList(), (QByteArrayList{"bob", "carl"}));
}

void LobbyGamesTest::refusedLinesFillNoLog()
{
    Clients c = room({"ann", "bob", "carl"});
    QVERIFY(!c.empty());
    LogLines logged;
    const QStringList& log = logged.lines;
    QElapsedTimer sending;
    sending.start();
    // Room settings from members, as fast as the line limit lets them through.
    constexpr int Refused = 400;
    std::unique_ptr<LobbyClient> guesser;
    for (int i = 0; i < Refused; ++i) {
        c[1]->send("GDATA1@@MAX2");
        c[2]->send("GDATA1@@MAX3");
        // In the thick of it, a refused login and a refused kick: kinds of
        // their own, which no flood of battle lines hides.
        if (i == Refused / 2) {
            guesser = login("ann", "guess", "0.64", 3);
            c[2]->send("KICKann");
        }
    }
    QCOMPARE(guesser->next(LoginAnswers), QByteArray("BADPASS"));
    QVERIFY(c[1]->sync());
    QVERIFY(c[2]->sync());
    const qint64 seconds = sending.elapsed() / 1000 + 2;  // the seconds the lines may have spanned
    server.reset();  // the last count is said as the server stops
    // A few are logged as they come, from each and from all together; the
    // rest are counted, and the count names who sent them.
    const QStringList dropped = log.filter(QStringLiteral(": line from "));
    QVERIFY(dropped.filter(QStringLiteral("from bob")).size() <= ThrottledLog::PerSourcePerSecond * seconds);
    QVERIFY(dropped.size() <= ThrottledLog::AllPerSecond * seconds);
    const QStringList notes = log.filter(QStringLiteral("refused lines not logged"));
    QCOMPARE(notes.size(), 1);
    const QRegularExpression counts(QStringLiteral("^(\\d+) more refused lines not logged: (\\d+) from (bob|carl), (\\d+) from (bob|carl)$"));
    const QRegularExpressionMatch match = counts.match(notes[0]);
    QVERIFY2(match.hasMatch(), qPrintable(notes[0]));
    QCOMPARE(match.captured(1).toInt(), 2 * Refused - dropped.size());
    QCOMPARE(match.captured(2).toInt() + match.captured(4).toInt(), 2 * Refused - dropped.size());
    QVERIFY(match.captured(3) != match.captured(5));
    QCOMPARE(log.filter(QStringLiteral("login refused for ann from 127.0.0.3")).size(), 1);
    QCOMPARE(log.filter(QStringLiteral("KICK ann from carl ignored")).size(), 1);
}

QTEST_GUILESS_MAIN(LobbyGamesTest)
#include "tst_lobby_games.moc"
