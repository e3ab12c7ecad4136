#pragma once
// End-to-end runs with the real programs: our lobby server and several game
// processes, each driven through its test driver (a local socket), offscreen.

#include "../server/LobbyClient.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

namespace e2e {

constexpr int StartTimeoutMs = 20000;
constexpr int AnswerTimeoutMs = 20000;
constexpr int ConditionTimeoutMs = 30000;

inline QString programFolder() { return qEnvironmentVariable("VF_PROGRAM_DIR"); }

// The lobby server on a free port with a database of its own.
class LobbyServer {
public:
    explicit LobbyServer(QString database = {}) : database_(std::move(database))
    {
        if (database_.isEmpty())
            database_ = folder_.filePath(QStringLiteral("lobby.db"));
    }
    ~LobbyServer() { stop(); }

    // Runs the server once with `arguments` and the database (e.g. --moderator ann).
    bool runOnce(const QStringList& arguments)
    {
        QProcess once;
        once.start(executable(), arguments + QStringList{QStringLiteral("--db"), database_});
        return once.waitForFinished(StartTimeoutMs) && once.exitCode() == 0;
    }

    bool start()
    {
        // The log comes on stderr; read it through the one channel.
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(executable(), {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"), database_});
        QElapsedTimer timer;
        timer.start();
        static const QRegularExpression listening(QStringLiteral("listening on port (\\d+)"));
        while (timer.elapsed() < StartTimeoutMs) {
            process_.waitForReadyRead(100);
            log_ += QString::fromUtf8(process_.readAll());
            const auto match = listening.match(log_);
            if (match.hasMatch()) {
                port_ = quint16(match.captured(1).toUInt());
                // Keep reading the log, so a full pipe never stalls the server.
                QObject::connect(&process_, &QProcess::readyRead, [this] { log_ += QString::fromUtf8(process_.readAll()); });
                return true;
            }
            if (process_.state() == QProcess::NotRunning)
                break;
        }
        qWarning().noquote() << "lobby server did not start:" << log_;
        return false;
    }

    void stop()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000))
                process_.kill();
            log_ += QString::fromUtf8(process_.readAll());
        }
        // Whatever the real clients send passes the server's checks.
        static const QRegularExpression dropped(QStringLiteral(".* dropped \\(.*"));
        const auto match = dropped.match(log_);
        QTest::qVerify(!match.hasMatch(), "no line dropped", qPrintable(match.captured()), __FILE__, __LINE__);
    }

    quint16 port() const { return port_; }

private:
    static QString executable() { return programFolder() + QStringLiteral("/vesperfall-lobby"); }

    QTemporaryDir folder_;
    QString database_;
    QProcess process_;
    QString log_;
    quint16 port_ = 0;
};

// A client straight on the wire, logged in (the first login makes the
// account); nothing when the server did not let it in.
inline std::unique_ptr<LobbyClient> wireLogin(quint16 port, const QByteArray& name)
{
    auto client = std::make_unique<LobbyClient>(port);
    client->sendLogin(name, "secret");
    return client->next("GOODPASS", AnswerTimeoutMs) == "GOODPASS" ? std::move(client) : nullptr;
}

// Asks until the server's record of `name` begins with `record`: it may
// record a moment after the game shows the result.
inline bool recordBecomes(LobbyClient& asker, const QByteArray& name, const QByteArray& record)
{
    const QByteArray answer = "CHATMSG" + name + ": ";
    return QTest::qWaitFor([&] {
        asker.send("GETSTATS" + name);
        return asker.next(answer, AnswerTimeoutMs).startsWith(answer + record);
    }, ConditionTimeoutMs);
}

// One game process with a program folder of its own (links to the shared
// maps and pictures, its own settings and saves).
class Game {
public:
    explicit Game(const QString& name) : name_(name)
    {
        const QDir shared(programFolder());
        for (const QFileInfo& entry : shared.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            if (entry.fileName() == QLatin1String("settings.ini") || entry.suffix() == QLatin1String("save")
                || entry.fileName() == QLatin1String("AI.ini"))
                continue;
            QFile::link(entry.absoluteFilePath(), folder_.filePath(entry.fileName()));
        }
    }
    ~Game() { stop(); }

