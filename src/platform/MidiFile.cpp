#include "platform/MidiFile.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>
#include <initializer_list>

namespace platform::midi {

namespace {

// Ranks of events that share a tick: settings first, and a note's end before
// the next note on the same key begins, or the new note would be cut at once.
enum Rank { MetaRank = 0, NoteOffRank = 1, SetupRank = 2, NoteOnRank = 3 };

char byte(int v) { return static_cast<char>(v & 0xFF); }
QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(values.size()));
    for (int v : values)
        out.append(byte(v));
    return out;
}

int clamp7(int v) { return std::clamp(v, 0, 127); }
int channelBits(int channel) { return std::clamp(channel, 0, 15); }

void appendU32(QByteArray& out, std::uint32_t v)
{
    out.append(byte(v >> 24)).append(byte(v >> 16)).append(byte(v >> 8)).append(byte(v));
}

void appendU16(QByteArray& out, int v)
{
    out.append(byte(v >> 8)).append(byte(v));
}

std::uint32_t u32At(const QByteArray& d, qsizetype pos)
{
    const auto b = [&](qsizetype i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(d[pos + i])); };
    return (b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3);
}

int u16At(const QByteArray& d, qsizetype pos)
{
    return (static_cast<unsigned char>(d[pos]) << 8) | static_cast<unsigned char>(d[pos + 1]);
}

struct TempoChange {
    std::uint64_t tick;
    std::uint32_t micros;
};

// Walks one track's events; false when they are malformed.
bool walkTrack(const QByteArray& d, qsizetype pos, qsizetype end,
               std::vector<TempoChange>& tempos, std::uint64_t& endTick)
{
    std::uint64_t tick = 0;
    int running = 0;
    while (pos < end) {
        const auto delta = readVarLen(d, pos);
        if (!delta || pos >= end)
            return false;
        tick += *delta;
        int status = static_cast<unsigned char>(d[pos]);
        if (status & 0x80) {
            ++pos;
        } else if (running) {
            status = running;  // running status: the data byte is already at pos
        } else {
            return false;
        }

        if (status == 0xFF) {
            running = 0;
            if (pos >= end)
                return false;
            const int type = static_cast<unsigned char>(d[pos++]);
            const auto len = readVarLen(d, pos);
            if (!len || pos > end || *len > static_cast<std::uint64_t>(end - pos))
                return false;
            if (type == 0x51 && *len == 3) {
                const std::uint32_t us = (static_cast<unsigned char>(d[pos]) << 16)
                    | (static_cast<unsigned char>(d[pos + 1]) << 8) | static_cast<unsigned char>(d[pos + 2]);
                if (us > 0)
                    tempos.push_back({tick, us});
            }
            pos += static_cast<qsizetype>(*len);
            if (type == 0x2F)
                break;
        } else if (status == 0xF0 || status == 0xF7) {
            running = 0;
            const auto len = readVarLen(d, pos);
            if (!len || pos > end || *len > static_cast<std::uint64_t>(end - pos))
                return false;
            pos += static_cast<qsizetype>(*len);
        } else if (status >= 0xF0) {
            return false;  // real-time and system common messages do not belong in files
        } else {
            running = status;
            const int kind = status & 0xF0;
            const int dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            if (end - pos < dataBytes)
                return false;
            for (int i = 0; i < dataBytes; ++i) {
                if (static_cast<unsigned char>(d[pos + i]) & 0x80)
                    return false;
            }
            pos += dataBytes;
        }
    }
    endTick = tick;
    return true;
}

double secondsOf(std::uint64_t totalTicks, int division, std::vector<TempoChange> tempos)
{
    if (division < 0) {
        // SMPTE timing: frames per second in the high byte (negated), ticks per frame in the low.
        const int fps = -static_cast<signed char>(static_cast<unsigned>(division) >> 8 & 0xFF);
        const int perFrame = division & 0xFF;
        const double rate = (fps == 29 ? 29.97 : fps) * perFrame;
        return rate > 0 ? static_cast<double>(totalTicks) / rate : 0.0;
    }
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    double seconds = 0.0;
    std::uint64_t at = 0;
    std::uint32_t micros = 500000;  // 120 beats a minute until told otherwise
    for (const TempoChange& t : tempos) {
        if (t.tick >= totalTicks)
            break;
        seconds += static_cast<double>(t.tick - at) * micros / 1e6 / division;
        at = t.tick;
        micros = t.micros;
    }
    seconds += static_cast<double>(totalTicks - at) * micros / 1e6 / division;
    return seconds;
}

}  // namespace

void appendVarLen(QByteArray& out, std::uint32_t value)
{
    value = std::min(value, MaxVarLen);
    char buf[4];
    int n = 0;
    buf[n++] = byte(value & 0x7F);
    while (value >>= 7)
        buf[n++] = byte((value & 0x7F) | 0x80);
    while (n > 0)
        out.append(buf[--n]);
}

std::optional<std::uint32_t> readVarLen(const QByteArray& data, qsizetype& pos)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        if (pos >= data.size())
            return std::nullopt;
        const auto b = static_cast<unsigned char>(data[pos++]);
        value = (value << 7) | (b & 0x7F);
        if (!(b & 0x80))
            return value;
    }
    return std::nullopt;
}

void Track::add(std::uint32_t tick, int rank, QByteArray bytes)
{
    events_.push_back({tick, rank, static_cast<int>(events_.size()), std::move(bytes)});
}

