// The lobby client and its window against a scripted server on the loopback:
// the server's lines and what they do, line reassembly, the lines the user's
// actions send, the chat log, and the login as the start window sees it.

#include "../frontend/FrontendKit.h"
#include "frontend/LobbyWindow.h"
#include "frontend/frmIntro2.h"
#include "net/ChatLog.h"
#include "net/GameRooms.h"
#include "net/frmChat.h"
#include "screen/PictureStore.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

using namespace modStrat;
using platform::MessageResult;

namespace {

// A connected client and a trace of what it did: chat lines, list changes,
// window requests, boxes, calls to the rooms.
struct LobbySession : GameRooms {
    LobbySession()
    {
        platform::dialogScript::enable();
        platform::dialogScript::clear();
        modStrat::ResetAll();
        chat.rooms = this;
        chat.exitProgram = [this] { trace << "exit"; };
        QObject::connect(&chat, &frmChat::chatAdded, [this](const QString& text, std::uint32_t colour) {
            trace << QStringLiteral("chat %1 %2").arg(colour).arg(text);
        });
        QObject::connect(&chat, &frmChat::usersChanged, [this] { trace << "users " + chat.lstUsers.join(','); });
        QObject::connect(&chat, &frmChat::gamesChanged, [this] { trace << "games " + chat.lstGames.join(','); });
        QObject::connect(&chat, &frmChat::showRequested, [this] { trace << "show"; });
        QObject::connect(&chat, &frmChat::hideRequested, [this] { trace << "hide"; });
        QObject::connect(&chat, &frmChat::loginAccepted, [this] { trace << "login"; });
        // A box is traced when it closes, with the text it showed.
        modalListener = platform::addModalListener([this](bool open) {
            if (!open) {
                const QString text = platform::dialogScript::shown().constLast();
                const bool information = platform::dialogScript::shownAsInformation().contains(text);
                trace << "box " + text + (information ? " (i)" : "");
            }
        });
        server.listen(QHostAddress::LocalHost);
    }
    ~LobbySession() override { platform::removeModalListener(modalListener); }

    void OpenHostLobby() override { trace << "open host"; }
    void OpenJoinLobby() override { trace << "open join " + modStrat::GameNumber; }
    bool IsHosting() const override { return hosting; }
    bool IsOpen() const override { return hosting; }
    void HandleHostGameData(const QString& data) override { trace << "host data " + data; }
    void HandleClientGameData(const QString& data) override { trace << "client data " + data; }

    // Connects; false when no connection came about.
    bool connect(const QStringList& login = {})
    {
        chat.connectTo(QStringLiteral("127.0.0.1"), server.serverPort(), login);
        if (!QTest::qWaitFor([this] { return server.hasPendingConnections(); }, 5000))
            return false;
        peer = server.nextPendingConnection();
        return QTest::qWaitFor([this] { return chat.socket().state() == QAbstractSocket::ConnectedState; }, 5000);
    }

    // The server accepts the login; the trace starts afresh.
    bool logIn()
    {
        peer->write("GOODPASS\r\n");
        const bool accepted = QTest::qWaitFor([this] { return trace.contains("login"); }, 5000);
        trace.clear();
        return accepted;
    }

    // What the client sent, up to the line `marker` (its last line).
    QByteArray sentUntil(const QByteArray& marker)
    {
        QByteArray got;
        const bool complete = QTest::qWaitFor([&] { return (got += peer->readAll()).endsWith(marker); }, 5000);
        Q_UNUSED(complete);  // the caller compares what came
        return got;
    }

    QStringList trace;
    bool hosting = false;
    frmChat chat;
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    int modalListener = 0;
};

}  // namespace

class LobbyTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void serverLines_data();
    void serverLines();
    void linesSurviveEveryCut();
    void chatLines_data();
    void chatLines();
    void otherSenders();
    void chatIsPlainColouredText();
    void lineDuringABoxComesIntoView();
    void listsAndBoxes();
    void loginOutcome_data();
    void loginOutcome();
    void connectionEnds_data();
    void connectionEnds();
    void silentLinkIsProbed();
    void overlongLineSkipped_data();
    void overlongLineSkipped();
};

