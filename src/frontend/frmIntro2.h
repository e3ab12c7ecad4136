#pragma once
// The start window: the first window of the run and the one whose closing ends
// it. Its load step does the program's start-up (pictures, music, settings);
// it offers the login to the lobby server and the menu of the other windows.

#include <QTimer>
#include <QWidget>

class PictureStore;
class QLineEdit;
class QPushButton;
class frmChat;

namespace platform {
class MusicPlayer;
class RandomSource;
}

class frmIntro2 : public QWidget {
    Q_OBJECT

public:
    static constexpr quint16 LobbyPort = 9876;
    static constexpr int LoginTimeoutMs = 7000;
    static constexpr int NameLength = 12;
    static constexpr int PasswordLength = 16;
    static inline const QString DefaultServer = QStringLiteral("127.0.0.1");

    frmIntro2(PictureStore& pictures, platform::MusicPlayer& music, platform::RandomSource& random,
              frmChat& lobby, QWidget* parent = nullptr);
    ~frmIntro2() override;

    // Start-up: version, pictures, music, settings.
    void Form_Load();
    // Fills the picture store: the built-in pictures and the unit sprites.
    void LoadLevel();

    void cmdConnect_Click();
    void timeTimeout_Timer();
    void cmdMusic_Click();
    // A track ended: the next one, chosen at random.
    void Midi_EndOfStream();
    // Name, password and Connect: off while a login is under way.
    void setLoginEnabled(bool enabled);

    // "settings.ini" in the program folder.
    static QString settingsPath();

    bool MusicOn = false;
    // Where Connect goes; tests point it at a server of their own.
    quint16 lobbyPort = LobbyPort;

    QLineEdit* const txtServerIP;
    QLineEdit* const txtName;
    QLineEdit* const txtPassword;
    QPushButton* const cmdConnect;
    QPushButton* const cmdLocalGame;
    QPushButton* const cmdSinglePlayer;
    QPushButton* const cmdEditor;
    QPushButton* const cmdExit;
    QPushButton* const cmdMusic;
    QTimer timeTimeout;

Q_SIGNALS:
    void localGameRequested();
    void singlePlayerRequested();
    void editorRequested();
    // The window was closed: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void playRandomTrack();

    PictureStore& pictures_;
    platform::MusicPlayer& music_;
    platform::RandomSource& random_;
    frmChat& lobby_;
};
