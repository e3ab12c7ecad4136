#include "platform/Music.h"

#include "platform/ProgramFolder.h"
#include "platform/Random.h"

#include <algorithm>

namespace platform {

bool chooseRandomTrack(MusicPlayer& music, RandomSource& random)
{
    const QStringList tracks = music.trackNames();
    if (tracks.isEmpty())
        return false;
    const int n = std::clamp(static_cast<int>(random.next() * tracks.size()), 0, int(tracks.size()) - 1);
    music.setFileName(programFolder() + QLatin1Char('/') + tracks.at(n));
    return true;
}

}  // namespace platform
