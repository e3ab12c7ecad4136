#pragma once
// The hot-seat set-up: two to four players on one machine, each human or
// computer, a time limit per turn and a map from any folder with its preview.
// What the user sets for a player goes straight into the player records.

#include <QString>
#include <QWidget>
#include <array>

class MapPreview;
class PictureStore;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmLocalGame : public QWidget {
    Q_OBJECT

public:
    // Every computer player of a hot-seat game plays at this skill level.
    static constexpr int ComputerLevel = 2;
    static inline const QString TooManyPlayers = QStringLiteral("There are too many players to play this map.");
    static inline const QString BadSeconds =
        QStringLiteral("Seconds Per Turn must be a whole number from 1 to 32767.");

    explicit frmLocalGame(const PictureStore& pictures, QWidget* parent = nullptr);

    void opPlayers_Click(int index);
    void opCurPlayer_Click(int index);
    void cmdChooseMap_Click();
    void cmdStart_Click();

    // Players taking part, and the player whose row the nickname and computer boxes edit.
    int NumPlayers = 2;
    int CurPlayer = 1;
    // The chosen map's PLAYERS; 0 when it has none.
    int MapPlayers = 0;
    // The chosen map file; "" until one is chosen.
    QString mapFile;

    std::array<QRadioButton*, 3> opPlayers{};
    std::array<QRadioButton*, 4> opCurPlayer{};
    QLineEdit* const txtNickname;
    QCheckBox* const chkComputer;
    QComboBox* const cmbTeam;
    QComboBox* const cmbRace;
    QCheckBox* const chkTime;
    QLineEdit* const txtTime;
    QPushButton* const cmdChooseMap;
    QPushButton* const cmdStart;
    QLabel* const lblCurrentMap;
    QLabel* const lblDescription;
    MapPreview* const preview;

Q_SIGNALS:
    // The settings are made and the window closed: the battle may begin.
    void startRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void txtNickname_MouseDown();

    QButtonGroup* playersGroup_;
    QButtonGroup* curPlayerGroup_;
};
