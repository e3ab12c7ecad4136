// The game rooms: the host's start lines and its refusals, what each room
// sends for the user's actions, the room messages' effects on the lists and
// player records, and rooms closed from inside their own handlers.

#include "../frontend/FrontendKit.h"
#include "../screen/SyntheticPictures.h"
#include "battle/frmGame.h"
#include "frontend/Application.h"
#include "frontend/HostRoomWindow.h"
#include "frontend/JoinRoomWindow.h"
#include "frontend/LobbyWindow.h"
#include "frontend/MapPreview.h"
#include "frontend/frmEndGame.h"
#include "net/NetworkRooms.h"
#include "net/frmChat.h"
#include "screen/BattleView.h"
#include "screen/PictureStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace modStrat;
using platform::dialogScript::shown;

namespace {

// Both rooms on a recorded lobby connection, as user "host" in game 7.
struct RoomsKit {
    RoomsKit()
    {
        UserName = QStringLiteral("host");
        GameNumber = QStringLiteral("7");
    }

    // A host room with ann and bob joined and ready, and the duel map chosen.
    frmHost& readyHost()
    {
        rooms.OpenHostLobby();
        receive(true, QStringLiteral("JOINGAMEann\nREADYann\nJOINGAMEbob\nREADYbob"));
        rooms.host().cmdChooseMap_Click(folder.writeDuel(), true);
        sent.clear();
        return rooms.host();
    }

    // A joined room as user ann, with the host and ann listed.
    frmJoin& joinedAsAnn()
    {
        UserName = QStringLiteral("ann");
        rooms.OpenJoinLobby();
        receive(false, QStringLiteral("JOINGAMEhost\nJOINGAMEann"));
        sent.clear();
        return rooms.join();
    }

    // Received game-data messages of game 7, one a line, through the receive engine.
    void receive(bool host, const QString& lines)
    {
        for (const QString& line : lines.split(QLatin1Char('\n'))) {
            const QString data = QStringLiteral("7@@") + line;
            host ? rooms.HandleHostGameData(data) : rooms.HandleClientGameData(data);
        }
    }

    FrontendFolder folder;
    QStringList sent;
    QStringList written;
    // Runs inside a send, as a line received during it would.
    std::function<void(const QString& line)> duringSend;
    NetworkRooms rooms{LobbyLink{[this](const QString& line) {
                                     sent << line;
                                     if (duringSend)
                                         duringSend(line);
                                 },
                                 [this](const QString& text) { written << text; },
                                 {}}};
};

// The joined room as ann, on view.
struct JoinedWindow {
    JoinedWindow() { window.show(); }
    RoomsKit kit;
    PictureStore pictures;
    frmJoin& join = kit.joinedAsAnn();
    JoinRoomWindow window{join, pictures};
};

QString recordsOf()
{
    QStringList records;
    for (const PlayerRecord& p : Players)
        records << p.Name + (p.InUse ? "+" : "") + (p.Ready ? "*" : "") + (p.IsComputer ? "c" : "");
    return records.join(',');
}

}  // namespace

class RoomsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hostStartLines_data();
    void hostStartLines();
    void refusedStartSendsNothing_data();
    void refusedStartSendsNothing();
    void joinDuringTheStartIsNotInTheBattle();
    void roomMessagesShow_data();
    void roomMessagesShow();
    void mapBurstIsShownOnce_data();
    void mapBurstIsShownOnce();
    void mapOutsideTheFolderIsRefused_data();
    void mapOutsideTheFolderIsRefused();
    void userActionsSend_data();
    void userActionsSend();
    void racePickedFromTheListSendsNothing();
    void roomChatKeepsItsNewestLines();
    void controlsLeaveAWideMapInView();
    void hostingAgainAfterABattleTakesJoins();
    void bootWhileTheRaceBoxIsOpen();
    void startDuringTheReadySend();
    void peerSocketsStayInert();
    void joinedBattleOpensFromTheRoom();
};

