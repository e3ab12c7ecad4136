// The lobby server over loopback: scripted raw-socket clients against the
// real server, started in-process on a free port with a fresh database.

#include "AccountStore.h"
#include "LobbyServerKit.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sodium.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>

using namespace lobby;

class LobbyServerTest : public QObject, LobbyServerKit
{
    Q_OBJECT

private slots:
    void init() { freshServer(); }
    void cleanup() { server.reset(); }
    void logins_data();
    void logins();
    void ownerGetsInWhileStrangersGuess();
    void racingLogins_data();
    void racingLogins();
    void linesFitWhatAClientTakes_data();
    void linesFitWhatAClientTakes();
    void commands_data();
    void commands();
    void joinReplaysTheRoomAndRelaysToTheOthers();
    void bootAndLeavingKeepPositions();
    void joinRefused_data();
    void joinRefused();
    void moderation_data();
    void moderation();
    void refusalLogBounds();
    void strangersFillNoLog();
    void roomActionsFillNoLog();
    void acceptedConnectionsAreProbed();
    void hostileInput_data();
    void hostileInput();
    void floods_data();
    void floods();
    void relayFloodSlowsItsSenderNotItsReader();
    void relayWaitEndsOnceAllIsRead();
    void connectionsPerAddressAreCapped();
    void failedLoginsAreThrottledPerAddress_data();
    void failedLoginsAreThrottledPerAddress();
    void passwordWorkIsSharedAndBounded();
    void fullQueueTakesFromAnAddressTwoAhead_data();
    void fullQueueTakesFromAnAddressTwoAhead();
    void loginsShareChecksAndTakeTurns_data();
    void loginsShareChecksAndTakeTurns();
    void closedConnectionsCreateNoAccount();
    void closedWhileHashingCreatesNoAccount();
    void newAccountsPerAddressAreLimited();
    void userList_data();
    void userList();
    void acceptingWaitsForFreeDescriptors();
    void outOfDescriptorsTheServerIdles();
    void outOfDescriptorsANewUserGetsIn();
    void killedServerKeepsAccounts();
    void ranks_data();
    void ranks();

private:
    // Accounts with the password "pw", made directly in the database.
    void makeAccounts(const QByteArrayList& names);
    // One worker at the real hashing cost, so logins wait their turn.
    static ServerConfig oneRealHasher()
    {
        ServerConfig slow = config();
        slow.hashCost = HashCost::standard();
        slow.hashThreads = 1;
        return slow;
    }
    // Starts the real program; its port, or 0.
    quint16 startProgram(QProcess& process, const QStringList& arguments = {});
};

namespace {

// Holds each login job once its account was looked up, until opened.
class HashGate
{
public:
    PasswordHasher::LookedUp hook()
    {
        return [this](const LoginRequest&) {
            ++taken;
            std::unique_lock lock(mutex_);
            opened_.wait(lock, [this] { return open_; });
        };
    }
    void open()
    {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }
    std::atomic<int> taken = 0;

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

// Takes every descriptor this process may still open but `spare`, so that
// the in-process server's next accept fails; gives them back when destroyed.
class DescriptorsTaken
{
public:
    explicit DescriptorsTaken(int spare)
    {
        getrlimit(RLIMIT_NOFILE, &saved_);
        int highest = 0;
        for (const QString& entry : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System))
            highest = std::max(highest, entry.toInt());
        rlimit low = saved_;
        low.rlim_cur = rlim_t(highest) + 32;
        setrlimit(RLIMIT_NOFILE, &low);
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            taken_.push_back(fd);
        for (int i = 0; i < spare && !taken_.empty(); ++i) {
            ::close(taken_.back());
            taken_.pop_back();
        }
    }
    ~DescriptorsTaken()
    {
        for (int fd : taken_)
            ::close(fd);
        setrlimit(RLIMIT_NOFILE, &saved_);
    }

private:
    rlimit saved_{};
    std::vector<int> taken_;
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The capitals a line starts with: its keyword, give or take a letter.
QByteArray keywordOf(const QByteArray& line)
{
    qsizetype n = 0;
    while (n < line.size() && line[n] >= 'A' && line[n] <= 'Z')
        ++n;
    return line.left(n);
}

// Numbered game-data lines of `length` bytes, appended to `sent`; the bytes that send them.
QByteArray numberedLines(QByteArrayList& sent, int count, qsizetype length)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        const QByteArray start = "GDATA1@@SEQ" + QByteArray::number(sent.size()) + "@PAD";
        sent << start + QByteArray(length - start.size(), 'x');
        bytes += sent.back() + "\r\n";
    }
    return bytes;
}

}  // namespace

void LobbyServerTest::makeAccounts(const QByteArrayList& names)
{
    QVERIFY(PasswordHasher::initialise());
    char hash[crypto_pwhash_STRBYTES];
    QVERIFY(crypto_pwhash_str(hash, "pw", 2, crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN) == 0);
    AccountStore store(database);
    for (const QByteArray& name : names)
        QVERIFY(store.create(name, hash));
}

quint16 LobbyServerTest::startProgram(QProcess& process, const QStringList& arguments)
{
    const QString program = qEnvironmentVariable("VF_PROGRAM_DIR") + QStringLiteral("/vesperfall-lobby");
    process.setReadChannel(QProcess::StandardError);
    process.start(program, QStringList{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"), database}
                               + arguments);
    QRegularExpressionMatch match;
    (void)QTest::qWaitFor([&] {
        match = QRegularExpression("listening on port (\\d+)").match(QString::fromLatin1(process.peek(1 << 16)));
        return match.hasMatch() || process.state() == QProcess::NotRunning;
    }, LobbyClient::TimeoutMs);
    return quint16(match.captured(1).toUInt());
}

void LobbyServerTest::logins_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QByteArray>("pass");
    QTest::addColumn<QString>("before");  // what ann did first
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("notice");  // an ANNOUNCE before the answer
    QTest::newRow("new account") << QByteArray("ann") << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("GOODPASS") << QByteArray();
    QTest::newRow("existing account") << QByteArray("ann") << QByteArray("0.64") << QByteArray("pw") << "logged out" << QByteArray("GOODPASS") << QByteArray();
    QTest::newRow("wrong password") << QByteArray("ann") << QByteArray("0.64") << QByteArray("nope") << "logged out" << QByteArray("BADPASS") << QByteArray();
    QTest::newRow("old version") << QByteArray("ann") << QByteArray("0.63") << QByteArray("pw") << "" << QByteArray("BADVERS") << QByteArray();
    const QByteArray nameRules("A user name has 1 to 12 characters, each a letter a to z, a digit 0 to 9, _ or -.");
    QTest::newRow("capital letter") << QByteArray("Ann") << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("BADPASS") << nameRules;
    QTest::newRow("name with @") << QByteArray("a@b") << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("BADPASS") << nameRules;
    QTest::newRow("name with a dot") << QByteArray("j.smith") << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("BADPASS") << nameRules;
    QTest::newRow("name with a space") << QByteArray("ann lee") << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("BADPASS") << nameRules;
    QTest::newRow("12 of every allowed kind") << QByteArray("az09_-az09_-") << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("GOODPASS") << QByteArray();
    QTest::newRow("13 letters") << QByteArray("abcdefghijklm") << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("BADPASS") << nameRules;
    QTest::newRow("one letter") << QByteArray("a") << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("GOODPASS") << QByteArray();
    QTest::newRow("empty name") << QByteArray() << QByteArray("0.64") << QByteArray("pw") << "" << QByteArray("BADPASS") << nameRules;
    QTest::newRow("already online") << QByteArray("ann") << QByteArray("0.64") << QByteArray("pw") << "online" << QByteArray("BADPASS") << QByteArray("That name is logged in already.");
    QTest::newRow("account store full") << QByteArray("ann") << QByteArray("0.64") << QByteArray("pw") << "store full" << QByteArray("BADPASS") << QByteArray("The server cannot reach its accounts just now. Please try again later.");
}

