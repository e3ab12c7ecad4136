// Chat to all, private messages and the slash commands.

#include "AccountStore.h"
#include "Lobby.h"

#include <QDateTime>

#include <algorithm>
#include <optional>

namespace lobby {

namespace {

constexpr QByteArrayView SaysSeparator(": ");
constexpr QByteArrayView ActsSeparator(" ");

// What a user typed, cut to what the lobby window's box holds: nobody's
// chat takes more of the others' bandwidth than a real client's can.
QByteArrayView typed(QByteArrayView text)
{
    return text.first(std::min(text.size(), MaxTypedBytes));
}

// A signed chat payload with its text cut as typed; nothing when it is not the sender's.
std::optional<QByteArrayView> signedChat(QByteArrayView payload, QByteArrayView name, QByteArrayView separator)
{
    if (!signedBy(payload, name, separator))
        return std::nullopt;
    const qsizetype head = name.size() + separator.size();
    return payload.first(head + typed(payload.sliced(head)).size());
}

}  // namespace

void Lobby::onChat(Session& s, QByteArrayView payload)
{
    if (const auto chat = signedChat(payload, s.name, SaysSeparator))
        sessions_.sendToAll(line(kw::ChatText, *chat));
}

void Lobby::onMe(Session& s, QByteArrayView payload)
{
    if (const auto chat = signedChat(payload, s.name, ActsSeparator))
        sessions_.sendToAll(line(kw::MeText, *chat));
}

void Lobby::onAdminChat(Session& s, QByteArrayView payload)
{
    staffChat(s, kw::AdminText, payload);
}

void Lobby::onModChat(Session& s, QByteArrayView payload)
{
    staffChat(s, kw::ModText, payload);
}

void Lobby::staffChat(Session& s, QByteArrayView keyword, QByteArrayView payload)
{
    // Only moderators speak in colour; anyone else's line is ordinary chat.
    if (const auto chat = signedChat(payload, s.name, SaysSeparator))
        sessions_.sendToAll(line(s.moderator ? keyword : kw::ChatText, *chat));
}

void Lobby::onMsgName(Session& s, QByteArrayView payload)
{
    s.msgName = payload.toByteArray();
}

void Lobby::onMsgText(Session& s, QByteArrayView payload)
{
    if (!s.msgName)
        return;
    const QByteArray to = *std::exchange(s.msgName, std::nullopt);
    if (Session* target = online(to)) {
        const QByteArrayView text = typed(payload);
        tell(*target, concat({"From ", s.name, ": ", text}));
        tell(s, concat({"To ", target->name, ": ", text}));
    } else {
        tell(s, concat({"User not found: ", to}));
    }
}

void Lobby::onTime(Session& s, QByteArrayView)
{
    tell(s, "Server time: " + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1());
}

void Lobby::onAway(Session& s, QByteArrayView)
{
    s.away = !s.away;
    sessions_.sendToAll(line(kw::MeText, concat({s.name, s.away ? " is away." : " is back."})));
}

void Lobby::onStats(Session& s, QByteArrayView payload)
{
    QByteArrayView name = payload.trimmed();
    if (name.isEmpty())
        name = s.name;
    const auto stats = isValidUserName(name) ? store_.stats(name) : std::nullopt;
    if (!stats)
        return tell(s, concat({"User not found: ", name}));
    tell(s, concat({name, ": ", QByteArray::number(stats->wins), " wins, ", QByteArray::number(stats->losses),
                    " losses, rank ", QByteArray::number(stats->rank), "."}));
}

}  // namespace lobby