void LobbyTest::serverLines_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("game");  // GameNumber before the lines; "h" suffix: hosting; "b": a battle is on
    QTest::addColumn<QString>("expected");

    const QString kicked = QStringLiteral("box You have been kicked by an administrator. | exit");
    const QString banned = QStringLiteral("box You have been banned from the game. | exit");
    QTest::newRow("chat colours, plain text")
        << QByteArray("CHATTXTa: <b>x</b>\r\nMETXTb\r\nCHATMSGc\r\nADMINTXTd\r\nMODTXTe\r\n") << ""
        << "chat 0 a: <b>x</b> | chat 33023 b | chat 32768 c | chat 255 d | chat 12582912 e";
    QTest::newRow("two lines, one read") << QByteArray("CHATTXTa\r\nADDGAMEg\r\n") << "" << "chat 0 a | games g";
    QTest::newRow("games, a repeated name goes twice")
        << QByteArray("ADDGAMEa\r\nADDGAMEb\r\nADDGAMEa\r\nREMOVEGAMEa\r\nREMOVEGAMEz\r\n") << ""
        << "games a | games a,b | games a,b,a | games b";
    QTest::newRow("announcement") << QByteArray("ANNOUNCEdown at 9\r\n") << ""
                                  << "box Server Announcement: down at 9 (i)";
    QTest::newRow("user list, empty names skipped")
        << QByteArray("LISTKILL\r\nLISTADDann\r\nLISTADD\r\nLISTADDbob\r\nLISTDONE\r\n") << "" << "users ann,bob";
    QTest::newRow("user list, same count, other names")
        << QByteArray("LISTADDann\r\nLISTADDbob\r\nLISTDONE\r\nLISTKILL\r\nLISTADDann\r\nLISTADDcid\r\nLISTDONE\r\n"
                      "LISTKILL\r\nLISTADDann\r\nLISTADDcid\r\nLISTDONE\r\n")
        << "" << "users ann,bob | users ann,cid";
    QTest::newRow("kick, lines behind it") << QByteArray("KICK\r\nCHATTXTlater\r\nGOODPASS\r\n") << "" << kicked;
    QTest::newRow("kick with more letters") << QByteArray("KICKED\r\nCHATTXTlater\r\n") << "" << kicked;
    QTest::newRow("temporary ban")
        << QByteArray("TEMPBAN\r\n") << ""
        << "box You have been temporarily banned by an administrator.  Please wait until tommorow (according to the "
           "Server Time) to log back in. | exit";
    QTest::newRow("ip ban") << QByteArray("IPBAN\r\nADDGAMEx\r\n") << "" << banned;
    QTest::newRow("comp ban") << QByteArray("COMPBAN\r\n") << "" << banned;
    QTest::newRow("joined") << QByteArray("JOINGAME7\r\n") << "3h" << "open join 7 | game 7";
    QTest::newRow("joined while hosting") << QByteArray("JOINGAME7\r\n") << "3H" << "";
    QTest::newRow("joined as a battle began here") << QByteArray("JOINGAME7\r\n") << "b" << "";
    QTest::newRow("game numbers: digits, at most 9")
        << QByteArray("JOINGAME7@@BOOT\r\nJOINGAME\r\nGAMENUMBER1234567890\r\n") << "" << "";
    QTest::newRow("hosting") << QByteArray("GAMENUMBER12\r\n") << "" << "game 12h";
    QTest::newRow("join refused") << QByteArray("JOINBAD\r\n") << ""
                                  << "box Unable to join a game.  You may have the incorrect password, or there may "
                                     "be no more slots open.";
    QTest::newRow("game data, no game") << QByteArray("GDATA7@@MOVEX1\r\n") << "" << "";
    QTest::newRow("game data to the host") << QByteArray("GDATA7@@MOVEX1\r\n") << "7h" << "host data 7@@MOVEX1";
    QTest::newRow("game data to a member") << QByteArray("GDATA7@@MOVEX1\r\n") << "7" << "client data 7@@MOVEX1";
    QTest::newRow("a line past the limit is skipped")
        << "CHATTXTa\r\n" + QByteArray(5000, 'x') + "\r\nCHATTXTb\r\n" << "" << "chat 0 a | chat 0 b";
    QTest::newRow("no keyword, lower case, empty") << QByteArray("HELLO\r\nchattxtx\r\n\r\n") << "" << "";
}

void LobbyTest::serverLines()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, game);
    QFETCH(QString, expected);
    LobbySession session;
    if (game == u"b") {
        session.chat.inGame = [] { return true; };
        game.clear();
    }
    IsGameHost = game.endsWith('h', Qt::CaseInsensitive);
    session.hosting = game.endsWith('H');
    GameNumber = IsGameHost ? game.chopped(1) : game;
    const QString before = GameNumber + (IsGameHost ? "h" : "");

    session.chat.receive(input);
    const QString after = GameNumber + (IsGameHost ? "h" : "");
    if (after != before)
        session.trace << "game " + after;
    QCOMPARE(session.trace.join(" | "), expected);
}

