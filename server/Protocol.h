#pragma once
// The lobby's line protocol as the server speaks it: the keywords, the
// checks every received value goes through, and the lines it writes.
// Text on the wire is Latin-1, so the server works on bytes throughout.

#include "platform/LineFramer.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <initializer_list>

namespace lobby {

using SessionId = quint64;

// The only version the server lets in.
inline constexpr QByteArrayView GameVersion("0.64");

// Longest user name; names are [a-z0-9_-] only, so they cannot carry the
// "@", "*", ":" or spaces that the game-data lines give a meaning to.
inline constexpr qsizetype MaxNameBytes = 12;
// The clients' boxes allow these lengths.
inline constexpr qsizetype MaxGameNameBytes = 16;
inline constexpr qsizetype MaxGamePassBytes = 14;
// Bounds the work one login attempt can cause.
inline constexpr qsizetype MaxPasswordBytes = 128;
// At most four players meet in a game.
inline constexpr int MaxGameMembers = 4;
// The lobby window's message box holds this many characters: what a user
// types into lobby chat or a private message is never longer.
inline constexpr qsizetype MaxTypedBytes = 255;
// The longest line a client takes, CR LF not counted: every line the server
// writes fits, whatever a user's text in it.
inline constexpr qsizetype MaxLineBytes = platform::LineFramer::MaxLineBytes;

namespace kw {
// Client to server.
inline constexpr QByteArrayView Name("NAME"), Version("VERSION"), Pass("PASS");
inline constexpr QByteArrayView SetupGame("SETUPGAME"), GameName("GAMENAME"), GamePass("GAMEPASS"),
    GameHost("GAMEHOST");
inline constexpr QByteArrayView JoinName("JOINNAME"), JoinPass("JOINPASS");
inline constexpr QByteArrayView MsgName("MSGNAME"), MsgText("MSGTEXT");
inline constexpr QByteArrayView GetTime("GETTIME"), Away("AWAY"), GetStats("GETSTATS"), GetMotd("GETMOTD");
inline constexpr QByteArrayView StartGame("STARTGAME"), LeaveGame("LEAVEGAME");
inline constexpr QByteArrayView GameData("GDATA");
// Both ways.
inline constexpr QByteArrayView ChatText("CHATTXT"), MeText("METXT"), AdminText("ADMINTXT"), ModText("MODTXT");
inline constexpr QByteArrayView Kick("KICK"), TempBan("TEMPBAN"), IpBan("IPBAN"), CompBan("COMPBAN");
inline constexpr QByteArrayView RemoveGame("REMOVEGAME"), JoinGame("JOINGAME");
// Server to client.
inline constexpr QByteArrayView AddGame("ADDGAME"), ChatMsg("CHATMSG");
inline constexpr QByteArrayView ListKill("LISTKILL"), ListAdd("LISTADD"), ListDone("LISTDONE");
inline constexpr QByteArrayView BadVersion("BADVERS"), BadPass("BADPASS"), GoodPass("GOODPASS");
inline constexpr QByteArrayView GameNumber("GAMENUMBER"), JoinBad("JOINBAD");
inline constexpr QByteArrayView Announce("ANNOUNCE");
// Parts inside game-data lines.
inline constexpr QByteArrayView PartsStart("@@");
inline constexpr QByteArrayView Boot("BOOT"), Race("RACE"), Team("TEAM");
// The server's word to a member its start left out: the reason, before the BOOT.
inline constexpr QByteArrayView LeftOut("LEFTOUT");
inline constexpr QByteArrayView InChat("INCHAT"), ExitGame("EXITGAME"), PlayerLost("PLAYERLOST"), Chat("CHAT");
inline constexpr QByteArrayView Ready("READY"), NotReady("NOTREADY");
inline constexpr QByteArrayView Num("NUM"), Max("MAX"), MapName("MAPNAME"), TimeOn("TIMEON"), TimeOff("TIMEOFF"),
    TimeSec("TIMESEC"), EndTurn("ENDTURN");
// A battle's moves, attacks, modes, transport, capture, creation and merge.
inline constexpr QByteArrayView MoveUnit("MOVEUNIT"), MoveX("MOVEX"), MoveY("MOVEY"), MoveFuel("MOVEFUEL");
inline constexpr QByteArrayView AttackUnit("ATTACKUNIT"), AttackDamage("ATTACKDAMAGE"), AttackHp("ATTACKHP"),
    AttackAmmo("ATTACKAMMO"), DefendUnit("DEFENDUNIT"), DefendDamage("DEFENDDAMAGE"), DefendHp("DEFENDHP"),
    DefendAmmo("DEFENDAMMO");
inline constexpr QByteArrayView Hover("HOVER"), Unhover("UNHOVER"), PackUnit("PACKUNIT"), UnpackUnit("UNPACKUNIT");
inline constexpr QByteArrayView LoadToUnit("LOADTOUNIT"), LoadUnit("LOADUNIT"), UnloadFromUnit("UNLOADFROMUNIT"),
    UnloadUnit("UNLOADUNIT"), UnloadX("UNLOADX"), UnloadY("UNLOADY");
inline constexpr QByteArrayView CaptureUnit("CAPTUREUNIT"), CaptureBuilding("CAPTUREBUILDING"),
    CapturePoints("CAPTUREPOINTS"), CaptureChange("CAPTURECHANGE"), CaptureHq("CAPTUREHQ");
inline constexpr QByteArrayView CreateUnit("CREATEUNIT"), CreateType("CREATETYPE"), CreatePlayer("CREATEPLAYER"),
    CreateX("CREATEX"), CreateY("CREATEY");
inline constexpr QByteArrayView JoinUnit("JOINUNIT"), JoinHide("JOINHIDE"), JoinHp("JOINHP");
inline constexpr QByteArrayView IWin("IWIN");
// The unit states that follow a turn's end.
inline constexpr QByteArrayView CheckUnit("CHECKUNIT"), CheckPic("CHECKPIC"), CheckX("CHECKX"), CheckY("CHECKY"),
    CheckPlayer("CHECKPLAYER"), CheckHp("CHECKHP");
}  // namespace kw

bool isValidUserName(QByteArrayView name);
bool isDigits(QByteArrayView text);
// True when the text holds no control character (C0 or DEL).
bool isPrintable(QByteArrayView text);
// Chat arrives already in the form to show: the sender's own name, then the separator.
bool signedBy(QByteArrayView text, QByteArrayView name, QByteArrayView separator);

// Wire bytes as text, for the log and the database.
QString toText(QByteArrayView latin1);
QByteArray concat(std::initializer_list<QByteArrayView> pieces);

// keyword + payload + CR LF, cut before the CR LF to fit MaxLineBytes.
QByteArray line(QByteArrayView keyword, QByteArrayView payload = {});
// "GDATA" + game number + "@@" + keyword + value + CR LF, cut the same way.
QByteArray gameLine(int game, QByteArrayView keyword, QByteArrayView value = {});
// A note to one user in its lobby window's chat, as the answers to /time and /stats come.
QByteArray noteLine(QByteArrayView text);

}  // namespace lobby