void LobbyServerTest::logins()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, version);
    QFETCH(QByteArray, pass);
    QFETCH(QString, before);
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, notice);
    std::unique_ptr<LobbyClient> first;
    if (before == QLatin1String("online") || before == QLatin1String("logged out")) {
        first = login("ann");
        QCOMPARE(first->next(LoginAnswers), QByteArray("GOODPASS"));
        if (before != QLatin1String("online"))
            first.reset();
    } else if (before == QLatin1String("store full")) {
        // A write the database refuses, as when the disk is full.
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("full"));
        db.setDatabaseName(database);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral(
            "CREATE TRIGGER full BEFORE INSERT ON accounts BEGIN SELECT RAISE(ABORT, 'disk full'); END")));
        db.close();
    }
    auto client = login(name, pass, version);
    QCOMPARE(client->next(LoginAnswers), answer);
    client->cursor = 0;
    QCOMPARE(client->pending("ANNOUNCE"), notice.isEmpty() ? QByteArrayList() : QByteArrayList{"ANNOUNCE" + notice});
}

void LobbyServerTest::ownerGetsInWhileStrangersGuess()
{
    // Strangers at four addresses keep guessing ann's password while she
    // logs in; their guesses are queued or hashed when hers arrives.
    startServer(oneRealHasher());
    makeAccounts({"ann"});
    std::vector<std::unique_ptr<LobbyClient>> guessers;
    for (int address = 2; address <= 5; ++address)
        guessers.push_back(login("ann", "guess", "0.64", address));
    QTRY_VERIFY(std::all_of(guessers.begin(), guessers.end(), [](const auto& g) { return g->socket.bytesToWrite() == 0; }));
    auto owner = login("ann");
    QCOMPARE(owner->next(LoginAnswers), QByteArray("GOODPASS"));
    owner->cursor = 0;
    QCOMPARE(owner->pending("ANNOUNCE"), QByteArrayList());
    // The guesses fail as wrong passwords, and the name is held once hers is in.
    for (const auto& guesser : guessers) {
        QCOMPARE(guesser->next(LoginAnswers), QByteArray("BADPASS"));
        guesser->sendLogin("ann", "guess");
        QCOMPARE(guesser->next("ANNOUNCE"), QByteArray("ANNOUNCEThat name is logged in already."));
    }
}

void LobbyServerTest::racingLogins_data()
{
    QTest::addColumn<bool>("accountBefore");
    QTest::addColumn<QByteArray>("secondPass");
    QTest::addColumn<QByteArray>("notice");  // to the login that does not get in
    QTest::addColumn<int>("checks");         // the same password is checked once for both
    const QByteArray held("That name is logged in already.");
    QTest::newRow("new name, same password") << false << QByteArray("pw") << held << 1;
    QTest::newRow("new name, other password") << false << QByteArray("other") << QByteArray() << 2;
    QTest::newRow("account, right password twice") << true << QByteArray("pw") << held << 1;
}

void LobbyServerTest::racingLogins()
{
    // Both logins of ann have been looked up, or share one check, before either goes on.
    QFETCH(bool, accountBefore);
    QFETCH(QByteArray, secondPass);
    QFETCH(QByteArray, notice);
    QFETCH(int, checks);
    if (accountBefore)
        makeAccounts({"ann"});
    HashGate gate;
    ServerConfig held = config();
    held.hashThreads = 2;
    held.loginLookedUp = gate.hook();
    startServer(held);
    const auto opened = qScopeGuard([&] { gate.open(); });
    const std::unique_ptr<LobbyClient> logins[] = {login("ann"), login("ann", secondPass)};
    QTRY_COMPARE(gate.taken.load(), checks);
    gate.open();
    const QByteArray first = logins[0]->next(LoginAnswers), second = logins[1]->next(LoginAnswers);
    QCOMPARE(QSet<QByteArray>({first, second}), QSet<QByteArray>({"GOODPASS", "BADPASS"}));
    LobbyClient& refused = first == "BADPASS" ? *logins[0] : *logins[1];
    refused.cursor = 0;
    QCOMPARE(refused.pending("ANNOUNCE"), notice.isEmpty() ? QByteArrayList() : QByteArrayList{"ANNOUNCE" + notice});
}

void LobbyServerTest::linesFitWhatAClientTakes_data()
{
    QTest::addColumn<QByteArrayList>("sent");   // by ann
    QTest::addColumn<bool>("toBob");            // bob receives the answer, else ann
    QTest::addColumn<QByteArray>("answer");     // its start
    QTest::addColumn<qsizetype>("userText");    // the length of the user's text in the answer
    const qsizetype max = platform::LineFramer::MaxLineBytes;
    const QByteArray from("CHATMSGFrom ann: "), notFound("CHATMSGUser not found: ");
    // What a user types is cut to the lobby window's message box.
    const qsizetype box = 255;
    const auto message = [](qsizetype n) { return QByteArrayList{"MSGNAMEbob", "MSGTEXT" + QByteArray(n, 'x')}; };
    const auto said = [](const char* keyword, const char* head, qsizetype n) {
        return QByteArrayList{keyword + QByteArray(head) + QByteArray(n, 'x')};
    };
    QTest::newRow("private message as long as the box") << message(box) << true << from << box;
    QTest::newRow("private message a character longer") << message(box + 1) << true << from << box;
    QTest::newRow("longest private message") << message(max - 7) << true << from << box;
    QTest::newRow("chat as long as the box") << said("CHATTXT", "ann: ", box) << true << QByteArray("CHATTXTann: ") << box;
    QTest::newRow("chat of 4,000") << said("CHATTXT", "ann: ", 4000) << true << QByteArray("CHATTXTann: ") << box;
    QTest::newRow("/me of 4,000") << said("METXT", "ann ", 4000) << true << QByteArray("METXTann ") << box;
    QTest::newRow("staff chat of 4,000 from a user") << said("MODTXT", "ann: ", 4000) << true << QByteArray("CHATTXTann: ") << box;
    QTest::newRow("stats of nobody, a byte under") << QByteArrayList{"GETSTATS" + QByteArray(max - notFound.size(), 'x')}
                                                   << false << notFound << max - notFound.size();
    QTest::newRow("stats of nobody, a byte over") << QByteArrayList{"GETSTATS" + QByteArray(max - notFound.size() + 1, 'x')}
                                                  << false << notFound << max - notFound.size();
    QTest::newRow("message to nobody, over") << QByteArrayList{"MSGNAME" + QByteArray(max - 7, 'x'), "MSGTEXThi"}
                                             << false << notFound << max - notFound.size();
}

