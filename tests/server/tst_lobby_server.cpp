// The lobby server over loopback: scripted raw-socket clients against the
// real server, started in-process on a free port with a fresh database.

#include "AccountStore.h"
#include "LobbyClient.h"
#include "Log.h"
#include "Server.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace lobby;

class LobbyServerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void login_data();
    void login();
    void commands_data();
    void commands();
    void joinReplaysTheRoomAndRelaysToTheOthers();
    void bootAndLeavingKeepPositions();
    void joinRefused_data();
    void joinRefused();
    void battleGoesOnWhenAPlayerIsLost();
    void moderation_data();
    void moderation();
    void hostileInput_data();
    void hostileInput();
    void floods_data();
    void floods();
    void connectionsPerAddressAreCapped();
    void killedServerKeepsAccounts();

private:
    void startServer(int maxPerAddress = 50);
    std::unique_ptr<LobbyClient> login(const QByteArray& name, const QByteArray& pass = "pw",
                                       const QByteArray& version = "0.64");
    // ann hosts "duel" (game 1) unless it is open already; the others join in order.
    void hostDuel(LobbyClient& host, const QList<LobbyClient*>& joiners, bool create = true);

    QTemporaryDir dir_;
    QString database_;
    std::unique_ptr<Server> server_;
};

namespace {

const std::initializer_list<QByteArrayView> LoginAnswers{"GOODPASS", "BADPASS", "BADVERS", "TEMPBAN", "IPBAN"};

// The capitals a line starts with: its keyword, give or take a letter.
QByteArray keywordOf(const QByteArray& line)
{
    qsizetype n = 0;
    while (n < line.size() && line[n] >= 'A' && line[n] <= 'Z')
        ++n;
    return line.left(n);
}

}  // namespace

void LobbyServerTest::init()
{
    setLogging(false);
    static int count = 0;
    database_ = dir_.filePath(QStringLiteral("lobby-%1.db").arg(++count));
    startServer();
}

void LobbyServerTest::cleanup()
{
    server_.reset();
}

void LobbyServerTest::startServer(int maxPerAddress)
{
    server_.reset();
    ServerConfig config;
    config.port = 0;
    config.databasePath = database_;
    config.maxPerAddress = maxPerAddress;
    config.hashCost = HashCost::cheap();
    server_ = std::make_unique<Server>(config);
    QString error;
    QVERIFY2(server_->start(&error), qPrintable(error));
}

std::unique_ptr<LobbyClient> LobbyServerTest::login(const QByteArray& name, const QByteArray& pass,
                                                    const QByteArray& version)
{
    auto client = std::make_unique<LobbyClient>(server_->port());
    client->send("NAME" + name);
    client->send("VERSION" + version);
    client->send("PASS" + pass);
    return client;
}

void LobbyServerTest::hostDuel(LobbyClient& host, const QList<LobbyClient*>& joiners, bool create)
{
    if (create) {
        for (const char* line : {"SETUPGAME", "GAMENAMEduel", "GAMEPASSsecret", "GAMEHOSTann"})
            host.send(line);
        QCOMPARE(host.next("GAMENUMBER"), QByteArray("GAMENUMBER1"));
    }
    for (LobbyClient* joiner : joiners) {
        joiner->send("JOINNAMEduel");
        joiner->send("JOINPASSsecret");
        QCOMPARE(joiner->next({"JOINGAME", "JOINBAD"}), QByteArray("JOINGAME1"));
    }
}

