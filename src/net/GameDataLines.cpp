// The receive engine shared by the host's and a joined player's handler: a
// line is split at "@", each part matched to its keyword, let through by its
// gate and applied; the first part that fails ends the line.

#include "net/GameDataLines.h"

#include "battle/frmGame.h"
#include "data/GameData.h"
#include "net/GameDataParts.h"
#include "platform/Text.h"

namespace gamedata {

namespace {

const Keyword* findKeyword(QStringView part)
{
    // No keyword begins another, so the first that begins the part is the only one.
    for (const auto table : {roomKeywords(), battleKeywords()}) {
        for (const Keyword& keyword : table) {
            if (part.startsWith(keyword.word))
                return &keyword;
        }
    }
    return nullptr;
}

bool gateOpen(Gate gate, bool host, const Context& context)
{
    const bool turnIsOurs = modStrat::CurrentPlayer == modStrat::MyPlayer;
    switch (gate) {
    case Gate::Room:
        return context.room;
    case Gate::JoinedRoom:
        return !host && context.room;
    case Gate::Always:
        return true;
    case Gate::InBattle:
        return context.battle;
    case Gate::OtherTurn:
        return context.battle && !turnIsOurs;
    case Gate::OwnTurn:
        return context.battle && turnIsOurs;
    }
    return false;
}

frmGame* battleOn()
{
    frmGame* battle = modStrat::GameDataReceivers.battle;
    return battle && battle->InBattle ? battle : nullptr;
}

void handle(QStringView data, bool host)
{
    const modStrat::GameDataTargets& targets = modStrat::GameDataReceivers;
    Context context;
    context.room = host ? targets.hostRoom : targets.joinRoom;
    // The game number and the empty part after it match no keyword.
    for (const QStringView part : data.tokenize(u'@')) {
        const Keyword* keyword = findKeyword(part);
        if (!keyword)
            continue;
        // Asked afresh for every part: a part may end the turn or the battle.
        context.battle = battleOn();
        if (!gateOpen(keyword->gate, host, context))
            continue;
        if (!keyword->act(context, part.mid(keyword->word.size())))
            return;
    }
}

}  // namespace

bool toInt16(QStringView value, std::int32_t& out)
{
    std::int16_t number = 0;
    if (!platform::parseInt16(value, number))
        return false;
    out = number;
    return true;
}

bool toInt32(QStringView value, std::int32_t& out)
{
    return platform::parseInt32(value, out);
}

bool toIntIn(QStringView value, std::int32_t first, std::int32_t last, std::int32_t& out)
{
    // Every range asked for lies within 16 bits, so the width of the value does not matter.
    std::int32_t number = 0;
    if (!toInt32(value, number) || number < first || number > last)
        return false;
    out = number;
    return true;
}

}  // namespace gamedata

namespace modStrat {

QString GameDataLine(const QString& message)
{
    return QStringLiteral("GDATA") + GameNumber + QStringLiteral("@@") + message;
}

void GameDataSender::SendGameData(const QString& message)
{
    if (writer_)
        writer_(GameDataLine(message));
}

void HandleHostGameData(QStringView data)
{
    gamedata::handle(data, true);
}

void HandleClientGameData(QStringView data)
{
    gamedata::handle(data, false);
}

}  // namespace modStrat
