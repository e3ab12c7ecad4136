#pragma once
// Who is connected and who is logged in, and the one way lines leave the
// lobby's logic: through an Outbox, so the logic runs without sockets.

#include "Protocol.h"

#include <QHash>
#include <QList>
#include <optional>

namespace lobby {

class Outbox
{
public:
    virtual ~Outbox() = default;
    // `bytes` holds whole lines, each ended by CR LF. Never calls back into
    // the lobby: a connection that must go is closed from the event loop.
    virtual void send(SessionId id, const QByteArray& bytes) = 0;
    // Sends what is queued, then closes the connection; the lobby hears of
    // it from the event loop.
    virtual void disconnect(SessionId id) = 0;
};

struct Session
{
    enum class State { Connected, Checking, LoggedIn };

    SessionId id = 0;
    QByteArray address;
    qint64 connectedMs = 0;
    State state = State::Connected;
    bool closing = false;  // told to go; its lines are no longer read

    // Login lines, kept until PASS.
    std::optional<QByteArray> loginName, loginVersion;

    QByteArray name;  // the name whose password is checked, then the user's
    bool moderator = false;
    bool away = false;

    // Requests that take more than one line.
    bool settingUp = false;
    QByteArray newGameName, newGamePass;
    std::optional<QByteArray> joinName, msgName;

    int game = 0;  // the game this user is in, 0 for none
};

class Sessions
{
public:
    explicit Sessions(Outbox& out) : out_(out) {}

    Session& add(SessionId id, const QByteArray& address, qint64 nowMs);
    void remove(SessionId id);
    Session* find(SessionId id);
    // The user logged in under this name.
    Session* findByName(QByteArrayView name);
    // The password is being checked. The name stays free meanwhile: logins
    // under way never refuse one another, and a stranger's guess never
    // holds the owner's name.
    void check(Session& session, const QByteArray& name);
    // Back to a connection that has not logged in.
    void release(Session& session);
    // Takes the name; false when another session holds it already.
    bool logIn(Session& session);

    void send(SessionId id, const QByteArray& bytes) { out_.send(id, bytes); }
    void sendToAll(const QByteArray& bytes);
    void close(Session& session);

    const QHash<SessionId, Session>& all() const { return sessions_; }
    int onlineCount() const { return int(online_.size()); }
    // LISTKILL, one LISTADD per user in login order, LISTDONE.
    QByteArray userList() const;

private:
    Outbox& out_;
    QHash<SessionId, Session> sessions_;
    QHash<QByteArray, SessionId> byName_;
    QList<SessionId> online_;
    mutable QByteArray userList_;  // built again only after a change
};

}  // namespace lobby
