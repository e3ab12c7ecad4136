#pragma once
// The user list as the clients hold it. A client collects LISTADD lines into
// a staging list that only LISTKILL empties, and shows it at LISTDONE, so an
// arrival costs everyone two short lines; only a departure needs the whole
// list, which costs the square of the users. Departures therefore wait, the
// longer the larger the list, and a name that comes back meanwhile needs
// nothing from those who still list it.

#include "Sessions.h"

#include <QObject>
#include <QTimer>

namespace lobby {

class UserListFeed : public QObject
{
    Q_OBJECT

public:
    // A departure goes out after at least this long, and after as long as
    // the whole list to everyone takes at this rate.
    static constexpr int MinDepartureDelayMs = 1000;
    static constexpr qint64 DepartureBytesPerSecond = 512 * 1024;

    explicit UserListFeed(Sessions& sessions, QObject* parent = nullptr);

    // A user has logged in and been sent the whole list.
    void arrived(const Session& session);
    // A user who was logged in has gone.
    void departed(SessionId id, const QByteArray& name);
    // The whole list to everyone, now.
    void sendWholeList();

private:
    QList<SessionId> othersOnline(SessionId except) const;

    Sessions& sessions_;
    QTimer departures_;
    // Numbers the arrivals, departures and whole lists in order.
    quint64 events_ = 0;
    // Names gone since the last whole list, with when they went.
    QHash<QByteArray, quint64> gone_;
    // When each online user was last sent the whole list.
    QHash<SessionId, quint64> listedAt_;
};

}  // namespace lobby
