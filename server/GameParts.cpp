// Who may send which part of a game-data line, and what the server follows
// of the lines it relays: the seats, whose turn it is, who is out.

#include "GameData.h"
#include "Games.h"

#include <algorithm>

namespace lobby {

namespace {

// Who may send a part.
enum class Sender {
    Nobody,      // parts only the server writes: a member's would act for the server
    HostInRoom,  // the host's room settings and start sequence: nobody's once the battle is on
    Signed,      // chat begins with its sender's name and one of ChatSeparators
    OwnName,     // the value is the sender's own name
    OwnSeat,     // the quit key names the sender's own number, at any time
    EndsTurn,    // only the player on turn ends it, naming its own number
    OnTurn,      // every machine not on turn applies these: only the player on turn acts
    EndedTurn,   // the machine on turn applies the unit states: only the player whose turn just ended sends them
};

struct PartRule
{
    QByteArrayView keyword;
    Sender sender;
};

// Who may send which part. Parts not listed pass: no client reads them.
constexpr PartRule PartRules[] = {
    {kw::JoinGame, Sender::Nobody}, {kw::LeaveGame, Sender::Nobody}, {kw::Boot, Sender::Nobody},
    {kw::Num, Sender::HostInRoom}, {kw::Max, Sender::HostInRoom}, {kw::MapName, Sender::HostInRoom},
    {kw::TimeOn, Sender::HostInRoom}, {kw::TimeOff, Sender::HostInRoom}, {kw::TimeSec, Sender::HostInRoom},
    {kw::StartGame, Sender::HostInRoom},
    {kw::Chat, Sender::Signed}, {kw::InChat, Sender::Signed},
    {kw::Ready, Sender::OwnName}, {kw::NotReady, Sender::OwnName},
    {kw::ExitGame, Sender::OwnSeat},
    {kw::EndTurn, Sender::EndsTurn},
    // Moves, attacks, modes, transport, capture, creation, merge, the loss check.
    {"MOVEUNIT", Sender::OnTurn}, {"MOVEX", Sender::OnTurn}, {"MOVEY", Sender::OnTurn}, {"MOVEFUEL", Sender::OnTurn},
    {"ATTACKUNIT", Sender::OnTurn}, {"ATTACKDAMAGE", Sender::OnTurn}, {"ATTACKHP", Sender::OnTurn},
    {"ATTACKAMMO", Sender::OnTurn}, {"DEFENDUNIT", Sender::OnTurn}, {"DEFENDDAMAGE", Sender::OnTurn},
    {"DEFENDHP", Sender::OnTurn}, {"DEFENDAMMO", Sender::OnTurn},
    {"HOVER", Sender::OnTurn}, {"UNHOVER", Sender::OnTurn}, {"PACKUNIT", Sender::OnTurn}, {"UNPACKUNIT", Sender::OnTurn},
    {"LOADTOUNIT", Sender::OnTurn}, {"LOADUNIT", Sender::OnTurn}, {"UNLOADFROMUNIT", Sender::OnTurn},
    {"UNLOADUNIT", Sender::OnTurn}, {"UNLOADX", Sender::OnTurn}, {"UNLOADY", Sender::OnTurn},
    {"CAPTUREUNIT", Sender::OnTurn}, {"CAPTUREBUILDING", Sender::OnTurn}, {"CAPTUREPOINTS", Sender::OnTurn},
    {"CAPTURECHANGE", Sender::OnTurn}, {"CAPTUREHQ", Sender::OnTurn},
    {"CREATEUNIT", Sender::OnTurn}, {"CREATETYPE", Sender::OnTurn}, {"CREATEPLAYER", Sender::OnTurn},
    {"CREATEX", Sender::OnTurn}, {"CREATEY", Sender::OnTurn},
    {"JOINUNIT", Sender::OnTurn}, {"JOINHIDE", Sender::OnTurn}, {"JOINHP", Sender::OnTurn},
    {kw::PlayerLost, Sender::OnTurn}, {"IWIN", Sender::OnTurn},
    // The unit states that follow ENDTURN.
    {"CHECKUNIT", Sender::EndedTurn}, {"CHECKPIC", Sender::EndedTurn}, {"CHECKX", Sender::EndedTurn},
    {"CHECKY", Sender::EndedTurn}, {"CHECKPLAYER", Sender::EndedTurn}, {"CHECKHP", Sender::EndedTurn},
};

// A chat part begins with its sender's name and one of these.
constexpr QByteArrayView ChatSeparators[] = {": ", " has quit the game."};

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
    const int seat = seatOf(game, sender);
    const bool onTurn = game.started && seat >= 1 && seat == game.turn && !game.out.contains(seat);
    for (QByteArrayView part : parts) {
        const auto rule = std::find_if(std::begin(PartRules), std::end(PartRules),
                                       [part](const PartRule& r) { return part.startsWith(r.keyword); });
        if (rule == std::end(PartRules))
            continue;
        const QByteArrayView value = part.sliced(rule->keyword.size());
        const bool ownNumber = seat >= 1 && numberAfter(part, rule->keyword) == seat;
        const auto unless = [](bool may, const char* why) { return may ? QString() : QString::fromLatin1(why); };
        const QString why = [&] {
            switch (rule->sender) {
            case Sender::Nobody:
                return unless(false, "a part only the server sends");
            case Sender::HostInRoom:
                return unless(game.host == sender.id && !game.started, "room settings from a member or during the battle");
            case Sender::Signed:
                return unless(signedByAny(value, sender.name), "chat under another name");
            case Sender::OwnName:
                return unless(value == sender.name, "another's ready mark");
            case Sender::OwnSeat:
                return unless(ownNumber, "a departure for another player");
            case Sender::EndsTurn:
                return unless(onTurn && ownNumber, "a turn's end off turn or for another player");
            case Sender::OnTurn:
                return unless(onTurn, "a battle part off turn");
            case Sender::EndedTurn:
                return unless(game.started && seat >= 1 && seat == game.turnEnded,
                              "unit states from a player whose turn did not just end");
            }
            return QString();
        }();
        if (!why.isEmpty())
            return why;
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
            if (number >= 2 && number <= MaxGameMembers) {
                // A member's room takes the last number that names it: one seat each.
                game.numbered.removeIf([&name](auto entry) { return entry.value() == name; });
                game.numbered.insert(number, name);
            }
        } else if (const int count = numberAfter(part, kw::Max, 1); count >= 1 && count <= MaxGameMembers) {
            game.playerCount = count;
        } else if (part.startsWith(kw::ExitGame)) {
            markOut(game, seat);
        } else if (const int lost = numberAfter(part, kw::PlayerLost); lost >= 1) {
            markOut(game, lost);
        } else if (part.startsWith(kw::EndTurn) && game.started) {
            game.turnEnded = seat;
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
    if (game.seats.size() < MinRecordedSeats)
        return false;  // a battle alone wins nothing, whatever MAX said
    for (int other = 1; other <= game.playerCount; ++other)
        if (other != seat && !game.out.contains(other))
            return false;
    return true;
}

}  // namespace lobby
