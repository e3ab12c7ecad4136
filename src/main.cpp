// Vesperfall. Until the start window exists, the program opens a hot-seat
// battle on the default map.

#include "battle/frmGame.h"
#include "data/GameData.h"
#include "platform/Clock.h"
#include "platform/Music.h"
#include "platform/Random.h"
#include "screen/BattleView.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vesperfall"));

    platform::SystemClock clock;
    platform::SystemRandom random;
    platform::SilentMusicPlayer music;

    modStrat::GameVersion = QStringLiteral("0.64");
    modStrat::PlayerCount = 2;
    modStrat::MyPlayer = 1;
    modStrat::TimeLimit = NoTimeLimit;
    modStrat::IsOfflineGame = true;
    modStrat::Players[1].Name = QStringLiteral("Player 1");
    modStrat::Players[2].Name = QStringLiteral("Player 2");

    frmGame game(clock);
    game.services.music = &music;
    game.services.random = &random;

    BattleView view(game);
    view.show();
    return app.exec();
}