void RoomsTest::hostStartLines_data()
{
    QTest::addColumn<int>("members");   // besides the host
    QTest::addColumn<bool>("timeLimit");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("records");
    const QString map = QStringLiteral("GDATA7@@MAPNAMEduel.spw");
    QTest::newRow("host, ann and bob")
        << 2 << true
        << QStringList{map, "GDATA7@@NUM2ann", "GDATA7@@NUM3bob", "GDATA7@@MAX3", "GDATA7@@TIMEON",
                       "GDATA7@@TIMESEC60", map, "GDATA7@@STARTGAME", "STARTGAME7"}
        << 60 << "host+*,ann+*,bob+*,";
    QTest::newRow("no time limit")
        << 1 << false
        << QStringList{map, "GDATA7@@NUM2ann", "GDATA7@@MAX2", "GDATA7@@TIMEOFF", map, "GDATA7@@STARTGAME",
                       "STARTGAME7"}
        << NoTimeLimit << "host+*,ann+*,,";
    QTest::newRow("host alone") << 0 << true
                                << QStringList{map, "GDATA7@@MAX1", "GDATA7@@TIMEON", "GDATA7@@TIMESEC60", map,
                                               "GDATA7@@STARTGAME", "STARTGAME7"}
                                << 60 << "host+*,,,";
}

void RoomsTest::hostStartLines()
{
    QFETCH(int, members);
    QFETCH(bool, timeLimit);
    QFETCH(QStringList, expected);
    QFETCH(int, limit);
    QFETCH(QString, records);
    RoomsKit kit;
    frmHost& host = kit.readyHost();
    while (host.lstOps.size() > members + 1)
        host.LeaveGame(std::int32_t(host.lstOps.size()));
    if (!timeLimit)
        host.chkTime_Click(false);
    Players[3].IsComputer = true;   // left by a hot-seat game
    kit.sent.clear();
    QSignalSpy battle(&host, &GameRoom::battleRequested);

    host.cmdStart_Click();
    QCOMPARE(kit.sent, expected);
    QCOMPARE(PlayerCount, members + 1);
    QCOMPARE(TimeLimit, limit);
    QCOMPARE(MyPlayer, 1);
    QCOMPARE(MapPath, kit.folder.path("duel.spw"));
    QVERIFY(!IsOfflineGame && StartGamePending);
    QCOMPARE(recordsOf(), records);
    QVERIFY(!Players[3].IsComputer);
    // Hidden with an empty list, so the lobby takes joins again; the battle opens from the event loop.
    QVERIFY(!host.IsShown() && host.lstOps.isEmpty() && !kit.rooms.IsHosting());
    QCOMPARE(battle.count(), 0);
    QVERIFY(battle.wait());
}

void RoomsTest::refusedStartSendsNothing_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("box");
    QTest::newRow("no map") << "no map" << frmHost::NoMap;
    QTest::newRow("bob not ready") << "bob not ready" << frmHost::NotAllReady;
    QTest::newRow("no seconds") << "" << frmHost::BadSeconds;
    QTest::newRow("zero seconds") << "0" << frmHost::BadSeconds;
}

void RoomsTest::refusedStartSendsNothing()
{
    QFETCH(QString, change);
    QFETCH(QString, box);
    RoomsKit kit;
    frmHost& host = kit.readyHost();
    if (change == "no map")
        host.MapFile.clear();
    else if (change == "bob not ready")
        host.NotReady(QStringLiteral("bob"));
    else
        host.txtTime_Change(change);
    const QStringList list = host.lstOps;
    QSignalSpy battle(&host, &GameRoom::battleRequested);

    host.cmdStart_Click();
    QCOMPARE(shown(), QStringList{box});
    QCOMPARE(kit.sent, QStringList());
    QCOMPARE(host.lstOps, list);
    QVERIFY(host.IsShown());
    QCoreApplication::processEvents();
    QCOMPARE(battle.count(), 0);
}

void RoomsTest::joinDuringTheStartIsNotInTheBattle()
{
    RoomsKit kit;
    frmHost& host = kit.readyHost();
    kit.duringSend = [&](const QString& line) {
        if (line.startsWith("GDATA7@@NUM2"))
            kit.receive(true, QStringLiteral("JOINGAMEcid"));
    };
    host.cmdStart_Click();
    QCOMPARE(kit.sent.filter("@@NUM"), (QStringList{"GDATA7@@NUM2ann", "GDATA7@@NUM3bob"}));
    QVERIFY(kit.sent.contains("GDATA7@@MAX3"));
    QCOMPARE(PlayerCount, 3);
}

