#pragma once
// One part of a received game-data line: an upper-case keyword followed at
// once by its value. The room and the battle keep their tables of keywords;
// the receive engine finds a part's keyword, asks its gate, and applies it.

#include <QLatin1String>
#include <QStringView>
#include <cstdint>
#include <span>

class frmGame;
class RoomMessageHandler;

namespace gamedata {

// When a part is applied at all; a part whose gate is shut is ignored.
enum class Gate {
    Room,        // both handlers, while their room is open
    JoinedRoom,  // a joined player's handler, while its room is open
    Always,      // both handlers, always
    InBattle,    // both handlers, while a battle is on
    OtherTurn,   // while a battle is on and another player has the turn
    OwnTurn,     // while a battle is on and the local player has the turn
};

struct Context {
    frmGame* battle = nullptr;  // null unless a battle is on
    RoomMessageHandler* room = nullptr;
};

// Applies a part's value. False is a failing step: the rest of the line is dropped.
using Action = bool (*)(Context& context, QStringView value);

struct Keyword {
    QLatin1String word;
    Gate gate;
    Action act;
};

std::span<const Keyword> roomKeywords();
std::span<const Keyword> battleKeywords();

// Strict decimal values; false when the value is not a number of that width.
bool toInt16(QStringView value, std::int32_t& out);
bool toInt32(QStringView value, std::int32_t& out);
// A number first..last; false for anything else.
bool toIntIn(QStringView value, std::int32_t first, std::int32_t last, std::int32_t& out);

}  // namespace gamedata
