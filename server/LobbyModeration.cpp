// Kicks and bans, from moderators only.

#include "AccountStore.h"
#include "Lobby.h"
#include "Log.h"

#include <QDateTime>

namespace lobby {

namespace {

// A temporary ban lasts until the next midnight, server time.
qint64 nextMidnight()
{
    return QDateTime(QDate::currentDate().addDays(1), QTime(0, 0)).toSecsSinceEpoch();
}

}  // namespace

void Lobby::onKick(Session& s, QByteArrayView payload)
{
    moderate(s, kw::Kick, payload);
}

void Lobby::onTempBan(Session& s, QByteArrayView payload)
{
    moderate(s, kw::TempBan, payload);
}

void Lobby::onIpBan(Session& s, QByteArrayView payload)
{
    moderate(s, kw::IpBan, payload);
}

void Lobby::onCompBan(Session& s, QByteArrayView payload)
{
    moderate(s, kw::CompBan, payload);
}

void Lobby::moderate(Session& s, QByteArrayView keyword, QByteArrayView name)
{
    if (!s.moderator) {
        if (log_.admit(LogKind::RefusedModeration, s.name))
            logLine(QStringLiteral("%1 %2 from %3 ignored: not a moderator").arg(toText(keyword), loggedText(name), toText(s.name)));
        return;
    }
    Session* target = online(name);
    if (!target)
        return tell(s, "User not found: " + name.toByteArray());
    // Bans are written before the user is told, so they hold after a restart.
    if (keyword == kw::TempBan) {
        store_.banName(target->name, nextMidnight());
    } else if (keyword != kw::Kick) {
        // The protocol has no machine identity: a ban takes the name and the address.
        store_.banName(target->name, 0);
        store_.banAddress(target->address);
        bannedAddresses_.insert(target->address);
    }
    logLine(QStringLiteral("%1 %2 %3 (%4)").arg(toText(s.name), toText(keyword), toText(target->name), toText(target->address)));
    sessions_.send(target->id, line(keyword));
    sessions_.close(*target);
}

}  // namespace lobby
