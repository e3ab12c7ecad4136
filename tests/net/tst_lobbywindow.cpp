// The lobby window on screen, and the login as the start window sees it.

#include "../frontend/FrontendKit.h"
#include "LobbyKit.h"
#include "frontend/LobbyWindow.h"
#include "frontend/frmIntro2.h"
#include "screen/PictureStore.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>

using namespace modStrat;

class LobbyWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chatIsPlainColouredText();
    void listsAndBoxes();
    void loginOutcome_data();
    void loginOutcome();
};

void LobbyWindowTest::chatIsPlainColouredText()
{
    LobbySession session;
    LobbyWindow window(session.chat);
    window.show();
    session.chat.receive("CHATTXT<b>x</b>\r\nADMINTXT<i>y</i>\r\n");
    QCOMPARE(window.txtChat->toPlainText(), QStringLiteral("<b>x</b>\n<i>y</i>"));
    const QTextBlock second = window.txtChat->document()->lastBlock();
    const QTextCharFormat format = second.begin().fragment().charFormat();
    QCOMPARE(format.foreground().color(), QColor(255, 0, 0));
    QVERIFY(format.font().bold());
    // The newest line stays in view.
    QCOMPARE(window.txtChat->textCursor().position(), second.position() + second.length() - 1);

    // The game help twice: eight paragraphs each, step 4 has none.
    session.chat.lblHelp_Click();
    session.chat.lblHelp_Click();
    QCOMPARE(window.txtChat->document()->blockCount(), 2 + 16);
}

void LobbyWindowTest::listsAndBoxes()
{
    LobbySession session;
    QVERIFY(session.connect());
    LobbyWindow window(session.chat);
    window.show();
    session.chat.receive("ADDGAMEduel\r\nADDGAMEsiege\r\nLISTADDann\r\nLISTADDbob\r\nLISTDONE\r\n");
    QCOMPARE(window.lstGames->count(), 2);
    QCOMPARE(window.lstUsers->count(), 2);

    // A game clicked goes into the join box.
    const QListWidgetItem* siege = window.lstGames->item(1);
    QTest::mouseClick(window.lstGames->viewport(), Qt::LeftButton, {},
                      window.lstGames->visualItemRect(siege).center());
    QCOMPARE(window.txtJoinName->text(), QStringLiteral("siege"));

    // The keypad's 9 asks for the moderator password; the panel follows the answer.
    platform::dialogScript::pushInput(frmChat::ModeratorPassword);
    QTest::keyClick(window.txtChatMsg, Qt::Key_9, Qt::KeypadModifier);
    QVERIFY(window.framMod->isVisible());
    window.lstUsers->item(1)->setSelected(true);
    window.cmdKick->click();
    QTest::keyClicks(window.txtChatMsg, QStringLiteral("hi"));
    QTest::keyClick(window.txtChatMsg, Qt::Key_Return);
    QVERIFY(window.txtChatMsg->text().isEmpty());
    session.chat.sendLine("END");
    QCOMPARE(session.sentUntil("END\r\n"), QByteArray("KICKbob\r\nADMINTXT: hi\r\nEND\r\n"));

    // Closing ends the connection and leaves an empty window for the next login.
    window.close();
    QTRY_COMPARE(session.peer->state(), QAbstractSocket::UnconnectedState);
    QVERIFY(window.txtChat->toPlainText().isEmpty());
    QCOMPARE(window.lstGames->count() + window.lstUsers->count(), 0);
    QVERIFY(!window.framMod->isVisible());
}

void LobbyWindowTest::loginOutcome_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("box");
    QTest::newRow("good") << QByteArray("GOODPASS\r\n") << true << QString();
    QTest::newRow("bad password") << QByteArray("BADPASS\r\n") << false
                                  << "Could not log in.  Your password was not correct.";
    QTest::newRow("old version") << QByteArray("BADVERS\r\n") << false
                                 << "Could not log in.  You are not using the latest version of the game.  Please go "
                                    "to " + frmChat::DownloadSite + " to download the latest version.";
}

void LobbyWindowTest::loginOutcome()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, accepted);
    QFETCH(QString, box);
    FrontendFolder folder;
    LobbySession session;
    PictureStore pictures;
    platform::SilentMusicPlayer music;
    platform::ScriptedRandom random;
    LobbyWindow lobby(session.chat);
    frmIntro2 start(pictures, music, random, session.chat);
    start.show();
    ServerIP = QStringLiteral("127.0.0.1");
    start.lobbyPort = session.server.serverPort();
    QTest::keyClicks(start.txtName, QStringLiteral("alba"));
    start.cmdConnect->click();
    QTRY_VERIFY(session.server.hasPendingConnections());
    QTcpSocket* peer = session.server.nextPendingConnection();
    // The lobby shows as soon as the connection is made, before the answer.
    QTRY_VERIFY(lobby.isVisible());

    peer->write(answer);
    QTRY_VERIFY(session.trace.contains(accepted ? "login" : "hide"));
    QCOMPARE(lobby.isVisible(), accepted);
    QCOMPARE(start.isVisible(), !accepted);
    QCOMPARE(platform::dialogScript::shown(), box.isEmpty() ? QStringList() : QStringList{box});
    // A refusal leaves the time-out to give the inputs back; a login stops it.
    QCOMPARE(start.timeTimeout.isActive(), !accepted);
    QVERIFY(!start.txtName->isEnabled());
    QCOMPARE(session.chat.socket().state(), QAbstractSocket::ConnectedState);
}

QTEST_MAIN(LobbyWindowTest)
#include "tst_lobbywindow.moc"
