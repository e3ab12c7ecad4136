// Starts the real lobby server on a free port with a temporary database,
// drives it with many clients over loopback, and prints one line per figure:
// "name median unit". Figures taken once print that one value.

#include "AccountStore.h"
#include "Connection.h"
#include "platform/LineFramer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr int TotalClients = 1000;
constexpr int BurstLogins = 200;
// Pairs that keep relaying while the burst logs in, one line each per interval.
constexpr int WarmPairs = 10;
constexpr int WarmIntervalMs = 5;
constexpr int RelayPairs = 500;
// A turn change: the ENDTURN line and one state line per unit slot.
constexpr int TurnBurstLines = 101;
// Pads a relayed line to the length of a unit-state line.
constexpr int RelayPadBytes = 45;
// Turn changes of different games do not fall on the same millisecond:
// the 500 bursts start spread over this time.
constexpr int BurstSpreadMs = 1000;
constexpr int FanoutRounds = 5;
// Lets the last lines of a burst arrive.
constexpr int SettleMs = 2500;
constexpr int TimeoutMs = 180000;
// The user list's traffic: this many online, one of them reconnecting every
// interval, measured over the window.
constexpr int ListUsers = 2000;
constexpr int ReconnectIntervalMs = 500;
constexpr int ListWindowMs = 10000;
// Hit and run: connect, send the three login lines, close; this many from
// one address, a few at a time, while others log in from other addresses.
constexpr int HitRunLogins = 3000;
constexpr int HitRunInFlight = 50;
constexpr int HitRunOtherAddresses = 10;
constexpr int HitRunOthersPerAddress = 5;
constexpr int HitRunOtherSpacingMs = 100;
// One account's login flood: this many addresses at the server's default
// cap of connections each; each connection sends its login as often as the
// chat limit lets it (three lines at 4 a second) and comes back at once
// after a close. Honest logins are timed one after another, unloaded and then
// once the flood is running.
const QByteArray FloodedAccount("target");
constexpr int FloodAddresses = 117;
constexpr int FloodConnectionsPerAddress = 5;
constexpr int FlooderLoginEveryMs = 750;
constexpr int FlooderReconnectMs = 20;
constexpr int FloodRampMs = 3000;
constexpr int HonestLogins = 20;
constexpr int HonestLoginEveryMs = 200;
// Peers that log in and then never read, while others chat with long lines
// at the chat limit; long enough for the old 8 MiB queues to fill.
constexpr int NonReaders = 200;
constexpr int Chatters = 20;
constexpr int ChatLineBytes = 4000;
constexpr int ChatIntervalMs = 250;
constexpr int NonReaderChatMs = 20000;
// The server gives memory back on its sweep, every 5 s.
constexpr int GiveBackWaitMs = 6000;
// A relay flood in a battle of three: the host on turn sends bursts of the
// longest lines the game-data limit lets through, one member reads at
// 64 KB/s; meanwhile two others in their own battle end a turn each second.
constexpr int FloodMs = 30000;
constexpr int FloodIntervalMs = 50;
constexpr int FloodBurstLines = 25;
constexpr int FloodLineBytes = 4000;
// The flooder keeps no more than this unsent, as a client would stall.
constexpr qint64 FloodBacklogBytes = 4 * 1024 * 1024;
constexpr int SlowReadIntervalMs = 50;
constexpr qint64 SlowReadBytes = 64 * 1024 * SlowReadIntervalMs / 1000;
constexpr int SyncIntervalMs = 1000;
// Lobby chat beside a room's relay: chatters from one address at the chat
// limit, with lines as long as the line limit lets through, while three room
// members relay at their budget and chat too; the fourth member reads at
// 64 KB/s. Its lag is taken over the last part of the run.
constexpr int LobbyChatters = 5;
constexpr int RoomSenders = 3;
constexpr int ChatBurstLines = 20;  // the chat limit's burst, then its rate
constexpr int ChatEveryMs = 250;
constexpr int RelayEveryMs = 250;   // one line of RelayLineBytes each: under the 16 KB/s budget
constexpr int RelayLineBytes = 4000;
constexpr int ChatFloodMs = 60000;
constexpr int LagWindowMs = 10000;
// Members off turn sending battle lines the server refuses, as fast as their
// relay budget lets them without being cut, each in a battle of two with its
// host on turn; the server's log grows by so much a second meanwhile.
constexpr int RefusingMembers = 10;
constexpr int RefusedFloodMs = 15000;
constexpr int RefusedEveryMs = 50;
constexpr double RefusedShareOfBudget = 0.9;
// Hosts who boot their room's one member over and over, who joins again
// each time, as often as the chat limit lets a member send its two join
// lines; the server's log grows by so much a second meanwhile.
constexpr int BootingPairs = 60;
constexpr int BootPhaseMs = 250;  // a boot, then the join a phase later
constexpr int BootRejoinMs = 10000;
// Strangers who never log in: connect, send a scenario's bytes, close, a few
// at a time from several addresses, for a while; the log's growth.
constexpr int StrangerMs = 5000;
constexpr int StrangersInFlight = 20;
constexpr int StrangerAddresses = 20;
constexpr int OverlongLineBytes = 5000;  // past the server's line limit
// GETSTATS with this many accounts, their wins spread from 0 to StatsMostWins.
constexpr int StatsAccounts = 200000;
constexpr int StatsMostWins = 1000;
constexpr int StatsOwnWorkSamples = 101;  // per name
// Over the network: each asker logs in and asks a few rounds, within its chat burst.
constexpr int StatsAskers = 16;
constexpr int StatsRoundsPerAsker = 4;
constexpr int StatsAnswerWaitMs = 10000;

