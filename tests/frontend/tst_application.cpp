// The whole run: start window, hot-seat set-up, a battle, its results and back.

#include "FrontendKit.h"
#include "frontend/Application.h"
#include "frontend/LobbyWindow.h"
#include "net/NetworkRooms.h"
#include "net/frmChat.h"
#include "frontend/frmEndGame.h"
#include "frontend/frmIntro2.h"
#include "frontend/frmLocalGame.h"
#include "screen/BattleView.h"

#include <QDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QListWidget>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextEdit>
#include <QtTest>

using namespace modStrat;
using platform::dialogScript::pushFileName;

namespace {

struct Run {
    Run()
    {
        Application::Parts parts;
        auto silent = std::make_unique<platform::SilentMusicPlayer>(QStringList{QStringLiteral("tune.mid")});
        music = silent.get();
        parts.music = std::move(silent);
        parts.random = std::make_unique<platform::ScriptedRandom>();
        app = std::make_unique<Application>(std::move(parts));
        app->start();
    }

    // Local Game, the map, Start: the battle is under way.
    bool startHotSeat(const QString& map)
    {
        app->startWindow().cmdLocalGame->click();
        if (!app->localGame())
            return false;
        pushFileName(map);
        app->localGame()->cmdChooseMap->click();
        app->localGame()->cmdStart->click();
        return QTest::qWaitFor([this] { return app->game().Running; }, 5000);
    }

    // Logs in to `server`, which lists its game "duel", and goes to `place`
    // (as goTo); the server's end of the link, null when that failed.
    QTcpSocket* enterLobby(const QString& place)
    {
        if (!server.listen(QHostAddress::LocalHost))
            return nullptr;
        modStrat::ServerIP = QStringLiteral("127.0.0.1");
        frmIntro2& start = app->startWindow();
        start.lobbyPort = server.serverPort();
        QTest::keyClicks(start.txtName, QStringLiteral("alba"));
        start.cmdConnect->click();
        if (!QTest::qWaitFor([&] { return server.hasPendingConnections(); }, 5000))
            return nullptr;
        QTcpSocket* peer = server.nextPendingConnection();
        peer->write("GOODPASS\r\nLISTADDbob\r\nLISTDONE\r\nADDGAMEduel\r\n");
        if (!QTest::qWaitFor([&] { return app->lobby().lstGames->count() == 1; }, 5000) || !goTo(place, *peer))
            return nullptr;
        return peer;
    }

    // From the lobby to `place`: "lobby", "hot seat", "battle" (a network
    // battle), "defeat" (the results of a network battle lost), "host" (its
    // own room) or "join" (a joined room).
    bool goTo(const QString& place, QTcpSocket& peer)
    {
        if (place == u"hot seat" || place == u"battle" || place == u"defeat") {
            if (!startHotSeat(folder.writeDuel()))
                return false;
            modStrat::IsOfflineGame = place == u"hot seat";
            if (place == u"defeat") {
                for (UnitRecord& unit : modStrat::Units)
                    unit.V = unit.V && unit.P != modStrat::MyPlayer;
                app->game().CheckLoss(modStrat::MyPlayer);
                if (!app->results())
                    return false;
            }
        } else if (place == u"host") {
            app->lobby().cmdCreateGame->click();
        } else if (place == u"join") {
            peer.write("JOINGAME5\r\n");
        }
        const bool room = place == u"host" || place == u"join";
        return QTest::qWaitFor([&] { return app->rooms().IsOpen() == room; }, 5000);
    }

    // What the client sent `peer` up to a line of the test's own.
    QByteArray sentUntil(QTcpSocket& peer, const QString& marker)
    {
        app->chat().sendLine(marker);
        QByteArray sent;
        (void)QTest::qWaitFor([&] { return (sent += peer.readAll()).endsWith(marker.toLatin1() + "\r\n"); });
        return sent;
    }