void LobbyServerTest::login_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QByteArray>("pass");
    QTest::addColumn<QString>("before");  // what ann did first
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("new account") << QByteArray("ann") << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("GOODPASS");
    QTest::newRow("existing account") << QByteArray("ann") << QByteArray("0.64") << QByteArray("pw") << "logged out" << QByteArray("GOODPASS");
    QTest::newRow("wrong password") << QByteArray("ann") << QByteArray("0.64") << QByteArray("nope") << "logged out" << QByteArray("BADPASS");
    QTest::newRow("old version") << QByteArray("ann") << QByteArray("0.63") << QByteArray("pw") << "" << QByteArray("BADVERS");
    QTest::newRow("capital letter") << QByteArray("Ann") << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("BADPASS");
    QTest::newRow("name with @") << QByteArray("a@b") << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("BADPASS");
    QTest::newRow("13 letters") << QByteArray("abcdefghijklm") << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("BADPASS");
    QTest::newRow("empty name") << QByteArray() << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("BADPASS");
    QTest::newRow("already online") << QByteArray("ann") << QByteArray("0.64") << QByteArray("pw") << "online" << QByteArray("BADPASS");
    QTest::newRow("after five wrong passwords") << QByteArray("ann") << QByteArray("0.64") << QByteArray("pw") << "guessed" << QByteArray("BADPASS");
}

void LobbyServerTest::login()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, version);
    QFETCH(QByteArray, pass);
    QFETCH(QString, before);
    QFETCH(QByteArray, answer);
    std::unique_ptr<LobbyClient> first;
    if (!before.isEmpty()) {
        first = login("ann");
        QCOMPARE(first->next(LoginAnswers), QByteArray("GOODPASS"));
        if (before != QLatin1String("online"))
            first.reset();
    }
    if (before == QLatin1String("guessed"))
        for (int i = 0; i < 5; ++i)
            QCOMPARE(login("ann", "guess")->next(LoginAnswers), QByteArray("BADPASS"));
    QCOMPARE(login(name, pass, version)->next(LoginAnswers), answer);
}

void LobbyServerTest::commands_data()
{
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<QByteArray>("toAnn");  // the start of what each receives next
    QTest::addColumn<QByteArray>("toBob");
    QTest::newRow("chat to all") << QByteArrayList{"CHATTXTann: hi"} << QByteArray("CHATTXTann: hi") << QByteArray("CHATTXTann: hi");
    QTest::newRow("forged name dropped") << QByteArrayList{"CHATTXTbob: hi", "CHATTXTann: me"} << QByteArray("CHATTXTann: me") << QByteArray("CHATTXTann: me");
    QTest::newRow("/me") << QByteArrayList{"METXTann waves"} << QByteArray("METXTann waves") << QByteArray("METXTann waves");
    QTest::newRow("admin text from a user") << QByteArrayList{"ADMINTXTann: hi"} << QByteArray("CHATTXTann: hi") << QByteArray("CHATTXTann: hi");
    QTest::newRow("mod text from a user") << QByteArrayList{"MODTXTann: hi"} << QByteArray("CHATTXTann: hi") << QByteArray("CHATTXTann: hi");
    QTest::newRow("private message") << QByteArrayList{"MSGNAMEbob", "MSGTEXThello"} << QByteArray("CHATMSGTo bob: hello") << QByteArray("CHATMSGFrom ann: hello");
    QTest::newRow("user not found") << QByteArrayList{"MSGNAMEzed", "MSGTEXThello"} << QByteArray("CHATMSGUser not found: zed") << QByteArray();
    QTest::newRow("/time") << QByteArrayList{"GETTIME"} << QByteArray("CHATMSGServer time: 2") << QByteArray();
    QTest::newRow("/away") << QByteArrayList{"AWAY"} << QByteArray("METXTann is away.") << QByteArray("METXTann is away.");
    QTest::newRow("/stats") << QByteArrayList{"GETSTATS bob"} << QByteArray("CHATMSGbob: 0 wins, 0 losses, rank 1.") << QByteArray();
}

void LobbyServerTest::commands()
{
    QFETCH(QByteArrayList, sent);
    QFETCH(QByteArray, toAnn);
    QFETCH(QByteArray, toBob);
    auto ann = login("ann");
    auto bob = login("bob");
    QCOMPARE(ann->next(LoginAnswers), QByteArray("GOODPASS"));
    QCOMPARE(bob->next(LoginAnswers), QByteArray("GOODPASS"));
    for (const QByteArray& line : sent)
        ann->send(line);
    const QByteArray annGot = ann->next(keywordOf(toAnn));
    QVERIFY2(annGot.startsWith(toAnn), annGot);
    if (!toBob.isEmpty()) {
        const QByteArray bobGot = bob->next(keywordOf(toBob));
        QVERIFY2(bobGot.startsWith(toBob), bobGot);
    }
}