QElapsedTimer benchClock;
double nowMs()
{
    return benchClock.nsecsElapsed() / 1e6;
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs = TimeoutMs)
{
    const double end = nowMs() + timeoutMs;
    while (!done() && nowMs() < end)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

void idle(int ms)
{
    const double end = nowMs() + ms;
    waitUntil([&] { return nowMs() >= end; }, ms + 1000);
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const auto index = size_t(std::ceil(share * double(values.size()))) - 1;
    return values[std::min(index, values.size() - 1)];
}

void print(const char* name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

// Relayed lines carry a sequence number; the time each was sent is kept here.
std::vector<double> sentAt;

// "SEQ" and the next place in sentAt, now taken.
QByteArray stamp()
{
    const size_t k = sentAt.size();
    sentAt.push_back(nowMs());
    return "SEQ" + QByteArray::number(qulonglong(k));
}

// How long ago the line's stamp was taken; nothing for a line without one.
std::optional<double> lateness(QByteArrayView line)
{
    const qsizetype at = line.lastIndexOf("SEQ");
    if (at < 0)
        return std::nullopt;
    qsizetype end = at + 3;
    while (end < line.size() && std::isdigit(uchar(line[end])))
        ++end;
    bool ok = false;
    const auto k = size_t(line.sliced(at + 3, end - at - 3).toULongLong(&ok));
    if (!ok || k >= sentAt.size())
        return std::nullopt;
    return nowMs() - sentAt[k];
}
std::vector<double>* samples = nullptr;

struct Client
{
    QTcpSocket socket;
    platform::LineFramer framer;
    QByteArray name;
    bool good = false;
    bool listed = false;
    double goodAt = 0;
    int game = 0;
    int fanoutSeen = 0;
    double startedAt = 0;
    qint64 received = 0;
    // Battle chat lines ("... has lost connection.") and when they came.
    std::vector<std::pair<double, QByteArray>> inChat;
    // Room lines telling that a member left, or marked ready.
    int leftRoom = 0;
    int readySeen = 0;

    explicit Client(QByteArray n, quint16 port, const QHostAddress& from = {}) : name(std::move(n))
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
            const QByteArray bytes = socket.readAll();
            received += bytes.size();
            framer.append(bytes);
            while (auto line = framer.takeLine())
                handle(*line);
        });
        startedAt = nowMs();
        if (!from.isNull())
            socket.bind(from);
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.write("NAME" + name + "\r\nVERSION0.64\r\nPASSbench\r\n");
    }

    void send(const QByteArray& lines) { socket.write(lines); }

    // From now on reads 64 KB a second, on the timer, and hands each read to `take`.
    void readSlowly(QTimer& timer, std::function<void(const QByteArray&)> take)
    {
        QObject::disconnect(&socket, &QTcpSocket::readyRead, nullptr, nullptr);
        socket.setReadBufferSize(SlowReadBytes);
        QObject::connect(&timer, &QTimer::timeout, [this, take = std::move(take)] { take(socket.read(SlowReadBytes)); });
        timer.start(SlowReadIntervalMs);
    }

    void handle(const QByteArray& line)
    {
        if (line.startsWith("GDATA")) {
            if (line.contains("@@INCHAT"))
                inChat.emplace_back(nowMs(), line);
            if (line.contains("@@LEAVEGAME"))
                ++leftRoom;
            if (line.contains("@@READY"))
                ++readySeen;
            if (const auto lag = lateness(line); lag && samples)
                samples->push_back(*lag);
        } else if (line.startsWith("CHATTXTr0: fanout")) {
            ++fanoutSeen;
        } else if (line == "GOODPASS") {
            good = true;
            goodAt = nowMs();
        } else if (line == "LISTDONE") {
            listed = good;
        } else if (line.startsWith("GAMENUMBER")) {
            game = line.mid(10).toInt();
        } else if (line.startsWith("JOINGAME")) {
            game = line.mid(8).toInt();
        }
    }
};

using Clients = std::vector<std::unique_ptr<Client>>;

void connectClients(Clients& into, const char* prefix, int count, quint16 port)
{
    for (int i = 0; i < count; ++i)
        into.push_back(std::make_unique<Client>(prefix + QByteArray::number(i), port));
}

bool allLoggedIn(const Clients& clients, size_t from = 0)
{
    return std::all_of(clients.begin() + qsizetype(from), clients.end(), [](const auto& c) { return c->good; });
}

// Pairs host i with joiner i: a two-player room each.
bool pairUp(const std::vector<Client*>& hosts, const std::vector<Client*>& joiners)
{
    for (Client* host : hosts)
        host->send("SETUPGAME\r\nGAMENAME" + host->name + "\r\nGAMEPASSp\r\nGAMEHOST" + host->name + "\r\n");
    if (!waitUntil([&] { return std::all_of(hosts.begin(), hosts.end(), [](Client* c) { return c->game; }); }))
        return false;
    for (size_t i = 0; i < joiners.size(); ++i)
        joiners[i]->send("JOINNAME" + hosts[i]->name + "\r\nJOINPASSp\r\n");
    return waitUntil([&] { return std::all_of(joiners.begin(), joiners.end(), [](Client* c) { return c->game; }); });
}

// A game-data line stamped with its place in sentAt, for the receiver's timing.
QByteArray timedLine(int game, const QByteArray& parts)
{
    return "GDATA" + QByteArray::number(game) + "@@" + parts + '@' + stamp() + "\r\n";
}

// As long as a unit-state line, but a line the host may send in its room:
// unit states pass only in a battle, from the player whose turn just ended.
// A turn of no seconds would be refused, as the clients refuse it.
QByteArray relayLine(int game, int slot)
{
    return timedLine(game, "TIMESEC" + QByteArray::number(slot + 1) + "@PAD" + QByteArray(RelayPadBytes, 'x'));
}

// One unit slot's state, as a turn's end sends it in a battle.
QByteArray unitStateLine(int game, int slot)
{
    return timedLine(game, "CHECKUNIT" + QByteArray::number(slot) + "@CHECKPIC3@CHECKX100@CHECKY52@CHECKPLAYER2@CHECKHP100");
}

// VmRSS now, or VmHWM: the most the process has held.
double residentMegabytes(qint64 pid, const char* field = "VmRSS")
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return NAN;
    const auto match = QRegularExpression(QStringLiteral("%1:\\s+(\\d+) kB").arg(QLatin1String(field)))
                           .match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : NAN;
}