void RoomsTest::roomMessagesShow_data()
{
    QTest::addColumn<bool>("host");
    QTest::addColumn<QString>("lines");     // after host, ann and bob are in
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("records");
    QTest::addColumn<QString>("shown");     // chat; a joined room's map and time captions and TimeLimit too
    const QString all = QStringLiteral("host+,ann+,bob+,");
    QTest::newRow("host: ready and not by name")
        << true << "READYann\nNOTREADYann\nREADYbob" << "host,ann,*bob" << "host+,ann+,bob+*," << "";
    QTest::newRow("host: those after a leaver move up")
        << true << "READYbob\nLEAVEGAME2" << "host,*bob" << "host+,bob+*,," << "";
    QTest::newRow("host: no fifth member, and the line ends")
        << true << "JOINGAMEcid\nJOINGAMEdan@CHATafter" << "host,ann,bob,cid" << "host+,ann+,bob+,cid+" << "";
    QTest::newRow("host: a leaver not listed ends the line")
        << true << "LEAVEGAME4@CHATafter" << "host,ann,bob" << all << "";
    // Every message goes after a line end, the first one too.
    QTest::newRow("host: chat up to an @") << true << "CHATann: a@ENDTURN" << "host,ann,bob" << all << "\nann: a";
    QTest::newRow("joined: a name held already") << false << "JOINGAMEbob" << "host,ann,bob" << all
                                                 << "||Enabled|60|0";
    QTest::newRow("joined: others' ready marks")
        << false << "READYbob\nCHAThost: go" << "host,ann,*bob" << "host+,ann+,bob+*," << "\nhost: go||Enabled|60|0";
    QTest::newRow("joined: time on alone changes the caption only")
        << false << "TIMEOFF\nTIMEON" << "host,ann,bob" << all << "||Enabled|60|9999";
    QTest::newRow("joined: seconds") << false << "TIMESEC90" << "host,ann,bob" << all << "||Enabled|90|90";
    QTest::newRow("joined: a map we have") << false << "MAPNAMEduel.spw" << "host,ann,bob" << all
                                           << "|Duel|Enabled|60|0";
    QTest::newRow("joined: a map we lack") << false << "MAPNAMEnowhere.spw" << "host,ann,bob" << all
                                           << "|nowhere.spw (not found)|Enabled|60|0";
}

void RoomsTest::roomMessagesShow()
{
    QFETCH(bool, host);
    QFETCH(QString, lines);
    RoomsKit kit;
    kit.folder.writeDuel();
    // Left by an earlier game: the room's opening clears it.
    Players[4] = PlayerRecord{QStringLiteral("old"), true, true, true, 2};
    MyPlayer = 4;
    GameRoom& room = host ? static_cast<GameRoom&>(kit.rooms.host()) : kit.rooms.join();
    if (host)
        kit.rooms.OpenHostLobby();
    else
        kit.rooms.OpenJoinLobby();
    kit.receive(host, host ? "JOINGAMEann\nJOINGAMEbob" : "JOINGAMEhost\nJOINGAMEann\nJOINGAMEbob");
    QCOMPARE(MyPlayer, host ? 4 : 0);
    kit.receive(host, lines);
    // A joined room shows the announced map once the event loop turns.
    QCoreApplication::processEvents();
    QTEST(room.lstOps.join(','), "list");
    QTEST(recordsOf(), "records");
    QString shown = room.txtChat().text();
    if (!host) {
        const frmJoin& join = kit.rooms.join();
        shown += QStringList{"", join.lblCurrentMap, join.lblTimeLimit, join.lblTimeSec, QString::number(TimeLimit)}
                     .join('|');
    }
    QTEST(shown, "shown");
}

