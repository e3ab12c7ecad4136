#include "frontend/Application.h"

#include "ai/modAI.h"
#include "battle/frmGame.h"
#include "editor/MapEditor.h"
#include "frontend/HostRoomWindow.h"
#include "frontend/JoinRoomWindow.h"
#include "frontend/LobbyWindow.h"
#include "frontend/TestDriver.h"
#include "frontend/frmEndGame.h"
#include "frontend/frmIntro2.h"
#include "frontend/frmLocalGame.h"
#include "frontend/frmSinglePlayer.h"
#include "net/GameDataLines.h"
#include "net/LobbyProtocol.h"
#include "net/NetworkRooms.h"
#include "net/frmChat.h"
#include "platform/Dialogs.h"
#include "platform/MidiPlayer.h"
#include "platform/Text.h"
#include "screen/BattleView.h"
#include "screen/PictureStore.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

namespace {

// How often a lost connection looks again whether the boxes it closed have
// returned; a box of Qt's own inside one keeps it open until answered.
constexpr int ClosedBoxCheckMs = 50;

void bringToFront(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

Application::Application(Parts parts) : parts_(std::move(parts))
{
    if (!parts_.clock)
        parts_.clock = std::make_unique<platform::SystemClock>();
    if (!parts_.random)
        parts_.random = std::make_unique<platform::SystemRandom>();
    if (!parts_.music)
        parts_.music = std::make_unique<platform::FluidSynthMusicPlayer>();

    pictures_ = std::make_unique<PictureStore>();
    game_ = std::make_unique<frmGame>(*parts_.clock);
    game_->services.music = parts_.music.get();
    game_->services.random = parts_.random.get();
    game_->services.results = this;
    computer_ = std::make_unique<modAI::ComputerOpponent>(*game_);
    game_->services.computer = computer_.get();
    game_->setPictures(pictures_.get());

    chat_ = std::make_unique<frmChat>();
    // A kick or ban from the server ends the run the way Exit does.
    chat_->exitProgram = [this] { quit(); };
    lobby_ = std::make_unique<LobbyWindow>(*chat_);
    // A network battle's messages go out on the lobby connection; received ones act on this battle.
    gameData_ = std::make_unique<modStrat::GameDataSender>([this](const QString& line) { chat_->sendLine(line); });
    game_->services.gameData = gameData_.get();
    modStrat::GameDataReceivers.battle = game_.get();
    const LobbyLink link{[this](const QString& line) { chat_->sendLine(line); },
                         [this](const QString& text) {
                             if (chat_->socket().state() == QAbstractSocket::ConnectedState)
                                 chat_->socket().write(platform::toLatin1(text));
                         },
                         [this] { chat_->holdLines(); }};
    rooms_ = std::make_unique<NetworkRooms>(link);
    chat_->rooms = rooms_.get();
    // One game at a time: the players' table is the one game's.
    chat_->inGame = [this] { return game_->InBattle || rooms_->IsOpen(); };
    hostRoom_ = std::make_unique<HostRoomWindow>(rooms_->host(), *pictures_);
    joinRoom_ = std::make_unique<JoinRoomWindow>(rooms_->join(), *pictures_);
    connect(&rooms_->host(), &GameRoom::battleRequested, this, &Application::showBattle);
    connect(&rooms_->join(), &GameRoom::battleRequested, this, &Application::showBattle);
    // A set-up writes the players' table as it is edited, which is the room's now.
    for (GameRoom* room : rooms_->both())
        connect(room, &GameRoom::showRequested, this, &Application::closeSetUps);
    intro_ = std::make_unique<frmIntro2>(*pictures_, *parts_.music, *parts_.random, *chat_);
    connect(intro_.get(), &frmIntro2::localGameRequested, this, &Application::showLocalGame);
    connect(intro_.get(), &frmIntro2::singlePlayerRequested, this, &Application::showSinglePlayer);
    connect(intro_.get(), &frmIntro2::editorRequested, this, &Application::showEditor);
    connect(intro_.get(), &frmIntro2::closed, this, &Application::quit);
    // Told from the event loop, not from inside the socket's handler.
    connect(chat_.get(), &frmChat::connectionLost, this,
            [this] { QTimer::singleShot(0, this, &Application::endCutOffGame); });
    // Leaving the lobby brings back the start window, ready for another login.
    connect(chat_.get(), &frmChat::unloaded, this, [this] {
        // Without the connection the rooms are no more.
        rooms_->host().Form_Unload();
        rooms_->join().Form_Unload();
        intro_->setLoginEnabled(true);
        bringToFront(*intro_);
    });
}

Application::~Application()
{
    modStrat::GameDataReceivers.battle = nullptr;
    game_->Form_Unload();
    // Windows before what they show: the battle window refers to the battle.
    for (QWidget* window : openWindows())
        delete window;
}

frmLocalGame* Application::localGame() const { return localGame_; }
frmSinglePlayer* Application::singlePlayer() const { return singlePlayer_; }
frmEndGame* Application::results() const { return results_; }
BattleView* Application::battleView() const { return battleView_; }
MapEditor* Application::editor() const { return editor_.get(); }

std::vector<QWidget*> Application::openWindows() const
{
    std::vector<QWidget*> windows;
    for (QWidget* window : {static_cast<QWidget*>(battleView_.data()), static_cast<QWidget*>(results_.data()),
                            static_cast<QWidget*>(localGame_.data()), static_cast<QWidget*>(singlePlayer_.data())}) {
        if (window)
            windows.push_back(window);
    }
    return windows;
}

void Application::start()
{
    intro_->Form_Load();
    intro_->show();
}

template <class Window, class Make>
Window* Application::open(QPointer<Window>& slot, Make make)
{
    if (!slot) {
        slot = make();
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringToFront(*slot);
    return slot;
}

void Application::closeSetUps()
{
    for (QWidget* setUp : {static_cast<QWidget*>(localGame_.data()), static_cast<QWidget*>(singlePlayer_.data())}) {
        if (setUp)
            setUp->close();
    }
}

void Application::showLocalGame()
{
    if (chat_->refuseWhileInGame())
        return;
    open(localGame_, [this] {
        auto* window = new frmLocalGame(*pictures_);
        connect(window, &frmLocalGame::startRequested, this, &Application::showBattle);
        return window;
    });
}

void Application::showSinglePlayer()
{
    if (chat_->refuseWhileInGame())
        return;
    open(singlePlayer_, [this] {
        auto* window = new frmSinglePlayer;
        connect(window, &frmSinglePlayer::startRequested, this, &Application::showBattle);
        return window;
    });
}

void Application::showEditor()
{
    // Made once; its windows only hide when closed, keeping its settings for the run.
    if (!editor_) {
        editor_ = std::make_unique<MapEditor>(*pictures_);
        connect(editor_.get(), &MapEditor::exitRequested, this, &Application::quit);
    }
    editor_->open();
}

void Application::showLobby()
{
    bringToFront(*lobby_);
}

void Application::showBattle()
{
    // Each battle gets a window of its own; a battle still on screen ends first,
    // quietly: its window closes for the new battle, not by the player's hand.
    if (battleView_) {
        game_->Form_Unload();
        // Its end comes after the new battle's start: the lines held for that
        // start wait for the new battle, not for this window.
        battleView_->disconnect(chat_.get());
        battleView_->close();
    }
    auto* view = new BattleView(*game_);
    view->setAttribute(Qt::WA_DeleteOnClose);
    BattleDisplay* display = view;
    connect(view, &QObject::destroyed, this, [this, display] {
        if (game_->services.display == display)
            game_->services.display = nullptr;
    });
    battleView_ = view;
    // Lines held back at a network start act once the battle has begun (or was refused).
    connect(view, &BattleView::activated, chat_.get(), &frmChat::releaseLines);
    connect(view, &QObject::destroyed, chat_.get(), &frmChat::releaseLines);
    bringToFront(*view);
}

bool Application::inOnlineBattle() const
{
    return game_->InBattle && !modStrat::IsOfflineGame;
}

void Application::endCutOffGame()
{
    // Without the server a network battle or a room only seems to wait for the
    // others. A battle on this machine alone goes on.
    const bool battle = inOnlineBattle();
    if (!battle && !rooms_->IsOpen())
        return;
    // A box of the battle's or the room's own would outlive them and answer for
    // a game that is gone: it closes as Cancel or No, and the news waits until
    // it has returned to its caller.
    bool waiting = battle && platform::closeBoxesOf(game_->boxOwner);
    for (const GameRoom* room : rooms_->both())
        waiting = platform::closeBoxesOf(room->boxOwner) || waiting;
    if (waiting) {
        QTimer::singleShot(ClosedBoxCheckMs, this, &Application::endCutOffGame);
        return;
    }
    platform::messageBox(frmChat::LostText, platform::MessageButtons::Ok, frmChat::Title);
    // Undecided: no results, and no quit for anyone to hear.
    if (battle)
        game_->Form_Unload();
    rooms_->ConnectionLost();
    showLobby();
}

void Application::ShowResults(const QString& banner)
{
    // Each battle's results get a showing of their own.
    if (results_)
        results_->close();
    auto* window = new frmEndGame;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->lblBanner->setText(banner);
    connect(window, &frmEndGame::gameOver, this, [this] { chat_->sendLine(lobby::RemoveGame); });
    connect(window, &frmEndGame::continueToStart, this, [this] { bringToFront(*intro_); });
    connect(window, &frmEndGame::continueToLobby, this, &Application::showLobby);
    results_ = window;
    bringToFront(*window);
}

void Application::quit()
{
    game_->Form_Unload();
    for (QWidget* window : openWindows())
        window->close();
    if (editor_)
        editor_->close();
    // The editor's Exit ends the run too, with the start window still up.
    intro_->hide();
    chat_->hangUp();
    lobby_->hide();
    hostRoom_->hide();
    joinRoom_->hide();
    parts_.music->stop();
    emit finished();
}

int runVesperfall(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vesperfall"));
    // The program ends with its start window, not with whichever window happens to close last.
    QApplication::setQuitOnLastWindowClosed(false);
    Application vesperfall;
    TestDriver::installFromEnvironment(vesperfall);
    QObject::connect(&vesperfall, &Application::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    vesperfall.start();
    return app.exec();
}