int fail(const char* what)
{
    std::fprintf(stderr, "lobby-bench: %s\n", what);
    return 1;
}

}  // namespace

// The real server on a free port with a fresh database in `dir`; 0 when it
// did not start.
quint16 startServer(QProcess& server, const QTemporaryDir& dir, const QStringList& options = {})
{
    server.setStandardErrorFile(dir.filePath(QStringLiteral("server.log")));
    server.start(QStringLiteral(VF_PROGRAM_DIR "/vesperfall-lobby"),
                 QStringList{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"),
                             dir.filePath(QStringLiteral("lobby.db"))}
                     + options);
    quint16 port = 0;
    waitUntil([&] {
        QFile log(dir.filePath(QStringLiteral("server.log")));
        if (log.open(QIODevice::ReadOnly))
            port = quint16(QRegularExpression(QStringLiteral("listening on port (\\d+)")).match(QString::fromLatin1(log.readAll())).captured(1).toUInt());
        return port != 0 || server.state() == QProcess::NotRunning;
    }, 10000);
    return port;
}

// The same, letting in and making accounts for this many peers of the one loopback address.
quint16 startServerFor(int peers, QProcess& server, const QTemporaryDir& dir)
{
    const QString count = QString::number(peers);
    return startServer(server, dir, {QStringLiteral("--max-per-address"), count,
                                     QStringLiteral("--new-accounts-per-hour"), count});
}

// The server log's size now, to measure its growth from.
qint64 logSize(const QTemporaryDir& dir)
{
    return QFile(dir.filePath(QStringLiteral("server.log"))).size();
}

// Stops the server, which says its last count of what it held back as it
// goes, and gives its log's growth a second since `before`, over `ms`.
double stopAndLogRate(QProcess& server, const QTemporaryDir& dir, qint64 before, double ms)
{
    server.terminate();
    server.waitForFinished();
    return double(logSize(dir) - before) * 1000.0 / ms;
}

// `count` two-player rooms on a server of their own, hosts "<prefix>h<i>"
// with members "<prefix>m<i>".
struct Rooms
{
    QTemporaryDir dir;
    QProcess server;
    Clients hostClients, memberClients;
    std::vector<Client*> hosts, members;

    // Why they did not open, or null.
    const char* open(const char* prefix, int count)
    {
        const quint16 port = startServerFor(2 * count, server, dir);
        if (port == 0)
            return "the server did not start";
        connectClients(hostClients, (QByteArray(prefix) + 'h').constData(), count, port);
        connectClients(memberClients, (QByteArray(prefix) + 'm').constData(), count, port);
        if (!waitUntil([&] { return allLoggedIn(hostClients) && allLoggedIn(memberClients); }, 30000))
            return "the rooms' users did not log in";
        for (int i = 0; i < count; ++i) {
            hosts.push_back(hostClients[size_t(i)].get());
            members.push_back(memberClients[size_t(i)].get());
        }
        return pairUp(hosts, members) ? nullptr : "the rooms did not open";
    }
};

// Logins, relay and chat fan-out with a thousand clients; they stay logged in.
int benchLoad(quint16 port, Clients& clients, qint64 serverPid)
{
    // Warm pairs, relaying once every few milliseconds while 200 new
    // accounts log in at once.
    connectClients(clients, "r", 2 * WarmPairs, port);
    std::vector<Client*> warmHosts, warmJoiners;
    for (int i = 0; i < WarmPairs; ++i) {
        warmHosts.push_back(clients[size_t(2 * i)].get());
        warmJoiners.push_back(clients[size_t(2 * i + 1)].get());
    }
    if (!waitUntil([&] { return allLoggedIn(clients); }) || !pairUp(warmHosts, warmJoiners))
        return fail("the warm pairs did not get together");
    std::vector<double> duringLogins;
    samples = &duringLogins;
    QTimer relayTimer;
    QObject::connect(&relayTimer, &QTimer::timeout, [&] {
        for (Client* host : warmHosts)
            host->send(relayLine(host->game, 1));
    });
    relayTimer.start(WarmIntervalMs);
    const size_t burstFrom = clients.size();
    const double burstStart = nowMs();
    connectClients(clients, "b", BurstLogins, port);
    if (!waitUntil([&] { return allLoggedIn(clients, burstFrom); }))
        return fail("the login burst did not finish");
    double lastGood = 0;
    for (size_t i = burstFrom; i < clients.size(); ++i)
        lastGood = std::max(lastGood, clients[i]->goodAt);
    relayTimer.stop();
    const size_t expected = sentAt.size();
    waitUntil([&] { return duringLogins.size() >= expected; }, 5000);
    print("lobby_login_burst_s", (lastGood - burstStart) / 1000.0, "s");
    print("lobby_relay_p99_during_logins_ms", percentile(duringLogins, 0.99), "ms");

    // Everyone else, until a thousand are logged in and have the lists.
    connectClients(clients, "c", TotalClients - int(clients.size()), port);
    waitUntil([&] { return allLoggedIn(clients); });
    idle(SettleMs);
    print("lobby_clients", double(std::count_if(clients.begin(), clients.end(), [](const auto& c) { return c->good && c->listed; })),
          "clients");

    // One chat line to all of them.
    std::vector<double> fanouts;
    for (int round = 1; round <= FanoutRounds; ++round) {
        const double start = nowMs();
        clients.front()->send("CHATTXTr0: fanout " + QByteArray::number(round) + "\r\n");
        if (!waitUntil([&] { return std::all_of(clients.begin(), clients.end(), [&](const auto& c) { return c->fanoutSeen >= round; }); }))
            return fail("a chat line did not reach everyone");
        fanouts.push_back(nowMs() - start);
    }
    print("lobby_chat_fanout_ms", percentile(fanouts, 0.5), "ms");

    // Five hundred two-player games, each sending a turn change.
    std::vector<Client*> hosts = warmHosts, joiners = warmJoiners;
    const size_t rest = clients.size() - 2 * WarmPairs;
    for (size_t i = 0; i < rest / 2; ++i) {
        hosts.push_back(clients[2 * WarmPairs + i].get());
        joiners.push_back(clients[2 * WarmPairs + rest / 2 + i].get());
    }
    if (!pairUp({hosts.begin() + WarmPairs, hosts.end()}, {joiners.begin() + WarmPairs, joiners.end()}))
        return fail("the games did not fill");
    idle(SettleMs);
    std::vector<double> relayed;
    samples = &relayed;
    const size_t first = sentAt.size();
    for (int p = 0; p < RelayPairs; ++p)
        QTimer::singleShot(p * BurstSpreadMs / RelayPairs, [&, p] {
            QByteArray burst;
            for (int slot = 0; slot < TurnBurstLines; ++slot)
                burst += relayLine(hosts[size_t(p)]->game, slot);
            hosts[size_t(p)]->send(burst);
        });
    if (!waitUntil([&] { return relayed.size() >= first + size_t(RelayPairs * TurnBurstLines) - first; }))
        return fail("turn bursts were lost");
    print("lobby_relay_p99_ms", percentile(relayed, 0.99), "ms");
    print("lobby_server_rss_mb", residentMegabytes(serverPid), "MB");

    samples = nullptr;
    return 0;
}