void LobbyServerTest::linesFitWhatAClientTakes()
{
    // A client drops a longer line: the user's text is cut to fit instead.
    QFETCH(QByteArrayList, sent);
    QFETCH(bool, toBob);
    QFETCH(QByteArray, answer);
    QFETCH(qsizetype, userText);
    auto ann = loggedIn("ann"), bob = loggedIn("bob");
    QVERIFY(ann && bob);
    for (const QByteArray& line : sent)
        ann->send(line);
    LobbyClient& receiver = toBob ? *bob : *ann;
    QCOMPARE(receiver.next(answer), answer + QByteArray(userText, 'x'));
    QVERIFY(receiver.sync());
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
    auto ann = loggedIn("ann"), bob = loggedIn("bob");
    QVERIFY(ann && bob);
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
    auto ann = loggedIn("ann"), bob = loggedIn("bob"), carl = loggedIn("carl");
    QVERIFY(ann && bob && carl);
    QCOMPARE(open(*ann, "ann"), QByteArray("GAMENUMBER1"));
    QCOMPARE(bob->next("ADDGAME"), QByteArray("ADDGAMEduel"));
    // A second room of the same name is told apart.
    QCOMPARE(open(*carl, "carl", "duel", "x"), QByteArray("GAMENUMBER2"));
    QCOMPARE(bob->next("ADDGAME"), QByteArray("ADDGAMEduel-2"));
    carl->send("REMOVEGAME");  // a host must close its room to join another
    QCOMPARE(join(*bob), QByteArray("JOINGAME1"));
    QCOMPARE(join(*carl), QByteArray("JOINGAME1"));
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
    const QByteArrayList sent{"GDATA1@@READYbob", "GDATA1TEAMRed", "GDATA@@NOTREADYbob", "GDATA9@@READYbob"};
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
    Clients c = room({"ann", "bob", "carl", "dave"});
    QVERIFY(!c.empty());
    auto [ann, bob, carl, dave] = std::tie(c[0], c[1], c[2], c[3]);
    ann->send("GDATA1BOOT*carl");  // the ready mark is not part of the name
    QCOMPARE(carl->next({"GDATA1@@BOOT", "GDATA1@@LEAVE"}), QByteArray("GDATA1@@BOOTcarl"));
    carl->send("LEAVEGAME");
    for (auto* c : {ann.get(), bob.get(), dave.get()})
        QCOMPARE(c->next("GDATA1@@LEAVE"), QByteArray("GDATA1@@LEAVEGAME3"));
    bob->send("LEAVEGAME");  // the middle member: dave moves up to 2
    QCOMPARE(ann->next("GDATA1@@LEAVE"), QByteArray("GDATA1@@LEAVEGAME2"));
    QCOMPARE(dave->next("GDATA1@@LEAVE"), QByteArray("GDATA1@@LEAVEGAME2"));
    QCOMPARE(join(*bob), QByteArray("JOINGAME1"));
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
    QByteArrayList names{"ann", "bob", "carl", "dave"};
    Clients clients = room(names.first(members));
    QVERIFY(!clients.empty());
    if (started)
        clients.front()->send("STARTGAME1");
    const bool own = QByteArray(QTest::currentDataTag()) == "own game";
    auto zed = own ? nullptr : loggedIn("zed");
    QVERIFY(own || zed);
    QCOMPARE(join(own ? *clients.front() : *zed, game, pass), QByteArray("JOINBAD"));
}

void LobbyServerTest::moderation_data()
{
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<QByteArray>("afterRestart");  // bob's answer when he comes back
    QTest::addColumn<QByteArray>("neighbour");     // a new name's from bob's address, at once and then
    QTest::newRow("kick") << QByteArray("KICK") << QByteArray("GOODPASS") << QByteArray("GOODPASS");
    QTest::newRow("temporary ban") << QByteArray("TEMPBAN") << QByteArray("TEMPBAN") << QByteArray("GOODPASS");
    QTest::newRow("address ban") << QByteArray("IPBAN") << QByteArray("IPBAN") << QByteArray("IPBAN");
    QTest::newRow("computer ban") << QByteArray("COMPBAN") << QByteArray("IPBAN") << QByteArray("IPBAN");
}

void LobbyServerTest::moderation()
{
    QFETCH(QByteArray, action);
    QFETCH(QByteArray, afterRestart);
    QFETCH(QByteArray, neighbour);
    constexpr int BobsAddress = 2;
    QCOMPARE(login("mod")->next(LoginAnswers), QByteArray("GOODPASS"));
    QVERIFY(AccountStore(database).setModerator("mod"));
    auto mod = loggedIn("mod"), bob = login("bob", "pw", "0.64", BobsAddress);
    QVERIFY(mod && bob->next(LoginAnswers) == "GOODPASS");
    bob->send(action + "mod");  // from a user: nothing
    bob->send("ADMINTXTbob: x");
    QCOMPARE(mod->next("CHATTXTbob"), QByteArray("CHATTXTbob: x"));
    mod->send("ADMINTXTmod: behave");
    QCOMPARE(bob->next("ADMINTXT"), QByteArray("ADMINTXTmod: behave"));
    mod->send(action + "bob");
    QCOMPARE(bob->next(action), action);
    QVERIFY(bob->waitClosed());
    QCOMPARE(login("fay", "pw", "0.64", BobsAddress)->next(LoginAnswers), neighbour);
    startServer();
    QCOMPARE(login("bob", "pw", "0.64", BobsAddress)->next(LoginAnswers), afterRestart);
    // An address ban is kept with the accounts, not only in memory.
    QCOMPARE(login("eve", "pw", "0.64", BobsAddress)->next(LoginAnswers), neighbour);
}

