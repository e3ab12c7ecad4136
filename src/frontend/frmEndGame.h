#pragma once
// The results window: the battle's outcome, each player's totals and the
// length of the game. Continue leads back to the start window after an offline
// game and to the lobby after a network game.

#include <QWidget>
#include <array>

class QLabel;
class QPushButton;

class frmEndGame : public QWidget {
    Q_OBJECT

public:
    static constexpr int TextPoints = 10;

    explicit frmEndGame(QWidget* parent = nullptr);

    // Fills the labels from the game data; tells the lobby server the game is over.
    void Form_Activate();
    void cmdContinue_Click();

    QLabel* const lblBanner;
    QLabel* const lblDays;
    std::array<QLabel*, 4> lblPlayer{};
    std::array<QLabel*, 4> lblDestroyed{};
    std::array<QLabel*, 4> lblLost{};
    std::array<QLabel*, 4> lblProduced{};
    QPushButton* const cmdSaveReplay;
    QPushButton* const cmdContinue;

Q_SIGNALS:
    // "REMOVEGAME" for the lobby server: this machine's player is still in a network game that ended.
    void gameOver();
    void continueToStart();
    void continueToLobby();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
