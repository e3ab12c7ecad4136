#include "Sessions.h"

namespace lobby {

Session& Sessions::add(SessionId id, const QByteArray& address, qint64 nowMs)
{
    Session& session = sessions_[id];
    session.id = id;
    session.address = address;
    session.connectedMs = nowMs;
    return session;
}

void Sessions::remove(SessionId id)
{
    auto it = sessions_.find(id);
    if (it == sessions_.end())
        return;
    release(*it);
    sessions_.erase(it);
}

Session* Sessions::find(SessionId id)
{
    auto it = sessions_.find(id);
    return it == sessions_.end() ? nullptr : &*it;
}

Session* Sessions::findByName(QByteArrayView name)
{
    const auto it = byName_.constFind(name.toByteArray());
    return it == byName_.constEnd() ? nullptr : find(*it);
}

void Sessions::check(Session& session, const QByteArray& name)
{
    session.name = name;
    session.state = Session::State::Checking;
}

void Sessions::release(Session& session)
{
    if (!session.name.isEmpty() && byName_.value(session.name) == session.id)
        byName_.remove(session.name);
    if (online_.removeOne(session.id))
        userList_.clear();
    session.name.clear();
    session.state = Session::State::Connected;
}

bool Sessions::logIn(Session& session)
{
    if (byName_.contains(session.name))
        return false;
    byName_.insert(session.name, session.id);
    session.state = Session::State::LoggedIn;
    online_.append(session.id);
    userList_.clear();
    return true;
}

void Sessions::sendToAll(const QByteArray& bytes)
{
    // A copy (shared until changed): the list stays whole if anyone leaves meanwhile.
    const QList<SessionId> online = online_;
    for (SessionId id : online)
        out_.send(id, bytes);
}

void Sessions::close(Session& session)
{
    if (session.closing)
        return;
    session.closing = true;
    out_.disconnect(session.id);
}

QByteArray Sessions::userList() const
{
    if (!userList_.isEmpty())
        return userList_;
    userList_ = line(kw::ListKill);
    for (SessionId id : online_)
        userList_ += line(kw::ListAdd, sessions_.constFind(id)->name);
    userList_ += line(kw::ListDone);
    return userList_;
}

}  // namespace lobby