void LobbyServerTest::refusalLogBounds()
{
    LogLines logged;
    QStringList& log = logged.lines;
    {
        ThrottledLog refusals;
        // One source: its allowance, and not one more.
        for (int i = 0; i < ThrottledLog::PerSourcePerSecond; ++i)
            QVERIFY(refusals.admit(LogKind::RefusedLines, "bob"));
        QVERIFY(!refusals.admit(LogKind::RefusedLines, "bob"));
        // All sources together: the rest of their allowance, and not one more.
        for (int i = ThrottledLog::PerSourcePerSecond; i < ThrottledLog::AllPerSecond; ++i)
            QVERIFY(refusals.admit(LogKind::RefusedLines, "u" + QByteArray::number(i)));
        QVERIFY(!refusals.admit(LogKind::RefusedLines, "carl"));
        // Every other kind has an allowance of its own; a held-back login
        // is noted with the account it tried.
        for (const LogKind kind : {LogKind::RefusedLogins, LogKind::RefusedModeration, LogKind::RefusedConnections, LogKind::ClosedBeforeLogin,
                                   LogKind::RoomActions})
            QVERIFY(refusals.admit(kind, "10.0.0.1", "ann"));
        for (int i = 1; i < ThrottledLog::AllPerSecond; ++i)
            QVERIFY(refusals.admit(LogKind::RefusedLogins, "10.0.1." + QByteArray::number(i), "ann"));
        QVERIFY(!refusals.admit(LogKind::RefusedLogins, "10.0.0.1", "ann"));
        // Held back by address: one address trying many names is one
        // source, naming a few of them; one trying as many as are named, another.
        for (int i = 0; i < 30; ++i)
            (void)refusals.admit(LogKind::RefusedLogins, "10.0.0.2", "who" + QByteArray::number(i % 10));
        for (int i = 0; i < 2 * ThrottledLog::AccountsNamedPerSource; ++i)
            (void)refusals.admit(LogKind::RefusedLogins, "10.0.0.3", "u" + QByteArray::number(i % ThrottledLog::AccountsNamedPerSource));
        // A flood from ever new sources is summed past the table's bound.
        constexpr int Flood = ThrottledLog::MaxHeldSources + ThrottledLog::AllPerSecond + 10;
        for (int i = 0; i < Flood; ++i)
            (void)refusals.admit(LogKind::RefusedConnections, "10.1." + QByteArray::number(i));
        refusals.flush();
        const QStringList notes = log.filter(QStringLiteral(" not logged: "));
        QCOMPARE(notes.size(), 3);
        QVERIFY2(notes.contains(QStringLiteral("2 more refused lines not logged: 1 from bob, 1 from carl"))
                     || notes.contains(QStringLiteral("2 more refused lines not logged: 1 from carl, 1 from bob")),
                 qPrintable(notes.join('\n')));
        QVERIFY2(notes.contains(QStringLiteral("37 more refused logins not logged: 30 from 10.0.0.2 (who0, who1, who2, ...), "
                                               "6 from 10.0.0.3 (u0, u1, u2), 1 from 10.0.0.1 (ann)")),
                 qPrintable(notes.join('\n')));
        const QString held = QString::number(Flood - (ThrottledLog::AllPerSecond - 1));
        QVERIFY2(notes.filter(QRegularExpression(QStringLiteral("^%1 more refused connections not logged: .*, "
                                                                "\\d+ from more than \\d+ others$").arg(held))).size() == 1,
                 qPrintable(notes.join('\n')));
        // What was said is not said again.
        log.clear();
        refusals.flush();
        QVERIFY2(log.isEmpty(), qPrintable(log.join('\n')));
    }
}

void LobbyServerTest::strangersFillNoLog()
{
    LogLines logged;
    QStringList& log = logged.lines;
    QElapsedTimer going;
    going.start();
    // Comings and goings of one address that never logs in, then refused
    // logins with a long version.
    constexpr int Tries = 60;
    for (int i = 0; i < Tries; ++i) {
        LobbyClient stranger(server->port());
        QVERIFY(stranger.socket.waitForConnected(LobbyClient::TimeoutMs));
        if (i % 2)
            stranger.sendLogin("ann", "pw", QByteArray(2000, 'v'));
        stranger.socket.disconnectFromHost();
        QVERIFY(stranger.waitClosed());
    }
    QVERIFY(loggedIn("zed"));  // the server has turned past the last close
    const qint64 seconds = going.elapsed() / 1000 + 2;
    server.reset();  // the last count is said as the server stops
    for (const QString& kind : {QStringLiteral("closed before login"), QStringLiteral("login refused")})
        QVERIFY(log.filter(kind).size() <= ThrottledLog::PerSourcePerSecond * seconds);
    for (const QString& line : std::as_const(log))
        QVERIFY2(line.size() < 2 * MaxLoggedPeerBytes, qPrintable(line));
    QVERIFY(!log.filter(QStringLiteral("more connections closed before login not logged: ")).isEmpty());
}

void LobbyServerTest::roomActionsFillNoLog()
{
    // The host boots a member, who joins again, one more time than each
    // may be logged in a second; the boots and the joins are held back.
    LogLines logged;
    Clients c = room({"ann", "bob"});
    QVERIFY(!c.empty());
    for (int i = 0; i < ThrottledLog::PerSourcePerSecond; ++i) {
        c[0]->send("GDATA1BOOTbob");
        QCOMPARE(c[1]->next("GDATA1@@BOOT"), QByteArray("GDATA1@@BOOTbob"));
        QCOMPARE(join(*c[1]), QByteArray("JOINGAME1"));
    }
    server.reset();
    const QStringList notes = logged.lines.filter(QStringLiteral("more room actions not logged: "));
    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes[0].contains(QStringLiteral(" from ann")) && notes[0].contains(QStringLiteral(" from bob")),
             qPrintable(notes[0]));
}

void LobbyServerTest::acceptedConnectionsAreProbed()
{
    // A user silent for minutes over a dead link is found as the client
    // finds the server.
    auto ann = loggedIn("ann"), bob = loggedIn("bob");
    QVERIFY(ann && bob);
    const auto option = [](int descriptor, int level, int name) {
        int value = -1;
        socklen_t size = sizeof value;
        getsockopt(descriptor, level, name, &value, &size);
        return value;
    };
    int accepted = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System)) {
        const int descriptor = entry.toInt();
        sockaddr_in6 local{}, peer{};  // a v4 address fits too; the port is where both keep it
        socklen_t size = sizeof local;
        if (getsockname(descriptor, reinterpret_cast<sockaddr*>(&local), &size) != 0
            || (local.sin6_family != AF_INET && local.sin6_family != AF_INET6) || ntohs(local.sin6_port) != server->port())
            continue;
        size = sizeof peer;
        if (getpeername(descriptor, reinterpret_cast<sockaddr*>(&peer), &size) != 0)
            continue;  // the listener
        ++accepted;
        QCOMPARE(option(descriptor, SOL_SOCKET, SO_KEEPALIVE), 1);
        QCOMPARE(option(descriptor, IPPROTO_TCP, TCP_KEEPIDLE), 60);
        QCOMPARE(option(descriptor, IPPROTO_TCP, TCP_USER_TIMEOUT), 120000);
    }
    QCOMPARE(accepted, 2);
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
    auto ann = loggedIn("ann"), bob = loggedIn("bob");
    QVERIFY(ann && bob);
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
    QTest::newRow("chat") << QByteArray("CHATTXTbob: ") << false;
    QTest::newRow("room chat") << QByteArray("GDATA1@@CHATbob: ") << false;
    QTest::newRow("game data") << QByteArray("GDATA1@@MARKbob@") << true;
}

