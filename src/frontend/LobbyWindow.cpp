#include "frontend/LobbyWindow.h"

#include "frontend/ChatBoxes.h"
#include "frontend/WindowLook.h"
#include "net/frmChat.h"
#include "platform/Surface.h"
#include "platform/Text.h"

#include <QCloseEvent>
#include <QDrag>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// What the right-button drag of the Help button carries.
const QString HelpDragFormat = QStringLiteral("application/x-vesperfall-help");
constexpr int ChatPoints = 9;

const char* const BattleKeys[] = {
    "Game Controls:", "Arrow Keys: Move", "Enter: Select Unit, Building, Command", "Space: Show Main Menu",
    "E: End Turn",    "Q: Quit Game",     "T: Show Chat Box",
};

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLineEdit* box(int maxLength, bool password, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    if (password)
        windowlook::usePasswordStars(*edit);
    return edit;
}

void fill(QListWidget& list, const QStringList& entries)
{
    list.clear();
    list.addItems(entries);
}

}  // namespace

LobbyWindow::LobbyWindow(frmChat& chat, QWidget* parent)
    : QWidget(parent),
      txtChat(new QTextEdit(this)),
      txtChatMsg(box(frmChat::MessageLength, false, this)),
      cmdSend(new QPushButton(QStringLiteral("&Send"), this)),
      cmdMsg(new QPushButton(QStringLiteral("&Msg"), this)),
      lstUsers(new QListWidget(this)),
      lstGames(new QListWidget(this)),
      txtGameName(box(frmChat::GameNameLength, false, this)),
      txtGamePassword(box(frmChat::GamePasswordLength, true, this)),
      cmdCreateGame(new QPushButton(QStringLiteral("&Create Game"), this)),
      txtJoinName(box(frmChat::GameNameLength, false, this)),
      txtJoinPassWord(box(frmChat::GamePasswordLength, true, this)),
      cmdJoinGame(new QPushButton(QStringLiteral("&Join Game"), this)),
      cmdHelp(new QPushButton(QStringLiteral("&Help"), this)),
      lblHelp(caption(QStringLiteral("Help"), this)),
      lblBanner(caption(QStringLiteral("Chat"), this)),
      framMod(new QGroupBox(QStringLiteral("Moderator's Control Panel"), this)),
      cmdKick(new QPushButton(QStringLiteral("&Kick"), framMod)),
      cmdTempBan(new QPushButton(QStringLiteral("&Temp Ban"), framMod)),
      cmdIPBan(new QPushButton(QStringLiteral("&IP Ban"), framMod)),
      cmdCompBan(new QPushButton(QStringLiteral("&Comp Ban"), framMod)),
      chat_(chat),
      log_(new LogLines(*txtChat))
{
    setWindowTitle(QStringLiteral("Vesperfall - Chat"));
    setObjectName(QStringLiteral("frmChat"));
    VF_NAMED(txtChat);
    VF_NAMED(txtChatMsg);
    VF_NAMED(cmdSend);
    VF_NAMED(cmdMsg);
    VF_NAMED(lstUsers);
    VF_NAMED(lstGames);
    VF_NAMED(txtGameName);
    VF_NAMED(txtGamePassword);
    VF_NAMED(cmdCreateGame);
    VF_NAMED(txtJoinName);
    VF_NAMED(txtJoinPassWord);
    VF_NAMED(cmdJoinGame);
    VF_NAMED(cmdHelp);
    VF_NAMED(lblHelp);
    VF_NAMED(lblBanner);
    VF_NAMED(framMod);
    VF_NAMED(cmdKick);
    VF_NAMED(cmdTempBan);
    VF_NAMED(cmdIPBan);
    VF_NAMED(cmdCompBan);
    windowlook::useLightText(*this);

    // Peer text is only ever inserted as text, never parsed as markup.
    txtChat->setReadOnly(true);
    txtChat->setAcceptRichText(false);
    lblBanner->setFont(windowlook::headingFont(32));
    lblBanner->setAcceptDrops(true);
    lblBanner->installEventFilter(this);
    lblHelp->setCursor(Qt::PointingHandCursor);
    lblHelp->installEventFilter(this);
    cmdHelp->installEventFilter(this);
    txtChatMsg->installEventFilter(this);
    txtChat->installEventFilter(this);
    framMod->hide();

    connect(txtChatMsg, &QLineEdit::returnPressed, this, &LobbyWindow::sendChat);
    connect(cmdSend, &QPushButton::clicked, this, &LobbyWindow::sendChat);
    connect(cmdMsg, &QPushButton::clicked, this, [this] {
        if (chat_.cmdMsg_Click(selectedUser(), txtChatMsg->text()))
            txtChatMsg->clear();
    });
    connect(cmdCreateGame, &QPushButton::clicked, this,
            [this] { chat_.cmdCreateGame_Click(txtGameName->text(), txtGamePassword->text()); });
    connect(cmdJoinGame, &QPushButton::clicked, this,
            [this] { chat_.cmdJoinGame_Click(txtJoinName->text(), txtJoinPassWord->text()); });
    connect(lstGames, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { txtJoinName->setText(item->text()); });
    connect(cmdHelp, &QPushButton::clicked, &chat_, &frmChat::cmdHelp_Click);
    connect(cmdKick, &QPushButton::clicked, this, [this] { chat_.cmdKick_Click(selectedUser()); });
    connect(cmdTempBan, &QPushButton::clicked, this, [this] { chat_.cmdTempBan_Click(selectedUser()); });
    connect(cmdIPBan, &QPushButton::clicked, this, [this] { chat_.cmdIPBan_Click(selectedUser()); });
    connect(cmdCompBan, &QPushButton::clicked, this, [this] { chat_.cmdCompBan_Click(selectedUser()); });

    connect(&chat_, &frmChat::chatAdded, this, &LobbyWindow::appendChat);
    connect(&chat_, &frmChat::usersChanged, this, [this] { fill(*lstUsers, chat_.lstUsers); });
    connect(&chat_, &frmChat::gamesChanged, this, [this] { fill(*lstGames, chat_.lstGames); });
    connect(&chat_, &frmChat::adminChanged, this, [this] { framMod->setVisible(chat_.IsAdmin); });
    // The window shows at the connection; its commands work once the login is accepted.
    const auto enableCommands = [this] {
        for (QPushButton* button : {cmdSend, cmdMsg, cmdCreateGame, cmdJoinGame})
            button->setEnabled(chat_.LoggedIn());
    };
    enableCommands();
    connect(&chat_, &frmChat::showRequested, this, [this, enableCommands] {
        enableCommands();
        show();
        raise();
        activateWindow();
    });
    connect(&chat_, &frmChat::connectionLost, this, enableCommands);
    connect(&chat_, &frmChat::hideRequested, this, &QWidget::hide);
    connect(&chat_, &frmChat::unloaded, this, &LobbyWindow::clearAll);

    // Layout: chat on the left, users, games and help on the right.
    auto* send = new QHBoxLayout;
    send->addWidget(txtChatMsg, 1);
    send->addWidget(cmdSend);
    send->addWidget(cmdMsg);
    auto* left = new QVBoxLayout;
    left->addWidget(lblBanner);
    left->addWidget(txtChat, 1);
    left->addLayout(send);

    auto* modButtons = new QHBoxLayout(framMod);
    for (QPushButton* button : {cmdKick, cmdTempBan, cmdIPBan, cmdCompBan})
        modButtons->addWidget(button);
    left->addWidget(framMod);

    auto* create = new QFormLayout;
    create->addRow(caption(QStringLiteral("Name:"), this), txtGameName);
    create->addRow(caption(QStringLiteral("Password:"), this), txtGamePassword);
    create->addRow(QString(), cmdCreateGame);
    auto* join = new QFormLayout;
    join->addRow(caption(QStringLiteral("Name:"), this), txtJoinName);
    join->addRow(caption(QStringLiteral("Password:"), this), txtJoinPassWord);
    join->addRow(QString(), cmdJoinGame);

    auto* games = new QVBoxLayout;
    games->addWidget(caption(QStringLiteral("Game Creation:"), this));
    games->addLayout(create);
    games->addWidget(caption(QStringLiteral("Available Games:"), this));
    games->addWidget(lstGames, 1);
    games->addLayout(join);

    auto* keys = new QVBoxLayout;
    keys->setSpacing(1);
    for (const char* line : BattleKeys)
        keys->addWidget(caption(QString::fromLatin1(line), this));
    auto* help = new QHBoxLayout;
    help->addWidget(cmdHelp);
    help->addWidget(lblHelp);
    help->addStretch();
    keys->addLayout(help);
    auto* users = new QVBoxLayout;
    users->addWidget(lstUsers, 1);
    users->addLayout(keys);

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(14, 10, 14, 12);
    root->setSpacing(12);
    root->addLayout(left, 5);
    root->addLayout(users, 2);
    root->addLayout(games, 2);
    resize(900, 560);
}

