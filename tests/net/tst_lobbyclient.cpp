// The lobby client without its window: the server's lines and what they do,
// line reassembly, and the lines the user's actions send.

#include "LobbyKit.h"

using namespace modStrat;
using platform::MessageResult;
namespace script = platform::dialogScript;

class LobbyClientTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void serverLines_data();
    void serverLines();
    void linesSurviveEveryCut();
    void kickOverTheConnectionEndsEverything();
    void chatLines_data();
    void chatLines();
    void otherSenders();
};

void LobbyClientTest::serverLines_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("game");  // GameNumber before the lines; "h" suffix: hosting
    QTest::addColumn<QString>("expected");

    const QString kicked = QStringLiteral("box You have been kicked by an administrator. | exit");
    const QString banned = QStringLiteral("box You have been banned from the game. | exit");
    QTest::newRow("chat, plain") << QByteArray("CHATTXTann: <b>x</b>\r\n") << "" << "chat 0 ann: <b>x</b>";
    QTest::newRow("me") << QByteArray("METXTann waves\r\n") << "" << "chat 33023 ann waves";
    QTest::newRow("private") << QByteArray("CHATMSGfrom bob\r\n") << "" << "chat 32768 from bob";
    QTest::newRow("admin") << QByteArray("ADMINTXTmod: hi\r\n") << "" << "chat 255 mod: hi";
    QTest::newRow("moderator") << QByteArray("MODTXTmod: hi\r\n") << "" << "chat 12582912 mod: hi";
    QTest::newRow("two lines, one read") << QByteArray("CHATTXTa\r\nADDGAMEg\r\n") << "" << "chat 0 a | games g";
    QTest::newRow("games, a repeated name goes twice")
        << QByteArray("ADDGAMEa\r\nADDGAMEb\r\nADDGAMEa\r\nREMOVEGAMEa\r\nREMOVEGAMEz\r\n") << ""
        << "games a | games a,b | games a,b,a | games b";
    QTest::newRow("announcement") << QByteArray("ANNOUNCEdown at 9\r\n") << ""
                                  << "box Server Announcement: down at 9";
    QTest::newRow("user list, empty names skipped")
        << QByteArray("LISTKILL\r\nLISTADDann\r\nLISTADD\r\nLISTADDbob\r\nLISTDONE\r\n") << "" << "users ann,bob";
    QTest::newRow("user list, same count, other names")
        << QByteArray("LISTADDann\r\nLISTADDbob\r\nLISTDONE\r\nLISTKILL\r\nLISTADDann\r\nLISTADDcid\r\nLISTDONE\r\n"
                      "LISTKILL\r\nLISTADDann\r\nLISTADDcid\r\nLISTDONE\r\n")
        << "" << "users ann,bob | users ann,cid";
    QTest::newRow("old version") << QByteArray("BADVERS\r\n") << ""
                                 << "box Could not log in.  You are not using the latest version of the game.  "
                                    "Please go to " + frmChat::DownloadSite + " to download the latest version. | hide";
    QTest::newRow("wrong password") << QByteArray("BADPASS\r\n") << ""
                                    << "box Could not log in.  Your password was not correct. | hide";
    QTest::newRow("logged in") << QByteArray("GOODPASS\r\n") << "" << "show | login";
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
    QTest::newRow("join number not digits") << QByteArray("JOINGAME7@@BOOT\r\nJOINGAME\r\n") << "" << "";
    QTest::newRow("hosting") << QByteArray("GAMENUMBER12\r\n") << "" << "game 12h";
    QTest::newRow("game number too long") << QByteArray("GAMENUMBER1234567890\r\n") << "" << "";
    QTest::newRow("join refused") << QByteArray("JOINBAD\r\n") << ""
                                  << "box Unable to join a game.  You may have the incorrect password, or there may "
                                     "be no more slots open.";
    QTest::newRow("game data, no game") << QByteArray("GDATA7@@MOVEX1\r\n") << "" << "";
    QTest::newRow("game data to the host") << QByteArray("GDATA7@@MOVEX1\r\n") << "7h" << "host data 7@@MOVEX1";
    QTest::newRow("game data to a member") << QByteArray("GDATA7@@MOVEX1\r\n") << "7" << "client data 7@@MOVEX1";
    QTest::newRow("no keyword, lower case, empty") << QByteArray("HELLO\r\nchattxtx\r\n\r\n") << "" << "";
}

void LobbyClientTest::serverLines()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, game);
    QFETCH(QString, expected);
    LobbySession session;
    IsGameHost = game.endsWith('h', Qt::CaseInsensitive);
    session.rooms.hosting = game.endsWith('H');
    GameNumber = IsGameHost ? game.chopped(1) : game;
    const QString before = GameNumber + (IsGameHost ? "h" : "");

    session.chat.receive(input);
    const QString after = GameNumber + (IsGameHost ? "h" : "");
    if (after != before)
        session.trace << "game " + after;
    QCOMPARE(session.trace.join(" | "), expected);
}

// Three lines cut in two reads at every byte: always handled once each, whole, in order.
void LobbyClientTest::linesSurviveEveryCut()
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