void LobbyServerTest::floods()
{
    QFETCH(QByteArray, prefix);
    QFETCH(bool, allRelayed);
    constexpr int Burst = 2000;
    Clients c = room({"ann", "bob"});
    QVERIFY(!c.empty());
    auto [ann, bob] = std::tie(c[0], c[1]);
    QByteArrayList sent;
    QByteArray bytes;
    for (int i = 0; i < Burst; ++i) {
        sent << prefix + QByteArray::number(i);
        bytes += sent.back() + "\r\n";
    }
    // Game data and control lines have limits of their own: both outlive the flood.
    bob->socket.write(bytes + "GDATA1@@END\r\nLEAVEGAME\r\n");
    QCOMPARE(ann->next("GDATA1@@END"), QByteArray("GDATA1@@END"));
    QCOMPARE(ann->next("GDATA1@@LEAVE"), QByteArray("GDATA1@@LEAVEGAME2"));
    ann->cursor = 0;
    QByteArrayList got = ann->pending(prefix);
    if (allRelayed) {
        QCOMPARE(got, sent);
        QCOMPARE(bob->pending("CHATMSGYou are sending").size(), 0);
    } else {
        QVERIFY2(got.size() < Burst / 10, qPrintable(QString::number(got.size())));
        QCOMPARE(got, sent.first(got.size()));
        QCOMPARE(bob->next("CHATMSGYou are sending"), QByteArray("CHATMSGYou are sending lines too fast; some were dropped."));
        QCOMPARE(bob->pending("CHATMSGYou are sending").size(), 0);
    }
}

void LobbyServerTest::relayFloodSlowsItsSenderNotItsReader()
{
    // bob sends a whole burst of the longest game-data lines at once; carl
    // reads 64 KB a second.
    constexpr int ReadIntervalMs = 50;
    constexpr qint64 ReadBytes = 64 * 1024 * ReadIntervalMs / 1000;
    constexpr int FloodMs = 2000;
    Clients c = room({"ann", "bob", "carl"});
    QVERIFY(!c.empty());
    auto [ann, bob, carl] = std::tie(c[0], c[1], c[2]);
    QObject::disconnect(&carl->socket, &QTcpSocket::readyRead, nullptr, nullptr);
    carl->socket.setReadBufferSize(ReadBytes);
    QTimer reading;
    QObject::connect(&reading, &QTimer::timeout, [&carl] {
        carl->framer.append(carl->socket.read(ReadBytes));
        while (auto line = carl->framer.takeLine())
            carl->lines << *line;
    });
    reading.start(ReadIntervalMs);
    QByteArrayList sent;
    const QByteArray bytes = numberedLines(sent, int(GameLimit.burst), MaxLineBytes);
    bob->socket.write(bytes);
    QTest::qWait(FloodMs);
    // Nobody has left; ann got bob's lines in order, none dropped; bob's
    // wait unread.
    QVERIFY(ann->sync());
    QCOMPARE(ann->pending("GDATA1@@LEAVEGAME"), QByteArrayList());
    const QByteArrayList got = ann->pending("GDATA1@@SEQ");
    QVERIFY(!got.isEmpty());
    QCOMPARE(got, sent.first(got.size()));
    QVERIFY2(bob->socket.bytesToWrite() > bytes.size() / 2, qPrintable(QString::number(bob->socket.bytesToWrite())));
    QCOMPARE(bob->pending("CHATMSGYou are sending"), QByteArrayList());
    // As his lines keep waiting, bob is cut, and only he.
    QCOMPARE(ann->next("GDATA1@@LEAVEGAME"), QByteArray("GDATA1@@LEAVEGAME2"));
    QVERIFY(ann->sync());
    QCOMPARE(ann->pending("GDATA1@@LEAVEGAME"), QByteArrayList());
}

void LobbyServerTest::relayWaitEndsOnceAllIsRead()
{
    // bob goes past his budget, waits, catches up, and long after goes past
    // it again briefly: a wait of its own, not the first one's, so he stays.
    ServerConfig small = config();
    small.relayLimit = {8 * 1024, 8 * 1024};
    startServer(small);
    Clients c = room({"ann", "bob"});
    QVERIFY(!c.empty());
    auto [ann, bob] = std::tie(c[0], c[1]);
    QByteArrayList sent;
    bob->socket.write(numberedLines(sent, 4, 4000));
    QTRY_COMPARE(ann->pending("GDATA1@@SEQ").size(), sent.size());
    QTest::qWait(int(RelayWaitLimitMs) + 500);
    bob->socket.write(numberedLines(sent, 4, 4000));
    QTRY_COMPARE(ann->pending("GDATA1@@SEQ"), sent);
    QVERIFY(ann->sync());
    QCOMPARE(ann->pending("GDATA1@@LEAVEGAME"), QByteArrayList());
}

void LobbyServerTest::connectionsPerAddressAreCapped()
{
    constexpr int Cap = ServerConfig::DefaultMaxPerAddress;
    ServerConfig capped = config();
    capped.maxPerAddress = Cap;
    startServer(capped);
    // Served: answered, not closed at once.
    auto served = [](LobbyClient& client) {
        client.sendLogin("ann", "pw", "0.1");
        (void)QTest::qWaitFor([&] {
            return !client.lines.isEmpty() || client.socket.state() == QAbstractSocket::UnconnectedState;
        }, LobbyClient::TimeoutMs);
        return client.lines.value(0) == "BADVERS";
    };
    // Each closed connection gives its place back: after five come and go,
    // a sixth is still served, once the server has seen the closes.
    for (int i = 0; i < Cap; ++i) {
        LobbyClient client(server->port());
        QVERIFY(served(client));
    }
    std::vector<std::unique_ptr<LobbyClient>> held;
    const QDeadlineTimer deadline(LobbyClient::TimeoutMs);
    while (held.empty() && !deadline.hasExpired()) {
        auto client = std::make_unique<LobbyClient>(server->port());
        if (served(*client))
            held.push_back(std::move(client));
    }
    QVERIFY(!held.empty());
    while (held.size() < size_t(Cap)) {
        held.push_back(std::make_unique<LobbyClient>(server->port()));
        QVERIFY(served(*held.back()));
    }
    LobbyClient over(server->port());
    QVERIFY(over.waitClosed());
    QVERIFY(held.front()->socket.state() == QAbstractSocket::ConnectedState);
}

