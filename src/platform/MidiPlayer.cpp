#include "platform/MidiPlayer.h"

#include "platform/MidiFile.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

#include <fluidsynth.h>

#include <dlfcn.h>

#include <climits>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

constexpr int PollMs = 100;
// When the synthesizer never reports the end (a stalled device), the track is
// given up this long after it should have ended.
constexpr qint64 GraceMs = 5000;
// The sound font's own level is low; this is loud enough next to other
// programs without clipping full chords.
constexpr double SynthGain = 0.8;

const char* const SoundFonts[] = {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

// Pulse first for desktops; plain ALSA otherwise. Never JACK: it may start a server.
const char* const Drivers[] = {"pulseaudio", "alsa"};

void quietFluid(int, const char*, void*) {}
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

// A machine without sound must stay silent on the terminal too. The ALSA
// hook is looked up at run time, so we need not link ALSA ourselves.
void silenceSoundLibraries()
{
    static const bool done = [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, quietFluid, nullptr);
        using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetHandler = int (*)(AlsaHandler);
        if (void* set = dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler"))
            reinterpret_cast<SetHandler>(set)(quietAlsa);
        return true;
    }();
    (void)done;
}

struct DriverChoice {
    const char* wanted;
    bool found = false;
};

void findDriver(void* data, const char*, const char* option)
{
    auto* choice = static_cast<DriverChoice*>(data);
    if (std::strcmp(choice->wanted, option) == 0)
        choice->found = true;
}

}  // namespace

struct FluidSynthMusicPlayer::Engine {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    bool fontLoaded = false;
    fluid_audio_driver_t* driver = nullptr;
    fluid_player_t* player = nullptr;

    ~Engine()
    {
        closeTrack();
        if (synth)
            delete_fluid_synth(synth);
        if (settings)
            delete_fluid_settings(settings);
    }

    bool ensureSynth()
    {
        if (!settings) {
            settings = new_fluid_settings();
            if (!settings)
                return false;
            fluid_settings_setnum(settings, "synth.gain", SynthGain);
        }
        if (!synth)
            synth = new_fluid_synth(settings);
        return synth != nullptr;
    }

    bool openDriver()
    {
        for (const char* name : Drivers) {
            DriverChoice choice{name};
            fluid_settings_foreach_option(settings, "audio.driver", &choice, findDriver);
            if (!choice.found)
                continue;
            fluid_settings_setstr(settings, "audio.driver", name);
            driver = new_fluid_audio_driver(settings, synth);
            if (driver)
                return true;
        }
        return false;
    }

    bool ensureFont()
    {
        for (const char* path : SoundFonts) {
            if (fontLoaded)
                break;
            if (QFileInfo::exists(QString::fromLatin1(path)))
                fontLoaded = fluid_synth_sfload(synth, path, 1) != FLUID_FAILED;
        }
        return fontLoaded;
    }

    // The audio thread calls into the player: the driver goes first.
    void closeTrack()
    {
        if (driver) {
            delete_fluid_audio_driver(driver);
            driver = nullptr;
        }
        if (player) {
            fluid_player_stop(player);
            delete_fluid_player(player);
            player = nullptr;
        }
        if (synth)
            fluid_synth_system_reset(synth);
    }
};

FluidSynthMusicPlayer::FluidSynthMusicPlayer(Output output, QObject* parent)
    : QObject(parent), output_(output), engine_(std::make_unique<Engine>())
{
    poll_.setTimerType(Qt::PreciseTimer);
    connect(&poll_, &QTimer::timeout, this, &FluidSynthMusicPlayer::poll);
}

FluidSynthMusicPlayer::~FluidSynthMusicPlayer()
{
    stopSound();
}

void FluidSynthMusicPlayer::stop()
{
    stopSound();
    playing_ = false;
}

void FluidSynthMusicPlayer::setFileName(const QString& path)
{
    stop();
    file_ = path;
}

void FluidSynthMusicPlayer::play()
{
    if (playing_)
        return;
    const QByteArray bytes = midi::fileBytes(file_);
    const std::optional<midi::Info> info = midi::read(bytes);
    if (!info)
        return;

    lengthMs_ = static_cast<qint64>(std::ceil(info->seconds * 1000.0));
    clock_.start();
    playing_ = true;
    if (output_ == Output::Automatic && startSound(bytes)) {
        poll_.setSingleShot(false);
        poll_.start(PollMs);
    } else {
        poll_.setSingleShot(true);
        poll_.start(static_cast<int>(std::min<qint64>(lengthMs_, INT_MAX)));
    }
}

QStringList FluidSynthMusicPlayer::trackNames() const
{
    const QDir folder(programFolder());
    return folder.entryList({QStringLiteral("*.mid")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

bool FluidSynthMusicPlayer::isAudible() const
{
    return playing_ && engine_->player != nullptr;
}

bool FluidSynthMusicPlayer::startSound(const QByteArray& bytes)
{
    silenceSoundLibraries();
    Engine& e = *engine_;
    if (!e.ensureSynth() || !e.openDriver())
        return false;
    if (!e.ensureFont()) {
        e.closeTrack();
        return false;
    }
    // The header is already checked: the player takes anything without complaint.
    e.player = new_fluid_player(e.synth);
    if (!e.player || fluid_player_add_mem(e.player, bytes.constData(), static_cast<size_t>(bytes.size())) != FLUID_OK
        || fluid_player_play(e.player) != FLUID_OK) {
        e.closeTrack();
        return false;
    }
    return true;
}

void FluidSynthMusicPlayer::stopSound()
{
    poll_.stop();
    engine_->closeTrack();
}

void FluidSynthMusicPlayer::poll()
{
    if (!playing_)
        return;
    const qint64 elapsed = clock_.elapsed();
    if (fluid_player_t* player = engine_->player) {
        // The player's own "done" status comes seconds late; its ticks do not.
        const int total = fluid_player_get_total_ticks(player);
        const bool ended = (total > 0 && fluid_player_get_current_tick(player) >= total)
            || fluid_player_get_status(player) == FLUID_PLAYER_DONE || elapsed > lengthMs_ + GraceMs;
        if (ended)
            finish();
        return;
    }
    // Only timed: the timer may fire a little early.
    if (elapsed < lengthMs_) {
        poll_.start(static_cast<int>(lengthMs_ - elapsed));
        return;
    }
    finish();
}

void FluidSynthMusicPlayer::finish()
{
    stopSound();
    playing_ = false;
    // The handler usually starts the next track; it may also replace itself.
    const std::function<void()> handler = onEnd_;
    emit endOfTrack();
    if (handler)
        handler();
}

}  // namespace platform
