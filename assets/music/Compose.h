#pragma once
#include "platform/MidiFile.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

// A small toolkit for writing our music in code: chords by name, a harmony
// timeline that every part follows, patterns written as text, and a melody
// writer that walks scale steps and leans on chord tones at strong beats.
namespace music {

using Tick = std::uint32_t;
constexpr Tick Ppq = 480;
constexpr Tick Sixteenth = Ppq / 4;
constexpr Tick Eighth = Ppq / 2;
constexpr Tick Quarter = Ppq;

// Same seed, same piece: the build must write identical files every time.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    int below(int n);  // 0 .. n-1
    bool chance(double p);
    int jitter(int spread);  // -spread .. spread

private:
    std::uint64_t state_;
};

struct Chord {
    int root = 0;            // pitch class
    int bass = 0;            // pitch class under the chord ("C/E" has bass 4)
    std::vector<int> tones;  // pitch classes, root first
    bool has(int pitchClass) const;
};

// "Dm", "Bb", "F#dim", "G7", "Cmaj7", "Am7", "Esus4", "Dsus2", "Cadd9", "E5", "C/E".
// Throws std::invalid_argument for anything else, failing the build.
Chord chord(std::string_view symbol);

struct Scale {
    int tonic = 0;  // pitch class
    std::array<int, 7> steps{};
    // Index 0 is the tonic in the octave from middle C; 7 is an octave up.
    int pitch(int index) const;
    int indexNear(int midiKey) const;
};
Scale major(int tonic);
Scale naturalMinor(int tonic);
Scale harmonicMinor(int tonic);
Scale dorian(int tonic);

// Which chord sounds when.
class Harmony {
public:
    // Lays `bars` from `start`, one string per bar; a string of several
    // symbols splits its bar evenly ("Dm C" = two beats each in 4/4).
    void bars(Tick start, Tick barLength, std::initializer_list<std::string_view> perBar);
    const Chord& at(Tick tick) const;
    // Start of the next chord change after `tick` (or `limit`).
    Tick nextChange(Tick tick, Tick limit) const;

private:
    struct Entry {
        Tick at;
        Chord chord;
    };
    std::vector<Entry> entries_;
};

class Song {
public:
    Song(const char* title, double bpm, int beatsPerBar);

    // A melodic part on its own channel and track; returns its handle.
    int part(const char* name, int program, int volume, int pan, int reverb = 40, int chorus = 0);
    int drums(const char* name, int volume, int reverb = 30);

    int beatsPerBar() const { return beatsPerBar_; }
    Tick barLength() const { return beatsPerBar_ * Quarter; }
    Tick bar(int n) const { return static_cast<Tick>(n) * barLength(); }

    void note(int part, Tick at, Tick length, int key, int velocity);
    // Expression (controller 11) moving in even steps from one level to another.
    void swell(int part, Tick from, Tick to, int fromLevel, int toLevel);
    void tempo(Tick at, double bpm);
    // Slows down smoothly, one tempo change a beat.
    void ritardando(Tick from, Tick to, double fromBpm, double toBpm);

    // Ends the piece: `tail` of silence after `end` lets the last notes ring.
    platform::midi::File finish(Tick end, Tick tail);

private:
    platform::midi::File file_;
    int beatsPerBar_;
    std::vector<int> channels_;
    int nextChannel_ = 0;
};

// Steps are per sixteenth. Drums: 'X' accent, 'x' normal, 'o' soft, '.' rest.
void drumPattern(Song& song, int part, int key, Tick from, Tick to, std::string_view pattern, int velocity);
// A roll of sixteenths rising from `fromVelocity` to `toVelocity`.
void drumRoll(Song& song, int part, int key, Tick from, Tick to, int fromVelocity, int toVelocity);

// Bass by pattern over the harmony, per sixteenth: 'R' the chord's bass note,
// 'F' its fifth, 'O' the bass an octave up, 'T' the third, 'A' a step leading
// into the next chord's bass, '-' holds the note before, '.' rests.
void bassLine(Song& song, int part, const Harmony& h, Tick from, Tick to, std::string_view pattern,
              int low, int velocity);

// Held chords: one voicing per chord change, each close to the last.
void pads(Song& song, int part, const Harmony& h, Tick from, Tick to, int low, int high, int voices,
          int velocity);

// Chord stabs by pattern ('x' strikes, '-' holds, '.' rests), voiced like pads.
void stabs(Song& song, int part, const Harmony& h, Tick from, Tick to, std::string_view pattern, int low,
           int high, int voices, int velocity);

// Broken chords: `order` lists chord-tone numbers (0 the lowest voice, may run
// past the chord into higher octaves), one per `step`.
void arpeggio(Song& song, int part, const Harmony& h, Tick from, Tick to, const std::vector<int>& order,
              Tick step, int low, int velocity, Tick hold = 0);

// One melodic gesture: scale steps from the note before, lengths in sixteenths.
struct Cell {
    int step;
    int len;
    bool rest = false;
};
using Motif = std::vector<Cell>;
Motif rest(int len, Motif m = {});
Motif inverted(Motif m);
// Small changes of step and rhythm so that repeats are not copies.
Motif varied(const Motif& m, Rng& rng, double amount);
int lengthOf(const Motif& m);  // in sixteenths

class Melody {
public:
    Melody(Song& song, int part, const Scale& scale, int low, int high, int startKey);

    // Plays the motif from `at`; strong beats and long notes settle on chord tones.
    Tick play(Tick at, const Motif& m, const Harmony& h, int velocity, Rng& rng, double legato = 0.92);
    // A closing note on the chord's root (or third), nearest the line.
    Tick cadence(Tick at, int len, const Harmony& h, int velocity, bool onRoot = true);
    // Moves the line to start near `key` for the next phrase.
    void moveNear(int key) { index_ = scale_.indexNear(key); }
    int key() const { return scale_.pitch(index_); }

private:
    int settle(int index, const Chord& c, int direction) const;
    int inRange(int index, int step) const;

    Song& song_;
    int part_;
    Scale scale_;
    int low_;
    int high_;
    int index_;
};

}  // namespace music