void RoomsTest::mapBurstIsShownOnce_data()
{
    QTest::addColumn<QString>("last");     // the burst's last map
    QTest::addColumn<QString>("caption");
    QTest::newRow("ends on a map we have") << "duel.spw" << "Duel";
    QTest::newRow("ends on a map we lack") << "nowhere.spw" << "nowhere.spw (not found)";
}

// A host's burst of map announcements: only the last map is read and drawn, once.
void RoomsTest::mapBurstIsShownOnce()
{
    QFETCH(QString, last);
    QFETCH(QString, caption);
    RoomsKit kit;
    const PictureStore pictures = syntheticStore();
    JoinRoomWindow window(kit.joinedAsAnn(), pictures);
    window.show();
    const QString duel = kit.folder.writeDuel();
    MapBuilder coast(12, 9, 30);
    coast.map.Name = QStringLiteral("Coast");
    kit.folder.writeMap(coast, QStringLiteral("coast.spw"));
    QSignalSpy previews(&kit.rooms.join(), &frmJoin::previewRequested);

    QStringList burst;
    for (int i = 0; i < 50; ++i)
        burst << "MAPNAMEcoast.spw" << "MAPNAMEnowhere.spw" << "MAPNAMEduel.spw";
    kit.receive(false, burst.join('\n') + "\nMAPNAMEcoast.spw@MAPNAME" + last);
    QCOMPARE(previews.count(), 0);
    QCoreApplication::processEvents();
    const QString path = last == "duel.spw" ? duel : QString();
    QCOMPARE(previews.count(), 1);
    QCOMPARE(previews.first().first().toString(), path);
    QCOMPARE(MapPath, path);
    QCOMPARE(window.lblCurrentMap->text(), caption);
    MapPreview fresh(pictures);
    if (!path.isEmpty())
        fresh.showMap(path);
    QCOMPARE(window.preview->image(), fresh.image());
}

void RoomsTest::mapOutsideTheFolderIsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("in the program folder") << "duel.spw" << true;
    QTest::newRow("in a folder below it") << "sub/Docks.spw" << false;
    QTest::newRow("in the folder above it") << "../Docks.spw" << false;
}

// Every file named exists; only the one right in the program folder may be played.
void RoomsTest::mapOutsideTheFolderIsRefused()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    RoomsKit kit;
    frmJoin& join = kit.joinedAsAnn();
    QVERIFY(QDir(kit.folder.path(QString())).mkpath(QStringLiteral("game/sub")));
    kit.folder.writeDuel(QStringLiteral("game/duel.spw"));
    kit.folder.writeDuel(QStringLiteral("game/sub/Docks.spw"));
    kit.folder.writeDuel(QStringLiteral("Docks.spw"));
    platform::setProgramFolder(kit.folder.path(QStringLiteral("game")));
    QSignalSpy battle(&join, &GameRoom::battleRequested);

    kit.receive(false, "MAPNAME" + name + "\nNUM2ann\nMAX2\nSTARTGAME");
    QCOMPARE(MapPath, accepted ? kit.folder.path("game/duel.spw") : QString());
    QCOMPARE(shown(), accepted ? QStringList() : QStringList{frmJoin::MissingMapText.arg(name)});
    QCOMPARE(battle.wait(100), accepted);
}

using Action = std::function<void(RoomsKit&)>;
Q_DECLARE_METATYPE(Action)

