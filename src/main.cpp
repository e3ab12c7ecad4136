// Vesperfall. Until the start window exists, the program opens a hot-seat
// battle on the default map.

#include "art/BuiltInPictures.h"
#include "battle/frmGame.h"
#include "data/GameData.h"
#include "platform/Clock.h"
#include "platform/MidiPlayer.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"
#include "screen/BattleView.h"
#include "screen/PictureStore.h"

#include <QApplication>

namespace {

void playRandomTrack(platform::MusicPlayer& music, platform::RandomSource& random)
{
    const QStringList tracks = music.trackNames();
    if (tracks.isEmpty())
        return;
    const auto r = static_cast<int>(random.next() * tracks.size());
    music.stop();
    music.setFileName(platform::programFolder() + QLatin1Char('/') + tracks.at(std::min(r, int(tracks.size()) - 1)));
    music.play();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vesperfall"));

    platform::SystemClock clock;
    platform::SystemRandom random;
    platform::FluidSynthMusicPlayer music;
    music.setEndOfTrackHandler([&] { playRandomTrack(music, random); });
    playRandomTrack(music, random);

    initBuiltInPictures();
    PictureStore pictures;
    pictures.LoadBuiltIns();
    pictures.LoadLevel(platform::programFolder());

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
    game.setPictures(&pictures);

    BattleView view(game);
    view.show();
    return app.exec();
}
