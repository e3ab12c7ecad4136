#include "Compose.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace music {

namespace {

int pitchClass(int key) { return ((key % 12) + 12) % 12; }

int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int clampVelocity(int v) { return std::clamp(v, 1, 127); }

// The lowest key at or above `low` with the given pitch class.
int keyAtOrAbove(int pc, int low) { return low + pitchClass(pc - low); }

// Close voicings of the chord inside [low, high], each with `voices` notes.
std::vector<std::vector<int>> voicings(const Chord& c, int low, int high, int voices)
{
    std::vector<std::vector<int>> all;
    const int n = static_cast<int>(c.tones.size());
    for (int inversion = 0; inversion < n; ++inversion) {
        for (int base = keyAtOrAbove(c.tones[inversion], low); base <= high; base += 12) {
            std::vector<int> v{base};
            for (int i = 1; i < voices; ++i) {
                const int pc = c.tones[(inversion + i) % n];
                v.push_back(keyAtOrAbove(pc, v.back() + 1));
            }
            if (v.back() <= high)
                all.push_back(v);
        }
    }
    return all;
}

// The voicing that moves least from the one before (or sits mid-range at first).
std::vector<int> nearestVoicing(const Chord& c, const std::vector<int>& before, int low, int high, int voices)
{
    const auto all = voicings(c, low, high, voices);
    if (all.empty())
        throw std::invalid_argument("no voicing fits the range");
    const int middle = (low + high) / 2;
    const auto cost = [&](const std::vector<int>& v) {
        int d = 0;
        for (size_t i = 0; i < v.size(); ++i)
            d += before.empty() ? std::abs(v[i] - middle) : std::abs(v[i] - before[std::min(i, before.size() - 1)]);
        return d;
    };
    return *std::min_element(all.begin(), all.end(),
                             [&](const auto& a, const auto& b) { return cost(a) < cost(b); });
}

int velocityOf(char c, int velocity)
{
    switch (c) {
    case 'X': return clampVelocity(velocity + 20);
    case 'x': return clampVelocity(velocity);
    case 'o': return clampVelocity(velocity * 3 / 5);
    default: return 0;
    }
}

}  // namespace

std::uint64_t Rng::next()
{
    // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Rng::below(int n) { return n <= 1 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

bool Rng::chance(double p) { return static_cast<double>(next() >> 11) / 9007199254740992.0 < p; }

int Rng::jitter(int spread) { return below(2 * spread + 1) - spread; }

bool Chord::has(int pc) const { return std::find(tones.begin(), tones.end(), pitchClass(pc)) != tones.end(); }

Chord chord(std::string_view symbol)
{
    const auto fail = [&] { throw std::invalid_argument("unknown chord " + std::string(symbol)); };
    const auto letter = [&](std::string_view& s) {
        static constexpr int natural[] = {9, 11, 0, 2, 4, 5, 7};  // A .. G
        if (s.empty() || s[0] < 'A' || s[0] > 'G')
            fail();
        int pc = natural[s[0] - 'A'];
        s.remove_prefix(1);
        if (!s.empty() && (s[0] == '#' || s[0] == 'b')) {
            pc += s[0] == '#' ? 1 : -1;
            s.remove_prefix(1);
        }
        return pitchClass(pc);
    };

    std::string_view s = symbol;
    Chord c;
    c.root = letter(s);
    std::string_view quality = s.substr(0, s.find('/'));
    s.remove_prefix(quality.size());

    static const std::pair<std::string_view, std::vector<int>> qualities[] = {
        {"", {0, 4, 7}},        {"m", {0, 3, 7}},        {"7", {0, 4, 7, 10}},
        {"maj7", {0, 4, 7, 11}}, {"m7", {0, 3, 7, 10}},   {"dim", {0, 3, 6}},
        {"sus2", {0, 2, 7}},    {"sus4", {0, 5, 7}},     {"add9", {0, 4, 7, 2}},
        {"madd9", {0, 3, 7, 2}}, {"5", {0, 7}},
    };
    const auto q = std::find_if(std::begin(qualities), std::end(qualities),
                                [&](const auto& e) { return e.first == quality; });
    if (q == std::end(qualities))
        fail();
    for (int interval : q->second)
        c.tones.push_back(pitchClass(c.root + interval));

    c.bass = c.root;
    if (!s.empty()) {
        s.remove_prefix(1);  // the slash
        c.bass = letter(s);
        if (!s.empty())
            fail();
    }
    return c;
}

int Scale::pitch(int index) const
{
    const int octave = floorDiv(index, 7);
    return 60 + tonic + 12 * octave + steps[static_cast<size_t>(index - 7 * octave)];
}

int Scale::indexNear(int key) const
{
    int best = 0;
    for (int i = -28; i <= 28; ++i) {
        if (std::abs(pitch(i) - key) < std::abs(pitch(best) - key))
            best = i;
    }
    return best;
}

Scale major(int tonic) { return {tonic, {0, 2, 4, 5, 7, 9, 11}}; }
Scale naturalMinor(int tonic) { return {tonic, {0, 2, 3, 5, 7, 8, 10}}; }
Scale harmonicMinor(int tonic) { return {tonic, {0, 2, 3, 5, 7, 8, 11}}; }
Scale dorian(int tonic) { return {tonic, {0, 2, 3, 5, 7, 9, 10}}; }

void Harmony::bars(Tick start, Tick barLength, std::initializer_list<std::string_view> perBar)
{
    Tick at = start;
    for (std::string_view bar : perBar) {
        std::vector<std::string_view> symbols;
        while (!bar.empty()) {
            const size_t space = bar.find(' ');
            if (space != 0)
                symbols.push_back(bar.substr(0, space));
            bar.remove_prefix(space == std::string_view::npos ? bar.size() : space + 1);
        }
        if (symbols.empty())
            throw std::invalid_argument("a bar without a chord");
        const Tick each = barLength / static_cast<Tick>(symbols.size());
        for (size_t i = 0; i < symbols.size(); ++i)
            entries_.push_back({at + static_cast<Tick>(i) * each, chord(symbols[i])});
        at += barLength;
    }
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.at < b.at; });
}