void RoomsTest::userActionsSend_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("gameNumber");   // afterwards
    auto host = [](RoomsKit& k) -> frmHost& { return k.readyHost(); };
    auto join = [](RoomsKit& k) -> frmJoin& { return k.joinedAsAnn(); };
    QTest::newRow("ready, then not")
        << Action([=](RoomsKit& k) {
               join(k).chkReady_Click(true);
               k.rooms.join().chkReady_Click(false);
           })
        << QStringList{"GDATA7@@READYann", "GDATA7@@NOTREADYann"} << "7";
    QTest::newRow("chat cannot add parts")
        << Action([=](RoomsKit& k) { join(k).cmdSend_Click("gg@ENDTURN"); })
        << QStringList{"GDATA7@@CHATann: ggENDTURN"} << "7";
    QTest::newRow("empty chat") << Action([=](RoomsKit& k) { host(k).cmdSend_Click(""); })
                                << QStringList{"GDATA7@@CHAThost: "} << "7";
    QTest::newRow("boot the selected member, mark and all")
        << Action([=](RoomsKit& k) { host(k).cmdBoot_Click(2); }) << QStringList{"GDATA7BOOT*bob"} << "7";
    QTest::newRow("boot nobody, or the host")
        << Action([=](RoomsKit& k) {
               host(k).cmdBoot_Click(-1);
               k.rooms.host().cmdBoot_Click(0);
           })
        << QStringList() << "7";
    QTest::newRow("time limit off and on, seconds as typed")
        << Action([=](RoomsKit& k) {
               frmHost& h = host(k);
               h.chkTime_Click(false);
               h.chkTime_Click(true);
               for (const char* text : {"6", "", "9", "90"})
                   h.txtTime_Change(QLatin1String(text));
           })
        << QStringList{"GDATA7@@TIMEOFF", "GDATA7@@TIMEON", "GDATA7@@TIMESEC6", "GDATA7@@TIMESEC9",
                       "GDATA7@@TIMESEC90"}
        << "7";
    QTest::newRow("race typed wrong is reset and sent")
        << Action([=](RoomsKit& k) {
               QCOMPARE(join(k).cmbRace_Change("Q"), QStringLiteral("Empyreians"));
               QCOMPARE(k.rooms.join().cmbRace_Change("Qorrans"), QStringLiteral("Qorrans"));
           })
        << QStringList{"GDATA7RACEEmpyreians", "GDATA7RACEQorrans"} << "7";
    QTest::newRow("team only when whole")
        << Action([=](RoomsKit& k) {
               for (const char* text : {"", "Bl", "blue", "Blue"})
                   host(k).cmbTeam_Change(QLatin1String(text));
           })
        << QStringList{"GDATA7TEAMBlue"} << "7";
    QTest::newRow("a joined player closes the room")
        << Action([=](RoomsKit& k) { join(k).Form_Unload(); }) << QStringList{"LEAVEGAME"} << "";
    QTest::newRow("the host closes the room")
        << Action([=](RoomsKit& k) { host(k).Form_Unload(); }) << QStringList{"REMOVEGAME"} << "";
    // The connection is gone: the room closes with no word that no one would hear.
    QTest::newRow("the connection is lost in a joined room")
        << Action([=](RoomsKit& k) {
               join(k);
               k.rooms.ConnectionLost();
           })
        << QStringList() << "";
    QTest::newRow("the connection is lost in the host's room")
        << Action([=](RoomsKit& k) {
               host(k);
               k.rooms.ConnectionLost();
           })
        << QStringList() << "";
    QTest::newRow("a start on a map we lack: we leave as the quit key does")
        << Action([=](RoomsKit& k) {
               join(k);
               k.receive(false, "MAPNAMEnowhere.spw\nNUM2ann\nMAX2\nSTARTGAME");
               QCOMPARE(shown(), QStringList{frmJoin::MissingMapText.arg("nowhere.spw")});
           })
        << QStringList{"GDATA7@@INCHATann has quit the game.", "GDATA7@@EXITGAME2", "LEAVEGAME"} << "";
    QTest::newRow("a start that names someone else: we leave")
        << Action([=](RoomsKit& k) {
               join(k);
               k.folder.writeDuel();
               k.receive(false, "MAPNAMEduel.spw\nNUM2bob\nMAX2\nSTARTGAME");
               QCOMPARE(shown(), QStringList{frmJoin::NotNamedText});
           })
        << QStringList{"LEAVEGAME"} << "";
    // The server's reason, not a boot, though a boot follows for clients that know no other word.
    QTest::newRow("left out by the start")
        << Action([=](RoomsKit& k) {
               join(k);
               k.receive(false, "LEFTOUTThe battle started without you: you were not marked ready.\nBOOTann");
               QCOMPARE(shown(), QStringList{"The battle started without you: you were not marked ready."});
           })
        << QStringList{"LEAVEGAME"} << "";
    QTest::newRow("a map name that would split the line")
        << Action([=](RoomsKit& k) { host(k).cmdChooseMap_Click(k.folder.writeDuel("a@b.spw"), true); })
        << QStringList() << "7";
}

