// Who may send which part of a game-data line, and what the server follows
// of the lines it relays: the seats, whose turn it is, who is out.

#include "GameData.h"
#include "Games.h"

#include <algorithm>

namespace lobby {

// Who may send a part.
enum class PartSender {
    Nobody,      // parts only the server writes: a member's would act for the server
    HostInRoom,  // the host's room settings and start sequence: nobody's once the battle is on
    Signed,      // chat begins with its sender's name and one of ChatSeparators
    OwnMark,     // the value is the sender's own name, a member's: the host has no mark to give
    OwnSeat,     // the quit key names the sender's own number, at any time
    EndsTurn,    // only the player on turn ends it, naming its own number
    OnTurn,      // every machine not on turn applies these: only the player on turn acts
    Judges,      // the machine on turn judges defeat, naming any owner a map can have
    Wins,        // the machine on turn judges victory, naming a player of the battle
    Syncing,     // the machine on turn applies the unit states: only the player whose turn just ended sends them
};

// What the clients make of a part's value in the room. A client stops
// reading a line at the first part it cannot apply, so a line with such a
// part is dropped whole: the server never follows what the clients skip.
enum class RoomValue {
    Any,       // applied whatever it holds, or not read at all
    Number,    // MAX and NUM: one digit 1 to MaxGameMembers, the one form every client reads alike
    Seconds,   // TIMESEC: 1 to MaxTurnSeconds in plain digits; a turn of no time is refused
    Unmarked,  // READY: the host's list finds the sender only while it has no mark
    Marked,    // NOTREADY: and only while it has one
};

struct PartRule
{
    QByteArrayView keyword;
    PartSender sender;
    // The turn lines and the start: a client stops reading a line at its
    // first part that fails, so anything beside them could be followed here
    // and not there; and the start is held back for the seated alone.
    bool alone = false;
    RoomValue value = RoomValue::Any;
};

namespace {

const char* const AloneRefusal = "a turn line or start with other parts";
const char* const UnreadRefusal = "a part the clients stop reading at: a number they refuse or read apart, "
                                  "or a ready mark given twice or taken back unmarked";

// A turn's seconds are a 16-bit number on the clients.
constexpr int MaxTurnSeconds = 32767;
constexpr qsizetype MaxTurnSecondsDigits = 5;

// Why a part from anyone else is dropped, for the log.
const char* refusalText(PartSender sender)
{
    switch (sender) {
    case PartSender::Nobody:
        return "a part only the server sends";
    case PartSender::HostInRoom:
        return "room settings from a member or during the battle";
    case PartSender::Signed:
        return "chat under another name";
    case PartSender::OwnMark:
        return "another's ready mark, or the host's";
    case PartSender::OwnSeat:
        return "a departure for another player";
    case PartSender::EndsTurn:
        return "a turn's end off turn or for another player";
    case PartSender::OnTurn:
        return "a battle part off turn";
    case PartSender::Judges:
        return "a defeat off turn or for no owner a map can have";
    case PartSender::Wins:
        return "a victory off turn or for no player of the battle";
    case PartSender::Syncing:
        return "unit states from a player whose turn did not just end, or after the next player acted";
    }
    return "a part of no known kind";
}

// Who may send which part. Parts not listed pass: no client reads them.
constexpr PartRule PartRules[] = {
    {kw::JoinGame, PartSender::Nobody}, {kw::LeaveGame, PartSender::Nobody}, {kw::Boot, PartSender::Nobody},
    {kw::LeftOut, PartSender::Nobody},
    {kw::Num, PartSender::HostInRoom, false, RoomValue::Number},
    {kw::Max, PartSender::HostInRoom, false, RoomValue::Number}, {kw::MapName, PartSender::HostInRoom},
    {kw::TimeOn, PartSender::HostInRoom}, {kw::TimeOff, PartSender::HostInRoom},
    {kw::TimeSec, PartSender::HostInRoom, false, RoomValue::Seconds},
    {kw::StartGame, PartSender::HostInRoom, true},
    {kw::Chat, PartSender::Signed}, {kw::InChat, PartSender::Signed},
    {kw::Ready, PartSender::OwnMark, false, RoomValue::Unmarked},
    {kw::NotReady, PartSender::OwnMark, false, RoomValue::Marked},
    {kw::ExitGame, PartSender::OwnSeat, true},
    {kw::EndTurn, PartSender::EndsTurn, true},
    {kw::MoveUnit, PartSender::OnTurn}, {kw::MoveX, PartSender::OnTurn}, {kw::MoveY, PartSender::OnTurn},
    {kw::MoveFuel, PartSender::OnTurn},
    {kw::AttackUnit, PartSender::OnTurn}, {kw::AttackDamage, PartSender::OnTurn}, {kw::AttackHp, PartSender::OnTurn},
    {kw::AttackAmmo, PartSender::OnTurn}, {kw::DefendUnit, PartSender::OnTurn}, {kw::DefendDamage, PartSender::OnTurn},
    {kw::DefendHp, PartSender::OnTurn}, {kw::DefendAmmo, PartSender::OnTurn},
    {kw::Hover, PartSender::OnTurn}, {kw::Unhover, PartSender::OnTurn}, {kw::PackUnit, PartSender::OnTurn},
    {kw::UnpackUnit, PartSender::OnTurn},
    {kw::LoadToUnit, PartSender::OnTurn}, {kw::LoadUnit, PartSender::OnTurn}, {kw::UnloadFromUnit, PartSender::OnTurn},
    {kw::UnloadUnit, PartSender::OnTurn}, {kw::UnloadX, PartSender::OnTurn}, {kw::UnloadY, PartSender::OnTurn},
    {kw::CaptureUnit, PartSender::OnTurn}, {kw::CaptureBuilding, PartSender::OnTurn}, {kw::CapturePoints, PartSender::OnTurn},
    {kw::CaptureChange, PartSender::OnTurn}, {kw::CaptureHq, PartSender::OnTurn},
    {kw::CreateUnit, PartSender::OnTurn}, {kw::CreateType, PartSender::OnTurn}, {kw::CreatePlayer, PartSender::OnTurn},
    {kw::CreateX, PartSender::OnTurn}, {kw::CreateY, PartSender::OnTurn},
    {kw::JoinUnit, PartSender::OnTurn}, {kw::JoinHide, PartSender::OnTurn}, {kw::JoinHp, PartSender::OnTurn},
    {kw::PlayerLost, PartSender::Judges, true}, {kw::IWin, PartSender::Wins, true},
    {kw::CheckUnit, PartSender::Syncing}, {kw::CheckPic, PartSender::Syncing}, {kw::CheckX, PartSender::Syncing},
    {kw::CheckY, PartSender::Syncing}, {kw::CheckPlayer, PartSender::Syncing}, {kw::CheckHp, PartSender::Syncing},
};

const PartRule* ruleOf(QByteArrayView part)
{
    const auto rule = std::find_if(std::begin(PartRules), std::end(PartRules),
                                   [part](const PartRule& r) { return part.startsWith(r.keyword); });
    return rule == std::end(PartRules) ? nullptr : rule;
}

// A chat part begins with its sender's name and one of these.
constexpr QByteArrayView ChatSeparators[] = {": ", " has quit the game."};

bool signedByAny(QByteArrayView text, QByteArrayView name)
{
    return std::any_of(std::begin(ChatSeparators), std::end(ChatSeparators),
                       [&](QByteArrayView separator) { return signedBy(text, name, separator); });
}

// The number of a MAX or NUM part in the one form every client reads alike:
// one digit 1 to MaxGameMembers, alone after MAX, followed at once by the
// name after NUM; -1 for any other form ("MAX 4", "MAX04", "NUM+2bob").
int roomNumber(QByteArrayView part, QByteArrayView keyword)
{
    const qsizetype digitsEnd = keyword == kw::Num ? std::min(part.size(), keyword.size() + 1) : part.size();
    return seatAfter(part.first(digitsEnd), keyword);
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

QString Games::take(Game& game, const Session& sender, const QList<QByteArrayView>& parts)
{
    // Each part is judged as the battle stands after the parts before it: a
    // move after the sender's own ENDTURN is a move off turn. The game changes
    // only when the whole line passes.
    Game after = game;
    for (QByteArrayView part : parts) {
        const PartRule* rule = ruleOf(part);
        if (!rule)
            continue;
        if (rule->alone && parts.size() != 1)
            return QString::fromLatin1(AloneRefusal);
        if (!mayPass(after, sender, *rule, part))
            return QString::fromLatin1(refusalText(rule->sender));
        if (!readAlike(after, sender, *rule, part))
            return QString::fromLatin1(UnreadRefusal);
        follow(after, sender, *rule, part);
    }
    game = std::move(after);
    return {};
}

bool Games::mayPass(const Game& game, const Session& sender, const PartRule& rule, QByteArrayView part) const
{
    const int seat = seatOf(game, sender);
    const bool onTurn = game.started && seat >= 1 && seat == game.turn && !game.out.contains(seat);
    // The number of a turn line, in the one form every client reads alike.
    const int named = seatAfter(part, rule.keyword);
    const QByteArrayView value = part.sliced(rule.keyword.size());
    switch (rule.sender) {
    case PartSender::Nobody:
        return false;
    case PartSender::HostInRoom:
        return game.host == sender.id && !game.started;
    case PartSender::Signed:
        return signedByAny(value, sender.name);
    case PartSender::OwnMark:
        return value == sender.name && game.host != sender.id;
    case PartSender::OwnSeat:
        return seat >= 1 && named == seat;
    case PartSender::EndsTurn:
        return onTurn && named == seat;
    case PartSender::OnTurn:
        return onTurn;
    case PartSender::Judges:
        return onTurn && named >= 1;
    case PartSender::Wins:
        return onTurn && named >= 1 && named <= game.playerCount;
    case PartSender::Syncing:
        return game.started && seat >= 1 && seat == game.syncing;
    }
    return false;
}

bool Games::readAlike(const Game& game, const Session& sender, const PartRule& rule, QByteArrayView part)
{
    // In the battle the rooms are closed: their parts are refused or not read.
    if (game.started)
        return true;
    switch (rule.value) {
    case RoomValue::Any:
        return true;
    case RoomValue::Number:
        return roomNumber(part, rule.keyword) > 0;
    case RoomValue::Seconds: {
        const int seconds = numberAfter(part, rule.keyword, MaxTurnSecondsDigits);
        return seconds >= 1 && seconds <= MaxTurnSeconds;
    }
    case RoomValue::Unmarked:
        return !game.ready.contains(sender.id);
    case RoomValue::Marked:
        return game.ready.contains(sender.id);
    }
    return false;
}

void Games::follow(Game& game, const Session& sender, const PartRule& rule, QByteArrayView part)
{
    const QByteArrayView keyword = rule.keyword;
    const int seat = seatOf(game, sender);
    // The unit states of the last turn's end pass only until the player on
    // turn acts. The machine on turn answers a departure with its loss check:
    // a defeat already followed, or of an owner no player is, changes nothing
    // and is no act of its own.
    const bool idle = keyword == kw::PlayerLost && !inPlay(game, seatAfter(part, keyword));
    const bool acts = rule.sender == PartSender::OnTurn || rule.sender == PartSender::Judges
        || rule.sender == PartSender::Wins;
    if (acts && !idle)
        game.syncing = 0;
    if (keyword == kw::Num) {
        // One digit, then the name as the host's list shows it.
        const int number = roomNumber(part, keyword);
        QByteArray name = part.sliced(kw::Num.size() + 1).toByteArray();
        if (name.startsWith('*'))
            name.remove(0, 1);
        // The host is player 1: a number naming the host seats nobody. A
        // member's room takes the last number that names it: one seat each,
        // and none when that number is the host's.
        const Session* host = sessions_.find(game.host);
        if (!(host && host->name == name)) {
            forgetNumber(game, name);
            if (number >= 2)
                game.numbered.insert(number, name);
        }
    } else if (keyword == kw::Max) {
        game.playerCount = roomNumber(part, keyword);
    } else if (keyword == kw::Ready) {
        game.ready.insert(sender.id);
    } else if (keyword == kw::NotReady) {
        game.ready.remove(sender.id);
    } else if (keyword == kw::ExitGame) {
        // In the room the clients ignore a quit: so does the server.
        if (game.started)
            markOut(game, seat);
    } else if (keyword == kw::PlayerLost) {
        markOut(game, seatAfter(part, keyword));
    } else if (keyword == kw::EndTurn) {
        game.turn = nextSeat(game, seat);
        game.syncing = seat;
    }
}

void Games::markOut(Game& game, int seat)
{
    if (seat < 1 || seat > game.playerCount || game.out.contains(seat))
        return;
    game.out.insert(seat);
    if (game.syncing == seat)
        game.syncing = 0;
    // The battle passes over a player who is out, as the clients do. The
    // unit states of the last turn's end still pass until the player who
    // now has the turn acts: the machine that applies them may be its.
    if (game.started && game.turn == seat)
        game.turn = nextSeat(game, seat);
}

void Games::forgetNumber(Game& game, const QByteArray& name)
{
    game.numbered.removeIf([&name](auto entry) { return entry.value() == name; });
}

bool Games::inPlay(const Game& game, int seat)
{
    return seat >= 1 && seat <= game.playerCount && !game.out.contains(seat);
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

bool Games::lastStanding(const Game& game, int seat)
{
    for (int other = 1; other <= game.playerCount; ++other)
        if (other != seat && !game.out.contains(other))
            return false;
    return true;
}

}  // namespace lobby
