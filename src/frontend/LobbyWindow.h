#pragma once
// The lobby window on screen: the coloured chat log, the user and game lists,
// the create and join boxes, the help, the battle-key legend and the hidden
// moderator panel. Holds no rules: it shows frmChat and passes input to it.

#include <QWidget>
#include <array>
#include <cstdint>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextEdit;
class LogLines;
class frmChat;

class LobbyWindow : public QWidget {
    Q_OBJECT

public:
    explicit LobbyWindow(frmChat& chat, QWidget* parent = nullptr);

    frmChat& chat() { return chat_; }
    // The user list's selected entry; "" when none is selected.
    QString selectedUser() const;

    QTextEdit* const txtChat;
    QLineEdit* const txtChatMsg;
    QPushButton* const cmdSend;
    QPushButton* const cmdMsg;
    QListWidget* const lstUsers;
    QListWidget* const lstGames;
    QLineEdit* const txtGameName;
    QLineEdit* const txtGamePassword;
    QPushButton* const cmdCreateGame;
    QLineEdit* const txtJoinName;
    QLineEdit* const txtJoinPassWord;
    QPushButton* const cmdJoinGame;
    QPushButton* const cmdHelp;
    QLabel* const lblHelp;
    QLabel* const lblBanner;
    QGroupBox* const framMod;
    QPushButton* const cmdKick;
    QPushButton* const cmdTempBan;
    QPushButton* const cmdIPBan;
    QPushButton* const cmdCompBan;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void appendChat(const QString& text, std::uint32_t colour);
    void sendChat();
    void clearAll();
    void dragHelp();

    frmChat& chat_;
    LogLines* const log_;
};