// The bytes the server sends while one user of many reconnects over and
// over: the user list must not go to everyone each time.
int benchListTraffic(quint16 port, Clients& clients)
{
    connectClients(clients, "l", ListUsers - int(clients.size()) - 1, port);
    auto mover = std::make_unique<Client>("mover", port);
    if (!waitUntil([&] { return allLoggedIn(clients) && mover->good; }))
        return fail("the list users did not log in");
    idle(SettleMs);
    const auto receivedByAll = [&] {
        qint64 sum = 0;
        for (const auto& c : clients)
            sum += c->received;
        return sum;
    };
    const qint64 before = receivedByAll();
    qint64 moverBytes = 0;
    int refused = 0;
    QTimer reconnect;
    QObject::connect(&reconnect, &QTimer::timeout, [&] {
        moverBytes += mover->received;
        refused += mover->good ? 0 : 1;
        mover = std::make_unique<Client>("mover", port);
    });
    const double start = nowMs();
    reconnect.start(ReconnectIntervalMs);
    idle(ListWindowMs);
    reconnect.stop();
    const double seconds = (nowMs() - start) / 1000.0;
    moverBytes += mover->received;
    if (refused > 0)
        std::fprintf(stderr, "lobby-bench: %d of the reconnections were refused\n", refused);
    print("lobby_list_bytes_per_s", double(receivedByAll() - before + moverBytes) / seconds, "B/s");
    return 0;
}

// Others log in from their own addresses while one address runs
// connect-send-close logins. The server keeps its default limits but lets
// every one of them in, so they all reach the password work.
// Strangers who connect, send a few bytes and close, a few at a time: each
// one gone makes way for the next, while `next` gives one.
struct HitAndRun
{
    struct Visit
    {
        QByteArray bytes;
        QHostAddress from;  // none: the loopback's own
    };
    std::function<std::optional<Visit>()> next;
    int launched = 0;
    int gone = 0;

    // None in flight: nothing calls back into this any more.
    bool settled() const { return gone == launched; }

    void start(quint16 port, int inFlight)
    {
        for (int i = 0; i < inFlight; ++i)
            launch(port);
    }

    void launch(quint16 port)
    {
        const std::optional<Visit> visit = next();
        if (!visit)
            return;
        ++launched;
        auto* socket = new QTcpSocket;
        // A close may come both as a disconnection and as an error.
        const auto done = std::make_shared<bool>(false);
        const auto leave = [this, socket, done, port] {
            if (std::exchange(*done, true))
                return;
            socket->deleteLater();
            ++gone;
            launch(port);
        };
        QObject::connect(socket, &QTcpSocket::connected, [socket, bytes = visit->bytes] {
            socket->write(bytes);
            socket->disconnectFromHost();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, leave);
        QObject::connect(socket, &QTcpSocket::errorOccurred, [socket, leave](QAbstractSocket::SocketError) {
            if (socket->state() == QAbstractSocket::UnconnectedState)
                leave();
        });
        if (!visit->from.isNull())
            socket->bind(visit->from);
        socket->connectToHost(QHostAddress::LocalHost, port);
    }
};

int benchLoginDuringHitRun()
{
    QTemporaryDir dir;
    QProcess server;
    const quint16 port = startServer(server, dir, {QStringLiteral("--max-per-address"), QString::number(HitRunLogins)});
    if (port == 0)
        return fail("the server did not start");
    int started = 0;
    HitAndRun strangers{[&]() -> std::optional<HitAndRun::Visit> {
        if (started >= HitRunLogins)
            return std::nullopt;
        return HitAndRun::Visit{"NAMEh" + QByteArray::number(started++) + "\r\nVERSION0.64\r\nPASSx\r\n", {}};
    }};
    strangers.start(port, HitRunInFlight);
    Clients others;
    QTimer nextOther;
    QObject::connect(&nextOther, &QTimer::timeout, [&] {
        const int i = int(others.size());
        if (i == HitRunOtherAddresses * HitRunOthersPerAddress)
            return nextOther.stop();
        const QHostAddress from(QStringLiteral("127.0.0.%1").arg(2 + i % HitRunOtherAddresses));
        others.push_back(std::make_unique<Client>("o" + QByteArray::number(i), port, from));
    });
    nextOther.start(HitRunOtherSpacingMs);
    if (!waitUntil([&] { return strangers.gone >= HitRunLogins && !nextOther.isActive() && allLoggedIn(others); }))
        return fail("the logins during the hit and run did not finish");
    std::vector<double> waits;
    for (const auto& c : others)
        waits.push_back(c->goodAt - c->startedAt);
    print("lobby_login_p95_during_hitrun_ms", percentile(waits, 0.95), "ms");
    others.clear();
    server.terminate();
    server.waitForFinished();
    return 0;
}

// One account's login flood: many addresses, a few connections each, log in
// to it over and over with its right password, each as often as the chat
// limit lets a connection send the three login lines; an accepted one
// closes and comes back. Meanwhile others log in to their own accounts
// from another address, one at a time; their login times, unloaded first.
struct AccountFlooder
{
    QTcpSocket* socket = nullptr;
    platform::LineFramer framer;
    QHostAddress from;
    quint16 port = 0;
    QTimer pace;
    bool answered = true;
    bool stopped = false;
    int* answers = nullptr;