void Track::noteOn(std::uint32_t tick, int channel, int key, int velocity)
{
    if (velocity <= 0) {
        noteOff(tick, channel, key);
        return;
    }
    add(tick, NoteOnRank, bytes({0x90 | channelBits(channel), clamp7(key), clamp7(velocity)}));
}

void Track::noteOff(std::uint32_t tick, int channel, int key)
{
    add(tick, NoteOffRank, bytes({0x80 | channelBits(channel), clamp7(key), 64}));
}

void Track::note(std::uint32_t tick, std::uint32_t length, int channel, int key, int velocity)
{
    if (velocity <= 0 || length == 0)
        return;
    noteOn(tick, channel, key, velocity);
    noteOff(tick + length, channel, key);
}

void Track::programChange(std::uint32_t tick, int channel, int program)
{
    add(tick, SetupRank, bytes({0xC0 | channelBits(channel), clamp7(program)}));
}

void Track::controller(std::uint32_t tick, int channel, int number, int value)
{
    add(tick, SetupRank, bytes({0xB0 | channelBits(channel), clamp7(number), clamp7(value)}));
}

void Track::tempo(std::uint32_t tick, std::uint32_t microsPerQuarter)
{
    const std::uint32_t us = std::clamp<std::uint32_t>(microsPerQuarter, 1, 0xFFFFFF);
    const auto b = [us](int shift) { return static_cast<int>(us >> shift); };
    add(tick, MetaRank, bytes({0xFF, 0x51, 3, b(16), b(8), b(0)}));
}

void Track::tempoBpm(std::uint32_t tick, double bpm)
{
    tempo(tick, static_cast<std::uint32_t>(std::lround(60e6 / std::max(bpm, 1.0))));
}

void Track::timeSignature(std::uint32_t tick, int numerator, int denominatorPower)
{
    // 24 clocks a metronome click, 8 thirty-second notes a quarter.
    add(tick, MetaRank, bytes({0xFF, 0x58, 4, numerator, denominatorPower, 24, 8}));
}

void Track::name(const QByteArray& text)
{
    QByteArray meta = bytes({0xFF, 0x03});
    appendVarLen(meta, static_cast<std::uint32_t>(text.size()));
    meta.append(text);
    add(0, MetaRank, std::move(meta));
}

std::uint32_t Track::lastTick() const
{
    std::uint32_t last = end_;
    for (const Event& e : events_)
        last = std::max(last, e.tick);
    return last;
}

QByteArray Track::encode() const
{
    std::vector<const Event*> order;
    order.reserve(events_.size());
    for (const Event& e : events_)
        order.push_back(&e);
    std::sort(order.begin(), order.end(), [](const Event* a, const Event* b) {
        if (a->tick != b->tick)
            return a->tick < b->tick;
        if (a->rank != b->rank)
            return a->rank < b->rank;
        return a->seq < b->seq;
    });

    QByteArray body;
    std::uint32_t at = 0;
    for (const Event* e : order) {
        appendVarLen(body, e->tick - at);
        body.append(e->bytes);
        at = e->tick;
    }
    appendVarLen(body, lastTick() - at);
    body.append(byte(0xFF)).append(byte(0x2F)).append(byte(0));

    QByteArray chunk("MTrk");
    appendU32(chunk, static_cast<std::uint32_t>(body.size()));
    chunk.append(body);
    return chunk;
}

Track& File::addTrack()
{
    tracks_.emplace_back();
    return tracks_.back();
}

QByteArray File::encode() const
{
    QByteArray out("MThd");
    appendU32(out, 6);
    appendU16(out, 1);
    appendU16(out, trackCount());
    appendU16(out, division_);
    for (const Track& t : tracks_)
        out.append(t.encode());
    return out;
}

bool File::save(const QString& path) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = encode();
    return f.write(bytes) == bytes.size() && f.commit();
}

std::optional<Info> read(const QByteArray& data)
{
    if (data.size() < 14 || !data.startsWith("MThd"))
        return std::nullopt;
    const std::uint32_t headerLength = u32At(data, 4);
    if (headerLength < 6 || headerLength > static_cast<std::uint32_t>(data.size() - 8))
        return std::nullopt;

    Info info;
    info.format = u16At(data, 8);
    info.division = static_cast<std::int16_t>(u16At(data, 12));
    if (info.format > 2 || info.division == 0)
        return std::nullopt;

    std::vector<TempoChange> tempos;
    std::uint64_t total = 0;
    qsizetype pos = 8 + static_cast<qsizetype>(headerLength);
    while (data.size() - pos >= 8) {
        const std::uint32_t length = u32At(data, pos + 4);
        const qsizetype body = pos + 8;
        if (length > static_cast<std::uint64_t>(data.size() - body))
            return std::nullopt;
        const qsizetype end = body + static_cast<qsizetype>(length);
        // Chunks of other kinds are allowed and skipped.
        if (data.mid(pos, 4) == "MTrk") {
            std::uint64_t endTick = 0;
            if (!walkTrack(data, body, end, tempos, endTick))
                return std::nullopt;
            total = std::max(total, endTick);
            ++info.trackCount;
        }
        pos = end;
    }
    if (info.trackCount == 0)
        return std::nullopt;

    info.totalTicks = static_cast<std::uint32_t>(std::min<std::uint64_t>(total, UINT32_MAX));
    info.seconds = secondsOf(total, info.division, std::move(tempos));
    return info;
}

QByteArray fileBytes(const QString& path)
{
    if (path.isEmpty())
        return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > MaxFileBytes)
        return {};
    return f.read(MaxFileBytes);
}

std::optional<Info> readFile(const QString& path)
{
    return read(fileBytes(path));
}

}  // namespace platform::midi