void LobbyServerTest::joinReplaysTheRoomAndRelaysToTheOthers()
{
    auto ann = login("ann"), bob = login("bob"), carl = login("carl");
    for (auto* c : {ann.get(), bob.get(), carl.get()})
        QCOMPARE(c->next(LoginAnswers), QByteArray("GOODPASS"));
    hostDuel(*ann, {});
    QCOMPARE(bob->next("ADDGAME"), QByteArray("ADDGAMEduel"));
    for (const char* line : {"SETUPGAME", "GAMENAMEduel", "GAMEPASSx", "GAMEHOSTcarl"})
        carl->send(line);  // a second room of the same name is told apart
    QCOMPARE(carl->next("GAMENUMBER"), QByteArray("GAMENUMBER2"));
    QCOMPARE(bob->next("ADDGAME"), QByteArray("ADDGAMEduel-2"));
    carl->send("REMOVEGAME");  // a host must close its room to join another
    hostDuel(*ann, {bob.get(), carl.get()}, false);
    QCOMPARE(bob->next("GDATA"), QByteArray("GDATA1@@JOINGAMEann"));
    QCOMPARE(bob->next("GDATA"), QByteArray("GDATA1@@JOINGAMEbob"));
    QCOMPARE(carl->next("GDATA"), QByteArray("GDATA1@@JOINGAMEann"));
    QCOMPARE(carl->next("GDATA"), QByteArray("GDATA1@@JOINGAMEbob"));
    QCOMPARE(carl->next("GDATA"), QByteArray("GDATA1@@JOINGAMEcarl"));
    QCOMPARE(ann->next("GDATA"), QByteArray("GDATA1@@JOINGAMEbob"));
    QCOMPARE(ann->next("GDATA"), QByteArray("GDATA1@@JOINGAMEcarl"));
    QCOMPARE(bob->next("GDATA"), QByteArray("GDATA1@@JOINGAMEcarl"));

    // Relayed in order to the others, whatever number the line carries;
    // never back to the sender; lines without "@@" other than BOOT go nowhere.
    const QByteArrayList sent{"GDATA1@@READYbob", "GDATA1TEAMRed", "GDATA@@MOVEX5", "GDATA9@@IWIN2"};
    for (const QByteArray& line : sent)
        bob->send(line);
    for (auto* other : {ann.get(), carl.get()}) {
        QCOMPARE(other->next("GDATA"), sent[0]);
        QCOMPARE(other->next("GDATA"), sent[2]);
        QCOMPARE(other->next("GDATA"), sent[3]);
    }
    QVERIFY(bob->sync());
    QCOMPARE(bob->pending("GDATA"), QByteArrayList());
    QVERIFY(bob->lines.contains("REMOVEGAMEduel-2"));
    QTRY_COMPARE(bob->userList(), (QByteArrayList{"ann", "bob", "carl"}));
}