// Three lines cut in two reads at every byte: always handled once each, whole, in order.
void LobbyTest::linesSurviveEveryCut()
{
    const QByteArray stream("CHATTXTann: hi\r\nADDGAMEduel\r\nMETXTbob waves\r\nCHAT");
    const QString expected = "chat 0 ann: hi | games duel | chat 33023 bob waves";
    for (int cut = 0; cut <= stream.size(); ++cut) {
        LobbySession session;
        session.chat.receive(QByteArrayView(stream).first(cut));
        session.chat.receive(QByteArrayView(stream).sliced(cut));
        QCOMPARE(session.trace.join(" | "), expected);
    }
}

void LobbyTest::chatLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("chat") << "hello there" << QByteArray("CHATTXTalba: hello there\r\n");
    QTest::newRow("me") << "/me waves" << QByteArray("METXTalba waves\r\n");
    QTest::newRow("time, more letters") << "/timely" << QByteArray("GETTIME\r\n");
    QTest::newRow("away") << "/away now" << QByteArray("AWAY\r\n");
    QTest::newRow("stats alone") << "/stats" << QByteArray("GETSTATS\r\n");
    QTest::newRow("stats of a user") << "/stats b2" << QByteArray("GETSTATSb2\r\n");
    QTest::newRow("not a command") << "/Me" << QByteArray("CHATTXTalba: /Me\r\n");
    QTest::newRow("no line injected; @ is text") << "mail a@b.c\r\nKICK" << QByteArray("CHATTXTalba: mail a@b.cKICK\r\n");
    QTest::newRow("empty") << "" << QByteArray();
}

void LobbyTest::chatLines()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, sent);
    LobbySession session;
    QVERIFY(session.connect());
    UserName = QStringLiteral("alba");
    // Nothing goes out before the server has accepted the login.
    QVERIFY(!session.chat.cmdSend_Click(QStringLiteral("early")));
    QVERIFY(session.logIn());
    QCOMPARE(session.chat.cmdSend_Click(text), !text.isEmpty());
    session.chat.sendLine("END");
    QCOMPARE(session.sentUntil("END\r\n"), sent + "END\r\n");
}

void LobbyTest::otherSenders()
{
    LobbySession session;
    QVERIFY(session.connect({QStringLiteral("NAMEalba"), QStringLiteral("PASSx")}));
    UserName = QStringLiteral("alba");
    frmChat& chat = session.chat;
    // Before the login is accepted the server would ignore a new game: no room opens.
    chat.cmdCreateGame_Click("early", "pw");
    chat.cmdJoinGame_Click("early", "pw");
    QVERIFY(session.logIn());

    chat.cmdCreateGame_Click("du@el", "pw");
    chat.cmdJoinGame_Click("", "pw");
    chat.cmdJoinGame_Click("duel", "pw");
    chat.cmdMsg_Click("bob", "");
    chat.cmdMsg_Click("bob", "ps@st");
    chat.cmdKick_Click("");
    // The bans ask first: No sends nothing.
    platform::dialogScript::pushMessageResult(MessageResult::No);
    chat.cmdTempBan_Click("bob");
    platform::dialogScript::pushMessageResult(MessageResult::Yes);
    chat.cmdIPBan_Click("bob");
    chat.sendLine("END");
    QCOMPARE(session.sentUntil("END\r\n"),
             QByteArray("NAMEalba\r\nPASSx\r\nSETUPGAME\r\nGAMENAMEdu@el\r\nGAMEPASSpw\r\nGAMEHOSTalba\r\nJOINNAMEduel\r\nJOINPASSpw\r\n"
                        "MSGNAMEbob\r\nMSGTEXTps@st\r\nKICK\r\nIPBANbob\r\nEND\r\n"));
    QCOMPARE(session.trace, (QStringList{"open host", "box Are you sure?", "box Are you sure?"}));
}

void LobbyTest::chatIsPlainColouredText()
{
    LobbySession session;
    LobbyWindow window(session.chat);
    window.show();
    session.chat.receive("CHATTXT<b>x</b>\r\nADMINTXT<i>y</i>\r\n");
    QTRY_COMPARE(window.txtChat->toPlainText(), QStringLiteral("<b>x</b>\n<i>y</i>"));
    // The log keeps its newest lines, also when they come in more than one burst.
    for (int i = 0; i < ChatLog::MaxLines; ++i) {
        session.chat.receive(QStringLiteral("CHATTXT%1\r\nADMINTXT<i>y</i>\r\n").arg(i).toLatin1());
        if (i == ChatLog::MaxLines / 4)
            QTRY_COMPARE(window.txtChat->document()->blockCount(), 4 + ChatLog::MaxLines / 2);
    }
    QTRY_COMPARE(window.txtChat->document()->blockCount(), ChatLog::MaxLines);
    QCOMPARE(window.txtChat->document()->firstBlock().text(), QStringLiteral("%1").arg(ChatLog::MaxLines / 2));
    const QTextBlock second = window.txtChat->document()->lastBlock();
    const QTextCharFormat format = second.begin().fragment().charFormat();
    QCOMPARE(format.foreground().color(), QColor(255, 0, 0));
    QVERIFY(format.font().bold());
    // The newest line stays in view.
    QCOMPARE(window.txtChat->textCursor().position(), second.position() + second.length() - 1);
}

