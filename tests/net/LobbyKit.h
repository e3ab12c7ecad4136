#pragma once
// A lobby client with a scripted server on the loopback, and a trace of what
// the client did: chat lines, list changes, window requests, boxes, room calls.

#include "data/GameData.h"
#include "net/GameRooms.h"
#include "net/frmChat.h"
#include "platform/Dialogs.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

class TraceRooms : public GameRooms {
public:
    explicit TraceRooms(QStringList& trace) : trace_(trace) {}
    void OpenHostLobby() override { trace_ << QStringLiteral("open host"); }
    void OpenJoinLobby() override { trace_ << QStringLiteral("open join %1").arg(modStrat::GameNumber); }
    bool IsHosting() const override { return hosting; }
    void HandleHostGameData(const QString& data) override { trace_ << QStringLiteral("host data ") + data; }
    void HandleClientGameData(const QString& data) override { trace_ << QStringLiteral("client data ") + data; }
    bool hosting = false;

private:
    QStringList& trace_;
};

struct LobbySession {
    LobbySession()
    {
        platform::dialogScript::enable();
        platform::dialogScript::clear();
        modStrat::ResetAll();
        chat.rooms = &rooms;
        chat.exitProgram = [this] { trace << QStringLiteral("exit"); };
        const auto note = [this](const QString& what) { return [this, what] { trace << what; }; };
        QObject::connect(&chat, &frmChat::chatAdded, [this](const QString& text, std::uint32_t colour) {
            trace << QStringLiteral("chat %1 %2").arg(colour).arg(text);
        });
        QObject::connect(&chat, &frmChat::usersChanged, [this] { trace << "users " + chat.lstUsers.join(','); });
        QObject::connect(&chat, &frmChat::gamesChanged, [this] { trace << "games " + chat.lstGames.join(','); });
        QObject::connect(&chat, &frmChat::showRequested, note(QStringLiteral("show")));
        QObject::connect(&chat, &frmChat::hideRequested, note(QStringLiteral("hide")));
        QObject::connect(&chat, &frmChat::loginAccepted, note(QStringLiteral("login")));
        // A box is traced when it closes, with the text it showed.
        modalListener = platform::addModalListener([this](bool open) {
            if (!open)
                trace << "box " + platform::dialogScript::shown().constLast();
        });
        server.listen(QHostAddress::LocalHost);
    }
    ~LobbySession() { platform::removeModalListener(modalListener); }

    // Connects and returns the server's side of the connection.
    QTcpSocket* connect(const QStringList& login = {})
    {
        chat.connectTo(QStringLiteral("127.0.0.1"), server.serverPort(), login);
        if (!QTest::qWaitFor([this] { return server.hasPendingConnections(); }, 5000))
            return nullptr;
        peer = server.nextPendingConnection();
        const bool up =
            QTest::qWaitFor([this] { return chat.socket().state() == QAbstractSocket::ConnectedState; }, 5000);
        return up ? peer : nullptr;
    }

    // What the client sent up to `marker` (a line the test sends last).
    QByteArray sentUntil(const QByteArray& marker)
    {
        const bool complete = QTest::qWaitFor([&] {
            received += peer->readAll();
            return received.endsWith(marker);
        }, 5000);
        Q_UNUSED(complete);  // the caller compares what came
        return std::exchange(received, {});
    }

    QStringList trace;
    TraceRooms rooms{trace};
    frmChat chat;
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    QByteArray received;
    int modalListener = 0;
};