const Chord& Harmony::at(Tick tick) const
{
    if (entries_.empty())
        throw std::logic_error("empty harmony");
    const auto it = std::upper_bound(entries_.begin(), entries_.end(), tick,
                                     [](Tick t, const Entry& e) { return t < e.at; });
    return it == entries_.begin() ? it->chord : std::prev(it)->chord;
}

Tick Harmony::nextChange(Tick tick, Tick limit) const
{
    const auto it = std::upper_bound(entries_.begin(), entries_.end(), tick,
                                     [](Tick t, const Entry& e) { return t < e.at; });
    return it == entries_.end() ? limit : std::min(limit, it->at);
}

Song::Song(const char* title, double bpm, int beatsPerBar) : file_(static_cast<int>(Ppq)), beatsPerBar_(beatsPerBar)
{
    platform::midi::Track& conductor = file_.addTrack();
    conductor.name(title);
    conductor.timeSignature(0, beatsPerBar, 2);
    conductor.tempoBpm(0, bpm);
}

int Song::part(const char* name, int program, int volume, int pan, int reverb, int chorus)
{
    if (nextChannel_ == platform::midi::PercussionChannel)
        ++nextChannel_;
    if (nextChannel_ > 15)
        throw std::logic_error("out of channels");
    const int ch = nextChannel_++;
    platform::midi::Track& t = file_.addTrack();
    t.name(name);
    t.controller(0, ch, 121, 0);  // reset controllers
    t.programChange(0, ch, program);
    t.controller(0, ch, 7, volume);
    t.controller(0, ch, 10, pan);
    t.controller(0, ch, 91, reverb);
    t.controller(0, ch, 93, chorus);
    t.controller(0, ch, 11, 127);
    channels_.push_back(ch);
    return static_cast<int>(channels_.size()) - 1;
}

int Song::drums(const char* name, int volume, int reverb)
{
    const int ch = platform::midi::PercussionChannel;
    platform::midi::Track& t = file_.addTrack();
    t.name(name);
    t.programChange(0, ch, 0);
    t.controller(0, ch, 7, volume);
    t.controller(0, ch, 10, 64);
    t.controller(0, ch, 91, reverb);
    channels_.push_back(ch);
    return static_cast<int>(channels_.size()) - 1;
}

void Song::note(int part, Tick at, Tick length, int key, int velocity)
{
    if (key < 0 || key > 127)
        throw std::out_of_range("note out of the keyboard");
    file_.track(part + 1).note(at, length, channels_.at(static_cast<size_t>(part)), key, clampVelocity(velocity));
}

void Song::swell(int part, Tick from, Tick to, int fromLevel, int toLevel)
{
    const int ch = channels_.at(static_cast<size_t>(part));
    const int steps = std::max<int>(1, static_cast<int>((to - from) / Eighth));
    for (int i = 0; i <= steps; ++i) {
        const Tick at = from + (to - from) * static_cast<Tick>(i) / static_cast<Tick>(steps);
        file_.track(part + 1).controller(at, ch, 11, fromLevel + (toLevel - fromLevel) * i / steps);
    }
}

void Song::tempo(Tick at, double bpm) { file_.track(0).tempoBpm(at, bpm); }

