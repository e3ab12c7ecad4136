#pragma once
// A scripted raw-socket client of the lobby server, for tests: sends lines
// as a client would and waits on the lines that come back. And the server
// itself, in-process on a free port, with the logins and rooms tests start from.

#include "Log.h"
#include "Server.h"
#include "platform/LineFramer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

class LobbyClient
{
public:
    static constexpr int TimeoutMs = 5000;

    // `from`: another loopback address (127.0.0.2 and up) to connect from.
    explicit LobbyClient(quint16 port, const QHostAddress& from = {})
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
            framer.append(socket.readAll());
            while (auto line = framer.takeLine())
                lines << *line;
        });
        if (!from.isNull())
            socket.bind(from);
        socket.connectToHost(QHostAddress::LocalHost, port);
    }

    void send(const QByteArray& line) { socket.write(line + "\r\n"); }

    // Skips to the next line that begins with one of the prefixes and
    // returns it; "<nothing>" when none came in time.
    QByteArray next(std::initializer_list<QByteArrayView> prefixes)
    {
        QByteArray found = "<nothing>";
        (void)QTest::qWaitFor(
            [&] {
                for (; cursor < lines.size(); ++cursor)
                    for (QByteArrayView prefix : prefixes)
                        if (lines[cursor].startsWith(prefix)) {
                            found = lines[cursor++];
                            return true;
                        }
                return false;
            },
            TimeoutMs);
        return found;
    }
    QByteArray next(QByteArrayView prefix) { return next({prefix}); }

    // The lines received so far after the cursor that begin with the prefix.
    QList<QByteArray> pending(QByteArrayView prefix) const
    {
        QList<QByteArray> out;
        for (qsizetype i = cursor; i < lines.size(); ++i)
            if (lines[i].startsWith(prefix))
                out << lines[i];
        return out;
    }

    // A round trip: every line the server sent before its answer has arrived.
    // The cursor stays where it was.
    bool sync()
    {
        const qsizetype at = cursor;
        send("GETTIME");
        const bool answered = next("CHATMSGServer time:").startsWith("CHATMSG");
        cursor = at;
        return answered;
    }

    // The names of the last whole user list received.
    QByteArrayList userList() const
    {
        QByteArrayList names, building;
        for (const QByteArray& line : lines) {
            if (line.startsWith("LISTKILL"))
                building.clear();
            else if (line.startsWith("LISTADD"))
                building << line.sliced(7);
            else if (line.startsWith("LISTDONE"))
                names = building;
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    bool waitClosed()
    {
        return QTest::qWaitFor([this] { return socket.state() == QAbstractSocket::UnconnectedState; }, TimeoutMs);
    }

    QTcpSocket socket;
    platform::LineFramer framer;
    QList<QByteArray> lines;
    qsizetype cursor = 0;
};

inline const std::initializer_list<QByteArrayView> LoginAnswers{"GOODPASS", "BADPASS", "BADVERS", "TEMPBAN", "IPBAN"};

class LobbyServerKit
{
public:
    using Clients = std::vector<std::unique_ptr<LobbyClient>>;

    // Cheap hashing and room for many connections from the loopback.
    static lobby::ServerConfig config()
    {
        lobby::ServerConfig config;
        config.port = 0;
        config.maxPerAddress = 50;
        config.hashCost = lobby::HashCost::cheap();
        return config;
    }

    // The relay budget no tighter than the game-data line limit: a member's
    // flood reaches the others at once.
    static lobby::ServerConfig unthrottledRelay()
    {
        lobby::ServerConfig config = LobbyServerKit::config();
        config.relayLimit = {lobby::GameLimit.burst * lobby::MaxLineBytes, lobby::GameLimit.perSecond * lobby::MaxLineBytes};
        return config;
    }

    // A server on an empty database; later starts keep that database.
    void freshServer()
    {
        static int count = 0;
        database = dir.filePath(QStringLiteral("lobby-%1.db").arg(++count));
        startServer();
    }

    void startServer(lobby::ServerConfig config = LobbyServerKit::config())
    {
        lobby::setLogging(false);
        server.reset();
        config.databasePath = database;
        server = std::make_unique<lobby::Server>(config);
        QString error;
        QVERIFY2(server->start(&error), qPrintable(error));
    }

    static void sendLogin(LobbyClient& client, const QByteArray& name, const QByteArray& pass = "pw",
                          const QByteArray& version = "0.64")
    {
        for (const QByteArray& line : {"NAME" + name, "VERSION" + version, "PASS" + pass})
            client.send(line);
    }

    // A new client that sends the login lines; `fromAddress`: the last byte of a 127.0.0.x address.
    std::unique_ptr<LobbyClient> login(const QByteArray& name, const QByteArray& pass = "pw",
                                       const QByteArray& version = "0.64", int fromAddress = 1)
    {
        auto client = std::make_unique<LobbyClient>(server->port(), QHostAddress(QStringLiteral("127.0.0.%1").arg(fromAddress)));
        sendLogin(*client, name, pass, version);
        return client;
    }

    // Logged in, or null.
    std::unique_ptr<LobbyClient> loggedIn(const QByteArray& name)
    {
        auto client = login(name);
        return client->next(LoginAnswers) == "GOODPASS" ? std::move(client) : nullptr;
    }

    // Opens a room in `host`'s name; the server's GAMENUMBER answer.
    static QByteArray open(LobbyClient& client, const QByteArray& host, const QByteArray& game = "duel",
                           const QByteArray& pass = "secret")
    {
        for (const QByteArray& line : {QByteArray("SETUPGAME"), "GAMENAME" + game, "GAMEPASS" + pass, "GAMEHOST" + host})
            client.send(line);
        return client.next("GAMENUMBER");
    }

    // JOINGAME<n> or JOINBAD.
    static QByteArray join(LobbyClient& client, const QByteArray& game = "duel", const QByteArray& pass = "secret")
    {
        client.send("JOINNAME" + game);
        client.send("JOINPASS" + pass);
        return client.next({"JOINGAME", "JOINBAD"});
    }

    // The first name hosts "duel" (game 1), the others log in and join in
    // order; each reads on from after the last join. Empty when any step fails.
    Clients room(const QByteArrayList& names)
    {
        Clients clients;
        for (const QByteArray& name : names)
            if (auto client = loggedIn(name))
                clients.push_back(std::move(client));
        if (clients.size() != size_t(names.size()) || open(*clients.front(), names.front()) != "GAMENUMBER1")
            return {};
        for (size_t i = 1; i < clients.size(); ++i) {
            if (join(*clients[i]) != "JOINGAME1")
                return {};
            // Everyone before has seen the newcomer: the lists agree.
            const QByteArray joined = "GDATA1@@JOINGAME" + names[qsizetype(i)];
            for (size_t j = 0; j < i; ++j)
                if (clients[j]->next(joined) != joined)
                    return {};
        }
        for (auto& client : clients) {
            if (!client->sync())
                return {};
            client->cursor = client->lines.size();
        }
        return clients;
    }

    QTemporaryDir dir;
    QString database;
    std::unique_ptr<lobby::Server> server;
};
