#pragma once
// Reading a member's game-data line: the message after the game number and
// "@@", and its "@"-separated parts, for the checks on who may send what.

#include <QByteArrayView>
#include <QList>
#include <optional>

namespace lobby {

// What follows "GDATA" and the game number's digits. The number may be
// stale or missing (the host's room talks before GAMENUMBER arrives).
QByteArrayView afterGameNumber(QByteArrayView gdata);
// The message after "GDATA", the game number's digits and "@@"; nothing
// when no "@@" follows the digits (BOOT, RACE and TEAM lines).
std::optional<QByteArrayView> messageOf(QByteArrayView gdata);
// The message's parts in order; empty parts match nothing and are left out.
QList<QByteArrayView> partsOf(QByteArrayView message);
// A part's number after its keyword: digits only, at most `maxDigits`; -1 otherwise.
int numberAfter(QByteArrayView part, QByteArrayView keyword, qsizetype maxDigits = 2);
// A player number as a client writes it, one digit 1 to MaxGameMembers
// alone after the keyword; -1 for any other form ("+3", " 3", "03").
int seatAfter(QByteArrayView part, QByteArrayView keyword);
// Room or battle chat: a CHAT or INCHAT part.
bool carriesChat(QByteArrayView gdata);

}  // namespace lobby