void LobbyServerTest::failedLoginsAreThrottledPerAddress_data()
{
    QTest::addColumn<QByteArrayList>("guesses");  // "address:name", each with a wrong password
    QTest::addColumn<QByteArray>("then");         // and then with the right one
    QTest::addColumn<QByteArray>("answer");
    const auto times = [](int n, const QByteArray& guess) { return QByteArrayList(n, guess); };
    const QByteArrayList nineteen = times(5, "1:bob") + times(5, "1:cat") + times(5, "1:dan") + times(4, "1:eve");
    QTest::newRow("4 at a name") << times(4, "1:ann") << QByteArray("1:ann") << QByteArray("GOODPASS");
    QTest::newRow("5 at a name: that address is held off") << times(5, "1:ann") << QByteArray("1:ann") << QByteArray("BADPASS");
    QTest::newRow("5 at a name: its owner elsewhere gets in") << times(5, "1:ann") << QByteArray("2:ann") << QByteArray("GOODPASS");
    QTest::newRow("19 from an address") << nineteen << QByteArray("1:ann") << QByteArray("GOODPASS");
    QTest::newRow("20 from an address: held off every name") << nineteen + times(1, "1:eve") << QByteArray("1:ann") << QByteArray("BADPASS");
}

void LobbyServerTest::failedLoginsAreThrottledPerAddress()
{
    QFETCH(QByteArrayList, guesses);
    QFETCH(QByteArray, then);
    QFETCH(QByteArray, answer);
    makeAccounts({"ann", "bob", "cat", "dan", "eve"});
    auto attempt = [this](const QByteArray& who, const QByteArray& pass) {
        const QByteArrayList parts = who.split(':');
        return login(parts[1], pass, "0.64", parts[0].toInt());
    };
    for (const QByteArray& guess : guesses)
        QCOMPARE(attempt(guess, "nope")->next(LoginAnswers), QByteArray("BADPASS"));
    auto last = attempt(then, "pw");
    QCOMPARE(last->next(LoginAnswers), answer);
    last->cursor = 0;
    QCOMPARE(last->pending("ANNOUNCE").size(), answer == "BADPASS" ? 1 : 0);
}

void LobbyServerTest::passwordWorkIsSharedAndBounded()
{
    ServerConfig slow = oneRealHasher();
    slow.loginLimits.maxQueued = 8;
    startServer(slow);
    const int Crowd = slow.loginLimits.maxQueued + 2;
    std::vector<std::unique_ptr<LobbyClient>> crowd;
    for (int i = 0; i < Crowd; ++i)
        crowd.push_back(login("x" + QByteArray::number(i)));
    auto answered = [&](QByteArrayView answer) {
        return std::count_if(crowd.begin(), crowd.end(), [&](const auto& c) { return c->lines.contains(answer); });
    };
    // Another address asking at once is served within the first few, not
    // after the whole crowd; a hash takes far longer than the lines take to arrive.
    auto other = login("y", "pw", "0.64", 2);
    QCOMPARE(other->next(LoginAnswers), QByteArray("GOODPASS"));
    QVERIFY2(answered("GOODPASS") <= Crowd / 2, qPrintable(QString::number(answered("GOODPASS"))));
    // The crowd's queue is bounded; the ones past it hear why.
    QTRY_COMPARE(answered("GOODPASS") + answered("BADPASS"), qsizetype(Crowd));
    QVERIFY(answered("BADPASS") >= 1);
    QCOMPARE(answered("ANNOUNCEThe server is busy. Please try again in a moment."), answered("BADPASS"));
}

void LobbyServerTest::fullQueueTakesFromAnAddressTwoAhead_data()
{
    QTest::addColumn<QByteArray>("queued");   // one address a letter, a job a letter
    QTest::addColumn<char>("newcomer");       // the address of the login that finds it full
    QTest::addColumn<char>("refused");        // whose newest job is refused
    QTest::newRow("two ahead of the newcomer's") << QByteArray("aaab") << 'b' << 'a';
    QTest::newRow("one ahead of the newcomer's") << QByteArray("aabc") << 'b' << 'b';
    QTest::newRow("a new address, two ahead") << QByteArray("aabc") << 'd' << 'a';
    QTest::newRow("a new address, one each") << QByteArray("abcd") << 'e' << 'e';
    QTest::newRow("the newcomer's own holds most") << QByteArray("aaab") << 'a' << 'a';
}

void LobbyServerTest::fullQueueTakesFromAnAddressTwoAhead()
{
    QFETCH(QByteArray, queued);
    QFETCH(char, newcomer);
    QFETCH(char, refused);
    QVERIFY(PasswordHasher::initialise());
    HashGate gate;
    LoginLimits limits;
    limits.maxQueued = int(queued.size());
    PasswordHasher hasher(database, HashCost::cheap(), 1, limits, gate.hook());
    const auto opened = qScopeGuard([&] { gate.open(); });
    QHash<SessionId, LoginResult::Outcome> answers;
    SessionId next = 1;
    const auto ask = [&](char address) {
        const SessionId key = next++;
        hasher.login({key, QByteArray(1, address), "u" + QByteArray::number(key), "pw"},
                     [&answers, key](const LoginResult& result) { answers.insert(key, result.outcome); });
        return key;
    };
    ask('z');  // taken by the worker and held there
    QTRY_COMPARE(gate.taken.load(), 1);
    QHash<char, SessionId> newest;
    for (char address : queued)
        newest[address] = ask(address);
    newest[newcomer] = ask(newcomer);
    QTRY_COMPARE(answers.size(), 1);
    QCOMPARE(answers.keys(), QList<SessionId>{newest[refused]});
    QCOMPARE(answers.value(newest[refused]), LoginResult::Outcome::Busy);
}

void LobbyServerTest::loginsShareChecksAndTakeTurns_data()
{
    QTest::addColumn<QByteArrayList>("logins");  // "name:address:password", while z's from 9 is checked
    QTest::addColumn<QByteArray>("checked");     // the checks that follow, in order
    QTest::addColumn<QByteArray>("answers");     // to each login: Created, Accepted, Wrong password
    QTest::newRow("the same as the one under way") << QByteArrayList{"z:8:pw"} << QByteArray() << QByteArray("C");
    QTest::newRow("the same as one queued") << QByteArrayList{"ann:1:pw", "ann:2:pw"} << QByteArray("ann@1") << QByteArray("CC");
    QTest::newRow("another password") << QByteArrayList{"ann:1:pw", "ann:2:xx"} << QByteArray("ann@1 ann@2") << QByteArray("CW");
    QTest::newRow("another name") << QByteArrayList{"ann:1:pw", "bob:1:pw"} << QByteArray("ann@1 bob@1") << QByteArray("CC");
    QTest::newRow("one name from many addresses")
        << QByteArrayList{"ann:1:a", "ann:2:b", "ann:3:c", "ann:4:d", "ann:5:e", "ann:6:f", "bob:7:pw"}
        << QByteArray("ann@1 ann@2 ann@3 bob@7 ann@4 ann@5 ann@6") << QByteArray("CWWWWWC");
    QTest::newRow("one address with many names")
        << QByteArrayList{"ann:1:pw", "bob:1:pw", "cat:1:pw", "dan:1:pw", "eve:1:pw", "fay:2:pw"}
        << QByteArray("ann@1 bob@1 fay@2 cat@1 dan@1 eve@1") << QByteArray("CCCCCC");
}

