// Two people log in from their start windows to our lobby server, see each
// other, chat, create and join a game, and a moderator kicks one of them.

#include "E2eKit.h"

using e2e::Game;
using e2e::LobbyServer;

class LobbyEndToEnd : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twoPlayersChatJoinAndAreKicked();
};

void LobbyEndToEnd::twoPlayersChatJoinAndAreKicked()
{
    LobbyServer server;
    QVERIFY(server.start());
    // A login straight on the wire, so the account exists before it is made a moderator.
    QVERIFY(e2e::wireLogin(server.port(), "ann"));
    QVERIFY(server.runOnce({QStringLiteral("--moderator"), QStringLiteral("ann")}));

    Game ann(QStringLiteral("ann"));
    Game bob(QStringLiteral("bob"));
    QVERIFY(ann.start());
    QVERIFY(bob.start());
    for (Game* game : {&ann, &bob}) {
        QVERIFY(game->logIn(server.port()));
        QVERIFY(game->waitFor(QStringLiteral("exists frmChat"), QStringLiteral("1")));
        QVERIFY(game->waitFor(QStringLiteral("exists frmIntro2"), QStringLiteral("0")));
    }
    QVERIFY(ann.waitForContains(QStringLiteral("items lstUsers"), QStringLiteral("bob")));
    QVERIFY(bob.waitForContains(QStringLiteral("items lstUsers"), QStringLiteral("ann")));

    // Chat reaches everyone, the sender included, as plain text.
    QVERIFY(ann.run(QStringLiteral("type txtChatMsg hello <b>all</b>")));
    QVERIFY(ann.run(QStringLiteral("click cmdSend")));
    QVERIFY(bob.waitForContains(QStringLiteral("text txtChat"), QStringLiteral("ann: hello <b>all</b>")));
    QVERIFY(ann.waitForContains(QStringLiteral("text txtChat"), QStringLiteral("ann: hello <b>all</b>")));

    // A game made by one appears in the other's list, and the other gets into it.
    QVERIFY(ann.run(QStringLiteral("type txtGameName duel")));
    QVERIFY(ann.run(QStringLiteral("type txtGamePassword pw")));
    QVERIFY(ann.run(QStringLiteral("click cmdCreateGame")));
    QVERIFY(ann.waitFor(QStringLiteral("get GameNumber"), QStringLiteral("1")));
    QVERIFY(bob.waitForContains(QStringLiteral("items lstGames"), QStringLiteral("duel")));
    QVERIFY(bob.run(QStringLiteral("type txtJoinName duel")));
    QVERIFY(bob.run(QStringLiteral("type txtJoinPassWord pw")));
    QVERIFY(bob.run(QStringLiteral("click cmdJoinGame")));
    QVERIFY(bob.waitFor(QStringLiteral("get GameNumber"), QStringLiteral("1")));

    // The moderator's panel opens with the password on keypad 9; Kick ends bob's program.
    QVERIFY(ann.run(QStringLiteral("input harlow3157")));
    QVERIFY(ann.run(QStringLiteral("key txtChatMsg Num+9")));
    QVERIFY(ann.waitFor(QStringLiteral("exists framMod"), QStringLiteral("1")));
    QVERIFY(ann.run(QStringLiteral("select lstUsers bob")));
    QVERIFY(ann.run(QStringLiteral("click cmdKick")));
    QVERIFY(bob.finished());
    QVERIFY(ann.waitFor(QStringLiteral("exists frmChat"), QStringLiteral("1")));
}

QTEST_GUILESS_MAIN(LobbyEndToEnd)
#include "tst_e2e_lobby.moc"
