// The start window: its start-up, the login boxes, Connect and the music.

#include "FrontendKit.h"
#include "net/frmChat.h"
#include "frontend/frmIntro2.h"
#include "screen/PictureStore.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace modStrat;

namespace {

struct StartWindow {
    explicit StartWindow(QStringList tracks = {}, std::deque<double> chances = {0.0})
        : music(std::move(tracks)), random(std::move(chances))
    {
    }
    PictureStore pictures;
    platform::SilentMusicPlayer music;
    platform::ScriptedRandom random;
    frmChat lobby;
    frmIntro2 window{pictures, music, random, lobby};
};

// What the server side received, once `size` bytes are in (events run meanwhile).
QByteArray readUntil(QTcpSocket& peer, int size)
{
    QByteArray got;
    (void)QTest::qWaitFor([&] { return (got += peer.readAll()).size() >= size; }, 5000);
    return got;
}

}  // namespace

class StartWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void loginBoxes()
    {
        FrontendFolder folder;
        StartWindow start;
        start.window.show();
        // A display without a window manager activates only windows that ask.
        start.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&start.window));
        QLineEdit* name = start.window.txtName;
        name->setFocus();
        QTest::keyClicks(nullptr, QStringLiteral("AlBa"));
        QCOMPARE(name->text(), QStringLiteral("alba"));
        // Typed in the middle: still lower case, the caret at the end.
        name->setCursorPosition(1);
        QTest::keyClicks(nullptr, QStringLiteral("X"));
        QCOMPARE(name->text(), QStringLiteral("axlba"));
        QCOMPARE(name->cursorPosition(), 5);
        QTest::keyClicks(nullptr, QStringLiteral("ABCDEFGHIJKLMNOP"));
        QCOMPARE(name->text().size(), frmIntro2::NameLength);
        start.window.txtPassword->setFocus();
        QTest::keyClicks(nullptr, QStringLiteral("SeCreT"));
        QCOMPARE(start.window.txtPassword->text(), QStringLiteral("secret"));
        QCOMPARE(start.window.txtPassword->displayText(), QStringLiteral("******"));

        // Alt and a disabled button's letter type nothing; an enabled button's press it.
        start.window.txtServerIP->setFocus();
        start.window.txtServerIP->setText(QStringLiteral("10.0.0.1"));
        QSignalSpy single(&start.window, &frmIntro2::singlePlayerRequested);
        QSignalSpy local(&start.window, &frmIntro2::localGameRequested);
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_S, Qt::AltModifier);  // "&Single Player"
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_O, Qt::AltModifier);  // "L&ocal Game"
        QTRY_COMPARE(local.count(), 1);
        QCOMPARE(single.count(), 0);
        QCOMPARE(start.window.txtServerIP->text(), QStringLiteral("10.0.0.1"));

        // Connect with no name does nothing at all.
        name->clear();
        start.window.cmdConnect->click();
        QVERIFY(!QFile::exists(frmIntro2::settingsPath()));
        QCOMPARE(start.lobby.socket().state(), QAbstractSocket::UnconnectedState);
        QVERIFY(name->isEnabled() && !start.window.timeTimeout.isActive());
    }

    void startUpReadsTheSettings()
    {
        {
            FrontendFolder folder;
            StartWindow start;
            start.window.Form_Load();
            QCOMPARE(GameVersion, QStringLiteral("0.64"));
            QCOMPARE(ServerIP, frmIntro2::DefaultServer);
            QVERIFY(start.window.txtName->text().isEmpty() && !start.window.cmdSinglePlayer->isEnabled());
            // No music files: the music is "on", but nothing plays.
            QVERIFY(start.window.MusicOn && start.music.plays() == 0);
        }
        // An empty server keeps the built-in address; the name comes in lower case.
        FrontendFolder folder;
        WriteIni(QStringLiteral("GEN"), QStringLiteral("SERVERIP"), QString(), frmIntro2::settingsPath());
        WriteIni(QStringLiteral("GEN"), QStringLiteral("USERNAME"), QStringLiteral("Alba"), frmIntro2::settingsPath());
        StartWindow start;
        start.window.Form_Load();
        QCOMPARE(start.window.txtServerIP->text(), frmIntro2::DefaultServer);
        QCOMPARE(start.window.txtName->text(), QStringLiteral("alba"));
    }

    void connectLogsInAndTheTimeOutGivesTheInputsBack()
    {
        FrontendFolder folder;
        WriteIni(QStringLiteral("GEN"), QStringLiteral("OTHER"), QStringLiteral("kept"), frmIntro2::settingsPath());
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        {
            StartWindow start;
            start.window.Form_Load();
            start.window.lobbyPort = server.serverPort();
            start.window.txtServerIP->setText(QStringLiteral("localhost"));
            start.window.txtName->setText(QStringLiteral("alba"));
            start.window.txtPassword->setText(QStringLiteral("secret"));
            start.window.cmdConnect->click();
            QCOMPARE(UserName, QStringLiteral("alba"));
            QVERIFY(!start.window.cmdConnect->isEnabled() && !start.window.txtName->isEnabled());
            QVERIFY(!start.window.txtPassword->isEnabled());
            QCOMPARE(start.window.timeTimeout.interval(), 7000);
            QVERIFY(start.window.timeTimeout.isActive());
            QTRY_VERIFY(server.hasPendingConnections());
            QTcpSocket* first = server.nextPendingConnection();
            const QByteArray login("NAMEalba\r\nVERSION0.64\r\nPASSsecret\r\n");
            QCOMPARE(readUntil(*first, int(login.size())), login);

            // The time-out gives the inputs back and leaves the connection alone.
            start.window.timeTimeout_Timer();
            QVERIFY(start.window.cmdConnect->isEnabled() && start.window.txtName->isEnabled());
            QVERIFY(start.window.txtPassword->isEnabled());
            QCOMPARE(start.lobby.socket().state(), QAbstractSocket::ConnectedState);
            // Connect again: the old connection goes first, then a new login.
            start.window.cmdConnect->click();
            QTRY_COMPARE(first->state(), QAbstractSocket::UnconnectedState);
            QTRY_VERIFY(server.hasPendingConnections());
            QCOMPARE(readUntil(*server.nextPendingConnection(), int(login.size())), login);
        }
        // The next start-up finds what Connect wrote; other keys stay; the password is never stored.
        StartWindow again;
        again.window.Form_Load();
        QCOMPARE(again.window.txtServerIP->text(), QStringLiteral("localhost"));
        QCOMPARE(again.window.txtName->text(), QStringLiteral("alba"));
        QCOMPARE(ReadIni(QStringLiteral("GEN"), QStringLiteral("OTHER"), frmIntro2::settingsPath()), QStringLiteral("kept"));
        QFile file(frmIntro2::settingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains("secret"));
    }

    void musicPlaysRandomTracksAndToggles()
    {
        FrontendFolder folder;
        StartWindow start({QStringLiteral("a.mid"), QStringLiteral("b.mid"), QStringLiteral("c.mid")}, {0.5, 0.99});
        start.window.Form_Load();
        QCOMPARE(start.music.fileName(), folder.path(QStringLiteral("b.mid")));
        // A track's end brings another, chosen anew.
        start.music.finishTrack();
        QVERIFY(start.music.playing());
        QCOMPARE(start.music.fileName(), folder.path(QStringLiteral("c.mid")));
        start.window.cmdMusic->click();
        QVERIFY(!start.window.MusicOn && !start.music.playing());
        start.window.cmdMusic->click();
        QVERIFY(start.window.MusicOn && start.music.playing());
    }
};

QTEST_MAIN(StartWindowTest)
#include "tst_startwindow.moc"
