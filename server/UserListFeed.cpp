#include "UserListFeed.h"

#include <algorithm>

namespace lobby {

UserListFeed::UserListFeed(Sessions& sessions, QObject* parent) : QObject(parent), sessions_(sessions)
{
    departures_.setSingleShot(true);
    connect(&departures_, &QTimer::timeout, this, &UserListFeed::sendWholeList);
}

QList<SessionId> UserListFeed::othersOnline(SessionId except) const
{
    QList<SessionId> ids;
    for (const Session& session : sessions_.all())
        if (session.state == Session::State::LoggedIn && session.id != except)
            ids.append(session.id);
    return ids;
}

void UserListFeed::arrived(const Session& session)
{
    listedAt_.insert(session.id, ++events_);
    const QByteArray added = line(kw::ListAdd, session.name) + line(kw::ListDone);
    const auto gone = gone_.constFind(session.name);
    if (gone == gone_.constEnd()) {
        for (SessionId id : othersOnline(session.id))
            sessions_.send(id, added);
        return;
    }
    // Back before its departure went out: only those sent the whole list
    // since it left lack the name.
    const quint64 leftAt = *gone;
    gone_.erase(gone);
    if (gone_.isEmpty())
        departures_.stop();
    for (SessionId id : othersOnline(session.id))
        if (listedAt_.value(id) > leftAt)
            sessions_.send(id, added);
}

void UserListFeed::departed(SessionId id, const QByteArray& name)
{
    listedAt_.remove(id);
    gone_.insert(name, ++events_);
    if (departures_.isActive())
        return;
    const qint64 wholeListBytes = qint64(sessions_.userList().size()) * sessions_.onlineCount();
    departures_.start(int(std::max<qint64>(MinDepartureDelayMs, wholeListBytes * 1000 / DepartureBytesPerSecond)));
}

void UserListFeed::sendWholeList()
{
    departures_.stop();
    gone_.clear();
    const quint64 now = ++events_;
    for (quint64& at : listedAt_)
        at = now;
    sessions_.sendToAll(sessions_.userList());
}

}  // namespace lobby
