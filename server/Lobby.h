#pragma once
// The lobby's logic: login, the user and game lists, chat, private
// messages, the slash commands and moderation. Every received line is
// checked here before it is used; game matters go to Games.

#include "Games.h"
#include "Log.h"
#include "LoginThrottle.h"
#include "Sessions.h"
#include "UserListFeed.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QTimer>

namespace lobby {

class AccountStore;
class LoginService;
struct LoginResult;

class Lobby : public QObject
{
    Q_OBJECT

public:
    // Users logging in must finish within this time.
    static constexpr qint64 LoginTimeoutMs = 60 * 1000;

    Lobby(Outbox& out, LoginService& logins, AccountStore& store, QObject* parent = nullptr);

    void connected(SessionId id, const QByteArray& address);
    void received(SessionId id, const QByteArray& line);
    void flooded(SessionId id);
    void disconnected(SessionId id, const QString& why);
    // Closes logins that took too long; forgets old failed logins.
    void sweep();

    bool isAddressBanned(const QByteArray& address) const { return bannedAddresses_.contains(address); }
    // The connection that has waited longest without logging in, when it
    // has waited at least `minWaitMs`; 0 when there is none.
    SessionId longestWaitingLogin(qint64 minWaitMs) const;
    void sendUserList() { users_.sendWholeList(); }
    const Sessions& sessions() const { return sessions_; }
    // Refusals and room actions are logged through this, within their bounds.
    ThrottledLog& throttledLog() { return log_; }

private:
    using Handler = void (Lobby::*)(Session&, QByteArrayView);
    struct Command
    {
        QByteArrayView keyword;
        Handler handle;
        bool beforeLogin;  // only NAME, VERSION and PASS
    };
    static const Command Commands[];

    void onName(Session& s, QByteArrayView payload);
    void onVersion(Session& s, QByteArrayView payload);
    void onPass(Session& s, QByteArrayView payload);
    void finishLogin(SessionId id, const LoginResult& result);
    // `notice`, when given, goes first as an ANNOUNCE: the client's refusal
    // box only ever speaks of a wrong password.
    void refuse(Session& s, QByteArrayView keyword, QByteArrayView name, const QString& why,
                QByteArrayView notice = {});

    void onChat(Session& s, QByteArrayView payload);
    void onMe(Session& s, QByteArrayView payload);
    void onAdminChat(Session& s, QByteArrayView payload);
    void onModChat(Session& s, QByteArrayView payload);
    void staffChat(Session& s, QByteArrayView keyword, QByteArrayView payload);
    void onMsgName(Session& s, QByteArrayView payload);
    void onMsgText(Session& s, QByteArrayView payload);
    void onTime(Session& s, QByteArrayView payload);
    void onAway(Session& s, QByteArrayView payload);
    void onStats(Session& s, QByteArrayView payload);

    void onSetupGame(Session& s, QByteArrayView payload);
    void onGameName(Session& s, QByteArrayView payload);
    void onGamePass(Session& s, QByteArrayView payload);
    void onGameHost(Session& s, QByteArrayView payload);
    void onJoinName(Session& s, QByteArrayView payload);
    void onJoinPass(Session& s, QByteArrayView payload);
    void onStartGame(Session& s, QByteArrayView payload);
    void onRemoveGame(Session& s, QByteArrayView payload);
    void onLeaveGame(Session& s, QByteArrayView payload);

    void onKick(Session& s, QByteArrayView payload);
    void onTempBan(Session& s, QByteArrayView payload);
    void onIpBan(Session& s, QByteArrayView payload);
    void onCompBan(Session& s, QByteArrayView payload);
    void moderate(Session& s, QByteArrayView keyword, QByteArrayView target);

    Session* online(QByteArrayView name);
    void tell(const Session& s, const QByteArray& text);

    Sessions sessions_;
    UserListFeed users_;
    ThrottledLog log_;  // before games_, which writes to it
    Games games_;
    LoginService& logins_;
    AccountStore& store_;
    LoginThrottle throttle_;
    QSet<QByteArray> bannedAddresses_;
    QElapsedTimer clock_;
};

}  // namespace lobby
