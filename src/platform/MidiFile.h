#pragma once
#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

// Standard MIDI files: the writer our music generator composes into, and the
// little reading the music player needs (is it MIDI, and how long does it last).
namespace platform::midi {

constexpr int PercussionChannel = 9;  // "channel 10" in musicians' counting
constexpr std::uint32_t MaxVarLen = 0x0FFFFFFF;
// Music files are small; anything bigger is not one and is not read whole.
constexpr qint64 MaxFileBytes = 16 << 20;

// Variable-length quantity: 7 bits a byte, most significant first, high bit
// set on every byte but the last. Values above MaxVarLen are clamped.
void appendVarLen(QByteArray& out, std::uint32_t value);
// Reads one at `pos` and moves past it; nullopt when the data ends first or
// the quantity runs longer than four bytes.
std::optional<std::uint32_t> readVarLen(const QByteArray& data, qsizetype& pos);

// One track chunk. Events are placed at absolute ticks in any order; encode()
// sorts them and turns them into delta times.
class Track {
public:
    void noteOn(std::uint32_t tick, int channel, int key, int velocity);
    void noteOff(std::uint32_t tick, int channel, int key);
    // Note on at `tick`, note off `length` ticks later.
    void note(std::uint32_t tick, std::uint32_t length, int channel, int key, int velocity);
    void programChange(std::uint32_t tick, int channel, int program);
    void controller(std::uint32_t tick, int channel, int number, int value);
    void tempo(std::uint32_t tick, std::uint32_t microsPerQuarter);
    void tempoBpm(std::uint32_t tick, double bpm);
    void timeSignature(std::uint32_t tick, int numerator, int denominatorPower);
    void name(const QByteArray& text);
    // The end-of-track event goes at the later of this and the last event.
    void endAt(std::uint32_t tick) { end_ = std::max(end_, tick); }

    std::uint32_t lastTick() const;
    bool empty() const { return events_.empty(); }
    // The "MTrk" chunk, header included.
    QByteArray encode() const;

private:
    struct Event {
        std::uint32_t tick;
        int rank;  // order among events of the same tick
        int seq;   // order of insertion, to keep the sort stable
        QByteArray bytes;
    };
    void add(std::uint32_t tick, int rank, QByteArray bytes);

    std::vector<Event> events_;
    std::uint32_t end_ = 0;
};

// A format 1 file: all tracks play together; the tempo map belongs in the first.
class File {
public:
    explicit File(int division = 480) : division_(division) {}
    int division() const { return division_; }
    Track& addTrack();
    Track& track(int i) { return tracks_.at(static_cast<size_t>(i)); }
    int trackCount() const { return static_cast<int>(tracks_.size()); }
    QByteArray encode() const;
    bool save(const QString& path) const;

private:
    int division_;
    std::vector<Track> tracks_;
};

struct Info {
    int format = 0;
    int trackCount = 0;   // track chunks actually found
    int division = 0;     // raw header word; negative means SMPTE timing
    std::uint32_t totalTicks = 0;  // end of the longest track
    double seconds = 0.0;          // totalTicks through the tempo map
};

// Parses the header and walks every track; nullopt for anything that is not a
// well-formed standard MIDI file.
std::optional<Info> read(const QByteArray& data);
std::optional<Info> readFile(const QString& path);
// The bytes of a file, empty when it is missing, unreadable or over MaxFileBytes.
QByteArray fileBytes(const QString& path);

}  // namespace platform::midi
