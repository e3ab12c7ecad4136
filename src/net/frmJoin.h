#pragma once
// A joined player's game room: the player waits here for the host's start,
// chats, says ready, and sees the members, the map and the turn time the host
// announces. Its view (frontend/JoinRoomWindow) shows it and passes input in.

#include "net/GameRoom.h"

#include <QTcpSocket>

class frmJoin : public GameRoom {
    Q_OBJECT

public:
    static constexpr int ChatLength = 255;
    static inline const QString BootedText = QStringLiteral("You have been booted from the game!");
    // The server left this player out of the battle and gave no reason.
    static inline const QString LeftOutText = QStringLiteral("The battle started without you.");
    static inline const QString NoMapCaption = QStringLiteral("None currently selected.");
    static inline const QString TimeEnabled = QStringLiteral("Enabled");
    static inline const QString TimeDisabled = QStringLiteral("Disabled");
    static inline const QString MissingMapText =
        QStringLiteral("The battle cannot start: the map \"%1\" is not in your game folder.");
    static inline const QString NotNamedText =
        QStringLiteral("The battle cannot start: the host's start does not name you among its players.");
    // The peer sockets, which nothing connects.
    static constexpr quint16 PeerPort = 9877;
    static constexpr quint16 FileTransferPort = 9878;

    explicit frmJoin(LobbyLink link, QObject* parent = nullptr);

    // The room opens empty, the player records cleared (modStrat.OpenJoinLobby).
    void OpenJoinLobby();
    // The mouse moves over the room: game data goes to a joined player's handler.
    void Form_MouseMove();
    void chkReady_Click(bool checked);
    // The user closed the room: this player leaves the game.
    void Form_Unload();
    // The room closes without a word to anyone: the battle begins, this player
    // hosts a game now, or the lobby connection is gone.
    void Unload();

    // The preview and the map's name for the map file at `path`; "" draws nothing.
    void LoadMap(const QString& path);
    // The preview alone, for the map file at `path`.
    void Display_Map(const QString& path);

    // The host's announcements. The map's name and preview show once the
    // event loop turns, for the last map announced by then.
    void MapName(const QString& name, bool found) override;
    void TimeOn() override;
    void TimeOff() override;
    void TimeSec(std::int32_t seconds) override;
    void StartGame() override;
    void StartRefused() override;
    void Boot() override;
    void LeftOut(const QString& why) override;

    QString lblCurrentMap;
    QString lblTimeLimit;
    QString lblTimeSec;
    // The map file the preview shows; "" for none.
    QString PreviewPath;

    // Peer sockets.
    QTcpSocket Client;
    QTcpSocket FileTransfer;

Q_SIGNALS:
    // The preview is to show the map file at `path`; "" empties it.
    void previewRequested(const QString& path);

private:
    void Form_Load();
    // This player is out of the game: the room closes and game data stops.
    void quitGame();
    void Client_Connect();
    void Client_DataArrival();
    void FileTransfer_Connect();

    // The last map the host announced, shown once per turn of the event loop.
    void showAnnouncedMap();

    QString announcedMap_;
    QString announcedPath_;  // "" when we lack it
    bool mapShowPending_ = false;
};