    AccountFlooder(QHostAddress address, quint16 p, int* count) : from(std::move(address)), port(p), answers(count)
    {
        pace.setSingleShot(true);
        QObject::connect(&pace, &QTimer::timeout, [this] { tryLogin(); });
        connectAgain();
    }
    ~AccountFlooder()
    {
        stopped = true;
        delete socket;
    }

    void connectAgain()
    {
        if (socket)
            socket->deleteLater();
        socket = new QTcpSocket;
        framer.clear();
        answered = true;
        QTcpSocket* mine = socket;
        QObject::connect(mine, &QTcpSocket::connected, &pace, [this] { tryLogin(); });
        QObject::connect(mine, &QTcpSocket::readyRead, &pace, [this, mine] {
            framer.append(mine->readAll());
            while (auto line = framer.takeLine()) {
                if (*line != "GOODPASS" && *line != "BADPASS")
                    continue;
                answered = true;
                ++*answers;
                if (*line == "GOODPASS")
                    return mine->disconnectFromHost();
            }
        });
        // Refused for too many connections while the last one closes: again shortly.
        QObject::connect(mine, &QTcpSocket::disconnected, &pace, [this, mine] {
            if (mine == socket && !stopped)
                QTimer::singleShot(FlooderReconnectMs, &pace, [this, mine] {
                    if (mine == socket && !stopped)
                        connectAgain();
                });
        });
        socket->bind(from);
        socket->connectToHost(QHostAddress::LocalHost, port);
    }

