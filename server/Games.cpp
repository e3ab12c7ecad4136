#include "Games.h"

#include "AccountStore.h"
#include "Log.h"

namespace lobby {

namespace {

const QByteArray RoomClosedNotice("Server: the host has closed this game.");
const QByteArray LostConnectionText(" has lost connection.");
const QByteArray LeftText(" has left the game.");

// The player number after a part's keyword, or 0.
int partNumber(QByteArrayView part, QByteArrayView keyword)
{
    if (!part.startsWith(keyword))
        return 0;
    const QByteArrayView digits = part.sliced(keyword.size());
    return !digits.isEmpty() && digits.size() <= 2 && isDigits(digits) ? digits.toInt() : 0;
}

}  // namespace

Games::Game* Games::gameOf(const Session& user)
{
    auto it = games_.find(user.game);
    return it == games_.end() ? nullptr : &*it;
}

void Games::sendToMembers(const Game& game, const QByteArray& bytes, SessionId except)
{
    for (SessionId member : game.members)
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
    game.members = {host.id};
    host.game = game.number;
    sessions_.send(host.id, line(kw::GameNumber, QByteArray::number(game.number)));
    sessions_.sendToAll(line(kw::AddGame, game.name));
    logLine(QStringLiteral("game %1 \"%2\" created by %3").arg(game.number).arg(toText(game.name), toText(host.name)));
    games_.insert(game.number, game);
}

void Games::join(Session& user, QByteArrayView name, QByteArrayView password)
{
    Game* game = nullptr;
    for (Game& candidate : games_)
        if (!candidate.started && candidate.name == name)
            game = &candidate;
    if (!game || game->password != password || game->members.size() >= MaxGameMembers
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
    logLine(QStringLiteral("%1 joined game %2").arg(toText(user.name)).arg(game->number));
}

void Games::start(Session& host)
{
    Game* game = gameOf(host);
    if (!game || game->started || game->members.first() != host.id)
        return;
    game->started = true;
    QList<QByteArray> names;
    for (qsizetype i = 0; i < game->members.size(); ++i) {
        game->seats.insert(game->members[i], int(i) + 1);
        names.append(sessions_.find(game->members[i])->name);
    }
    sessions_.sendToAll(line(kw::RemoveGame, game->name));
    store_.recordGame(names);
    logLine(QStringLiteral("game %1 started with %2").arg(game->number).arg(toText(names.join(", "))));
}

void Games::relay(Session& sender, const QByteArray& gdata)
{
    Game* game = gameOf(sender);
    if (!game)
        return;
    // The number in the line may be stale (the host's room talks before
    // GAMENUMBER arrives), so lines go by membership; it must still be digits.
    qsizetype rest = kw::GameData.size();
    while (rest < gdata.size() && gdata[rest] >= '0' && gdata[rest] <= '9')
        ++rest;
    const QByteArrayView message = QByteArrayView(gdata).sliced(rest);
    if (message.startsWith(kw::PartsStart)) {
        if (game->started)
            noteDepartures(*game, message);
        QByteArray framed = gdata;
        framed.append("\r\n");
        sendToMembers(*game, framed, sender.id);
    } else if (message.startsWith(kw::Boot) && game->members.first() == sender.id && !game->started) {
        QByteArrayView name = message.sliced(kw::Boot.size());
        if (name.startsWith('*'))
            name = name.sliced(1);  // the room's ready mark
        boot(*game, name);
    }
    // RACE and TEAM lines, and anything else without "@@", are not passed on:
    // nothing reads them.
}

void Games::noteDepartures(Game& game, QByteArrayView message)
{
    // A player who quit or was beaten is not reported again when it leaves.
    if (!message.contains(kw::ExitGame) && !message.contains(kw::PlayerLost))
        return;
    for (const QByteArray& part : message.toByteArray().split('@')) {
        const int seat = std::max(partNumber(part, kw::ExitGame), partNumber(part, kw::PlayerLost));
        if (seat > 0)
            game.out.insert(seat);
    }
}

void Games::boot(Game& game, QByteArrayView name)
{
    Session* target = sessions_.findByName(name);
    const qsizetype position = target ? game.members.indexOf(target->id) : -1;
    if (position < 1)  // not a member, or the host itself
        return;
    sessions_.send(target->id, gameLine(game.number, kw::Boot, target->name));
    game.members.removeAt(position);
    target->game = 0;
    sendToMembers(game, gameLine(game.number, kw::LeaveGame, QByteArray::number(position + 1)));
    logLine(QStringLiteral("%1 booted from game %2").arg(toText(target->name)).arg(game.number));
}

void Games::closeRoom(Game& game)
{
    const QByteArray notice = gameLine(game.number, kw::Chat, RoomClosedNotice);
    for (SessionId member : game.members.sliced(1)) {
        Session* other = sessions_.find(member);
        sessions_.send(member, notice + gameLine(game.number, kw::Boot, other->name));
        other->game = 0;
    }
    sessions_.sendToAll(line(kw::RemoveGame, game.name));
    logLine(QStringLiteral("game %1 closed").arg(game.number));
    remove(game);
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
        if (position == 0)
            return closeRoom(*game);
        game->members.removeAt(position);
        sendToMembers(*game, gameLine(game->number, kw::LeaveGame, QByteArray::number(position + 1)));
        logLine(QStringLiteral("%1 left game %2").arg(toText(user.name)).arg(game->number));
        return;
    }
    // In a battle the players keep their numbers; the others' battle goes on
    // without this player.
    game->members.removeAt(position);
    const int seat = game->seats.value(user.id);
    if (how == Leaving::GameOver) {
        // Only a player still standing sends it after a battle: the winner.
        if (!game->over && !game->out.contains(seat))
            store_.recordWin(user.name);
        game->over = true;
    } else if (!game->over && !game->out.contains(seat)) {
        const QByteArray& why = how == Leaving::LostConnection ? LostConnectionText : LeftText;
        sendToMembers(*game, gameLine(game->number, kw::InChat, user.name + why)
                                 + gameLine(game->number, kw::ExitGame, QByteArray::number(seat)));
        game->out.insert(seat);
    }
    logLine(QStringLiteral("%1 left game %2").arg(toText(user.name)).arg(game->number));
    if (game->members.isEmpty()) {
        logLine(QStringLiteral("game %1 ended").arg(game->number));
        remove(*game);
    }
}

}  // namespace lobby