QString LobbyWindow::selectedUser() const
{
    const QList<QListWidgetItem*> selected = lstUsers->selectedItems();
    return selected.isEmpty() ? QString() : selected.constFirst()->text();
}

void LobbyWindow::appendChat(const QString& text, std::uint32_t colour)
{
    QTextCharFormat format;
    format.setFont(platform::resolveFont({QStringLiteral("Arial"), ChatPoints, true}));
    format.setForeground(platform::colorFromBgr(colour));
    log_->add(text, format);
}

void LobbyWindow::sendChat()
{
    if (chat_.cmdSend_Click(txtChatMsg->text()))
        txtChatMsg->clear();
}

void LobbyWindow::clearAll()
{
    log_->drop();
    txtChat->clear();
    lstUsers->clear();
    lstGames->clear();
    for (QLineEdit* edit : {txtChatMsg, txtGameName, txtGamePassword, txtJoinName, txtJoinPassWord})
        edit->clear();
    framMod->hide();
}

void LobbyWindow::dragHelp()
{
    auto* drag = new QDrag(cmdHelp);
    auto* data = new QMimeData;
    data->setData(HelpDragFormat, QByteArray());
    drag->setMimeData(data);
    drag->exec(Qt::MoveAction);
}

bool LobbyWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        chat_.Form_Activate();
    return QWidget::event(event);
}

bool LobbyWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == txtChat && type == QEvent::Resize) {
        // The log shrinks when the moderator panel opens: once it is laid out
        // anew, the newest line is brought back into view.
        QTimer::singleShot(0, txtChat, [this] { modStrat::ScrollRichTextToEnd(*txtChat); });
    } else if (watched == txtChatMsg && type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_9 && key->modifiers().testFlag(Qt::KeypadModifier)) {
            chat_.PromptModeratorPassword();
            return true;
        }
    } else if (watched == cmdHelp && type == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            dragHelp();
            return true;
        }
    } else if (watched == lblHelp && type == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            chat_.lblHelp_Click();
    } else if (watched == lblBanner && (type == QEvent::DragEnter || type == QEvent::Drop)) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasFormat(HelpDragFormat))
            return false;
        drop->acceptProposedAction();
        // The box opens once the drag has finished, not inside it.
        if (type == QEvent::Drop)
            QTimer::singleShot(0, &chat_, &frmChat::lblBanner_DragDrop);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void LobbyWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    chat_.Form_Unload();
}

void LobbyWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    windowlook::paintBackground(painter, rect());
}