    void tryLogin()
    {
        if (stopped || socket->state() != QAbstractSocket::ConnectedState)
            return;
        if (answered) {
            socket->write("NAME" + FloodedAccount + "\r\nVERSION0.64\r\nPASSbench\r\n");
            answered = false;
        }
        pace.start(FlooderLoginEveryMs);
    }
};

int benchLoginDuringAccountFlood()
{
    QTemporaryDir dir;
    QProcess server;
    const quint16 port = startServer(server, dir, {QStringLiteral("--new-accounts-per-hour"), QString::number(2 * HonestLogins + 1)});
    if (port == 0)
        return fail("the server did not start");
    const QHostAddress honestAddress(QStringLiteral("127.0.1.1"));
    // The accounts are made first, so that every login timed only checks a password.
    for (int i = -1; i < HonestLogins; ++i) {
        Client made(i < 0 ? FloodedAccount : "honest" + QByteArray::number(i), port, honestAddress);
        if (!waitUntil([&] { return made.good; }, 60000))
            return fail("the account flood's accounts were not made");
    }
    idle(SettleMs);

    const auto honestLogins = [&](std::vector<double>& times) {
        for (int i = 0; i < HonestLogins; ++i) {
            Client honest("honest" + QByteArray::number(i), port, honestAddress);
            if (!waitUntil([&] { return honest.good; }, 60000))
                return false;
            times.push_back(honest.goodAt - honest.startedAt);
            idle(HonestLoginEveryMs);
        }
        return true;
    };
    std::vector<double> unloaded, flooded;
    if (!honestLogins(unloaded))
        return fail("an honest login did not get in unloaded");
    int floodAnswers = 0;
    std::vector<std::unique_ptr<AccountFlooder>> flood;
    for (int a = 0; a < FloodAddresses; ++a)
        for (int c = 0; c < FloodConnectionsPerAddress; ++c)
            flood.push_back(std::make_unique<AccountFlooder>(QHostAddress(QStringLiteral("127.0.2.%1").arg(1 + a)), port, &floodAnswers));
    idle(FloodRampMs);
    const int answersBefore = floodAnswers;
    const double floodFrom = nowMs();
    const qint64 logBefore = logSize(dir);
    if (!honestLogins(flooded))
        return fail("an honest login did not get in during the account flood");
    const double floodSeconds = (nowMs() - floodFrom) / 1000.0;
    const qint64 logged = logSize(dir) - logBefore;
    std::fprintf(stderr, "lobby-bench: the flood's logins were answered %.0f a second\n",
                 (floodAnswers - answersBefore) / floodSeconds);
    flood.clear();
    print("lobby_login_unloaded_ms", percentile(unloaded, 0.5), "ms");
    print("lobby_login_during_account_flood_ms", percentile(flooded, 0.5), "ms");
    print("lobby_login_p95_during_account_flood_ms", percentile(flooded, 0.95), "ms");
    print("lobby_account_flood_log_bytes_per_s", double(logged) / floodSeconds, "B/s");
    server.terminate();
    server.waitForFinished();
    return 0;
}

// Peers who log in and stop reading, while others chat: the server's
// peak memory, and what it holds once they are gone.
int benchNonReaders()
{
    QTemporaryDir dir;
    QProcess server;
    const quint16 port = startServerFor(NonReaders + Chatters, server, dir);
    if (port == 0)
        return fail("the server did not start");
    Clients silent, chatters;
    connectClients(silent, "n", NonReaders, port);
    connectClients(chatters, "w", Chatters, port);
    if (!waitUntil([&] { return allLoggedIn(silent) && allLoggedIn(chatters); }))
        return fail("the non-readers did not log in");
    for (auto& client : silent) {
        QObject::disconnect(&client->socket, &QTcpSocket::readyRead, nullptr, nullptr);
        client->socket.setReadBufferSize(1);
    }
    const QByteArray text(ChatLineBytes, 'x');
    QTimer chat;
    QObject::connect(&chat, &QTimer::timeout, [&] {
        for (auto& chatter : chatters)
            chatter->send("CHATTXT" + chatter->name + ": " + text + "\r\n");
    });
    chat.start(ChatIntervalMs);
    idle(NonReaderChatMs);
    chat.stop();
    print("lobby_rss_nonreaders_mb", residentMegabytes(server.processId(), "VmHWM"), "MB");
    silent.clear();
    chatters.clear();
    idle(GiveBackWaitMs);
    print("lobby_rss_after_nonreaders_mb", residentMegabytes(server.processId()), "MB");
    server.terminate();
    server.waitForFinished();
    return 0;
}

// Starts a battle in the host's room with the members in order as players 2 and up.
bool startBattle(Client& host, const std::vector<Client*>& members)
{
    const QByteArray prefix = "GDATA" + QByteArray::number(host.game) + "@@";
    // The members mark ready as the joined room does, and the host sees it.
    const int seen = host.readySeen;
    for (Client* member : members)
        member->send(prefix + "READY" + member->name + "\r\n");
    if (!waitUntil([&] { return host.readySeen == seen + int(members.size()); }, 5000))
        return false;
    QByteArray lines;
    for (size_t i = 0; i < members.size(); ++i)
        lines += prefix + "NUM" + QByteArray::number(qulonglong(i + 2)) + members[i]->name + "\r\n";
    lines += prefix + "MAX" + QByteArray::number(qulonglong(members.size() + 1)) + "\r\n";
    lines += prefix + "STARTGAME\r\nSTARTGAME" + QByteArray::number(host.game) + "\r\n";
    host.send(lines);
    return waitUntil([&] { return host.socket.bytesToWrite() == 0; }, 5000);
}

// One member relays all the game-data limit lets through while another
// reads at 64 KB/s: the reader stays, and another battle's turns still pass at once.
int benchRelayFlood()
{
    QTemporaryDir dir;
    QProcess server;
    const quint16 port = startServer(server, dir);
    if (port == 0)
        return fail("the server did not start");
    Client flooder("fh", port), reader("fr", port), watcher("fw", port), first("h1", port), second("h2", port);
    std::vector<Client*> all{&flooder, &reader, &watcher, &first, &second};
    if (!waitUntil([&] { return std::all_of(all.begin(), all.end(), [](Client* c) { return c->good; }); }, 10000)
        || !pairUp({&flooder, &first}, {&reader, &second}))
        return fail("the relay flood's players did not get together");
    watcher.send("JOINNAMEfh\r\nJOINPASSp\r\n");
    if (!waitUntil([&] { return watcher.game != 0; }, 5000) || !startBattle(flooder, {&reader, &watcher})
        || !startBattle(first, {&second}))
        return fail("the relay flood's battles did not start");
    idle(SettleMs);

    const qint64 readerBefore = reader.received;
    QTimer slowRead;
    reader.readSlowly(slowRead, [&](const QByteArray& bytes) { reader.received += bytes.size(); });
    QByteArray floodBurst;
    const QByteArray floodStart = "GDATA" + QByteArray::number(flooder.game) + "@@MOVEUNIT1@MOVEX100@MOVEY52@PAD";
    for (int i = 0; i < FloodBurstLines; ++i)
        floodBurst += floodStart + QByteArray(FloodLineBytes - floodStart.size(), 'x') + "\r\n";
    QTimer flood;
    QObject::connect(&flood, &QTimer::timeout, [&] {
        if (flooder.socket.state() == QAbstractSocket::ConnectedState && flooder.socket.bytesToWrite() < FloodBacklogBytes)
            flooder.send(floodBurst);
    });
    // The player on turn ends it: the turn's end and one state line per unit slot.
    std::vector<double> syncs;
    samples = &syncs;
    int seat = 1;
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        Client& sender = seat == 1 ? first : second;
        QByteArray burst = "GDATA" + QByteArray::number(sender.game) + "@@ENDTURN" + QByteArray::number(seat) + "\r\n";
        for (int slot = 1; slot < TurnBurstLines; ++slot)
            burst += unitStateLine(sender.game, slot);
        sender.send(burst);
        seat = 3 - seat;
    });
    const double start = nowMs();
    flood.start(FloodIntervalMs);
    turns.start(SyncIntervalMs);
    idle(FloodMs);
    flood.stop();
    turns.stop();
    slowRead.stop();
    samples = nullptr;
    // When the watcher heard that the player lost the connection; NAN when it did not.
    const auto lost = [&](const QByteArray& name) {
        for (const auto& [at, line] : watcher.inChat)
            if (line.endsWith("@@INCHAT" + name + " has lost connection."))
                return at - start;
        return double(NAN);
    };
    if (syncs.empty())
        return fail("no turn's unit states arrived during the relay flood");
    print("relay_flood_reader_kept", std::isnan(lost(reader.name)) ? 1 : 0, "connected");
    print("relay_flood_reader_bytes", double(reader.received - readerBefore), "B");
    print("relay_flood_sender_cut_s", lost(flooder.name) / 1000.0, "s");
    print("relay_flood_turn_sync_max_ms", percentile(syncs, 1.0), "ms");
    server.terminate();
    server.waitForFinished();
    return 0;
}

