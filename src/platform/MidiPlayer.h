#pragma once
#include "platform/Music.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>

namespace platform {

// Plays the program folder's MIDI tracks through FluidSynth and a General MIDI
// sound font. Without a sound device (or sound font) tracks are still timed,
// so the end-of-track notification keeps the music rotation going.
class FluidSynthMusicPlayer final : public QObject, public MusicPlayer {
    Q_OBJECT
public:
    enum class Output {
        Automatic,  // the system's sound device when there is one
        None,       // time the tracks only, never touch the sound system
    };

    explicit FluidSynthMusicPlayer(Output output = Output::Automatic, QObject* parent = nullptr);
    ~FluidSynthMusicPlayer() override;

    // Stops the track at once; the next play() starts it from the beginning.
    void stop() override;
    // Stops the current track (no end-of-track) and remembers the new file.
    void setFileName(const QString& path) override;
    QString fileName() const override { return file_; }
    // Starts the file from the beginning; keeps on when it already plays.
    // A missing file or one that is not MIDI is ignored.
    void play() override;
    // The "*.mid" files of the program folder, in name order, ignoring case.
    QStringList trackNames() const override;
    void setEndOfTrackHandler(std::function<void()> handler) override { onEnd_ = std::move(handler); }

    bool isPlaying() const { return playing_; }
    // True while the track is being heard rather than only timed.
    bool isAudible() const;

Q_SIGNALS:
    // Raised together with the handler.
    void endOfTrack();

private:
    struct Engine;

    bool startSound(const QByteArray& bytes);
    void stopSound();
    void poll();
    void finish();

    Output output_;
    std::unique_ptr<Engine> engine_;
    QString file_;
    bool playing_ = false;
    std::function<void()> onEnd_;
    QTimer poll_;
    QElapsedTimer clock_;
    qint64 lengthMs_ = 0;
};

}  // namespace platform