void RoomsTest::userActionsSend()
{
    QFETCH(Action, action);
    QFETCH(QStringList, expected);
    QFETCH(QString, gameNumber);
    RoomsKit kit;
    action(kit);
    QCOMPARE(kit.sent, expected);
    QCOMPARE(GameNumber, gameNumber);
    // Having left, the joined room is closed and takes nothing more.
    if (gameNumber.isEmpty())
        QVERIFY(!kit.rooms.join().IsShown() && !kit.rooms.IsHosting());
}

void RoomsTest::racePickedFromTheListSendsNothing()
{
    RoomsKit kit;
    PictureStore pictures;
    HostRoomWindow window(kit.readyHost(), pictures);
    window.show();
    window.cmbRace->setCurrentIndex(1);
    window.cmbTeam->setCurrentIndex(2);
    QCOMPARE(kit.sent, QStringList());
    QTest::keyClicks(window.cmbTeam->lineEdit(), QStringLiteral("x"));
    window.cmbTeam->lineEdit()->clear();
    QTest::keyClicks(window.cmbTeam->lineEdit(), QStringLiteral("Red"));
    QCOMPARE(kit.sent, QStringList{"GDATA7TEAMRed"});
    // The seconds box opens only when the limit is switched on by hand.
    QVERIFY(window.chkTime->isChecked() && !window.txtTime->isEnabled());
    window.chkTime->click();
    window.chkTime->click();
    QVERIFY(window.txtTime->isEnabled());
}

void RoomsTest::roomChatKeepsItsNewestLines()
{
    JoinedWindow joined;
    auto& [kit, pictures, join, window] = joined;
    kit.receive(false, QStringLiteral("CHATa"));
    QTRY_COMPARE(window.txtChat->toPlainText(), QStringLiteral("\na"));
    for (int i = 1; i <= ChatLog::MaxLines; ++i)
        kit.receive(false, QStringLiteral("CHAT%1").arg(i));
    QCOMPARE(join.txtChat().lines().size(), ChatLog::MaxLines);
    QCOMPARE(join.txtChat().lines().first(), QStringLiteral("1"));
    QTRY_COMPARE(window.txtChat->toPlainText(), join.txtChat().text());
}

void RoomsTest::controlsLeaveAWideMapInView()
{
    RoomsKit kit;
    PictureStore pictures;
    HostRoomWindow host(kit.rooms.host(), pictures);
    JoinRoomWindow join(kit.rooms.join(), pictures);
    // The cells of a map 32 tiles wide and 22 high.
    const QRect cells(MapPreview::WindowPosition + MapPreview::origin(), QSize(32, 22) * MapPreview::Cell);
    for (RoomWindow* window : {static_cast<RoomWindow*>(&host), static_cast<RoomWindow*>(&join)}) {
        window->show();
        for (const QWidget* control : window->findChildren<QWidget*>()) {
            if (control == window->preview || !control->isVisible())
                continue;
            const QRect at(control->mapTo(window, QPoint()), control->size());
            QVERIFY2(!at.intersects(cells), qPrintable(window->objectName() + control->objectName()));
        }
    }
}

void RoomsTest::hostingAgainAfterABattleTakesJoins()
{
    RoomsKit kit;
    frmChat chat;
    chat.rooms = &kit.rooms;
    frmHost& host = kit.readyHost();
    host.cmdStart_Click();

    // The lobby lets this player join someone else's game now...
    chat.receive("JOINGAME9\r\n");
    QVERIFY(kit.rooms.join().IsShown());
    QCOMPARE(GameNumber, QStringLiteral("9"));
    // ...or host again, with nothing left of the last room.
    kit.rooms.OpenHostLobby();
    QVERIFY(!kit.rooms.join().IsShown() && kit.rooms.IsHosting());
    QVERIFY(host.JoinGame(QStringLiteral("dan")));
    QCOMPARE(host.lstOps, (QStringList{"host", "dan"}));
    QCOMPARE(recordsOf(), QStringLiteral("host+,dan+,,"));
    host.cmdStart_Click();
    QCOMPARE(shown(), QStringList{frmHost::NotAllReady});
}

