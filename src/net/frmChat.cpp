#include "net/frmChat.h"

#include "data/GameData.h"
#include "net/GameRooms.h"
#include "net/LobbyProtocol.h"
#include "platform/Dialogs.h"
#include "platform/KeepAlive.h"
#include "platform/Text.h"

#include <QCoreApplication>
#include <QScopedValueRollback>
#include <utility>

using namespace modStrat;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;
using platform::messageBox;

namespace {

const QString BadVersionText =
    QStringLiteral("Could not log in.  You are not using the latest version of the game.  Please go to ") +
    frmChat::DownloadSite + QStringLiteral(" to download the latest version.");
const QString BadPassText = QStringLiteral("Could not log in.  Your password was not correct.");
const QString KickText = QStringLiteral("You have been kicked by an administrator.");
const QString TempBanText = QStringLiteral(
    "You have been temporarily banned by an administrator.  Please wait until tommorow (according to the Server "
    "Time) to log back in.");
const QString BanText = QStringLiteral("You have been banned from the game.");
const QString JoinBadText = QStringLiteral(
    "Unable to join a game.  You may have the incorrect password, or there may be no more slots open.");

const QString CommandHelp[] = {
    QStringLiteral("The following are commands that you may use in the the chat.  The format is backslash '/', "
                   "command, space ' ', text.  For example, if you wanted to talk in third person and the example "
                   "says '/me test' you would type '/me is typing an example'.  This would appear as 'username is "
                   "typing an example' in the chat."),
    QStringLiteral("/me [text]: Displays the entered text in third person."),
    QStringLiteral("/stats [user]: Displays the wins, losses and rank of the player."),
    QStringLiteral("/away: Marks yourself as away or marks yourself as present if you are already away."),
};

// Paragraphs of the game help by step; step 4 has none and appends nothing.
const QString GameHelp[] = {
    QStringLiteral("Welcome to Vesperfall Help."),
    QStringLiteral("Vesperfall (hereafter V:FL) is a turned based strategy game in the spirit of the old tabletop "
                   "war games: move, fight and capture, one side at a time."),
    QStringLiteral("The objective of the game is to destroy all of your opponent's units or capture his "
                   "headquarters."),
    QString(),
    QStringLiteral("Up to four players can play in a multiplayer battle.  To do this, simply create a game or join a "
                   "game on the game list.  Once all players have joined a game, the host should select a map and "
                   "then his Send Map.  Once all players are ready, the host then starts the game by pressing the "
                   "Start Game button."),
    QStringLiteral("When the game begins, only the first player will be able to order commands.  He or she will want "
                   "to use the arrow keys so that his or her cursor is over a unit or a building and then press "
                   "Enter to select that unit or building.  If a unit is selected, the player can then use the "
                   "arrow keys to move the unit to the desired location.  He should then select Deselect to finish "
                   "that unit's move.  If a building is selected, a menu will come up showing the units that can be "
                   "created.  Scroll through this menu and press Enter to create the unit that you want to build."),
    QStringLiteral("If another player's unit is close, the player can move his unit next to the unit and then attack "
                   "it.  The attack screen will appear as well as a bar that determines how much damage you will "
                   "do.  The object is to hit enter when all or most of the bars are filled in to do the most "
                   "damage."),
    QStringLiteral("Once you are done your turn, press the Space Bar to load the main menu.  Select End Turn and it "
                   "will now be the next player's turn.  You can also just press 'e'."),
    QStringLiteral("If at any time you want to quit a game, press the q button."),
};

bool isGameNumber(const QString& text)
{
    if (text.isEmpty() || text.size() > frmChat::MaxGameNumberDigits)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

}  // namespace

frmChat::frmChat(QObject* parent) : QObject(parent), exitProgram([] { QCoreApplication::quit(); })
{
    connect(&Chat, &QTcpSocket::connected, this, &frmChat::Chat_Connect);
    connect(&Chat, &QTcpSocket::readyRead, this, &frmChat::Chat_DataArrival);
    connect(&Chat, &QTcpSocket::disconnected, this, &frmChat::Chat_Close);
}

frmChat::~frmChat()
{
    Chat.disconnect(this);
    Chat.abort();
}

void frmChat::connectTo(const QString& host, quint16 port, const QStringList& loginLines)
{
    hangUp();
    removed_ = false;
    pendingLogin_ = loginLines;
    Chat.connectToHost(host, port);
}

void frmChat::hangUp()
{
    const QScopedValueRollback<bool> ours(hangingUp_, true);
    Chat.abort();
    framer_.clear();
    received_.clear();
    held_ = false;
    loggedIn_ = false;
    pendingLogin_.clear();
}

void frmChat::sendLine(const QString& line)
{
    if (Chat.state() != QAbstractSocket::ConnectedState)
        return;
    QString clean = line;
    clean.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    Chat.write(platform::frameLine(platform::toLatin1(clean)));
}

void frmChat::Chat_Connect()
{
    // A player waiting for the others sends nothing: a link that dies without a
    // word is found by probes, and ends as a closed connection does.
    platform::enableKeepAlive(Chat.socketDescriptor());
    for (const QString& line : std::exchange(pendingLogin_, {}))
        sendLine(line);
    // The lobby shows before the server answers; a refusal hides it again.
    emit showRequested();
}

void frmChat::Chat_DataArrival()
{
    // The socket does not tell of data that comes while this handler runs (a
    // reaction's message box lets events run): it is read here, or it would
    // wait for the next arrival.
    do
        receive(Chat.readAll());
    while (Chat.bytesAvailable() > 0);
}

void frmChat::Chat_Close()
{
    if (hangingUp_ || removed_)
        return;
    // What the server sent before it went is still handled.
    if (Chat.bytesAvailable() > 0)
        receive(Chat.readAll());
    // Said after the lines that came before the end: a kick among them ends
    // the program first and nothing is said.
    received_.push_back(std::nullopt);
    drain();
}

void frmChat::receive(QByteArrayView bytes)
{
    if (removed_)
        return;
    framer_.append(bytes);
    while (std::optional<QByteArray> line = framer_.takeLine())
        received_.push_back(platform::fromLatin1(*line));
    drain();
}

void frmChat::drain()
{
    // A reaction may let events run (a message box); lines that arrive then
    // wait in the queue and are handled here, after the ones before them.
    if (draining_)
        return;
    const QScopedValueRollback<bool> busy(draining_, true);
    while (!received_.empty() && !removed_ && !held_) {
        const std::optional<QString> line = std::move(received_.front());
        received_.pop_front();
        if (line)
            dispatch(*line);
        else
            lost();
    }
}

void frmChat::holdLines()
{
    held_ = true;
}

void frmChat::releaseLines()
{
    held_ = false;
    drain();
}

void frmChat::dispatch(const QString& line)
{
    struct Reaction {
        QLatin1String keyword;
        void (*react)(frmChat& chat, const QString& payload);
    };
    // Every keyword that begins the line runs its reaction, in this order.
    static const Reaction reactions[] = {
        {lobby::ChatText, [](frmChat& c, const QString& p) { c.AddChat(p, Black); }},
        {lobby::AddGame,
         [](frmChat& c, const QString& p) {
             c.lstGames.append(p);
             emit c.gamesChanged();
         }},
        {lobby::RemoveGame,
         [](frmChat& c, const QString& p) {
             if (c.lstGames.removeAll(p) > 0)
                 emit c.gamesChanged();
         }},
        {lobby::MeText, [](frmChat& c, const QString& p) { c.AddChat(p, Orange); }},
        {lobby::Announce,
         [](frmChat&, const QString& p) {
             messageBox(QStringLiteral("Server Announcement: ") + p, MessageButtons::Ok,
                        QStringLiteral("Server Announcement"), MessageIcon::Information);
         }},
        {lobby::ChatMsg, [](frmChat& c, const QString& p) { c.AddChat(p, DarkGreen); }},
        {lobby::AdminText, [](frmChat& c, const QString& p) { c.AddChat(p, Red); }},
        {lobby::ModText, [](frmChat& c, const QString& p) { c.AddChat(p, DarkBlue); }},
        {lobby::ListKill, [](frmChat& c, const QString&) { c.lstCheck.clear(); }},
        {lobby::ListAdd, [](frmChat& c, const QString& p) { c.lstCheck.append(p); }},
        {lobby::ListDone, [](frmChat& c, const QString&) { c.rebuildUserList(); }},
        {lobby::BadVersion, [](frmChat& c, const QString&) { c.refused(BadVersionText); }},
        {lobby::BadPass, [](frmChat& c, const QString&) { c.refused(BadPassText); }},
        {lobby::GoodPass,
         [](frmChat& c, const QString&) {
             c.loggedIn_ = true;
             emit c.showRequested();
             emit c.loginAccepted();
         }},
        {lobby::Kick, [](frmChat& c, const QString&) { c.removedByServer(KickText); }},
        {lobby::TempBan, [](frmChat& c, const QString&) { c.removedByServer(TempBanText); }},
        {lobby::IpBan, [](frmChat& c, const QString&) { c.removedByServer(BanText); }},
        {lobby::CompBan, [](frmChat& c, const QString&) { c.removedByServer(BanText); }},
        {lobby::JoinGame,
         [](frmChat& c, const QString& p) {
             if (!(c.rooms && c.rooms->IsHosting()))
                 c.setGameNumber(p, false);
         }},
        {lobby::GameNumber, [](frmChat& c, const QString& p) { c.setGameNumber(p, true); }},
        {lobby::JoinBad, [](frmChat&, const QString&) { messageBox(JoinBadText, MessageButtons::Ok, Title); }},
        {lobby::GameData,
         [](frmChat& c, const QString& p) {
             if (GameNumber.isEmpty() || !c.rooms)
                 return;
             if (IsGameHost)
                 c.rooms->HandleHostGameData(p);
             else
                 c.rooms->HandleClientGameData(p);
         }},
    };
    for (const Reaction& reaction : reactions) {
        if (removed_)
            return;
        if (line.startsWith(reaction.keyword))
            reaction.react(*this, line.mid(reaction.keyword.size()));
    }
}

void frmChat::setGameNumber(const QString& payload, bool host)
{
    if (!isGameNumber(payload))
        return;
    // The answer to a Join sent just before a battle here began: the room
    // would clear the players that battle plays with, so the game is left.
    if (!host && inGame && inGame() && !(rooms && rooms->IsOpen())) {
        sendLine(lobby::LeaveGame);
        return;
    }
    GameNumber = payload;
    if (host) {
        IsGameHost = true;
        return;
    }
    // The joined room opens while IsGameHost still holds its old value.
    if (rooms)
        rooms->OpenJoinLobby();
    IsGameHost = false;
}

void frmChat::rebuildUserList()
{
    QStringList fresh;
    for (const QString& name : std::as_const(lstCheck)) {
        if (!name.isEmpty())
            fresh.append(name);
    }
    // Compared by names, not by count: a user who left while another came stays listed otherwise.
    if (fresh == lstUsers)
        return;
    lstUsers = std::move(fresh);
    emit usersChanged();
}

void frmChat::lost()
{
    // Before the login is accepted the start window's time-out answers for it.
    if (!loggedIn_)
        return;
    // Nobody listens any more: the lists would show users and games that are
    // out of reach, and what the user types would vanish.
    loggedIn_ = false;
    lstUsers.clear();
    lstCheck.clear();
    lstGames.clear();
    emit usersChanged();
    emit gamesChanged();
    AddChat(LostText, Red);
    emit connectionLost();
}

void frmChat::refused(const QString& message)
{
    messageBox(message, MessageButtons::Ok, Title);
    emit hideRequested();
}

void frmChat::removedByServer(const QString& message)
{
    removed_ = true;
    hangUp();
    messageBox(message, MessageButtons::Ok, Title);
    if (exitProgram)
        exitProgram();
}

void frmChat::AddChat(const QString& text, std::uint32_t colour)
{
    emit chatAdded(text, colour);
}

bool frmChat::cmdSend_Click(const QString& text)
{
    if (text.isEmpty() || !loggedIn_)
        return false;
    // The command prefixes are tested in this order; more letters may follow each.
    if (text.startsWith(QLatin1String("/me")))
        sendLine(lobby::MeText + UserName + QLatin1Char(' ') + text.mid(4));
    else if (text.startsWith(QLatin1String("/time")))
        sendLine(lobby::GetTime);
    else if (text.startsWith(QLatin1String("/away")))
        sendLine(lobby::Away);
    else if (text.startsWith(QLatin1String("/stats")))
        sendLine(lobby::GetStats + text.mid(7));
    else {
        const QLatin1String keyword = IsAdmin       ? lobby::AdminText
                                      : IsModerator ? lobby::ModText
                                                    : lobby::ChatText;
        sendLine(keyword + UserName + QStringLiteral(": ") + text);
    }
    return true;
}

bool frmChat::cmdMsg_Click(const QString& user, const QString& text)
{
    if (text.isEmpty() || !loggedIn_)
        return false;
    sendLine(lobby::MsgName + user);
    sendLine(lobby::MsgText + text);
    return true;
}

bool frmChat::refuseWhileInGame()
{
    if (!(inGame && inGame()))
        return false;
    messageBox(OneGameText, MessageButtons::Ok, Title);
    return true;
}

void frmChat::cmdCreateGame_Click(const QString& name, const QString& password)
{
    // A room opened before the login is accepted would stand for a game the server never made.
    if (!loggedIn_ || refuseWhileInGame())
        return;
    sendLine(lobby::SetupGame);
    sendLine(lobby::GameName + name);
    sendLine(lobby::GamePass + password);
    sendLine(lobby::GameHost + UserName);
    if (rooms)
        rooms->OpenHostLobby();
}

void frmChat::cmdJoinGame_Click(const QString& name, const QString& password)
{
    if (!loggedIn_ || refuseWhileInGame() || name.isEmpty())
        return;
    sendLine(lobby::JoinName + name);
    sendLine(lobby::JoinPass + password);
}

void frmChat::cmdKick_Click(const QString& user)
{
    sendLine(lobby::Kick + user);
}

void frmChat::cmdTempBan_Click(const QString& user)
{
    askAndSend(lobby::TempBan, user);
}

void frmChat::cmdIPBan_Click(const QString& user)
{
    askAndSend(lobby::IpBan, user);
}

void frmChat::cmdCompBan_Click(const QString& user)
{
    askAndSend(lobby::CompBan, user);
}

void frmChat::askAndSend(QLatin1String keyword, const QString& user)
{
    if (messageBox(QStringLiteral("Are you sure?"), MessageButtons::YesNo, Title) == MessageResult::Yes)
        sendLine(keyword + user);
}

void frmChat::PromptModeratorPassword()
{
    const QString answer =
        platform::inputBox(QStringLiteral("Enter password."), QStringLiteral("Enter Password")).value_or(QString());
    // Any other answer, Cancel too, closes the panel.
    IsAdmin = answer == ModeratorPassword;
    emit adminChanged();
}

void frmChat::cmdHelp_Click()
{
    QStringList lines;
    for (const QString& line : CommandHelp)
        lines.append(line);
    messageBox(lines.join(QLatin1Char('\n')), MessageButtons::Ok, QStringLiteral("Help"), MessageIcon::Information);
}

void frmChat::lblHelp_Click()
{
    int step = 0;
    for (const QString& paragraph : GameHelp) {
        ++step;
        if (!paragraph.isEmpty())
            AddChat(paragraph, step % 2 ? HelpBlue : HelpOrange);
    }
}

void frmChat::lblBanner_DragDrop()
{
    messageBox(QStringLiteral("I am just an advanced Hello World junkie."), MessageButtons::Ok,
               QStringLiteral("Easter Egg"), MessageIcon::Information);
}

void frmChat::Form_Activate()
{
    if (!MotdPending)
        return;
    sendLine(lobby::GetMotd);
    MotdPending = false;
}

void frmChat::Form_Unload()
{
    hangUp();
    removed_ = false;
    lstUsers.clear();
    lstCheck.clear();
    lstGames.clear();
    IsAdmin = false;
    IsModerator = false;
    MotdPending = false;
    emit unloaded();
}
