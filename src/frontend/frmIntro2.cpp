#include "frontend/frmIntro2.h"

#include "art/BuiltInPictures.h"
#include "data/GameData.h"
#include "frontend/Shortcuts.h"
#include "frontend/WindowLook.h"
#include "net/LobbyProtocol.h"
#include "net/frmChat.h"
#include "platform/Music.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"
#include "screen/PictureStore.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

using namespace modStrat;

namespace {

const QString Section = QStringLiteral("GEN");

// Names and passwords are lower case from the first keystroke on.
void lowerCaseAsTyped(QLineEdit* box)
{
    QObject::connect(box, &QLineEdit::textChanged, box, [box](const QString& text) {
        const QString lower = text.toLower();
        // Our own setText comes back here with the text already lower case.
        if (lower == text)
            return;
        box->setText(lower);
        box->setCursorPosition(int(box->text().size()));
    });
}

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

frmIntro2::frmIntro2(PictureStore& pictures, platform::MusicPlayer& music, platform::RandomSource& random,
                     frmChat& lobby, QWidget* parent)
    : QWidget(parent),
      txtServerIP(new QLineEdit(DefaultServer, this)),
      txtName(new QLineEdit(this)),
      txtPassword(new QLineEdit(this)),
      cmdConnect(new QPushButton(QStringLiteral("&Connect"), this)),
      cmdLocalGame(new QPushButton(QStringLiteral("L&ocal Game"), this)),
      cmdSinglePlayer(new QPushButton(QStringLiteral("&Single Player"), this)),
      cmdEditor(new QPushButton(QStringLiteral("Level &Editor"), this)),
      cmdExit(new QPushButton(QStringLiteral("E&xit"), this)),
      cmdMusic(new QPushButton(QStringLiteral("Toggle Music"), this)),
      pictures_(pictures),
      music_(music),
      random_(random),
      lobby_(lobby)
{
    setWindowTitle(QStringLiteral("Vesperfall"));
    windowlook::useLightText(*this);
    setObjectName(QStringLiteral("frmIntro2"));
    VF_NAMED(txtServerIP);
    VF_NAMED(txtName);
    VF_NAMED(txtPassword);
    VF_NAMED(cmdConnect);
    VF_NAMED(cmdLocalGame);
    VF_NAMED(cmdSinglePlayer);
    VF_NAMED(cmdEditor);
    VF_NAMED(cmdExit);
    VF_NAMED(cmdMusic);


    txtName->setMaxLength(NameLength);
    txtPassword->setMaxLength(PasswordLength);
    windowlook::usePasswordStars(*txtPassword);
    lowerCaseAsTyped(txtName);
    lowerCaseAsTyped(txtPassword);
    connect(txtServerIP, &QLineEdit::textChanged, this, [](const QString& text) { ServerIP = text; });

    // Nothing opens the single-player set-up from here yet.
    cmdSinglePlayer->setEnabled(false);

    timeTimeout.setInterval(LoginTimeoutMs);
    timeTimeout.setSingleShot(true);
    connect(&timeTimeout, &QTimer::timeout, this, &frmIntro2::timeTimeout_Timer);

    connect(cmdConnect, &QPushButton::clicked, this, &frmIntro2::cmdConnect_Click);
    connect(cmdLocalGame, &QPushButton::clicked, this, &frmIntro2::localGameRequested);
    connect(cmdSinglePlayer, &QPushButton::clicked, this, &frmIntro2::singlePlayerRequested);
    connect(cmdEditor, &QPushButton::clicked, this, &frmIntro2::editorRequested);
    connect(cmdMusic, &QPushButton::clicked, this, &frmIntro2::cmdMusic_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);
    // A successful login: the lobby takes over; the inputs stay off until it closes.
    connect(&lobby_, &frmChat::loginAccepted, this, [this] {
        timeTimeout.stop();
        hide();
    });

    auto* title = caption(QStringLiteral("Vesperfall"), this);
    title->setFont(windowlook::headingFont(56));
    title->setAlignment(Qt::AlignCenter);

    auto* menu = new QVBoxLayout;
    menu->setSpacing(8);
    for (QPushButton* button : {cmdLocalGame, cmdSinglePlayer, cmdEditor, cmdMusic, cmdExit}) {
        button->setMinimumHeight(32);
        menu->addWidget(button);
    }
    menu->addStretch();

    auto* server = new QGroupBox(QStringLiteral("Server Connection:"), this);
    auto* form = new QFormLayout;
    form->addRow(caption(QStringLiteral("Server IP:"), server), txtServerIP);
    form->addRow(caption(QStringLiteral("Log-in Name:"), server), txtName);
    form->addRow(caption(QStringLiteral("Password:"), server), txtPassword);
    auto* note = caption(
        QStringLiteral("Note: If the user name does not exist a new account will auotmatically be created."), server);
    note->setWordWrap(true);
    auto* serverLayout = new QVBoxLayout(server);
    serverLayout->addLayout(form);
    serverLayout->addWidget(cmdConnect, 0, Qt::AlignRight);
    serverLayout->addWidget(note);
    serverLayout->addStretch();

    auto* columns = new QHBoxLayout;
    columns->setSpacing(24);
    columns->addLayout(menu, 2);
    columns->addWidget(server, 3);

    auto* version = caption(QStringLiteral("Version 0.67 Beta - 7/31/2003"), this);
    version->setAlignment(Qt::AlignRight);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(24, 16, 24, 12);
    root->setSpacing(16);
    root->addWidget(title);
    root->addLayout(columns, 1);
    root->addWidget(version);
    setMinimumSize(620, 420);
    shortcuts::muteDisabledMnemonics(*this);
}

frmIntro2::~frmIntro2()
{
    music_.setEndOfTrackHandler({});
}

QString frmIntro2::settingsPath()
{
    return platform::programFolder() + QStringLiteral("/settings.ini");
}

void frmIntro2::Form_Load()
{
    GameVersion = QStringLiteral("0.64");
    ServerIP = txtServerIP->text();
    LoadLevel();

    random_.reseedFromClock();
    music_.setEndOfTrackHandler([this] { Midi_EndOfStream(); });
    playRandomTrack();
    MusicOn = true;

    const QString settings = settingsPath();
    if (const QString server = ReadIni(Section, QStringLiteral("SERVERIP"), settings); !server.isEmpty())
        txtServerIP->setText(server);
    txtName->setText(ReadIni(Section, QStringLiteral("USERNAME"), settings));
}

void frmIntro2::LoadLevel()
{
    initBuiltInPictures();
    pictures_.LoadBuiltIns();
    pictures_.LoadLevel(platform::programFolder());
}

void frmIntro2::playRandomTrack()
{
    // No music files: nothing plays, and nothing is handed a folder for a track.
    if (platform::chooseRandomTrack(music_, random_))
        music_.play();
}

void frmIntro2::Midi_EndOfStream()
{
    random_.reseedFromClock();
    playRandomTrack();
}

void frmIntro2::cmdMusic_Click()
{
    if (!MusicOn) {
        MusicOn = true;
        music_.play();
    } else {
        MusicOn = false;
        music_.stop();
    }
}

void frmIntro2::cmdConnect_Click()
{
    if (txtName->text().isEmpty())
        return;
    const QString settings = settingsPath();
    WriteIni(Section, QStringLiteral("SERVERIP"), txtServerIP->text(), settings);
    WriteIni(Section, QStringLiteral("USERNAME"), txtName->text(), settings);

    UserName = txtName->text();
    lobby_.connectTo(ServerIP, lobbyPort, lobby::loginLines(txtName->text(), GameVersion, txtPassword->text()));
    setLoginEnabled(false);
    timeTimeout.start();
}

void frmIntro2::timeTimeout_Timer()
{
    timeTimeout.stop();
    setLoginEnabled(true);
}

void frmIntro2::setLoginEnabled(bool enabled)
{
    cmdConnect->setEnabled(enabled);
    txtName->setEnabled(enabled);
    txtPassword->setEnabled(enabled);
}

void frmIntro2::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closed();
}

void frmIntro2::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    windowlook::paintBackground(painter, rect());
}