void LobbyServerTest::loginsShareChecksAndTakeTurns()
{
    QFETCH(QByteArrayList, logins);
    QFETCH(QByteArray, checked);
    QFETCH(QByteArray, answers);
    QVERIFY(PasswordHasher::initialise());
    HashGate gate;
    const PasswordHasher::LookedUp held = gate.hook();
    std::mutex mutex;
    QByteArrayList order;
    PasswordHasher hasher(database, HashCost::cheap(), 1, {}, [&](const LoginRequest& request) {
        {
            std::lock_guard lock(mutex);
            order << request.name + '@' + request.address;
        }
        held(request);
    });
    const auto opened = qScopeGuard([&] { gate.open(); });
    QMap<SessionId, char> answered;
    const auto ask = [&](SessionId key, const QByteArrayList& login) {
        hasher.login({key, login[1], login[0], login[2]}, [&answered, key](const LoginResult& result) {
            using Outcome = LoginResult::Outcome;
            answered.insert(key, result.outcome == Outcome::Created ? 'C'
                                 : result.outcome == Outcome::Accepted ? 'A'
                                 : result.outcome == Outcome::WrongPassword ? 'W' : '?');
        });
    };
    ask(0, {"z", "9", "pw"});
    QTRY_COMPARE(gate.taken.load(), 1);
    for (qsizetype i = 0; i < logins.size(); ++i)
        ask(SessionId(i + 1), logins[i].split(':'));
    gate.open();
    QTRY_COMPARE(answered.size(), logins.size() + 1);
    answered.remove(0);
    QCOMPARE(QByteArray(answered.values().data(), answered.size()), answers);
    std::lock_guard lock(mutex);
    QCOMPARE(order.mid(1).join(' '), checked);
}

void LobbyServerTest::closedConnectionsCreateNoAccount()
{
    startServer(oneRealHasher());
    auto ann = login("ann");
    const QByteArrayList gone{"b0", "b1", "b2"};
    std::vector<std::unique_ptr<LobbyClient>> leaving;
    for (const QByteArray& name : gone)
        leaving.push_back(login(name));
    QTRY_VERIFY(std::all_of(leaving.begin(), leaving.end(), [](const auto& c) {
        return c->socket.state() == QAbstractSocket::ConnectedState && c->socket.bytesToWrite() == 0;
    }));
    for (const auto& client : leaving)  // while ann's password is hashed
        client->socket.disconnectFromHost();
    QCOMPARE(ann->next(LoginAnswers), QByteArray("GOODPASS"));
    QCOMPARE(login("zed")->next(LoginAnswers), QByteArray("GOODPASS"));  // queued after them
    AccountStore store(database);
    for (const QByteArray& name : gone)
        QVERIFY2(!store.find(name), name.constData());
}

void LobbyServerTest::closedWhileHashingCreatesNoAccount()
{
    // The connection closes while its new account's hash is under way.
    QVERIFY(PasswordHasher::initialise());
    HashGate gate;
    LoginLimits oneAccount;
    oneAccount.newAccountsPerHour = 1;
    PasswordHasher hasher(database, HashCost::cheap(), 1, oneAccount, gate.hook());
    const auto opened = qScopeGuard([&] { gate.open(); });
    QHash<SessionId, LoginResult::Outcome> answers;
    const auto ask = [&](SessionId key, const QByteArray& name) {
        hasher.login({key, "1.2.3.4", name, "pw"},
                     [&answers, key](const LoginResult& result) { answers.insert(key, result.outcome); });
    };
    ask(1, "gone");
    QTRY_COMPARE(gate.taken.load(), 1);
    hasher.cancel(1);
    gate.open();
    // The address's one account of the hour is still there to make.
    ask(2, "kept");
    QTRY_VERIFY(answers.contains(2));
    QCOMPARE(answers.value(2), LoginResult::Outcome::Created);
    QVERIFY(!answers.contains(1));
    AccountStore store(database);
    QVERIFY(!store.find("gone"));
    QVERIFY(store.find("kept"));
}

void LobbyServerTest::newAccountsPerAddressAreLimited()
{
    constexpr int Limit = LoginLimits::DefaultNewAccountsPerHour;
    for (int i = 0; i < Limit; ++i)
        QCOMPARE(login("n" + QByteArray::number(i))->next(LoginAnswers), QByteArray("GOODPASS"));
    auto refused = login("late");
    QCOMPARE(refused->next(LoginAnswers), QByteArray("BADPASS"));
    refused->cursor = 0;
    QCOMPARE(refused->pending("ANNOUNCE"),
             QByteArrayList{"ANNOUNCEToo many new accounts were made from your address. Please try again later."});
    QCOMPARE(login("late", "pw", "0.64", 2)->next(LoginAnswers), QByteArray("GOODPASS"));
    QCOMPARE(login("n0")->next(LoginAnswers), QByteArray("GOODPASS"));  // old accounts still log in
}

void LobbyServerTest::userList_data()
{
    QTest::addColumn<QByteArrayList>("steps");  // "+name" logs in, "-name" closes
    QTest::newRow("arrivals") << QByteArrayList{"+ann", "+bob", "+cat"};
    QTest::newRow("a departure") << QByteArrayList{"+ann", "+bob", "+cat", "-bob"};
    QTest::newRow("gone and back") << QByteArrayList{"+ann", "+bob", "-ann", "+ann"};
    QTest::newRow("a newcomer while a departure waits") << QByteArrayList{"+ann", "+bob", "-ann", "+cat", "+ann"};
}

void LobbyServerTest::userList()
{
    // What each client shows after its staging list: LISTADD appends,
    // only LISTKILL empties, LISTDONE shows.
    QFETCH(QByteArrayList, steps);
    std::map<QByteArray, std::unique_ptr<LobbyClient>> online;
    for (const QByteArray& step : steps) {
        const QByteArray name = step.mid(1);
        if (step.startsWith('-')) {
            online.erase(name);
            continue;
        }
        // Until the server has seen the same name's close, it is online.
        const QDeadlineTimer deadline(LobbyClient::TimeoutMs);
        do
            online[name] = login(name);
        while (online[name]->next(LoginAnswers) != "GOODPASS" && !deadline.hasExpired());
    }
    QByteArrayList names, gone;
    for (const auto& entry : online)
        names << entry.first;
    for (const QByteArray& step : steps)
        if (step.startsWith('-') && !online.count(step.mid(1)))
            gone << step.mid(1);
    for (const auto& [name, client] : online) {
        // Only a departure that stands waits for the whole list.
        if (gone.isEmpty()) {
            QVERIFY(client->sync());
            QCOMPARE(client->userList(), names);
        }
        QTRY_COMPARE(client->userList(), names);
    }
    if (std::none_of(steps.begin(), steps.end(), [](const QByteArray& step) { return step.startsWith('-'); }))
        // Each arrival came as LISTADD and LISTDONE.
        for (const auto& entry : online)
            QCOMPARE(entry.second->lines.count("LISTKILL"), 1);
}

