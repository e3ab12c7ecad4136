#pragma once
// The host's game room: the player who created a game waits here for the
// others, chooses the map and the turn time, removes a player and starts the
// battle. Its view (frontend/HostRoomWindow) shows it and passes input in.

#include "net/GameRoom.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdint>

class frmHost : public GameRoom {
    Q_OBJECT

public:
    static constexpr int ChatLength = 250;
    static constexpr int SecondsLength = 3;
    static constexpr int LongestTurn = 999;   // what three digits hold
    static inline const QString NoMap =
        QStringLiteral("No map selected!  Please select a map before attempting to start the game again.");
    static inline const QString NotAllReady = QStringLiteral("Not all players are ready!");
    static inline const QString BadSeconds = QStringLiteral("Seconds Per Turn must be a whole number from 1 to 999.");
    // The peer socket and the timed map transfer, which nothing starts.
    static constexpr quint16 PeerPort = 9877;
    static constexpr int MapSendInterval = 25;   // ms
    static constexpr int MapTransferUnits = 100;

    explicit frmHost(LobbyLink link, QObject* parent = nullptr);

    // The room opens empty but for the host, first in the list (modStrat.OpenHostLobby).
    void OpenHostLobby();
    // The window is activated, or the mouse moves over it: game data goes to the host's handler.
    void Form_Activate();
    void lblBanner_Click();
    void chkTime_Click(bool checked);
    void txtTime_Change(const QString& text);
    // `row` is the list's selected entry, -1 when none is.
    void cmdBoot_Click(int row);
    // A map file chosen with Browse; `usable` when a battle could be fought on it.
    void cmdChooseMap_Click(const QString& path, bool usable);
    void cmdSendMap_Click();
    void cmdStart_Click();
    // The user closed the room: the game is dropped.
    void Form_Unload();
    // The room closes without a word to anyone: the lobby connection is gone.
    void Unload();

    // The chosen map's file name, without its folder, as the other players look it up.
    QString MapTitle() const;

    bool chkTime = true;
    QString txtTime = DefaultSeconds;
    // The seconds box opens only when the time limit is switched on by hand.
    bool txtTimeEnabled = false;
    // The chosen map file; "" until one is chosen.
    QString MapFile;

    // Peer socket and map transfer.
    QTcpServer Server;
    QTimer timeSend;
    QString TransferPath;
    std::int16_t TransferItem = 0;
    std::int16_t TransferLast = 0;

private:
    void Form_Load();
    void Server_ConnectionRequest();
    void Server_DataArrival();
    void AcceptConnection();
    void timeSend_Timer();

    QTcpSocket* peer_ = nullptr;
    // AcceptConnection's socket, which nothing assigns.
    QTcpSocket* unassigned_ = nullptr;
};
