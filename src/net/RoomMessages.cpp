// Room messages. A joined player's start sequence sets the next battle's
// settings here; what the rooms show, and their player lists, are theirs.

#include "net/RoomMessages.h"

#include "data/GameData.h"
#include "net/GameDataParts.h"
#include "platform/ProgramFolder.h"

#include <QFileInfo>
#include <array>

using namespace modStrat;

namespace gamedata {

namespace {

constexpr std::int32_t LongestTurn = 32767;  // seconds; TIMESEC is a 16-bit value

bool chat(Context& c, QStringView value)
{
    c.room->Chat(value.toString());
    return true;
}

// Ready marks and arrivals name a player; the room finds the name in its list.
template <bool (RoomMessageHandler::*Method)(const QString&)>
bool byName(Context& c, QStringView value)
{
    return (c.room->*Method)(value.toString());
}

bool leaveGame(Context& c, QStringView value)
{
    std::int32_t player = 0;
    return toIntIn(value, 1, MaxPlayers, player) && c.room->LeaveGame(player);
}

bool startGame(Context& c, QStringView)
{
    // Only a start sequence that gave us a map and a place in the battle starts one.
    if (MapPath.isEmpty() || MyPlayer < 1 || MyPlayer > PlayerCount) {
        c.room->StartRefused();
        return false;
    }
    IsOfflineGame = false;
    StartGamePending = true;
    c.room->StartGame();
    return true;
}

bool num(Context& c, QStringView value)
{
    // One digit, the player number, then the name at once.
    std::int32_t player = 0;
    if (!toIntIn(value.left(1), 1, MaxPlayers, player))
        return false;
    const QString name = value.mid(1).toString();
    Players[player].Name = name;
    if (name == UserName || name == QLatin1Char('*') + UserName)
        MyPlayer = player;
    c.room->Num(player, name);
    return true;
}

bool max(Context& c, QStringView value)
{
    std::int32_t count = 0;
    if (!toIntIn(value, 1, MaxPlayers, count))
        return false;
    PlayerCount = count;
    c.room->Max(count);
    return true;
}

bool mapName(Context& c, QStringView value)
{
    MapPath.clear();
    // A map is announced by its file name alone and looked up in our own
    // program folder: nothing a peer sends may point anywhere else.
    if (platform::isPlainFileName(value.toString())) {
        const QString path = platform::findFile(platform::programFolder(), value.toString());
        if (QFileInfo(path).isFile())
            MapPath = path;
    }
    c.room->MapName(value.toString(), !MapPath.isEmpty());
    return true;
}

bool boot(Context& c, QStringView)
{
    c.room->Boot();
    return true;
}

bool leftOut(Context& c, QStringView value)
{
    c.room->LeftOut(value.toString());
    return true;
}

bool timeOn(Context& c, QStringView)
{
    c.room->TimeOn();
    return true;
}

bool timeOff(Context& c, QStringView)
{
    TimeLimit = NoTimeLimit;
    c.room->TimeOff();
    return true;
}

bool timeSec(Context& c, QStringView value)
{
    // A turn of no time, or less, would end every turn at its first second.
    std::int32_t seconds = 0;
    if (!toIntIn(value, 1, LongestTurn, seconds))
        return false;
    TimeLimit = seconds;
    c.room->TimeSec(seconds);
    return true;
}

const std::array RoomTable{
    Keyword{QLatin1String("CHAT"), Gate::Room, chat},
    Keyword{QLatin1String("READY"), Gate::Room, byName<&RoomMessageHandler::Ready>},
    Keyword{QLatin1String("NOTREADY"), Gate::Room, byName<&RoomMessageHandler::NotReady>},
    Keyword{QLatin1String("STARTGAME"), Gate::JoinedRoom, startGame},
    Keyword{QLatin1String("NUM"), Gate::JoinedRoom, num},
    Keyword{QLatin1String("MAX"), Gate::JoinedRoom, max},
    Keyword{QLatin1String("MAPNAME"), Gate::JoinedRoom, mapName},
    Keyword{QLatin1String("JOINGAME"), Gate::Room, byName<&RoomMessageHandler::JoinGame>},
    Keyword{QLatin1String("LEAVEGAME"), Gate::Room, leaveGame},
    Keyword{QLatin1String("BOOT"), Gate::JoinedRoom, boot},
    Keyword{QLatin1String("LEFTOUT"), Gate::JoinedRoom, leftOut},
    Keyword{QLatin1String("TIMEON"), Gate::JoinedRoom, timeOn},
    Keyword{QLatin1String("TIMEOFF"), Gate::JoinedRoom, timeOff},
    Keyword{QLatin1String("TIMESEC"), Gate::JoinedRoom, timeSec},
};

}  // namespace

std::span<const Keyword> roomKeywords()
{
    return RoomTable;
}

}  // namespace gamedata