void RoomsTest::bootWhileTheRaceBoxIsOpen()
{
    JoinedWindow joined;
    auto& [kit, pictures, join, window] = joined;
    const int listener = platform::addModalListener([&](bool open) {
        if (open)
            kit.receive(false, QStringLiteral("BOOTann"));
    });
    QTest::keyClicks(window.cmbRace->lineEdit(), QStringLiteral("x"));
    platform::removeModalListener(listener);
    // The boot's box opened on top of the race box, so it is recorded first.
    QCOMPARE(shown(), (QStringList{frmJoin::BootedText, GameRoom::InvalidRace}));
    QCOMPARE(kit.sent, QStringList{"LEAVEGAME"});
    QVERIFY(!window.isVisible() && GameNumber.isEmpty());
}

void RoomsTest::startDuringTheReadySend()
{
    JoinedWindow joined;
    auto& [kit, pictures, join, window] = joined;
    PlayerCount = 2;
    MyPlayer = 2;
    MapPath = kit.folder.writeDuel();
    kit.duringSend = [&](const QString&) { kit.receive(false, QStringLiteral("STARTGAME")); };
    QSignalSpy battle(&join, &GameRoom::battleRequested);
    window.chkReady->click();
    QCOMPARE(kit.sent, QStringList{"GDATA7@@READYann"});
    QVERIFY(!window.isVisible());
    QVERIFY(battle.wait());
}

void RoomsTest::peerSocketsStayInert()
{
    RoomsKit kit;
    frmHost& host = kit.readyHost();
    QVERIFY(!host.Server.isListening() && !host.timeSend.isActive());
    // Were the transfer started, its lines would go out as ever: no "@@", no line end.
    host.TransferLast = 0;
    host.timeSend.start(0);
    QTRY_VERIFY(!host.timeSend.isActive());
    QCOMPARE(kit.written.first(), QStringLiteral("GDATA7MAPNUM0@"));
    QCOMPARE(kit.written.last(), QStringLiteral("GDATA7MAPDONE@"));
    QCOMPARE(kit.written.size(), 8);
}

void RoomsTest::joinedBattleOpensFromTheRoom()
{
    FrontendFolder folder;
    folder.writeDuel();
    Application::Parts parts;
    parts.music = std::make_unique<platform::SilentMusicPlayer>();
    parts.random = std::make_unique<platform::ScriptedRandom>();
    Application app(std::move(parts));
    app.start();
    UserName = QStringLiteral("ann");
    Players[2].IsComputer = true;   // left by a hot-seat game

    // The lobby's word, then the server's and the host's lines, all in one
    // arrival; the host leaves at once, and that line waits for the battle to begin.
    app.chat().receive("JOINGAME7\r\nGDATA7@@JOINGAMEhost\r\nGDATA7@@JOINGAMEann\r\nGDATA7@@MAPNAMEduel.spw\r\n"
                       "GDATA7@@NUM2ann\r\nGDATA7@@MAX2\r\nGDATA7@@TIMEOFF\r\nGDATA7@@MAPNAMEduel.spw\r\n"
                       "GDATA7@@STARTGAME\r\nGDATA7@@EXITGAME1\r\n");
    QVERIFY(!app.joinRoom().isVisible() && !app.battleView());
    QTRY_VERIFY(app.results());
    QCOMPARE(MyPlayer, 2);
    QCOMPARE(PlayerCount, 2);
    QCOMPARE(TimeLimit, NoTimeLimit);
    QVERIFY(!Players[2].IsComputer && !IsOfflineGame);
    QVERIFY(!app.game().Running);
    QCOMPARE(app.results()->lblBanner->text(), QStringLiteral("Victory!"));
    app.results()->cmdContinue->click();
    QTRY_VERIFY(app.lobby().isVisible());
    // The host's side is played end to end (tests/e2e).
}

QTEST_MAIN(RoomsTest)
#include "tst_rooms.moc"