void LobbyServerTest::bootAndLeavingKeepPositions()
{
    auto ann = login("ann"), bob = login("bob"), carl = login("carl"), dave = login("dave");
    for (auto* c : {ann.get(), bob.get(), carl.get(), dave.get()})
        QCOMPARE(c->next(LoginAnswers), QByteArray("GOODPASS"));
    hostDuel(*ann, {bob.get(), carl.get(), dave.get()});
    ann->send("GDATA1BOOT*carl");  // the ready mark is not part of the name
    QCOMPARE(carl->next({"GDATA1@@BOOT", "GDATA1@@LEAVE"}), QByteArray("GDATA1@@BOOTcarl"));
    carl->send("LEAVEGAME");
    for (auto* c : {ann.get(), bob.get(), dave.get()})
        QCOMPARE(c->next("GDATA1@@LEAVE"), QByteArray("GDATA1@@LEAVEGAME3"));
    bob->send("LEAVEGAME");  // the middle member: dave moves up to 2
    QCOMPARE(ann->next("GDATA1@@LEAVE"), QByteArray("GDATA1@@LEAVEGAME2"));
    QCOMPARE(dave->next("GDATA1@@LEAVE"), QByteArray("GDATA1@@LEAVEGAME2"));
    bob->send("JOINNAMEduel");
    bob->send("JOINPASSsecret");
    QCOMPARE(bob->next("JOINGAME"), QByteArray("JOINGAME1"));
    dave->send("REMOVEGAME");  // a member's REMOVEGAME only takes it out
    QCOMPARE(ann->next("GDATA1@@LEAVE"), QByteArray("GDATA1@@LEAVEGAME2"));
    ann->send("BOOTbob");      // not game data: nothing
    ann->send("REMOVEGAME");   // the host closes the room: the rest are booted
    ann->send("REMOVEGAME");   // and again: nothing more
    QCOMPARE(bob->next("GDATA1@@CHAT"), QByteArray("GDATA1@@CHATann closed the game."));
    QCOMPARE(bob->next("GDATA1@@BOOT"), QByteArray("GDATA1@@BOOTbob"));
    QCOMPARE(carl->next("REMOVEGAME"), QByteArray("REMOVEGAMEduel"));
    QVERIFY(ann->sync());
    QCOMPARE(ann->pending("REMOVEGAME").size(), 1);
}

void LobbyServerTest::joinRefused_data()
{
    QTest::addColumn<int>("members");
    QTest::addColumn<bool>("started");
    QTest::addColumn<QByteArray>("game");
    QTest::addColumn<QByteArray>("pass");
    QTest::newRow("wrong password") << 1 << false << QByteArray("duel") << QByteArray("nope");
    QTest::newRow("no such game") << 1 << false << QByteArray("ghost") << QByteArray("secret");
    QTest::newRow("fifth member") << 4 << false << QByteArray("duel") << QByteArray("secret");
    QTest::newRow("started game") << 2 << true << QByteArray("duel") << QByteArray("secret");
    QTest::newRow("own game") << 1 << false << QByteArray("duel") << QByteArray("secret");
}

void LobbyServerTest::joinRefused()
{
    QFETCH(int, members);
    QFETCH(bool, started);
    QFETCH(QByteArray, game);
    QFETCH(QByteArray, pass);
    std::vector<std::unique_ptr<LobbyClient>> clients;
    QList<LobbyClient*> joiners;
    for (int i = 0; i < members; ++i) {
        clients.push_back(login(i == 0 ? QByteArray("ann") : "p" + QByteArray::number(i)));
        QCOMPARE(clients.back()->next(LoginAnswers), QByteArray("GOODPASS"));
        if (i > 0)
            joiners << clients.back().get();
    }
    hostDuel(*clients.front(), joiners);
    if (started)
        clients.front()->send("STARTGAME1");
    const bool own = QByteArray(QTest::currentDataTag()) == "own game";
    auto zed = own ? nullptr : login("zed");
    LobbyClient& joiner = own ? *clients.front() : *zed;
    if (zed)
        QCOMPARE(zed->next(LoginAnswers), QByteArray("GOODPASS"));
    joiner.send("JOINNAME" + game);
    joiner.send("JOINPASS" + pass);
    QCOMPARE(joiner.next({"JOINGAME", "JOINBAD"}), QByteArray("JOINBAD"));
}

void LobbyServerTest::battleGoesOnWhenAPlayerIsLost()
{
    auto ann = login("ann"), bob = login("bob"), carl = login("carl");
    for (auto* c : {ann.get(), bob.get(), carl.get()})
        QCOMPARE(c->next(LoginAnswers), QByteArray("GOODPASS"));
    hostDuel(*ann, {bob.get(), carl.get()});
    for (const char* line : {"GDATA1@@NUM2bob", "GDATA1@@NUM3carl", "GDATA1@@MAX3", "STARTGAME1"})
        ann->send(line);
    QCOMPARE(carl->next("REMOVEGAME"), QByteArray("REMOVEGAMEduel"));
    // carl quits with the Q key and then closes: not reported twice.
    carl->send("GDATA1@@INCHATcarl has quit the game.");
    carl->send("GDATA1@@EXITGAME3");
    QCOMPARE(ann->next("GDATA1@@EXITGAME"), QByteArray("GDATA1@@EXITGAME3"));
    carl.reset();
    bob->socket.abort();
    QCOMPARE(ann->next("GDATA1@@INCHAT"), QByteArray("GDATA1@@INCHATbob has lost connection."));
    QCOMPARE(ann->next("GDATA1@@"), QByteArray("GDATA1@@EXITGAME2"));
    ann->send("REMOVEGAME");  // ann won
    ann->send("REMOVEGAME");
    ann->send("GETSTATS");
    QCOMPARE(ann->next("CHATMSGann"), QByteArray("CHATMSGann: 1 wins, 0 losses, rank 1."));
    QCOMPARE(ann->pending("GDATA1@@EXITGAME"), QByteArrayList());
}