// Five chatters of one address at the chat limit, and a room whose three
// senders relay at their budget and chat: the fourth member, reading at
// 64 KB/s, stays, and how far behind the senders it is over the last seconds.
int benchLobbyChatFlood()
{
    QTemporaryDir dir;
    QProcess server;
    const quint16 port = startServerFor(LobbyChatters + RoomSenders + 1, server, dir);
    if (port == 0)
        return fail("the server did not start");
    Clients chatters, room;
    connectClients(chatters, "cc", LobbyChatters, port);
    connectClients(room, "cr", RoomSenders + 1, port);
    if (!waitUntil([&] { return allLoggedIn(chatters) && allLoggedIn(room); }, 30000))
        return fail("the chat flood's users did not log in");
    Client& host = *room[0];
    Client& reader = *room.back();
    if (!pairUp({&host}, {room[1].get()}))
        return fail("the chat flood's room did not open");
    for (size_t i = 2; i < room.size(); ++i)
        room[i]->send("JOINNAME" + host.name + "\r\nJOINPASSp\r\n");
    if (!waitUntil([&] { return std::all_of(room.begin(), room.end(), [](const auto& c) { return c->game != 0; }); }, 5000))
        return fail("the chat flood's room did not fill");
    idle(SettleMs);

    // The reader takes 64 KB a second and times each stamped line it reads.
    std::vector<std::pair<double, double>> lags;  // when read, how late
    QTimer slowRead;
    reader.readSlowly(slowRead, [&](const QByteArray& bytes) {
        reader.framer.append(bytes);
        while (auto line = reader.framer.takeLine())
            if (const auto lag = lateness(*line))
                lags.emplace_back(nowMs(), *lag);
    });
    // A stamped chat line, as long as the line limit lets through: the server
    // keeps only what the lobby window's box could hold.
    const auto chatLine = [](const Client& from) {
        const QByteArray head = "CHATTXT" + from.name + ": " + stamp() + ' ';
        return head + QByteArray(ChatLineBytes - head.size(), 'x') + "\r\n";
    };
    const auto chatAll = [&] {
        for (const auto& c : chatters)
            c->send(chatLine(*c));
        for (int i = 0; i < RoomSenders; ++i)
            room[size_t(i)]->send(chatLine(*room[size_t(i)]));
    };
    for (int i = 0; i < ChatBurstLines; ++i)
        chatAll();
    QTimer chat, relay;
    QObject::connect(&chat, &QTimer::timeout, chatAll);
    int padding = 0;
    QObject::connect(&relay, &QTimer::timeout, [&] {
        for (int i = 0; i < RoomSenders; ++i) {
            Client& sender = *room[size_t(i)];
            const QByteArray line = timedLine(sender.game, "PAD" + QByteArray(padding, 'x'));
            sender.send(line);
            if (padding == 0)  // the first line tells how long the padding must be
                padding = RelayLineBytes - int(line.size());
        }
    });
    const double start = nowMs();
    chat.start(ChatEveryMs);
    relay.start(RelayEveryMs);
    idle(ChatFloodMs);
    chat.stop();
    relay.stop();
    slowRead.stop();
    const bool kept = host.leftRoom == 0 && reader.socket.state() == QAbstractSocket::ConnectedState;
    double worst = 0;
    for (const auto& [at, lag] : lags)
        if (at - start >= ChatFloodMs - LagWindowMs)
            worst = std::max(worst, lag);
    if (lags.empty())
        return fail("the reader read no stamped line");
    print("lobby_chat_flood_reader_kept", kept ? 1 : 0, "connected");
    print("lobby_chat_flood_reader_lag_s", worst / 1000.0, "s");
    server.terminate();
    server.waitForFinished();
    return 0;
}

int benchRefusedFlood()
{
    Rooms rooms;
    if (const char* why = rooms.open("r", RefusingMembers))
        return fail(why);
    for (int i = 0; i < RefusingMembers; ++i)
        if (!startBattle(*rooms.hosts[size_t(i)], {rooms.members[size_t(i)]}))
            return fail("the refused flood's battles did not start");
    idle(SettleMs);

    const qint64 before = logSize(rooms.dir);
    QTimer flood;
    QObject::connect(&flood, &QTimer::timeout, [&] {
        for (Client* member : rooms.members) {
            const QByteArray line = "GDATA" + QByteArray::number(member->game) + "@@MOVEUNIT1@MOVEX100@MOVEY52\r\n";
            const double budget = lobby::RelayLimit.perSecond * RefusedShareOfBudget * RefusedEveryMs / 1000;
            member->send(line.repeated(qsizetype(budget / double(line.size()))));
        }
    });
    flood.start(RefusedEveryMs);
    idle(RefusedFloodMs);
    flood.stop();
    const bool kept = std::all_of(rooms.members.begin(), rooms.members.end(),
                                  [](Client* c) { return c->socket.state() == QAbstractSocket::ConnectedState; });
    const double rate = stopAndLogRate(rooms.server, rooms.dir, before, RefusedFloodMs);
    if (!kept)
        return fail("a member sending refused lines within the limits was cut");
    print("lobby_refused_flood_log_bytes_per_s", rate, "B/s");
    return 0;
}

int benchRoomActionsLog()
{
    Rooms rooms;
    if (const char* why = rooms.open("b", BootingPairs))
        return fail(why);
    idle(SettleMs);

    const qint64 before = logSize(rooms.dir);
    bool booting = true;
    QTimer phase;
    QObject::connect(&phase, &QTimer::timeout, [&] {
        for (int i = 0; i < BootingPairs; ++i) {
            Client& host = *rooms.hosts[size_t(i)];
            if (booting)
                host.send("GDATA" + QByteArray::number(host.game) + "BOOT" + rooms.members[size_t(i)]->name + "\r\n");
            else
                rooms.members[size_t(i)]->send("JOINNAME" + host.name + "\r\nJOINPASSp\r\n");
        }
        booting = !booting;
    });
    phase.start(BootPhaseMs);
    idle(BootRejoinMs);
    phase.stop();
    print("lobby_boot_rejoin_log_bytes_per_s", stopAndLogRate(rooms.server, rooms.dir, before, BootRejoinMs), "B/s");
    return 0;
}

int benchStrangersLog()
{
    struct Scenario
    {
        const char* figure;
        QByteArray bytes;
    };
    const Scenario scenarios[] = {
        {"lobby_connect_close_log_bytes_per_s", {}},
        {"lobby_bad_version_log_bytes_per_s", "NAMEstranger\r\nVERSION" + QByteArray(100, '9') + "\r\nPASSx\r\n"},
        {"lobby_overlong_line_log_bytes_per_s", QByteArray(OverlongLineBytes, 'x') + "\r\n"},
    };
    for (const Scenario& scenario : scenarios) {
        QTemporaryDir dir;
        QProcess server;
        const quint16 port = startServer(server, dir, {QStringLiteral("--max-per-address"), QString::number(StrangersInFlight)});
        if (port == 0)
            return fail("the server did not start");
        idle(SettleMs);
        const qint64 before = logSize(dir);
        const double end = nowMs() + StrangerMs;
        int next = 0;
        HitAndRun strangers{[&]() -> std::optional<HitAndRun::Visit> {
            if (nowMs() >= end)
                return std::nullopt;
            return HitAndRun::Visit{scenario.bytes,
                                    QHostAddress(QStringLiteral("127.0.0.%1").arg(2 + next++ % StrangerAddresses))};
        }};
        strangers.start(port, StrangersInFlight);
        idle(StrangerMs);
        const double rate = stopAndLogRate(server, dir, before, StrangerMs);
        if (!waitUntil([&] { return strangers.settled(); }, 10000))
            return fail("the strangers did not all close");
        print(scenario.figure, rate, "B/s");
    }
    return 0;
}