// A line that comes while a box opened by an earlier line is up shows, in
// view, once the box closes: not only when the next line comes.
void LobbyTest::lineDuringABoxComesIntoView()
{
    LobbySession session;
    QVERIFY(session.connect());
    LobbyWindow window(session.chat);
    window.show();
    QVERIFY(session.logIn());
    platform::removeModalListener(session.modalListener);  // it traces scripted boxes only
    const RealBoxes real;
    bool cameWhileUp = false;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        session.peer->write("CHATTXTnewest\r\n");
        cameWhileUp = QTest::qWaitFor([&] { return session.chat.socket().bytesAvailable() > 0; }, 5000);
        box->accept();
    });
    session.peer->write(QByteArray("CHATTXTolder\r\n").repeated(60) + "ANNOUNCEdown at 9\r\n");

    QTRY_COMPARE(window.txtChat->document()->lastBlock().text(), QStringLiteral("newest"));
    QVERIFY(cameWhileUp);
    QTextCursor end(window.txtChat->document());
    end.movePosition(QTextCursor::End);
    QVERIFY(window.txtChat->verticalScrollBar()->maximum() > 0);
    QTRY_VERIFY(window.txtChat->viewport()->rect().contains(window.txtChat->cursorRect(end)));
}

void LobbyTest::listsAndBoxes()
{
    LobbySession session;
    QVERIFY(session.connect());
    LobbyWindow window(session.chat);
    window.show();
    QVERIFY(!window.cmdCreateGame->isEnabled());
    QVERIFY(session.logIn());
    QVERIFY(window.cmdCreateGame->isEnabled() && window.cmdSend->isEnabled());
    session.chat.receive("ADDGAMEduel\r\nADDGAMEsiege\r\nLISTADDann\r\nLISTADDbob\r\nLISTDONE\r\n");

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
    window.txtChatMsg->setText(QStringLiteral("hi"));
    QTest::keyClick(window.txtChatMsg, Qt::Key_Return);
    QCOMPARE(session.sentUntil("hi\r\n"), QByteArray("KICKbob\r\nADMINTXT: hi\r\n"));
    QVERIFY(window.txtChatMsg->text().isEmpty());
    // Any other answer, Cancel too, closes the panel again.
    QTest::keyClick(window.txtChatMsg, Qt::Key_9, Qt::KeypadModifier);
    QVERIFY(!window.framMod->isVisible() && !session.chat.IsAdmin);
    // Help and the hidden message carry the information icon.
    window.cmdHelp->click();
    session.chat.lblBanner_DragDrop();
    QCOMPARE(platform::dialogScript::shownAsInformation().size(), 2);

    // Closing ends the connection and leaves an empty window for the next login.
    window.close();
    QTRY_COMPARE(session.peer->state(), QAbstractSocket::UnconnectedState);
    QVERIFY(window.txtChat->toPlainText().isEmpty());
    QCOMPARE(window.lstGames->count() + window.lstUsers->count(), 0);
}

void LobbyTest::loginOutcome_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("box");
    QTest::newRow("good") << QByteArray("GOODPASS\r\n") << true << QString();
    QTest::newRow("bad password") << QByteArray("BADPASS\r\n") << false
                                  << "Could not log in.  Your password was not correct.";
    QTest::newRow("old version") << QByteArray("BADVERS\r\n") << false
                                 << "Could not log in.  You are not using the latest version of the game.";
}

void LobbyTest::loginOutcome()
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
    const QStringList shown = platform::dialogScript::shown();
    QVERIFY(box.isEmpty() ? shown.isEmpty() : shown.size() == 1 && shown[0].startsWith(box));
    // A refusal leaves the time-out to give the inputs back; a login stops it.
    QCOMPARE(start.timeTimeout.isActive(), !accepted);
    QVERIFY(!start.txtName->isEnabled());
    // The server goes: the lobby says so once logged in; before that the time-out answers.
    peer->disconnectFromHost();
    QTRY_COMPARE(session.chat.socket().state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(session.trace.contains("chat 255 " + frmChat::LostText), accepted);
}

