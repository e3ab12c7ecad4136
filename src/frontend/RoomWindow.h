#pragma once
// What the two game-room windows share on screen: the player list, the chat
// log and input, the race and team boxes, the map's name and its preview.
// Holds no rules: it shows a GameRoom and passes the user's input to it.
// Each control is named "<window>.<control>" so a test can drive it.

#include <QString>
#include <QWidget>

class GameRoom;
class LogLines;
class MapPreview;
class PictureStore;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

class RoomWindow : public QWidget {
    Q_OBJECT

public:
    // The list's selected entry; -1 when none is.
    int selectedRow() const;

    QLabel* const lblBanner;
    QListWidget* const lstOps;
    QPlainTextEdit* const txtChat;
    QPushButton* const cmdSend;
    QComboBox* const cmbRace;
    QComboBox* const cmbTeam;
    QLabel* const lblCurrentMap;
    MapPreview* const preview;

protected:
    RoomWindow(GameRoom& room, const PictureStore& pictures, const QString& name, const QString& banner,
               int chatLength, QWidget* parent = nullptr);

    // Names a control for the test driver.
    void name(QWidget* control, const char* member);
    // A caption that shows its text as it stands.
    QLabel* caption(const QString& text);
    // Left of the preview: the player list, its legend, then what the window adds.
    QVBoxLayout* playerColumn();
    // The column right of the preview, for the window's own settings.
    QVBoxLayout* settingsColumn();
    // The race and team boxes with their captions, next in the settings column.
    void addRaceAndTeam();
    // The rows under the preview that describe the map.
    QFormLayout* headerRows();
    // Right of the chat, below the settings.
    static QRect buttonArea();
    // The chat input, whichever name the window gives it.
    QLineEdit* chatInput() const { return chatInput_; }
    // Shows the room's state (list, chat, captions, what takes input).
    virtual void refresh();
    // The controls look as they first did.
    virtual void reset();

    void paintEvent(QPaintEvent* event) override;

private:
    void sendChat();
    // The room's whole chat log, newest line in view.
    void showChat();

    GameRoom& room_;
    QLineEdit* const chatInput_;
    QWidget* players_;
    QWidget* settings_;
    QWidget* header_;
    LogLines* const log_;
};
