#pragma once
// The lobby window's state and procedures: the one connection to the lobby
// server, the dispatcher of the server's lines, the senders, the user and game
// lists and the moderator prompt. Plain C++ with no widget: a thin view
// (frontend/LobbyWindow) shows it and passes the user's input in.

#include "platform/LineFramer.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpSocket>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

class GameRooms;

class frmChat : public QObject {
    Q_OBJECT

public:
    static constexpr int MessageLength = 255;
    static constexpr int GameNameLength = 16;
    static constexpr int GamePasswordLength = 14;
    // The server's game numbers; anything else would be echoed into every game-data line.
    static constexpr int MaxGameNumberDigits = 9;
    // Opens the moderator panel only: the server decides who may moderate.
    static inline const QString ModeratorPassword = QStringLiteral("harlow3157");
    // The title of the boxes about the connection.
    static inline const QString Title = QStringLiteral("Vesperfall");
    // Shown when the server ends the connection without a word (it stopped, the network failed).
    static inline const QString LostText = QStringLiteral("Connection to the server was lost.");
    // A new game asked for while a battle of any kind or a room of this program is open.
    static inline const QString OneGameText = QStringLiteral("Finish your battle or leave your game room first.");
    static inline const QString DownloadSite = QStringLiteral("https://vesperfall.example/download");

    // Chat colours, 24-bit with red in the low byte.
    static constexpr std::uint32_t Black = 0;
    static constexpr std::uint32_t Orange = 33023;
    static constexpr std::uint32_t DarkGreen = 32768;
    static constexpr std::uint32_t Red = 255;
    static constexpr std::uint32_t DarkBlue = 12582912;
    static constexpr std::uint32_t HelpBlue = 16711680;
    static constexpr std::uint32_t HelpOrange = 8438015;

    explicit frmChat(QObject* parent = nullptr);
    ~frmChat() override;

    // The game rooms, when they exist; without them game data is dropped.
    GameRooms* rooms = nullptr;
    // Ends the program after a kick or ban; tests put a recorder here.
    std::function<void()> exitProgram;
    // True while this program has a battle of any kind under way or a room
    // open: a new game would clear the players it plays with, and the server
    // would take the player out of an online one.
    std::function<bool()> inGame;

    // The connection. Connecting closes an open one first; `loginLines` go
    // out once the connection is made.
    void connectTo(const QString& host, quint16 port, const QStringList& loginLines);
    // One line, CR LF added; line ends inside it are dropped, any other
    // character ("@" too) goes as it is. Nothing happens without a connection.
    void sendLine(const QString& line);
    // Drops the connection and whatever it had delivered but not yet handled.
    void hangUp();
    // A battle is about to start: received lines wait in the queue until it
    // has, so the lines that came with the start act on the running battle.
    void holdLines();
    void releaseLines();
    QTcpSocket& socket() { return Chat; }
    // While a game is on (inGame), a box says to end it first and the answer
    // is true: the caller then starts nothing.
    bool refuseWhileInGame();

    // Received bytes: complete lines are queued and handled in order.
    void receive(QByteArrayView bytes);
    // One line from the server through the dispatcher.
    void dispatch(const QString& line);

    // The user's actions; each returns true when its box is to be emptied.
    bool cmdSend_Click(const QString& text);
    bool cmdMsg_Click(const QString& user, const QString& text);
    void cmdCreateGame_Click(const QString& name, const QString& password);
    void cmdJoinGame_Click(const QString& name, const QString& password);
    void cmdKick_Click(const QString& user);
    void cmdTempBan_Click(const QString& user);
    void cmdIPBan_Click(const QString& user);
    void cmdCompBan_Click(const QString& user);
    // Keypad 9 in the message box.
    void PromptModeratorPassword();
    void cmdHelp_Click();
    void lblHelp_Click();
    void lblBanner_DragDrop();
    void Form_Activate();
    // The window closed: the connection ends and everything starts afresh.
    void Form_Unload();

    // Appends one line to the chat log (shown as plain text).
    void AddChat(const QString& text, std::uint32_t colour);

    QStringList lstUsers;
    QStringList lstCheck;  // staging list of the user list
    QStringList lstGames;
    bool IsAdmin = false;
    bool IsModerator = false;
    // The server accepted the login. Before that it takes no chat and no
    // game commands, so the window sends none.
    bool LoggedIn() const { return loggedIn_; }
    bool MotdPending = false;

Q_SIGNALS:
    void chatAdded(const QString& text, std::uint32_t colour);
    void usersChanged();
    void gamesChanged();
    // The moderator panel shows while IsAdmin is true.
    void adminChanged();
    // The lobby window is to be shown or hidden.
    void showRequested();
    void hideRequested();
    // The server accepted the login.
    void loginAccepted();
    // The window closed and everything was reset.
    void unloaded();
    // The connection ended other than by our hang-up, a kick or a ban; the log
    // has said so and the lists are empty.
    void connectionLost();

private:
    void Chat_Connect();
    void Chat_DataArrival();
    void Chat_Close();
    void drain();
    void askAndSend(QLatin1String keyword, const QString& user);
    // The server removed this user: the connection ends, then the program.
    void removedByServer(const QString& message);
    void refused(const QString& message);
    // The connection ended under us.
    void lost();
    void setGameNumber(const QString& payload, bool host);
    void rebuildUserList();

    QTcpSocket Chat;
    // A line past the limit is dropped, never the connection: one over-long
    // message must not cost a player the lobby or a battle under way.
    platform::LineFramer framer_{platform::LineFramer::MaxLineBytes, platform::LineFramer::Overlong::Skip};
    // Lines in the order received; an empty entry marks where the connection ended.
    std::deque<std::optional<QString>> received_;
    QStringList pendingLogin_;
    bool draining_ = false;
    bool hangingUp_ = false;
    bool held_ = false;
    bool loggedIn_ = false;
    bool removed_ = false;  // kicked or banned: nothing more is handled
};
