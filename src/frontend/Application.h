#pragma once
// The program's run: the clock, the source of chance, the music, the picture
// store and the one battle, and every window of the front end. Each window
// exists once; the set-ups, the results and the editor are created when first
// needed and destroyed when closed.

#include "battle/BattleServices.h"
#include "platform/Clock.h"
#include "platform/Music.h"
#include "platform/Random.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

class BattleView;
class HostRoomWindow;
class JoinRoomWindow;
class NetworkRooms;
class LobbyWindow;
class MapEditor;
class PictureStore;
class QWidget;
class frmChat;
class frmEndGame;
class frmGame;
namespace modAI {
class ComputerOpponent;
}
namespace modStrat {
class GameDataSender;
}
class frmIntro2;
class frmLocalGame;
class frmSinglePlayer;

class Application : public QObject, public ResultsWindow {
    Q_OBJECT

public:
    // What a run is given from outside; a part left empty is made here (the
    // system clock and chance, the sound device's music player).
    struct Parts {
        std::unique_ptr<platform::Clock> clock;
        std::unique_ptr<platform::RandomSource> random;
        std::unique_ptr<platform::MusicPlayer> music;
    };

    explicit Application(Parts parts = {});
    ~Application() override;

    // Loads and shows the start window: the program's start-up.
    void start();

    // The set-ups open only while no game is on (see frmChat::refuseWhileInGame).
    void showLocalGame();
    void showSinglePlayer();
    void showEditor();
    void showLobby();
    // Shows the battle window; the battle starts from the settings the set-up left.
    void showBattle();
    void ShowResults(const QString& banner) override;

    frmGame& game() { return *game_; }
    PictureStore& pictures() { return *pictures_; }
    platform::MusicPlayer& music() { return *parts_.music; }
    LobbyWindow& lobby() { return *lobby_; }
    frmChat& chat() { return *chat_; }
    frmIntro2& startWindow() { return *intro_; }
    NetworkRooms& rooms() { return *rooms_; }
    HostRoomWindow& hostRoom() { return *hostRoom_; }
    JoinRoomWindow& joinRoom() { return *joinRoom_; }
    // The windows open now; null when closed.
    frmLocalGame* localGame() const;
    frmSinglePlayer* singlePlayer() const;
    frmEndGame* results() const;
    BattleView* battleView() const;
    // The map editor; null until it is first opened.
    MapEditor* editor() const;

Q_SIGNALS:
    // The start window closed: the program ends.
    void finished();

private:
    void quit();
    // An online battle is under way and has not ended for this player.
    bool inOnlineBattle() const;
    // The lobby connection was lost: a network battle or a room open now ends, after a box says why.
    void endCutOffGame();
    // A room opened: the set-ups left open close, unstarted.
    void closeSetUps();
    // The windows made on demand that exist now.
    std::vector<QWidget*> openWindows() const;
    // Shows the window in `slot`, made by `make` when there is none.
    template <class Window, class Make>
    Window* open(QPointer<Window>& slot, Make make);

    Parts parts_;
    std::unique_ptr<PictureStore> pictures_;
    std::unique_ptr<frmGame> game_;
    std::unique_ptr<modAI::ComputerOpponent> computer_;
    std::unique_ptr<frmChat> chat_;
    std::unique_ptr<LobbyWindow> lobby_;
    std::unique_ptr<modStrat::GameDataSender> gameData_;
    std::unique_ptr<NetworkRooms> rooms_;
    std::unique_ptr<HostRoomWindow> hostRoom_;
    std::unique_ptr<JoinRoomWindow> joinRoom_;
    std::unique_ptr<frmIntro2> intro_;
    QPointer<frmLocalGame> localGame_;
    QPointer<frmSinglePlayer> singlePlayer_;
    QPointer<frmEndGame> results_;
    QPointer<BattleView> battleView_;
    std::unique_ptr<MapEditor> editor_;
};

// The program: the start window until it closes.
int runVesperfall(int argc, char** argv);
