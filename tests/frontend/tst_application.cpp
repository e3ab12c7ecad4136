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

    FrontendFolder folder;
    platform::SilentMusicPlayer* music = nullptr;
    std::unique_ptr<Application> app;
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
        QTest::addColumn<int>("asking");     // the battle's main-menu entry whose box is open then; 0 none
        QTest::newRow("the lobby: its red line alone") << "lobby" << false << 0;
        QTest::newRow("a hot-seat battle goes on") << "hot seat" << false << 0;
        QTest::newRow("a network battle") << "battle" << true << 0;
        QTest::newRow("a network battle, asking Exit's question") << "battle" << true << 3;
        QTest::newRow("a network battle, asking the saved game's name") << "battle" << true << 2;
        QTest::newRow("the host's room") << "host" << true << 0;
        QTest::newRow("a joined room") << "join" << true << 0;
    }

    void aLostServerIsSaidAndTheLoginComesBack()
    {
        QFETCH(QString, place);
        QFETCH(bool, told);
        QFETCH(int, asking);
        Run run;
        Application& app = *run.app;
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        ServerIP = QStringLiteral("127.0.0.1");
        frmIntro2& start = app.startWindow();
        start.lobbyPort = server.serverPort();
        QTest::keyClicks(start.txtName, QStringLiteral("alba"));
        start.cmdConnect->click();
        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket* peer = server.nextPendingConnection();
        peer->write("GOODPASS\r\nLISTADDbob\r\nLISTDONE\r\nADDGAMEduel\r\n");
        QTRY_COMPARE(app.lobby().lstGames->count(), 1);
        if (place == u"hot seat" || place == u"battle") {
            QVERIFY(run.startHotSeat(run.folder.writeDuel()));
            IsOfflineGame = place == u"hot seat";
        } else if (place == u"host") {
            app.lobby().cmdCreateGame->click();
        } else if (place == u"join") {
            peer->write("JOINGAME5\r\n");
        }
        QTRY_COMPARE(app.rooms().IsOpen(), place == u"host" || place == u"join");
        platform::dialogScript::clear();
        // The box comes while the battle is still on screen.
        bool battleShownAtBox = false;
        const int listener = platform::addModalListener([&](bool open) {
            if (open)
                battleShownAtBox = app.game().InBattle && app.battleView()->isVisible();
        });

        // A real box of the battle's own may be open: it closes and returns to
        // the battle before the news comes.
        bool newsTooSoon = false;
        if (asking == 0) {
            peer->disconnectFromHost();
        } else {
            RealBoxes real;
            whenModal<QDialog>([&](QDialog* own) {
                platform::dialogScript::enable();  // the news takes a scripted answer
                peer->disconnectFromHost();
                // Left open under the news, it is closed here all the same.
                (void)QTest::qWaitFor([&] { return !own->isVisible() || !platform::dialogScript::shown().isEmpty(); });
                own->reject();
            });
            app.game().LoadMainMenuOptions();
            app.game().subMainMenuOption(asking);
            newsTooSoon = !platform::dialogScript::shown().isEmpty();
        }
        // The lobby window's side of it is in the lobby test.
        QTRY_VERIFY(app.lobby().txtChat->toPlainText().endsWith(frmChat::LostText));
        QCoreApplication::processEvents();
        QTRY_COMPARE(platform::dialogScript::shown(), told ? QStringList{frmChat::LostText} : QStringList());
        platform::removeModalListener(listener);
        QVERIFY(!newsTooSoon);
        QCOMPARE(battleShownAtBox, place == u"battle");
        // The undecided battle closes without results; a hot seat plays on.
        QCOMPARE(app.game().InBattle, place == u"hot seat");
        if (app.battleView())
            QCOMPARE(app.battleView()->isVisible(), place == u"hot seat");
        QVERIFY(!app.results() && !app.rooms().IsOpen() && app.lobby().isVisible());

        // Closing the lobby gives the login back, and it connects again.
        app.lobby().close();
        QVERIFY(start.isVisible() && start.cmdConnect->isEnabled());
        start.cmdConnect->click();
        QTRY_VERIFY(server.hasPendingConnections());
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