    FrontendFolder folder;
    platform::SilentMusicPlayer* music = nullptr;
    std::unique_ptr<Application> app;
    // The lobby server's stand-in; it goes before the program does.
    QTcpServer server;
};

}  // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hotSeatBattleToResultsAndBack()
    {
        Run run;
        Application& app = *run.app;
        QVERIFY(app.startWindow().isVisible() && run.music->playing() && !app.lobby().isVisible());
        QVERIFY(run.startHotSeat(run.folder.writeDuel()));
        QTRY_VERIFY(!app.localGame());
        QVERIFY(app.battleView() && app.battleView()->isVisible() && app.startWindow().isVisible());
        QVERIFY(MapWidth == 8 && MyPlayer == 1);
        // Frames run off the battle's own timer.
        QTRY_VERIFY(app.game().EndTurnCooldown < frmGame::OfflineEndTurnCooldown);

        for (UnitRecord& unit : Units)
            unit.V = unit.V && unit.P != 2;
        app.game().CheckLoss(2);
        QVERIFY(!app.game().Running && !app.battleView()->isVisible());
        QVERIFY(app.results() && app.results()->isVisible());
        QCOMPARE(app.results()->lblBanner->text(), QStringLiteral("Victory!"));
        app.results()->cmdContinue->click();
        QTRY_VERIFY(!app.results() && app.startWindow().isVisible());
        // A second battle in the same run.
        QVERIFY(run.startHotSeat(run.folder.writeDuel()));
    }

    void closingTheBattleWindowEndsTheBattle()
    {
        Run run;
        Application& app = *run.app;
        QVERIFY(run.startHotSeat(run.folder.writeDuel()));
        app.battleView()->close();
        QVERIFY(!app.game().Running);
        QTRY_VERIFY(!app.battleView());
        QVERIFY(!app.game().services.display && app.startWindow().isVisible());
        QVERIFY(run.startHotSeat(run.folder.writeDuel()));
        QCOMPARE(app.game().services.display, static_cast<BattleDisplay*>(app.battleView()));
    }

    void aMapGrownTooBigIsRefusedAtTheStart()
    {
        Run run;
        Application& app = *run.app;
        const QString map = run.folder.writeDuel();
        app.startWindow().cmdLocalGame->click();
        frmLocalGame* setUp = app.localGame();
        app.startWindow().cmdLocalGame->click();  // each window exists once
        QCOMPARE(app.localGame(), setUp);
        pushFileName(map);
        setUp->cmdChooseMap->click();
        // The file changes between the preview and Start.
        QFile file(map);
        QVERIFY(file.open(QIODevice::Append));
        file.write(QByteArray(mapfile::FileByteLimit, ';'));
        file.close();
        setUp->cmdStart->click();
        QTRY_VERIFY(!app.game().refusal().isEmpty());
        QCOMPARE(platform::dialogScript::shown().last(), app.game().refusal());
        QVERIFY(app.game().refusal().contains(QStringLiteral("no valid size")));
        QVERIFY(!app.game().Running);
    }

    void aLostServerIsSaidAndTheLoginComesBack_data()
    {
        QTest::addColumn<QString>("place");  // where the player is when the server goes
        QTest::addColumn<bool>("told");      // a box says so, then it closes
        QTest::addColumn<QString>("box");    // the box open then, if any; the game's own close before the news
        QTest::newRow("the lobby: its red line alone") << "lobby" << false << "";
        QTest::newRow("a hot-seat battle goes on") << "hot seat" << false << "";
        QTest::newRow("a hot-seat battle keeps Exit's question") << "hot seat" << false << "exit";
        QTest::newRow("a network battle") << "battle" << true << "";
        QTest::newRow("a network battle, asking Exit's question") << "battle" << true << "exit";
        QTest::newRow("a network battle, a notice over Exit's question") << "battle" << true << "notice over exit";
        QTest::newRow("a network battle, asking the saved game's name") << "battle" << true << "save name";
        QTest::newRow("a network battle, the box after the saved game's name") << "battle" << true << "bad save name";
        QTest::newRow("the host's room") << "host" << true << "";
        QTest::newRow("the host's room, saying no map is chosen") << "host" << true << "start";
        QTest::newRow("a joined room") << "join" << true << "";
        QTest::newRow("a joined room, saying the race is invalid") << "join" << true << "race";
    }

    void aLostServerIsSaidAndTheLoginComesBack()
    {
        QFETCH(QString, place);
        QFETCH(bool, told);
        QFETCH(QString, box);
        Run run;
        Application& app = *run.app;
        QTcpSocket* peer = run.enterLobby(place);
        QVERIFY(peer);
        platform::dialogScript::clear();
        // The news comes while the battle is still on screen.
        bool battleShownAtBox = false;
        const int listener = platform::addModalListener([&](bool open) {
            if (open && platform::dialogScript::enabled())
                battleShownAtBox = app.game().InBattle && app.battleView()->isVisible();
        });

        // Real boxes may be open, innermost last. The game's own close and
        // return to their caller before the news comes; no other game's do.
        bool newsTooSoon = false;
        bool leftOpen = false;
        if (box.isEmpty()) {
            peer->disconnectFromHost();
        } else {
            RealBoxes real;
            const auto serverGoes = [&](const QList<QPointer<QDialog>>& open) {
                platform::dialogScript::enable();  // the news takes a scripted answer
                peer->disconnectFromHost();
                const auto anyShown = [&] {
                    return std::any_of(open.begin(), open.end(),
                                       [](const QPointer<QDialog>& d) { return d && d->isVisible(); });
                };
                (void)QTest::qWaitFor([&] { return app.lobby().txtChat->toPlainText().endsWith(frmChat::LostText); });
                (void)QTest::qWaitFor([&] { return !anyShown() || !platform::dialogScript::shown().isEmpty(); },
                                      told ? 5000 : 200);
                leftOpen = anyShown();
                // Left open, they are closed here all the same.
                for (auto it = open.rbegin(); it != open.rend(); ++it) {
                    if (*it)
                        (*it)->reject();
                }
            };
            if (box == u"bad save name") {
                whenModal<QInputDialog>([&](QInputDialog* name) {
                    name->setTextValue(QStringLiteral("a/b"));
                    name->accept();
                    whenModal<QMessageBox>([&](QMessageBox* refused) { serverGoes({refused}); });
                });
            } else if (box == u"notice over exit") {
                whenModal<QMessageBox>([&](QMessageBox* question) {
                    whenModalWhere<QMessageBox>([question](QMessageBox* b) { return b != question; },
                                                [&, question](QMessageBox* notice) { serverGoes({question, notice}); });
                    platform::messageBox(QStringLiteral("A notice"));
                });
            } else {
                whenModal<QDialog>([&](QDialog* own) { serverGoes({own}); });
            }
            if (box == u"race") {
                app.rooms().join().cmbRace_Change(QStringLiteral("Gnomes"));
            } else if (box == u"start") {
                app.rooms().host().cmdStart_Click();
            } else {
                app.game().LoadMainMenuOptions();
                app.game().subMainMenuOption(box.contains(u"save") ? 2 : 3);
            }
            newsTooSoon = !platform::dialogScript::shown().isEmpty();
        }
        // The lobby window's side of it is in the lobby test.
        QTRY_VERIFY(app.lobby().txtChat->toPlainText().endsWith(frmChat::LostText));
        QCoreApplication::processEvents();
        QTRY_COMPARE(platform::dialogScript::shown(), told ? QStringList{frmChat::LostText} : QStringList());
        platform::removeModalListener(listener);
        QVERIFY(!newsTooSoon);
        QCOMPARE(leftOpen, !told && !box.isEmpty());
        QCOMPARE(battleShownAtBox, place == u"battle");
        // The undecided battle closes without results; a hot seat plays on.
        QCOMPARE(app.game().InBattle, place == u"hot seat");
        if (app.battleView())
            QCOMPARE(app.battleView()->isVisible(), place == u"hot seat");
        QVERIFY(!app.results() && !app.rooms().IsOpen() && app.lobby().isVisible());

        // Closing the lobby gives the login back, and it connects again.
        frmIntro2& start = app.startWindow();
        app.lobby().close();
        QVERIFY(start.isVisible() && start.cmdConnect->isEnabled());
        start.cmdConnect->click();
        QTRY_VERIFY(run.server.hasPendingConnections());
    }

    void aBattleOverClosesItsQuestion()
    {
        Run run;
        Application& app = *run.app;
        QTcpSocket* peer = run.enterLobby(QStringLiteral("battle"));
        QVERIFY(peer);
        GameNumber = QStringLiteral("5");
        // The last opponent quits while Exit's question is open; a box left open is answered Yes.
        bool leftOpen = false;
        {
            RealBoxes real;
            whenModal<QMessageBox>([&](QMessageBox* question) {
                peer->write("GDATA5@@INCHATbob has quit the game.\r\nGDATA5@@EXITGAME2\r\n");
                leftOpen = !QTest::qWaitFor([&] { return !question->isVisible(); });
                if (leftOpen)
                    question->button(QMessageBox::Yes)->click();
            });
            app.game().LoadMainMenuOptions();
            app.game().subMainMenuOption(3);
        }
        QVERIFY(!leftOpen);
        QVERIFY(!run.sentUntil(*peer, QStringLiteral("END")).contains("EXITGAME"));
        QVERIFY(app.results() && app.results()->isVisible());
        QCOMPARE(app.results()->lblBanner->text(), QStringLiteral("Victory!"));
    }

    void aSecondBattleHearsTheDeparturesOfItsStart()
    {
        Run run;
        Application& app = *run.app;
        QTcpSocket* peer = run.enterLobby(QStringLiteral("lobby"));
        QVERIFY(peer);
        // A first battle won: its window stays behind, hidden, until the next one opens.
        QVERIFY(run.startHotSeat(run.folder.writeDuel()));
        for (UnitRecord& unit : Units)
            unit.V = unit.V && unit.P != 2;
        app.game().CheckLoss(2);
        QVERIFY(app.results() && app.battleView());

        // The server starts without carl and says so right after the start.
        peer->write("JOINGAME5\r\n");
        QTRY_VERIFY(app.rooms().join().IsShown());
        run.folder.writeDuel(QStringLiteral("three.spw"), 3);
        peer->write("GDATA5@@NUM1ann@NUM2alba@NUM3carl@MAX3@TIMEOFF@MAPNAMEthree.spw\r\nGDATA5@@STARTGAME\r\n"
                    "GDATA5@@INCHATcarl has left the game.\r\nGDATA5@@EXITGAME3\r\n");
        QTRY_VERIFY(app.game().Running);
        QTRY_VERIFY(PlayerLost[3]);
        peer->write("GDATA5@@ENDTURN1\r\n");
        QTRY_COMPARE(int(CurrentPlayer), 2);
        app.game().EndTurn();
        QCOMPARE(int(CurrentPlayer), 1);
    }

    void createAndJoinLeaveNoGameBehind_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<bool>("held");  // both only say to leave first, and nothing goes out
        QTest::newRow("a network battle") << "battle" << true;
        QTest::newRow("the host's room") << "host" << true;
        QTest::newRow("a joined room") << "join" << true;
        QTest::newRow("a network battle lost") << "defeat" << false;
        QTest::newRow("a hot-seat battle") << "hot seat" << true;
    }

    void createAndJoinLeaveNoGameBehind()
    {
        QFETCH(QString, place);
        QFETCH(bool, held);
        Run run;
        Application& app = *run.app;
        QTcpSocket* peer = run.enterLobby(place);
        QVERIFY(peer);
        const auto sentUntil = [&](const QString& marker) { return run.sentUntil(*peer, marker); };
        QVERIFY(sentUntil(QStringLiteral("BEFORE")).endsWith("BEFORE\r\n"));
        const bool wasInBattle = app.game().InBattle;
        const bool wasHosting = app.rooms().IsHosting();
        Players[2].IsComputer = place == u"hot seat";
        platform::dialogScript::clear();

        // Join first: a Create that goes out opens a room of its own.
        LobbyWindow& lobby = app.lobby();
        const auto joinAndCreate = [&] {
            lobby.txtJoinName->setText(QStringLiteral("duel"));
            lobby.cmdJoinGame->click();
            lobby.txtGameName->setText(QStringLiteral("mine"));
            lobby.cmdCreateGame->click();
        };
        // The start window's set-up is refused alike; one left open closes as a room opens.
        app.startWindow().cmdLocalGame->click();
        QCOMPARE(app.localGame() != nullptr, !held);
        joinAndCreate();
        QTRY_VERIFY(!app.localGame());
        const QByteArray sent = sentUntil(QStringLiteral("END"));
        QCOMPARE(platform::dialogScript::shown(), held ? QStringList(3, frmChat::OneGameText) : QStringList());
        QCOMPARE(sent.contains("SETUPGAME\r\nGAMENAMEmine\r\n"), !held);
        QCOMPARE(sent.contains("JOINNAMEduel\r\n"), !held);
        // What was open stays as it was; a refused Create opens no room.
        QCOMPARE(app.game().InBattle, wasInBattle);
        QCOMPARE(app.rooms().IsHosting(), held ? wasHosting : true);
        if (place == u"hot seat") {
            // The computer still plays its turn.
            app.game().EndTurn();
            QTRY_COMPARE_WITH_TIMEOUT(int(CurrentPlayer), 1, 10000);
            QCOMPARE(Players[1].Name, QStringLiteral("Player 1"));
        }
        if (!held)
            return;
        // Once the game is over, both go out.
        if (place == u"host")
            app.rooms().host().Form_Unload();
        else if (place == u"join")
            app.rooms().join().Form_Unload();
        else
            app.game().Form_QueryUnload();
        joinAndCreate();
        const QByteArray after = sentUntil(QStringLiteral("AFTER"));
        QVERIFY(after.contains("JOINNAMEduel\r\n") && after.contains("SETUPGAME\r\nGAMENAMEmine\r\n"));
    }

    void exitEndsTheRun()
    {
        Run run;
        Application& app = *run.app;
        QSignalSpy finished(&app, &Application::finished);
        QVERIFY(run.startHotSeat(run.folder.writeDuel()));
        app.startWindow().cmdExit->click();
        QCOMPARE(finished.count(), 1);
        QVERIFY(!app.game().Running && !run.music->playing() && !app.startWindow().isVisible());
        QTRY_VERIFY(!app.battleView());
    }

    void aKickEndsTheRun()
    {
        Run run;
        QSignalSpy finished(run.app.get(), &Application::finished);
        run.app->chat().receive("KICK\r\nCHATTXTlater\r\n");
        QCOMPARE(finished.count(), 1);
        QCOMPARE(platform::dialogScript::shown(), QStringList{QStringLiteral("You have been kicked by an administrator.")});
    }
};

QTEST_MAIN(ApplicationTest)
#include "tst_application.moc"
