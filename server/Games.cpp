#include "Games.h"

#include "AccountStore.h"
#include "GameData.h"
#include "Log.h"

namespace lobby {

namespace {

const QByteArray RoomClosedText(" closed the game.");
const QByteArray LostConnectionText(" has lost connection.");
const QByteArray LeftText(" has left the game.");
// Why the start left a member of the room out of its battle.
const QByteArray NotReadyText("The battle started without you: you were not marked ready.");
const QByteArray NotNamedText("The battle started without you: the host's start did not name you.");

}  // namespace

Games::Game* Games::gameOf(const Session& user)
{
    auto it = games_.find(user.game);
    return it == games_.end() ? nullptr : &*it;
}

void Games::sendToMembers(const Game& game, const QByteArray& bytes, SessionId except)
{
    // A copy, shared until changed: a send never takes anyone out (Outbox),
    // and the loop would stay whole if one did.
    const QList<SessionId> members = game.members;
    for (SessionId member : members)
        if (member != except)
            sessions_.send(member, bytes);
}

QByteArray Games::uniqueName(QByteArrayView wanted, const QByteArray& hostName) const
{
    QByteArray base = wanted.trimmed().toByteArray().left(MaxGameNameBytes);
    if (base.isEmpty())
        base = hostName;
    auto taken = [this](const QByteArray& name) {
        for (const Game& game : games_)
            if (!game.started && game.name == name)
                return true;
        return false;
    };
    QByteArray name = base;
    // A suffix keeps names apart and still fits the clients' 16-character boxes.
    for (int n = 2; taken(name); ++n) {
        const QByteArray suffix = '-' + QByteArray::number(n);
        name = base.left(MaxGameNameBytes - suffix.size()) + suffix;
    }
    return name;
}

QByteArray Games::openGames() const
{
    QByteArray out;
    for (const Game& game : games_)
        if (!game.started)
            out += line(kw::AddGame, game.name);
    return out;
}

void Games::create(Session& host, QByteArrayView name, const QByteArray& password)
{
    leave(host, Leaving::Left);
    Game game;
    game.number = nextNumber_++;
    game.name = uniqueName(name, host.name);
    game.password = password;
    game.host = host.id;
    game.members = {host.id};
    host.game = game.number;
    sessions_.send(host.id, line(kw::GameNumber, QByteArray::number(game.number)));
    sessions_.sendToAll(line(kw::AddGame, game.name));
    if (log_.admit(LogKind::RoomActions, host.name))
        logLine(QStringLiteral("game %1 \"%2\" created by %3").arg(game.number).arg(toText(game.name), toText(host.name)));
    games_.insert(game.number, game);
}

void Games::join(Session& user, QByteArrayView name, QByteArrayView password)
{
    Game* game = nullptr;
    for (Game& candidate : games_)
        if (!candidate.started && candidate.name == name)
            game = &candidate;
    // A host's client ignores JOINGAME while its room is open, so its room stays and the join is refused.
    const Game* current = gameOf(user);
    const bool hosting = current && !current->started && current->host == user.id;
    if (!game || hosting || game->password != password || game->members.size() >= MaxGameMembers
        || game->members.contains(user.id)) {
        sessions_.send(user.id, line(kw::JoinBad));
        return;
    }
    leave(user, Leaving::Left);  // another game; never this one, which it is not in
    user.game = game->number;
    // The joined room opens on JOINGAME and then lists the members in the
    // host's order, the newcomer last; the others add only the newcomer.
    QByteArray toJoiner = line(kw::JoinGame, QByteArray::number(game->number));
    for (SessionId member : std::as_const(game->members))
        toJoiner += gameLine(game->number, kw::JoinGame, sessions_.find(member)->name);
    sessions_.send(user.id, toJoiner);
    game->members.append(user.id);
    sendToMembers(*game, gameLine(game->number, kw::JoinGame, user.name));
    if (log_.admit(LogKind::RoomActions, user.name))
        logLine(QStringLiteral("%1 joined game %2").arg(toText(user.name)).arg(game->number));
}

void Games::start(Session& host)
{
    Game* game = gameOf(host);
    if (!game || game->started || game->host != host.id)
        return;
    game->started = true;
    game->turn = 1;
    if (game->playerCount == 0)  // no MAX part: as many as were numbered
        game->playerCount = game->numbered.isEmpty() ? 1 : game->numbered.lastKey();
    game->syncing = game->playerCount;
    // The battle's player numbers are the ones the host's NUM parts gave, not
    // the room's order now: someone may have joined or left in between. A
    // number nobody holds is out from the start: MAX seats nobody. So is a
    // member who did not mark ready: a host cannot take a win from them.
    game->seats.insert(host.id, 1);
    QList<QByteArray> names{host.name};
    QSet<SessionId> unready;  // members in the room numbered within the count, not marked ready
    // Who the others are told is gone: a name (none for a number that named
    // nobody) and a seat (0 for a member the start did not name).
    QList<std::pair<QByteArray, int>> gone;
    for (int seat = 2; seat <= game->playerCount; ++seat) {
        const QByteArray name = game->numbered.value(seat);
        const Session* member = sessions_.findByName(name);
        const bool inRoom = member && game->members.contains(member->id);
        if (inRoom && game->ready.contains(member->id)) {
            game->seats.insert(member->id, seat);
            names.append(member->name);
            continue;
        }
        if (inRoom)
            unready.insert(member->id);
        gone.append({name, seat});
    }
    sessions_.sendToAll(line(kw::RemoveGame, game->name));
    if (log_.admit(LogKind::RoomActions, host.name))
        logLine(QStringLiteral("game %1 started with %2").arg(game->number).arg(toText(names.join(", "))));
    // The battle opens only for the seated: the host's STARTGAME part was held
    // back for this, as a member may have taken back its mark meanwhile.
    // Everyone else in the room is sent back to the lobby and told why.
    const QList<SessionId> members = game->members;
    for (SessionId id : members) {
        Session* member = sessions_.find(id);
        if (game->seats.contains(id)) {
            if (id != host.id)
                sessions_.send(id, gameLine(game->number, kw::StartGame));
            continue;
        }
        const bool named = unready.contains(id);
        const QByteArray& why = named ? NotReadyText : NotNamedText;
        // Its client would read the BOOT as the host's: it is told why first.
        sessions_.send(id, gameLine(game->number, kw::LeftOut, why));
        sendAway(*game, *member, why);
        if (log_.admit(LogKind::RoomActions, host.name))
            logLine(QStringLiteral("%1 left out of game %2: %3")
                        .arg(toText(member->name))
                        .arg(game->number)
                        .arg(named ? QStringLiteral("not marked ready") : QStringLiteral("not named by the start")));
        if (!named)
            gone.append({member->name, 0});
    }
    // The clients skip the numbers of those gone once told.
    for (const auto& [name, seat] : std::as_const(gone)) {
        announceDeparture(*game, name, seat, LeftText);
        markOut(*game, seat);
    }
}

void Games::relay(Session& sender, const QByteArray& gdata)
{
    Game* game = gameOf(sender);
    if (!game)
        return;
    // Lines go by membership: the number in the line may be stale.
    if (const auto message = messageOf(gdata)) {
        const QList<QByteArrayView> parts = partsOf(*message);
        if (const QString why = take(*game, sender, parts); !why.isEmpty()) {
            if (log_.admit(LogKind::RefusedLines, sender.name))
                logLine(QStringLiteral("game %1: line from %2 dropped (%3): %4")
                            .arg(game->number).arg(toText(sender.name), why, loggedText(gdata)));
            return;
        }
        recordEnds(*game);  // a defeat or a quit may have ended the battle for someone
        // The start sends STARTGAME itself, to the players it seats.
        const bool opensBattle = parts.size() == 1 && parts[0].startsWith(kw::StartGame);
        if (!opensBattle)
            sendToMembers(*game, line(gdata), sender.id);
        return;
    }
    const QByteArrayView bare = afterGameNumber(gdata);
    if (bare.startsWith(kw::Boot) && game->host == sender.id && !game->started) {
        QByteArrayView name = bare.sliced(kw::Boot.size());
        if (name.startsWith('*'))
            name = name.sliced(1);  // the room's ready mark
        boot(*game, name);
    }
    // RACE and TEAM lines, and anything else without "@@", are not passed on:
    // nothing reads them.
}

void Games::boot(Game& game, QByteArrayView name)
{
    Session* target = sessions_.findByName(name);
    const qsizetype position = target ? game.members.indexOf(target->id) : -1;
    if (position < 1)  // not a member, or the host itself
        return;
    sessions_.send(target->id, gameLine(game.number, kw::Boot, target->name));
    target->game = 0;
    leaveRoom(game, position);
    if (log_.admit(LogKind::RoomActions, sessions_.find(game.host)->name))
        logLine(QStringLiteral("%1 booted from game %2").arg(toText(target->name)).arg(game.number));
}

void Games::leaveRoom(Game& game, qsizetype position)
{
    // A member who comes back is not ready until it says so again, and has
    // no number until the host gives it one: its new room has none.
    const SessionId member = game.members.takeAt(position);
    game.ready.remove(member);
    forgetNumber(game, sessions_.find(member)->name);
    sendToMembers(game, gameLine(game.number, kw::LeaveGame, QByteArray::number(position + 1)));
}

void Games::sendAway(Game& game, Session& member, const QByteArray& why)
{
    // The room and its chat close on BOOT: the lobby window keeps the reason.
    sessions_.send(member.id, gameLine(game.number, kw::Chat, why) + noteLine(why)
                                  + gameLine(game.number, kw::Boot, member.name));
    member.game = 0;
    game.members.removeOne(member.id);
}

void Games::closeRoom(Game& game)
{
    const QByteArray closed = sessions_.find(game.host)->name + RoomClosedText;
    const QList<SessionId> members = game.members;
    for (SessionId member : members)
        if (member != game.host)
            sendAway(game, *sessions_.find(member), closed);
    sessions_.sendToAll(line(kw::RemoveGame, game.name));
    if (log_.admit(LogKind::RoomActions, sessions_.find(game.host)->name))
        logLine(QStringLiteral("game %1 closed").arg(game.number));
    remove(game);
}

void Games::announceDeparture(Game& game, const QByteArray& name, int seat, QByteArrayView why)
{
    // A number that named nobody has nobody to announce.
    QByteArray said = name.isEmpty() ? QByteArray() : gameLine(game.number, kw::InChat, concat({name, why}));
    if (seat > 0)
        said += gameLine(game.number, kw::ExitGame, QByteArray::number(seat));
    sendToMembers(game, said);
}

void Games::recordEnds(Game& game)
{
    // A battle of fewer seats is nobody's game; an empty seat is nobody's.
    if (game.seats.size() < MinRecordedSeats)
        return;
    for (auto it = game.seats.cbegin(); it != game.seats.cend(); ++it) {
        const int seat = it.value();
        const bool lost = game.out.contains(seat);
        if (game.recorded.contains(seat) || !(lost || lastStanding(game, seat)))
            continue;
        game.recorded.insert(seat);
        // Whoever holds a seat still in play, or just out of it, is still connected.
        if (const Session* player = sessions_.find(it.key()))
            store_.recordGame(player->name, !lost);
    }
}

void Games::remove(Game& game)
{
    games_.remove(game.number);
}

void Games::leave(Session& user, Leaving how)
{
    Game* game = gameOf(user);
    user.game = 0;
    if (!game)
        return;  // leaving twice is nothing
    const qsizetype position = game->members.indexOf(user.id);
    if (!game->started) {
        if (user.id == game->host)
            return closeRoom(*game);
        leaveRoom(*game, position);
        if (log_.admit(LogKind::RoomActions, user.name))
            logLine(QStringLiteral("%1 left game %2").arg(toText(user.name)).arg(game->number));
        return;
    }
    // In a battle the players keep their numbers; the others' battle goes on
    // without this player, who is out unless it was out already. The
    // winner's battle is over: nobody is left in it to tell.
    game->members.removeAt(position);
    const int seat = game->seats.value(user.id);
    if (inPlay(*game, seat) && !game->recorded.contains(seat))
        announceDeparture(*game, user.name, seat, how == Leaving::LostConnection ? LostConnectionText : LeftText);
    markOut(*game, seat);
    recordEnds(*game);
    if (log_.admit(LogKind::RoomActions, user.name))
        logLine(QStringLiteral("%1 left game %2").arg(toText(user.name)).arg(game->number));
    if (game->members.isEmpty()) {
        if (log_.admit(LogKind::RoomActions, user.name))
            logLine(QStringLiteral("game %1 ended").arg(game->number));
        remove(*game);
    }
}

}  // namespace lobby