// What one GETSTATS costs the server, for a name with no wins and one near
// the top: the store's lookup and rank timed in-process, and the round trip
// through the real server less a GETTIME round trip. Prints the worse median.
int benchStats()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lobby.db"));
    const QByteArrayList names{"rookie", "veteran"};
    if (!lobby::AccountStore(path).isOpen())
        return fail("the account store did not open");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-fill"));
        db.setDatabaseName(path);
        bool filled = db.open() && db.transaction();
        QSqlQuery insert(db);
        insert.prepare(
            QStringLiteral("INSERT INTO accounts (name, hash, games, wins, created) VALUES (?, 'x', ?, ?, 0)"));
        QRandomGenerator random(1);
        for (int i = 0; filled && i < StatsAccounts; ++i) {
            const int wins = i == 0 ? 0 : i == 1 ? StatsMostWins - 5 : int(random.bounded(StatsMostWins + 1));
            insert.addBindValue(i < names.size() ? QString::fromLatin1(names[i]) : QStringLiteral("u%1").arg(i));
            insert.addBindValue(wins + int(random.bounded(StatsMostWins)));
            insert.addBindValue(wins);
            filled = insert.exec();
        }
        filled = filled && db.commit();
        insert = QSqlQuery();
        db.close();
        if (!filled)
            return fail("the accounts were not written");
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-fill"));

    std::vector<double> ownWork[2], roundTrips[2], timeTrips;
    {
        lobby::AccountStore store(path);
        // As the server readies its store when it starts.
        if (!store.loadRanks() || !store.stats(names[0]))
            return fail("the store has no stats");
        QElapsedTimer timer;
        for (int i = 0; i < StatsOwnWorkSamples; ++i)
            for (size_t n = 0; n < 2; ++n) {
                timer.start();
                const bool found = store.stats(names[qsizetype(n)]).has_value();
                ownWork[n].push_back(double(timer.nsecsElapsed()) / 1e6);
                if (!found)
                    return fail("a name has no stats");
            }
    }

    QProcess server;
    const quint16 port = startServerFor(StatsAskers, server, dir);
    if (port == 0)
        return fail("the server did not start");
    for (int a = 0; a < StatsAskers; ++a) {
        QTcpSocket socket;
        platform::LineFramer framer;
        socket.connectToHost(QHostAddress::LocalHost, port);
        // Milliseconds until a line starting with `head` comes back; NAN if none does.
        const auto ask = [&](const QByteArray& lines, const QByteArray& head) {
            const double start = nowMs();
            socket.write(lines + "\r\n");
            for (;;) {
                while (const auto line = framer.takeLine())
                    if (line->startsWith(head))
                        return nowMs() - start;
                if (!socket.waitForReadyRead(StatsAnswerWaitMs))
                    return double(NAN);
                framer.append(socket.readAll());
            }
        };
        if (std::isnan(ask("NAMEa" + QByteArray::number(a) + "\r\nVERSION0.64\r\nPASSbench", "GOODPASS")))
            return fail("an asker did not log in");
        for (int round = 0; round < StatsRoundsPerAsker; ++round)
            for (size_t n = 0; n < 2; ++n) {
                roundTrips[n].push_back(ask("GETSTATS " + names[qsizetype(n)], "CHATMSG" + names[qsizetype(n)] + ": "));
                timeTrips.push_back(ask("GETTIME", "CHATMSGServer time: "));
                if (std::isnan(roundTrips[n].back()) || std::isnan(timeTrips.back()))
                    return fail("the server did not answer");
            }
    }
    server.terminate();
    server.waitForFinished();

    const double timeTrip = percentile(timeTrips, 0.5);
    double worst = 0;
    for (size_t n = 0; n < 2; ++n) {
        const double own = percentile(ownWork[n], 0.5), net = percentile(roundTrips[n], 0.5) - timeTrip;
        std::fprintf(stderr, "lobby-bench: GETSTATS %s: %.3f ms in the store, %.3f ms round trip less GETTIME's\n",
                     names[qsizetype(n)].constData(), own, net);
        worst = std::max({worst, own, net});
    }
    print("lobby_stats_ms_200k", worst, "ms");
    return 0;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchClock.start();
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }

    // One bench by its name, or all.
    const QByteArray only = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    const auto wanted = [&](const char* name) { return only.isEmpty() || only == name; };
    struct Bench
    {
        const char* name;
        int (*run)();
    };
    static const Bench Benches[] = {
        {"hitrun", benchLoginDuringHitRun},     {"account-flood", benchLoginDuringAccountFlood},
        {"nonreaders", benchNonReaders},        {"relay-flood", benchRelayFlood},
        {"chat-flood", benchLobbyChatFlood},    {"refused-flood", benchRefusedFlood},
        {"room-actions-log", benchRoomActionsLog}, {"strangers-log", benchStrangersLog},
        {"stats", benchStats},
    };
    if (wanted("load")) {
        // Every client comes from one address here.
        QTemporaryDir dir;
        QProcess server;
        const quint16 port = startServerFor(4 * ListUsers, server, dir);
        if (port == 0)
            return fail("the server did not start");
        Clients clients;
        if (const int status = benchLoad(port, clients, server.processId()))
            return status;
        if (const int status = benchListTraffic(port, clients))
            return status;
        clients.clear();
        server.terminate();
        server.waitForFinished();
    }
    for (const Bench& bench : Benches)
        if (wanted(bench.name))
            if (const int status = bench.run())
                return status;
    return 0;
}
