// Who may send which part of a game-data line, and what the server follows
// of the lines it relays: the seats, whose turn it is, who is out.

#include "GameData.h"
#include "Games.h"

#include <algorithm>
#include <span>

namespace lobby {

namespace {

// Parts only the server writes: a member's would act for the server.
constexpr QByteArrayView ServerParts[] = {kw::JoinGame, kw::LeaveGame, kw::Boot};
// The host's room settings and its start sequence: nobody's once the battle is on.
constexpr QByteArrayView HostParts[] = {kw::Num, kw::Max, kw::MapName, kw::TimeOn, kw::TimeOff, kw::TimeSec,
                                        kw::StartGame};
// Parts whose value is the sender's own name.
constexpr QByteArrayView OwnNameParts[] = {kw::Ready, kw::NotReady};
// A chat part begins with its sender's name and one of these.
constexpr QByteArrayView ChatSeparators[] = {": ", " has quit the game."};

bool startsWithAny(QByteArrayView part, std::span<const QByteArrayView> keywords)
{
    return std::any_of(keywords.begin(), keywords.end(), [part](QByteArrayView k) { return part.startsWith(k); });
}

bool signedByAny(QByteArrayView text, QByteArrayView name)
{
    return std::any_of(std::begin(ChatSeparators), std::end(ChatSeparators),
                       [&](QByteArrayView separator) { return signedBy(text, name, separator); });
}

}  // namespace

int Games::seatOf(const Game& game, const Session& member) const
{
    if (game.started)
        return game.seats.value(member.id);
    if (game.host == member.id)
        return 1;  // the host is player 1 and gets no NUM part
    return game.numbered.key(member.name, 0);
}

QString Games::refusal(const Game& game, const Session& sender, const QList<QByteArrayView>& parts) const
{
    const bool host = game.host == sender.id;
    const int seat = seatOf(game, sender);
    const bool onTurn = game.started && seat >= 1 && seat == game.turn && !game.out.contains(seat);
    for (QByteArrayView part : parts) {
        if (startsWithAny(part, ServerParts))
            return QStringLiteral("a part only the server sends");
        if (startsWithAny(part, HostParts) && (!host || game.started))
            return QStringLiteral("room settings from a member or during the battle");
        const QByteArrayView chat = part.startsWith(kw::InChat) ? kw::InChat
                                    : part.startsWith(kw::Chat) ? kw::Chat
                                                                : QByteArrayView();
        if (!chat.isEmpty() && !signedByAny(part.sliced(chat.size()), sender.name))
            return QStringLiteral("chat under another name");
        for (QByteArrayView own : OwnNameParts)
            if (part.startsWith(own) && part.sliced(own.size()) != sender.name)
                return QStringLiteral("another's ready mark");
        // The quit key names the sender's own number, at any time.
        if (part.startsWith(kw::ExitGame) && (seat < 1 || numberAfter(part, kw::ExitGame) != seat))
            return QStringLiteral("a departure for another player");
        // Only the player on turn ends it, or reports a defeat.
        if (part.startsWith(kw::EndTurn) && (!onTurn || numberAfter(part, kw::EndTurn) != seat))
            return QStringLiteral("a turn's end off turn or for another player");
        if (part.startsWith(kw::PlayerLost) && !onTurn)
            return QStringLiteral("a defeat reported off turn");
    }
    return {};
}

void Games::follow(Game& game, const Session& sender, const QList<QByteArrayView>& parts)
{
    const int seat = seatOf(game, sender);
    for (QByteArrayView part : parts) {
        if (part.startsWith(kw::Num) && part.size() > kw::Num.size()) {
            // One digit, then the name as the host's list shows it.
            const int number = part[kw::Num.size()] - '0';
            QByteArray name = part.sliced(kw::Num.size() + 1).toByteArray();
            if (name.startsWith('*'))
                name.remove(0, 1);
            if (number >= 2 && number <= MaxGameMembers)
                game.numbered.insert(number, name);
        } else if (const int count = numberAfter(part, kw::Max, 1); count >= 1 && count <= MaxGameMembers) {
            game.playerCount = count;
        } else if (part.startsWith(kw::ExitGame)) {
            markOut(game, seat);
        } else if (const int lost = numberAfter(part, kw::PlayerLost); lost >= 1) {
            markOut(game, lost);
        } else if (part.startsWith(kw::EndTurn) && game.started) {
            game.turn = nextSeat(game, seat);
        }
    }
}

void Games::markOut(Game& game, int seat)
{
    if (seat < 1 || seat > game.playerCount || game.out.contains(seat))
        return;
    game.out.insert(seat);
    // The battle passes over a player who is out, as the clients do.
    if (game.started && game.turn == seat)
        game.turn = nextSeat(game, seat);
}

int Games::nextSeat(const Game& game, int after) const
{
    for (int step = 1; step <= game.playerCount; ++step) {
        const int seat = (after - 1 + step) % game.playerCount + 1;
        if (!game.out.contains(seat))
            return seat;
    }
    return 0;
}

bool Games::lastStanding(const Game& game, int seat) const
{
    if (game.seats.size() < 2)
        return false;  // a battle alone wins nothing, whatever MAX said
    for (int other = 1; other <= game.playerCount; ++other)
        if (other != seat && !game.out.contains(other))
            return false;
    return true;
}

}  // namespace lobby
