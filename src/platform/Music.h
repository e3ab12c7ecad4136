#pragma once
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

namespace platform {

// The background music player and the list of tracks in the program folder.
class MusicPlayer {
public:
    virtual ~MusicPlayer() = default;
    virtual void stop() = 0;
    virtual void setFileName(const QString& path) = 0;
    virtual QString fileName() const = 0;
    virtual void play() = 0;
    // Names (without folder) of the music files in the program folder.
    virtual QStringList trackNames() const = 0;
    // Called once whenever a track plays to its end (never after stop(), nor
    // for a file that could not be played), from the event loop; the handler
    // may set the next file and play it.
    virtual void setEndOfTrackHandler(std::function<void()> handler) = 0;
};

// Plays nothing; remembers what it was told, for tests and machines without sound.
class SilentMusicPlayer final : public MusicPlayer {
public:
    explicit SilentMusicPlayer(QStringList tracks = {}) : tracks_(std::move(tracks)) {}
    void stop() override { playing_ = false; }
    void setFileName(const QString& path) override { file_ = path; }
    QString fileName() const override { return file_; }
    void play() override { playing_ = true; ++plays_; }
    QStringList trackNames() const override { return tracks_; }
    void setEndOfTrackHandler(std::function<void()> handler) override { onEnd_ = std::move(handler); }
    bool playing() const { return playing_; }
    int plays() const { return plays_; }
    // Test hook: the track being played ends now.
    void finishTrack()
    {
        if (!playing_)
            return;
        playing_ = false;
        if (onEnd_)
            onEnd_();
    }
private:
    QStringList tracks_;
    std::function<void()> onEnd_;
    QString file_;
    bool playing_ = false;
    int plays_ = 0;
};

class RandomSource;

// Sets the player's file to a track of the program folder chosen at random.
// False, and the file left as it was, when there is no track.
bool chooseRandomTrack(MusicPlayer& music, RandomSource& random);

}  // namespace platform