void LobbyServerTest::acceptingWaitsForFreeDescriptors()
{
    // The real program with few descriptors: more clients than it can hold.
    constexpr rlim_t Descriptors = 64;
    constexpr int Clients = 64;
    server.reset();
    QProcess server;
    server.setChildProcessModifier([] {
        const rlimit limit{Descriptors, Descriptors};
        setrlimit(RLIMIT_NOFILE, &limit);
    });
    const quint16 port = startProgram(server, {QStringLiteral("--max-per-address"), QString::number(Clients)});
    QVERIFY(port != 0);
    // Silent until the server runs short, so none of them is done with early.
    std::vector<std::unique_ptr<LobbyClient>> clients;
    for (int i = 0; i < Clients; ++i)
        clients.push_back(std::make_unique<LobbyClient>(port));
    const QByteArray shortage("cannot accept connections");
    QByteArray log;
    auto logged = [&] { return (log += server.readAll()).count(shortage); };
    QTRY_VERIFY(logged() > 0);
    for (auto& client : clients)
        client->sendLogin("ann", "pw", "0.1");
    // Those served make room as they go; the rest, waiting in the kernel's
    // queue, are served then.
    QTRY_VERIFY([&] {
        std::erase_if(clients, [](const auto& c) { return c->lines.contains("BADVERS"); });
        return clients.empty();
    }());
    QCOMPARE(logged(), 1);
    server.terminate();
    QVERIFY(server.waitForFinished());
}

void LobbyServerTest::outOfDescriptorsTheServerIdles()
{
    // Everyone connected is logged in: nobody is closed to make room, and
    // the server waits for a descriptor without spinning.
    auto ann = loggedIn("ann"), bob = loggedIn("bob");
    QVERIFY(ann && bob);
    std::unique_ptr<LobbyClient> waiting;
    {
        DescriptorsTaken full(1);
        waiting = login("carl");  // its socket takes the last descriptor
        QTRY_COMPARE(waiting->socket.state(), QAbstractSocket::ConnectedState);
        QTest::qWait(100);  // the server has tried to accept it
        const double before = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(1000);
        const double share = (cpuSeconds() - before) / (double(wall.elapsed()) / 1000);
        QVERIFY2(share < 0.25, qPrintable(QString::number(share)));
        QVERIFY(waiting->lines.isEmpty());
        bob.reset();  // a descriptor frees
        QCOMPARE(waiting->next(LoginAnswers), QByteArray("GOODPASS"));
    }
    QVERIFY(ann->sync());
}

void LobbyServerTest::outOfDescriptorsANewUserGetsIn()
{
    auto ann = loggedIn("ann");
    QVERIFY(ann);
    std::vector<std::unique_ptr<LobbyClient>> idle;
    for (int i = 0; i < 3; ++i) {
        idle.push_back(std::make_unique<LobbyClient>(server->port()));
        QVERIFY(idle.back()->socket.waitForConnected(LobbyClient::TimeoutMs));
        QTest::qWait(50);  // accepted in this order
    }
    QTest::qWait(2500);  // longer than a client takes to send its login
    auto newcomer = [&] {
        DescriptorsTaken full(1);
        auto client = login("new");
        (void)client->next(LoginAnswers);
        return client;
    }();
    // Served within seconds, not after the login time-out: the connection
    // that waited longest without logging in made room.
    QCOMPARE(newcomer->lines.value(0), QByteArray("GOODPASS"));
    QVERIFY(idle[0]->waitClosed());
    for (size_t i = 1; i < idle.size(); ++i)
        QCOMPARE(idle[i]->socket.state(), QAbstractSocket::ConnectedState);
    QVERIFY(ann->sync());
}

void LobbyServerTest::killedServerKeepsAccounts()
{
    // The real program at its real hashing cost, killed without warning right
    // after answering, then stopped by SIGTERM.
    server.reset();
    QProcess first;
    const quint16 port = startProgram(first);
    QVERIFY(port != 0);
    LobbyClient ann(port);
    ann.sendLogin("ann");
    QCOMPARE(ann.next(LoginAnswers), QByteArray("GOODPASS"));
    first.kill();
    QVERIFY(first.waitForFinished());

    QProcess second;
    const quint16 again = startProgram(second);
    QVERIFY(again != 0);
    for (auto [pass, answer] : {std::pair{"nope", "BADPASS"}, std::pair{"pw", "GOODPASS"}}) {
        LobbyClient back(again);
        back.sendLogin("ann", pass);
        QCOMPARE(back.next(LoginAnswers), QByteArray(answer));
    }
    second.terminate();
    QVERIFY(second.waitForFinished());
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
}

void LobbyServerTest::ranks_data()
{
    // Accounts "a", "b", ... with these wins, then wins recorded on a store
    // that has read its ranks; the rank of each account after.
    QTest::addColumn<QList<int>>("wins");
    QTest::addColumn<QByteArrayList>("winners");
    QTest::addColumn<QList<int>>("ranks");
    QTest::newRow("ties share a rank") << QList<int>{3, 1, 3, 0} << QByteArrayList{} << QList<int>{1, 3, 1, 4};
    QTest::newRow("a first win") << QList<int>{2, 0, 0} << QByteArrayList{"c"} << QList<int>{1, 3, 2};
    QTest::newRow("a win joins a tie") << QList<int>{2, 1, 1} << QByteArrayList{"c"} << QList<int>{1, 3, 1};
    QTest::newRow("only the winner moves") << QList<int>{5, 3, 3, 1} << QByteArrayList{"b"} << QList<int>{1, 2, 3, 4};
    QTest::newRow("wins move past others") << QList<int>{2, 2, 0} << QByteArrayList{"c", "c", "c"} << QList<int>{2, 2, 1};
}

void LobbyServerTest::ranks()
{
    QFETCH(QList<int>, wins);
    QFETCH(QByteArrayList, winners);
    QFETCH(QList<int>, ranks);
    QByteArrayList names;
    for (qsizetype i = 0; i < wins.size(); ++i)
        names << QByteArray(1, char('a' + i));
    makeAccounts(names);
    {
        AccountStore before(database);
        for (qsizetype i = 0; i < wins.size(); ++i)
            for (int w = 0; w < wins[i]; ++w)
                QVERIFY(before.recordGame(names[i], true));
    }
    AccountStore store(database);
    QVERIFY(store.loadRanks());
    for (const QByteArray& name : winners)
        QVERIFY(store.recordGame(name, true));
    // The ranks a win moved and the ranks read afresh agree.
    AccountStore reread(database);
    QVERIFY(reread.loadRanks());
    for (qsizetype i = 0; i < names.size(); ++i)
        for (AccountStore* asked : {&store, &reread}) {
            const std::optional<Stats> stats = asked->stats(names[i]);
            QVERIFY(stats);
            QCOMPARE(stats->rank, ranks[i]);
        }
}

QTEST_GUILESS_MAIN(LobbyServerTest)
#include "tst_lobby_server.moc"