    bool start()
    {
        const QString socketName = QStringLiteral("vf-e2e-%1-%2").arg(QCoreApplication::applicationPid()).arg(name_);
        QLocalServer::removeServer(socketName);
        if (!listener_.listen(socketName))
            return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VF_TEST_DRIVER"), listener_.fullServerName());
        env.insert(QStringLiteral("VF_TEST_PROGRAM_DIR"), folder_.path());
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(programFolder() + QStringLiteral("/vesperfall"), {});
        if (!listener_.waitForNewConnection(StartTimeoutMs))
            return false;
        socket_ = listener_.nextPendingConnection();
        return socket_ != nullptr;
    }

    void stop()
    {
        if (socket_)
            socket_->disconnectFromServer();
        if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(5000))
            process_.kill();
    }

    // One driver command; the answer's value, or nothing on "ERR".
    std::optional<QString> ask(const QString& command)
    {
        if (!socket_ || socket_->state() != QLocalSocket::ConnectedState) {
            lastError_ = QStringLiteral("not connected");
            return std::nullopt;
        }
        socket_->write(command.toUtf8() + "\r\n");
        QElapsedTimer timer;
        timer.start();
        while (!socket_->canReadLine() && timer.elapsed() < AnswerTimeoutMs) {
            if (!socket_->waitForReadyRead(100) && socket_->state() != QLocalSocket::ConnectedState)
                return std::nullopt;
        }
        const QString answer = QString::fromUtf8(socket_->readLine()).chopped(2);
        if (!answer.startsWith(QLatin1String("OK"))) {
            lastError_ = answer;
            return std::nullopt;
        }
        return answer.size() > 3 ? answer.mid(3) : QString();
    }
    bool run(const QString& command)
    {
        if (ask(command))
            return true;
        qWarning().noquote() << name_ << command << "failed:" << lastError_;
        return false;
    }

    // Asks until the answer is `expected`, or holds `part` (the programs work while we wait).
    bool waitFor(const QString& command, const QString& expected, int timeoutMs = ConditionTimeoutMs)
    {
        return waitUntil(command, [&](const QString& answer) { return answer == expected; }, expected, timeoutMs);
    }
    bool waitForContains(const QString& command, const QString& part, int timeoutMs = ConditionTimeoutMs)
    {
        return waitUntil(command, [&](const QString& answer) { return answer.contains(part); }, part, timeoutMs);
    }

    // Types the login and presses Connect.
    bool logIn(quint16 port, const QString& password = QStringLiteral("secret"))
    {
        return run(QStringLiteral("type txtServerIP 127.0.0.1")) && run(QStringLiteral("type txtName ") + name_)
            && run(QStringLiteral("type txtPassword ") + password) && setPort(port)
            && run(QStringLiteral("click cmdConnect"));
    }

    // Starts, logs in and waits until the lobby lists this user: the server's yes.
    bool enterLobby(quint16 port)
    {
        return start() && logIn(port) && waitForContains(QStringLiteral("items lstUsers"), name_);
    }

    // Opens a game room of this name as its host.
    bool openRoom(const QString& room)
    {
        return run(QStringLiteral("type txtGameName ") + room) && run(QStringLiteral("click cmdCreateGame"))
            && waitFor(QStringLiteral("exists frmHost"), QStringLiteral("1"));
    }

    // The process dies at once, as on a crash or a pulled cable.
    void kill()
    {
        process_.kill();
        process_.waitForFinished(StartTimeoutMs);
    }

    bool finished(int timeoutMs = ConditionTimeoutMs)
    {
        return process_.state() == QProcess::NotRunning || process_.waitForFinished(timeoutMs);
    }
    const QString& name() const { return name_; }
    QString folder() const { return folder_.path(); }

private:
    template <class Accept>
    bool waitUntil(const QString& command, Accept accept, const QString& wanted, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        QString last;
        while (timer.elapsed() < timeoutMs) {
            last = ask(command).value_or(QStringLiteral("(error)"));
            if (accept(last))
                return true;
            QTest::qWait(20);
        }
        qWarning().noquote() << name_ << command << "gave" << last << "wanted" << wanted << lastError_;
        return false;
    }

    bool setPort(quint16 port) { return run(QStringLiteral("port %1").arg(port)); }

    QString name_;
    QTemporaryDir folder_;
    QLocalServer listener_;
    QLocalSocket* socket_ = nullptr;
    QProcess process_;
    QString lastError_;
};

}  // namespace e2e
