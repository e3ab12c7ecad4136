#pragma once
// What the host's room and a joined player's room share: the player list with
// its ready marks, the chat log, the race and team boxes, and the lines they
// write on the lobby connection. Plain C++ with no widget; a thin view shows it.

#include "net/ChatLog.h"
#include "net/RoomMessages.h"
#include "platform/Dialogs.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

// The lobby connection as the rooms write on it.
struct LobbyLink {
    // One line; the connection ends it with CR LF.
    std::function<void(const QString& line)> sendLine;
    // Text as it stands, with no line end: the form of the peer map transfer.
    std::function<void(const QString& text)> write;
    // Received lines wait from the start of a battle until it is under way.
    std::function<void()> holdLines;
};

class GameRoom : public QObject, public RoomMessageHandler {
    Q_OBJECT

public:
    static inline const QString ReadyMark = QStringLiteral("*");
    static inline const QStringList Races{QStringLiteral("Empyreians"), QStringLiteral("Qorrans")};
    static inline const QStringList Teams{QStringLiteral("Red"), QStringLiteral("Blue"), QStringLiteral("Green"),
                                          QStringLiteral("Yellow")};
    static inline const QString InvalidRace = QStringLiteral("Invalid race!");
    // Seconds per turn as a room first shows them.
    static inline const QString DefaultSeconds = QStringLiteral("60");

    // `receiver` is where the receive engine looks for this room while it is open.
    GameRoom(LobbyLink link, RoomMessageHandler*& receiver, QObject* parent = nullptr);
    ~GameRoom() override;

    // Loaded: the window has its controls; shown: the room is open and takes room messages.
    bool IsLoaded() const { return loaded_; }
    bool IsShown() const { return shown_; }

    // The user's actions shared by both rooms.
    void cmdSend_Click(const QString& text);
    // Returns the text the race box shows afterwards.
    QString cmbRace_Change(const QString& text);
    void cmbTeam_Change(const QString& text);

    // Room messages of both rooms. Record k + 1 of Players stands for list entry k.
    void Chat(const QString& text) override;
    bool Ready(const QString& name) override;
    bool NotReady(const QString& name) override;
    bool JoinGame(const QString& name) override;
    bool LeaveGame(std::int32_t player) override;
    // Only a joined room takes these; the host's ignores them.
    void Num(std::int32_t, const QString&) override {}
    void Max(std::int32_t) override {}
    void MapName(const QString&, bool) override {}
    void TimeOn() override {}
    void TimeOff() override {}
    void TimeSec(std::int32_t) override {}
    void StartGame() override {}
    void Boot() override {}

    QStringList lstOps;
    // The room's chat as its box shows it; change it through setChat.
    const ChatLog& txtChat() const { return chat_; }
    // The chat box's whole text is replaced (emptied with "").
    void setChat(const QString& text);
    // The chat, send, race and start controls take input.
    bool ControlsEnabled = false;
    // The room's boxes are asked in its name: they close with it.
    platform::BoxOwner boxOwner;

Q_SIGNALS:
    // The list, a caption or the controls' state changed.
    void changed();
    // One line was added to the chat log.
    void chatAdded(const QString& line);
    // The chat log was replaced as a whole.
    void chatReplaced();
    // The window was loaded anew: its controls go back to how they first look.
    void loaded();
    void showRequested();
    void hideRequested();
    // The battle window is to open; raised from the event loop, never from inside a handler.
    void battleRequested();

protected:
    // Room and battle messages of this game: "GDATA", game number, "@@", message.
    void SendGameData(const QString& message);
    // A line of this game without "@@" (boot, race, team).
    void sendGameLine(const QString& text);
    void sendLine(const QString& line);
    void write(const QString& text);

    // Every player record empty, and network games have no computer players.
    static void ClearPlayers();
    void setLoaded(bool loaded) { loaded_ = loaded; }
    void setShown(bool shown);
    // The battle opens once the event loop runs again.
    void requestBattle();

private:
    int entryOf(const QString& name) const;

    LobbyLink link_;
    ChatLog chat_;
    RoomMessageHandler*& receiver_;
    bool loaded_ = false;
    bool shown_ = false;
};
