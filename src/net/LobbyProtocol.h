#pragma once
// The lobby connection's line format: an upper-case keyword, its payload right
// after it, CR LF. One constant per keyword, shared by whoever sends or tests it.

#include <QLatin1String>
#include <QString>
#include <QStringList>

namespace lobby {

// Keywords of both directions: a chat line or a game-data line is sent and
// received under the same word.
inline constexpr QLatin1String ChatText("CHATTXT");
inline constexpr QLatin1String MeText("METXT");
inline constexpr QLatin1String AdminText("ADMINTXT");
inline constexpr QLatin1String ModText("MODTXT");
inline constexpr QLatin1String RemoveGame("REMOVEGAME");
inline constexpr QLatin1String Kick("KICK");
inline constexpr QLatin1String TempBan("TEMPBAN");
inline constexpr QLatin1String IpBan("IPBAN");
inline constexpr QLatin1String CompBan("COMPBAN");
inline constexpr QLatin1String GameData("GDATA");

// Sent by this client only.
inline constexpr QLatin1String Name("NAME");
inline constexpr QLatin1String Version("VERSION");
inline constexpr QLatin1String Pass("PASS");
inline constexpr QLatin1String SetupGame("SETUPGAME");
inline constexpr QLatin1String GameName("GAMENAME");
inline constexpr QLatin1String GamePass("GAMEPASS");
inline constexpr QLatin1String GameHost("GAMEHOST");
inline constexpr QLatin1String JoinName("JOINNAME");
inline constexpr QLatin1String JoinPass("JOINPASS");
inline constexpr QLatin1String MsgName("MSGNAME");
inline constexpr QLatin1String MsgText("MSGTEXT");
inline constexpr QLatin1String GetTime("GETTIME");
inline constexpr QLatin1String Away("AWAY");
inline constexpr QLatin1String GetStats("GETSTATS");
inline constexpr QLatin1String GetMotd("GETMOTD");
inline constexpr QLatin1String StartGame("STARTGAME");
inline constexpr QLatin1String LeaveGame("LEAVEGAME");

// Sent by the server only.
inline constexpr QLatin1String AddGame("ADDGAME");
inline constexpr QLatin1String Announce("ANNOUNCE");
inline constexpr QLatin1String ChatMsg("CHATMSG");
inline constexpr QLatin1String ListKill("LISTKILL");
inline constexpr QLatin1String ListAdd("LISTADD");
inline constexpr QLatin1String ListDone("LISTDONE");
inline constexpr QLatin1String BadVersion("BADVERS");
inline constexpr QLatin1String BadPass("BADPASS");
inline constexpr QLatin1String GoodPass("GOODPASS");
inline constexpr QLatin1String JoinGame("JOINGAME");
inline constexpr QLatin1String GameNumber("GAMENUMBER");
inline constexpr QLatin1String JoinBad("JOINBAD");

// The three lines that open a session, in the order the server expects them.
inline QStringList loginLines(const QString& name, const QString& version, const QString& password)
{
    return {Name + name, Version + version, Pass + password};
}

}  // namespace lobby
