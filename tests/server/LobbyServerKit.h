#pragma once
// The lobby server in-process on a free port, with the logins and rooms
// the server tests start from.

#include "LobbyClient.h"
#include "Log.h"
#include "Server.h"

#include <QTemporaryDir>

// The server's log lines while it lives; the log is quiet again after.
struct LogLines
{
    LogLines()
    {
        lobby::setLogSink([this](const QString& text) { lines << text; });
        lobby::setLogging(true);
    }
    ~LogLines()
    {
        lobby::setLogging(false);
        lobby::setLogSink({});
    }
    LogLines(const LogLines&) = delete;
    LogLines& operator=(const LogLines&) = delete;

    QStringList lines;
};

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

    // A new client that sends the login lines; `fromAddress`: the last byte of a 127.0.0.x address.
    std::unique_ptr<LobbyClient> login(const QByteArray& name, const QByteArray& pass = "pw",
                                       const QByteArray& version = "0.64", int fromAddress = 1)
    {
        auto client = std::make_unique<LobbyClient>(server->port(), QHostAddress(QStringLiteral("127.0.0.%1").arg(fromAddress)));
        client->sendLogin(name, pass, version);
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