void Song::ritardando(Tick from, Tick to, double fromBpm, double toBpm)
{
    const int beats = std::max<int>(1, static_cast<int>((to - from) / Quarter));
    for (int i = 0; i < beats; ++i) {
        const double f = static_cast<double>(i + 1) / beats;
        tempo(from + static_cast<Tick>(i) * Quarter, fromBpm + (toBpm - fromBpm) * f);
    }
}

platform::midi::File Song::finish(Tick end, Tick tail)
{
    for (int i = 0; i < file_.trackCount(); ++i)
        file_.track(i).endAt(end + tail);
    return file_;
}

void drumPattern(Song& song, int part, int key, Tick from, Tick to, std::string_view pattern, int velocity)
{
    const Tick span = static_cast<Tick>(pattern.size()) * Sixteenth;
    for (Tick at = from; at < to; at += span) {
        for (size_t i = 0; i < pattern.size(); ++i) {
            const Tick t = at + static_cast<Tick>(i) * Sixteenth;
            const int v = velocityOf(pattern[i], velocity);
            if (v > 0 && t < to)
                song.note(part, t, Sixteenth, key, v);
        }
    }
}

void drumRoll(Song& song, int part, int key, Tick from, Tick to, int fromVelocity, int toVelocity)
{
    const int n = std::max<int>(1, static_cast<int>((to - from) / Sixteenth));
    for (int i = 0; i < n; ++i)
        song.note(part, from + static_cast<Tick>(i) * Sixteenth, Sixteenth, key,
                  fromVelocity + (toVelocity - fromVelocity) * i / std::max(1, n - 1));
}

void bassLine(Song& song, int part, const Harmony& h, Tick from, Tick to, std::string_view pattern, int low,
              int velocity)
{
    // Notes are gathered first so that '-' can lengthen the one before.
    struct Pending {
        Tick at;
        Tick len;
        int key;
        int velocity;
    };
    std::vector<Pending> notes;
    const Tick span = static_cast<Tick>(pattern.size()) * Sixteenth;
    for (Tick at = from; at < to; at += span) {
        for (size_t i = 0; i < pattern.size(); ++i) {
            const Tick t = at + static_cast<Tick>(i) * Sixteenth;
            if (t >= to)
                break;
            const char c = pattern[i];
            if (c == '-') {
                if (!notes.empty() && notes.back().at + notes.back().len == t)
                    notes.back().len += Sixteenth;
                continue;
            }
            if (c == '.')
                continue;
            const Chord& ch = h.at(t);
            const int bass = keyAtOrAbove(ch.bass, low);
            int key = bass;
            switch (c) {
            case 'R': break;
            case 'O': key = bass + 12; break;
            case 'F': {
                const bool flatFifth = ch.has(ch.root + 6) && !ch.has(ch.root + 7);
                key = keyAtOrAbove(ch.root + (flatFifth ? 6 : 7), bass + 1);
                break;
            }
            case 'T': key = keyAtOrAbove(ch.tones.size() > 1 ? ch.tones[1] : ch.root, bass + 1); break;
            case 'A': {
                // Approach from a step below or above the next chord's bass.
                const Chord& next = h.at(h.nextChange(t, to));
                const int target = keyAtOrAbove(next.bass, low);
                key = target - 2 >= low ? target - 2 : target + 2;
                break;
            }
            default: throw std::invalid_argument("bad bass pattern");
            }
            const int accent = (t % song.barLength() == 0) ? 8 : 0;
            notes.push_back({t, Sixteenth, key, velocity + accent});
        }
    }
    for (const Pending& n : notes)
        song.note(part, n.at, n.len * 15 / 16, n.key, n.velocity);
}

void pads(Song& song, int part, const Harmony& h, Tick from, Tick to, int low, int high, int voices, int velocity)
{
    std::vector<int> before;
    for (Tick at = from; at < to;) {
        const Tick end = h.nextChange(at, to);
        before = nearestVoicing(h.at(at), before, low, high, voices);
        for (int key : before)
            song.note(part, at, end - at, key, velocity);
        at = end;
    }
}

void stabs(Song& song, int part, const Harmony& h, Tick from, Tick to, std::string_view pattern, int low, int high,
           int voices, int velocity)
{
    std::vector<int> voicing;
    const Tick span = static_cast<Tick>(pattern.size()) * Sixteenth;
    for (Tick at = from; at < to; at += span) {
        for (size_t i = 0; i < pattern.size(); ++i) {
            const Tick t = at + static_cast<Tick>(i) * Sixteenth;
            if (pattern[i] != 'x' || t >= to)
                continue;
            Tick len = Sixteenth;
            for (size_t j = i + 1; j < pattern.size() && pattern[j] == '-'; ++j)
                len += Sixteenth;
            voicing = nearestVoicing(h.at(t), voicing, low, high, voices);
            for (int key : voicing)
                song.note(part, t, len * 7 / 8, key, velocity + ((t % song.barLength() == 0) ? 10 : 0));
        }
    }
}