void LobbyTest::connectionEnds_data()
{
    QTest::addColumn<QByteArray>("last");  // the server's last lines before it closes
    QTest::addColumn<bool>("hangUp");      // we end it first
    QTest::addColumn<QString>("expected");
    QTest::newRow("the server goes")
        << QByteArray("CHATTXTbye\r\n") << false
        << "chat 0 bye | users  | games  | chat 255 Connection to the server was lost.";
    QTest::newRow("kicked") << QByteArray("KICK\r\n") << false
                            << "box You have been kicked by an administrator. | exit";
    QTest::newRow("our hang-up") << QByteArray() << true << "";
}

void LobbyTest::connectionEnds()
{
    QFETCH(QByteArray, last);
    QFETCH(bool, hangUp);
    QFETCH(QString, expected);
    LobbySession session;
    QVERIFY(session.connect());
    LobbyWindow window(session.chat);
    window.show();
    QVERIFY(session.logIn());
    session.peer->write("LISTADDann\r\nLISTDONE\r\nADDGAMEduel\r\n");
    QTRY_COMPARE(window.lstGames->count() + window.lstUsers->count(), 2);
    session.trace.clear();

    if (hangUp) {
        session.chat.hangUp();
    } else {
        session.peer->write(last);
        session.peer->disconnectFromHost();
    }
    QTRY_COMPARE(session.chat.socket().state(), QAbstractSocket::UnconnectedState);
    QTRY_COMPARE(session.trace.join(" | "), expected);
    QCoreApplication::processEvents();
    QCOMPARE(session.trace.join(" | "), expected);
    // Once lost, nothing offers to send into the void, and the lists are gone.
    const bool lost = expected.endsWith(frmChat::LostText);
    QCOMPARE(window.cmdSend->isEnabled() || window.cmdCreateGame->isEnabled(), !lost);
    QCOMPARE(window.lstGames->count() + window.lstUsers->count(), lost ? 0 : 2);
}

void LobbyTest::silentLinkIsProbed()
{
    // A player waiting for the others hears nothing for minutes: a dead link
    // is found within about two, as the server finds us.
    LobbySession session;
    QVERIFY(session.connect());
    const auto option = [&](int level, int name) {
        int value = -1;
        socklen_t size = sizeof value;
        getsockopt(int(session.chat.socket().socketDescriptor()), level, name, &value, &size);
        return value;
    };
    QCOMPARE(option(SOL_SOCKET, SO_KEEPALIVE), 1);
    QCOMPARE(option(IPPROTO_TCP, TCP_KEEPIDLE), 60);
    QCOMPARE(option(IPPROTO_TCP, TCP_KEEPINTVL), 10);
    QCOMPARE(option(IPPROTO_TCP, TCP_KEEPCNT), 6);
    QCOMPARE(option(IPPROTO_TCP, TCP_USER_TIMEOUT), 120000);
}

// The longest line the server may send comes through whole; one byte more is
// skipped and the connection stays, in the lobby and in a battle alike.
void LobbyTest::overlongLineSkipped_data()
{
    QTest::addColumn<QByteArray>("keyword");
    QTest::addColumn<QString>("game");
    QTest::addColumn<QString>("seen");  // how a line with payload %1 shows in the trace
    QTest::newRow("lobby chat") << QByteArray("CHATTXT") << "" << "chat 0 %1";
    QTest::newRow("battle chat") << QByteArray("GDATA7@@INCHAT") << "7" << "client data 7@@INCHAT%1";
}

void LobbyTest::overlongLineSkipped()
{
    QFETCH(QByteArray, keyword);
    QFETCH(QString, game);
    QFETCH(QString, seen);
    LobbySession session;
    QVERIFY(session.connect());
    QVERIFY(session.logIn());
    GameNumber = game;
    const QByteArray longest = keyword + QByteArray(platform::LineFramer::MaxLineBytes - keyword.size(), 'x');
    const QString fits = seen.arg(QString::fromLatin1(longest.sliced(keyword.size())));
    const QString after = seen.arg(QStringLiteral("after"));

    session.peer->write(longest + "\r\n" + longest + "y\r\n" + keyword + "after\r\n");
    QTRY_COMPARE(session.trace, (QStringList{fits, after}));
    QCoreApplication::processEvents();
    QCOMPARE(session.chat.socket().state(), QAbstractSocket::ConnectedState);
}

QTEST_MAIN(LobbyTest)
#include "tst_lobby.moc"