void LobbyClientTest::kickOverTheConnectionEndsEverything()
{
    LobbySession session;
    QTcpSocket* peer = session.connect({QStringLiteral("NAMEalba"), QStringLiteral("PASSx")});
    QVERIFY(peer);
    QCOMPARE(session.sentUntil("PASSx\r\n"), QByteArray("NAMEalba\r\nPASSx\r\n"));
    QCOMPARE(session.trace, QStringList{"show"});

    peer->write("CHATTXTbefore\r\nKICK\r\nCHATTXTafter\r\n");
    QTRY_VERIFY(session.trace.contains("exit"));
    QTRY_COMPARE(peer->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(session.trace.join(" | "), "show | chat 0 before | box You have been kicked by an administrator. | exit");
    // Whatever else arrives is not handled.
    session.chat.receive("CHATTXTlate\r\n");
    QCOMPARE(session.trace.size(), 4);
}

void LobbyClientTest::chatLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("admin");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("chat") << "hello there" << false << QByteArray("CHATTXTalba: hello there\r\n");
    QTest::newRow("admin") << "hello" << true << QByteArray("ADMINTXTalba: hello\r\n");
    QTest::newRow("me") << "/me waves" << true << QByteArray("METXTalba waves\r\n");
    QTest::newRow("me alone") << "/me" << false << QByteArray("METXTalba \r\n");
    QTest::newRow("time, more letters") << "/timely" << false << QByteArray("GETTIME\r\n");
    QTest::newRow("away") << "/away now" << false << QByteArray("AWAY\r\n");
    QTest::newRow("stats") << "/stats bob" << false << QByteArray("GETSTATSbob\r\n");
    QTest::newRow("stats alone") << "/stats" << false << QByteArray("GETSTATS\r\n");
    QTest::newRow("not a command") << "/Me x" << false << QByteArray("CHATTXTalba: /Me x\r\n");
    QTest::newRow("no parts injected") << "gg@EXITGAME2\r\nKICK" << false << QByteArray("CHATTXTalba: ggEXITGAME2KICK\r\n");
    QTest::newRow("empty") << "" << false << QByteArray();
}

void LobbyClientTest::chatLines()
{
    QFETCH(QString, text);
    QFETCH(bool, admin);
    QFETCH(QByteArray, sent);
    LobbySession session;
    QVERIFY(session.connect());
    UserName = QStringLiteral("alba");
    session.chat.IsAdmin = admin;
    QCOMPARE(session.chat.cmdSend_Click(text), !text.isEmpty());
    session.chat.sendLine("END");
    QCOMPARE(session.sentUntil("END\r\n"), sent + "END\r\n");
}

void LobbyClientTest::otherSenders()
{
    LobbySession session;
    QVERIFY(session.connect());
    UserName = QStringLiteral("alba");
    frmChat& chat = session.chat;

    chat.cmdCreateGame_Click("du@el", "pw");
    chat.cmdJoinGame_Click("", "pw");
    chat.cmdJoinGame_Click("duel", "pw");
    QVERIFY(!chat.cmdMsg_Click("bob", ""));
    QVERIFY(chat.cmdMsg_Click("bob", "psst"));
    chat.cmdKick_Click("");
    // The bans ask first: No sends nothing.
    script::pushMessageResult(MessageResult::No);
    chat.cmdTempBan_Click("bob");
    script::pushMessageResult(MessageResult::Yes);
    chat.cmdIPBan_Click("bob");
    // Keypad 9: the right password opens the panel, anything else closes it.
    script::pushInput(frmChat::ModeratorPassword);
    chat.PromptModeratorPassword();
    QVERIFY(chat.IsAdmin);
    chat.cmdSend_Click("a");
    script::pushInput(frmChat::ModeratorPassword.toUpper());
    chat.PromptModeratorPassword();
    QVERIFY(!chat.IsAdmin);
    script::pushInput(frmChat::ModeratorPassword);
    chat.PromptModeratorPassword();
    script::pushInput(std::nullopt);
    chat.PromptModeratorPassword();
    QVERIFY(!chat.IsAdmin);
    chat.cmdSend_Click("b");
    chat.sendLine("END");
    QCOMPARE(session.sentUntil("END\r\n"),
             QByteArray("SETUPGAME\r\nGAMENAMEduel\r\nGAMEPASSpw\r\nGAMEHOSTalba\r\nJOINNAMEduel\r\nJOINPASSpw\r\n"
                        "MSGNAMEbob\r\nMSGTEXTpsst\r\nKICK\r\nIPBANbob\r\nADMINTXTalba: a\r\nCHATTXTalba: b\r\nEND\r\n"));
    QVERIFY(session.trace.contains("open host"));

    // Closing the window ends the connection and forgets the lists and the panel.
    chat.receive("ADDGAMEduel\r\nLISTADDbob\r\nLISTDONE\r\n");
    chat.IsAdmin = true;
    chat.Form_Unload();
    QTRY_COMPARE(session.peer->state(), QAbstractSocket::UnconnectedState);
    QVERIFY(chat.lstGames.isEmpty() && chat.lstUsers.isEmpty() && !chat.IsAdmin);
}

QTEST_GUILESS_MAIN(LobbyClientTest)
#include "tst_lobbyclient.moc"
