#pragma once
#include <QString>
#include <QStringList>

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
    bool playing() const { return playing_; }
    int plays() const { return plays_; }
private:
    QStringList tracks_;
    QString file_;
    bool playing_ = false;
    int plays_ = 0;
};

}  // namespace platform