void LobbyServerTest::moderation_data()
{
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<QByteArray>("afterRestart");  // bob's answer when he comes back
    QTest::newRow("kick") << QByteArray("KICK") << QByteArray("GOODPASS");
    QTest::newRow("temporary ban") << QByteArray("TEMPBAN") << QByteArray("TEMPBAN");
    QTest::newRow("address ban") << QByteArray("IPBAN") << QByteArray("IPBAN");
    QTest::newRow("computer ban") << QByteArray("COMPBAN") << QByteArray("IPBAN");
}

void LobbyServerTest::moderation()
{
    QFETCH(QByteArray, action);
    QFETCH(QByteArray, afterRestart);
    QCOMPARE(login("mod")->next(LoginAnswers), QByteArray("GOODPASS"));
    QVERIFY(AccountStore(database_).setModerator("mod"));
    auto mod = login("mod"), bob = login("bob");
    QCOMPARE(mod->next(LoginAnswers), QByteArray("GOODPASS"));
    QCOMPARE(bob->next(LoginAnswers), QByteArray("GOODPASS"));
    bob->send(action + "mod");  // from a user: nothing
    bob->send("ADMINTXTbob: x");
    QCOMPARE(mod->next("CHATTXTbob"), QByteArray("CHATTXTbob: x"));
    mod->send("ADMINTXTmod: behave");
    QCOMPARE(bob->next("ADMINTXT"), QByteArray("ADMINTXTmod: behave"));
    mod->send(action + "bob");
    QCOMPARE(bob->next(action), action);
    QVERIFY(bob->waitClosed());
    startServer();
    QCOMPARE(login("bob")->next(LoginAnswers), afterRestart);
}

void LobbyServerTest::hostileInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("cutOff");  // the server closes the connection
    QByteArray junk(2100, '\0');
    for (char& c : junk)
        c = char(QRandomGenerator::global()->bounded(256));
    for (qsizetype i = 150; i <= junk.size(); i += 150)
        junk.replace(i - 2, 2, "\r\n");
    QTest::newRow("1 MiB line") << QByteArray(1 << 20, 'x') + "\r\n" << true;
    QTest::newRow("4 KiB and a byte, no end") << QByteArray(4097, 'x') << true;
    QTest::newRow("binary junk in short lines") << junk << false;
    QTest::newRow("cut in the middle of a line") << QByteArray("CHATTXTann: hal") << false;
}

void LobbyServerTest::hostileInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, cutOff);
    auto ann = login("ann"), bob = login("bob");
    QCOMPARE(ann->next(LoginAnswers), QByteArray("GOODPASS"));
    QCOMPARE(bob->next(LoginAnswers), QByteArray("GOODPASS"));
    ann->socket.write(bytes);
    if (!cutOff)
        ann->socket.disconnectFromHost();
    QVERIFY(ann->waitClosed());
    QTRY_COMPARE(bob->userList(), QByteArrayList{"bob"});
    bob->send("CHATTXTbob: still here");
    QCOMPARE(bob->next("CHATTXT"), QByteArray("CHATTXTbob: still here"));
}

void LobbyServerTest::floods_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<bool>("allRelayed");
    QTest::newRow("chat") << QByteArray("CHATTXTann: ") << false;
    QTest::newRow("room chat") << QByteArray("GDATA1@@CHATann: ") << false;
    QTest::newRow("game data") << QByteArray("GDATA1@@CHECKUNIT") << true;
}