void arpeggio(Song& song, int part, const Harmony& h, Tick from, Tick to, const std::vector<int>& order, Tick step,
              int low, int velocity, Tick hold)
{
    size_t i = 0;
    for (Tick at = from; at < to; at += step, ++i) {
        const int n = order[i % order.size()];
        if (n < 0)
            continue;
        const Chord& c = h.at(at);
        // Chord tones upward from the bass: n-th one, octaves added past the end.
        std::vector<int> keys{keyAtOrAbove(c.bass, low)};
        while (static_cast<int>(keys.size()) <= n) {
            const int pc = c.tones[keys.size() % c.tones.size()];
            keys.push_back(keyAtOrAbove(pc, keys.back() + 1));
        }
        const int accent = (at % song.barLength() == 0) ? 10 : 0;
        song.note(part, at, hold ? hold : step, keys[static_cast<size_t>(n)], velocity + accent);
    }
}

Motif rest(int len, Motif m)
{
    m.push_back({0, len, true});
    return m;
}

Motif inverted(Motif m)
{
    for (size_t i = 1; i < m.size(); ++i)
        m[i].step = -m[i].step;
    return m;
}

Motif varied(const Motif& m, Rng& rng, double amount)
{
    Motif out;
    for (size_t i = 0; i < m.size(); ++i) {
        Cell c = m[i];
        if (c.rest || i == 0) {
            out.push_back(c);
            continue;
        }
        if (rng.chance(amount))
            c.step += rng.chance(0.5) ? 1 : -1;
        if (c.len >= 4 && c.len % 2 == 0 && rng.chance(amount / 2)) {
            // Split a long note into two, the second a step away.
            out.push_back({c.step, c.len / 2});
            out.push_back({rng.chance(0.5) ? 1 : -1, c.len / 2});
            continue;
        }
        out.push_back(c);
    }
    return out;
}

int lengthOf(const Motif& m)
{
    int n = 0;
    for (const Cell& c : m)
        n += c.len;
    return n;
}

Melody::Melody(Song& song, int part, const Scale& scale, int low, int high, int startKey)
    : song_(song), part_(part), scale_(scale), low_(low), high_(high), index_(scale.indexNear(startKey))
{
}

int Melody::inRange(int index, int step) const
{
    // A leap out of range turns back the other way instead.
    if (scale_.pitch(index) > high_ || scale_.pitch(index) < low_)
        index -= 2 * step;
    while (scale_.pitch(index) > high_)
        index -= 7;
    while (scale_.pitch(index) < low_)
        index += 7;
    return index;
}

int Melody::settle(int index, const Chord& c, int direction) const
{
    const int dir = direction < 0 ? -1 : 1;
    for (int d : {0, dir, -dir, 2 * dir, -2 * dir}) {
        const int k = scale_.pitch(index + d);
        // A line that was meant to move should not stall on the note before.
        if (direction != 0 && index + d == index_)
            continue;
        if (c.has(k) && k >= low_ && k <= high_)
            return index + d;
    }
    return index;
}

Tick Melody::play(Tick at, const Motif& m, const Harmony& h, int velocity, Rng& rng, double legato)
{
    Tick t = at;
    for (const Cell& c : m) {
        const Tick len = static_cast<Tick>(c.len) * Sixteenth;
        if (c.rest) {
            t += len;
            continue;
        }
        int index = inRange(index_ + c.step, c.step);
        // Strong beats and long notes carry the harmony; the rest may pass between.
        const bool strong = t % song_.barLength() == 0 || (song_.beatsPerBar() == 4 && t % (2 * Quarter) == 0);
        if (strong || len >= 2 * Quarter)
            index = settle(index, h.at(t), c.step);
        const int accent = t % song_.barLength() == 0 ? 10 : strong ? 5 : 0;
        song_.note(part_, t, static_cast<Tick>(len * legato), scale_.pitch(index),
                   velocity + accent + rng.jitter(4));
        index_ = index;
        t += len;
    }
    return t;
}

Tick Melody::cadence(Tick at, int len, const Harmony& h, int velocity, bool onRoot)
{
    const Chord& c = h.at(at);
    const int target = onRoot ? c.root : c.tones.at(1);
    int best = index_;
    for (int d : {0, -1, 1, -2, 2, -3, 3, -4, 4}) {
        const int k = scale_.pitch(index_ + d);
        if (pitchClass(k) == target && k >= low_ && k <= high_) {
            best = index_ + d;
            break;
        }
    }
    index_ = best;
    const Tick length = static_cast<Tick>(len) * Sixteenth;
    song_.note(part_, at, length * 95 / 100, scale_.pitch(index_), velocity);
    return at + length;
}

}  // namespace music
