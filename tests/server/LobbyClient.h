#pragma once
// A scripted raw-socket client of the lobby server, for tests: sends lines
// as a client would and waits on the lines that come back.

#include "platform/LineFramer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>

#include <algorithm>

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

    void sendLogin(const QByteArray& name, const QByteArray& pass = "pw", const QByteArray& version = "0.64")
    {
        for (const QByteArray& line : {"NAME" + name, "VERSION" + version, "PASS" + pass})
            send(line);
    }

    // Skips to the next line that begins with one of the prefixes and
    // returns it; "<nothing>" when none came in time.
    QByteArray next(std::initializer_list<QByteArrayView> prefixes, int timeoutMs = TimeoutMs)
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
            timeoutMs);
        return found;
    }
    QByteArray next(QByteArrayView prefix, int timeoutMs = TimeoutMs) { return next({prefix}, timeoutMs); }

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