void LobbyServerTest::floods()
{
    QFETCH(QByteArray, prefix);
    QFETCH(bool, allRelayed);
    constexpr int Burst = 2000;
    auto ann = login("ann"), bob = login("bob");
    QCOMPARE(ann->next(LoginAnswers), QByteArray("GOODPASS"));
    QCOMPARE(bob->next(LoginAnswers), QByteArray("GOODPASS"));
    hostDuel(*ann, {bob.get()});
    QByteArrayList sent;
    QByteArray bytes;
    for (int i = 0; i < Burst; ++i) {
        sent << prefix + QByteArray::number(i);
        bytes += sent.back() + "\r\n";
    }
    ann->socket.write(bytes + "GDATA1@@END\r\n");  // game data has its own limit
    QCOMPARE(bob->next("GDATA1@@END"), QByteArray("GDATA1@@END"));
    bob->cursor = 0;
    QByteArrayList got = bob->pending(prefix);
    if (allRelayed) {
        QCOMPARE(got, sent);
        QCOMPARE(ann->pending("CHATMSGYou are sending").size(), 0);
    } else {
        QVERIFY2(got.size() < Burst / 10, qPrintable(QString::number(got.size())));
        QCOMPARE(got, sent.first(got.size()));
        QCOMPARE(ann->next("CHATMSGYou are sending"), QByteArray("CHATMSGYou are sending lines too fast; some were dropped."));
        QCOMPARE(ann->pending("CHATMSGYou are sending").size(), 0);
    }
}

void LobbyServerTest::connectionsPerAddressAreCapped()
{
    startServer(2);
    LobbyClient first(server_->port()), second(server_->port()), third(server_->port());
    QVERIFY(third.waitClosed());
    first.send("NAMEann");
    first.send("VERSION0.64");
    first.send("PASSpw");
    QCOMPARE(first.next(LoginAnswers), QByteArray("GOODPASS"));
    QCOMPARE(second.socket.state(), QAbstractSocket::ConnectedState);
}

void LobbyServerTest::killedServerKeepsAccounts()
{
    // The real program at its real hashing cost, killed without warning right
    // after answering, then stopped by SIGTERM.
    server_.reset();
    const QString program = qEnvironmentVariable("VF_PROGRAM_DIR") + QStringLiteral("/vesperfall-lobby");
    auto run = [&](QProcess& process) -> quint16 {
        process.start(program, {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"), database_});
        QRegularExpressionMatch match;
        (void)QTest::qWaitFor([&] {
            match = QRegularExpression("listening on port (\\d+)").match(QString::fromLatin1(process.peek(1 << 16)));
            return match.hasMatch() || process.state() == QProcess::NotRunning;
        }, LobbyClient::TimeoutMs);
        process.setReadChannel(QProcess::StandardError);
        return quint16(match.captured(1).toUInt());
    };
    QProcess first;
    first.setReadChannel(QProcess::StandardError);
    const quint16 port = run(first);
    QVERIFY(port != 0);
    LobbyClient ann(port);
    for (const char* line : {"NAMEann", "VERSION0.64", "PASSpw"})
        ann.send(line);
    QCOMPARE(ann.next(LoginAnswers), QByteArray("GOODPASS"));
    first.kill();
    QVERIFY(first.waitForFinished());

    QProcess second;
    second.setReadChannel(QProcess::StandardError);
    const quint16 again = run(second);
    QVERIFY(again != 0);
    for (auto [pass, answer] : {std::pair{"nope", "BADPASS"}, std::pair{"pw", "GOODPASS"}}) {
        LobbyClient back(again);
        for (QByteArray line : {QByteArray("NAMEann"), QByteArray("VERSION0.64"), "PASS" + QByteArray(pass)})
            back.send(line);
        QCOMPARE(back.next(LoginAnswers), QByteArray(answer));
    }
    second.terminate();
    QVERIFY(second.waitForFinished());
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
}

QTEST_GUILESS_MAIN(LobbyServerTest)
#include "tst_lobby_server.moc"
