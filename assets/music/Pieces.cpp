#include "Pieces.h"

#include "Compose.h"

namespace music {

namespace {

// General MIDI programs and drum keys we use.
enum Program {
    ElectricPiano = 4, Celesta = 8, Glockenspiel = 9, Vibraphone = 11, AcousticBass = 32, FingerBass = 33,
    FretlessBass = 35, Harp = 46, Timpani = 47,
    Strings = 48, SlowStrings = 49, Choir = 52, Trumpet = 56, Trombone = 57, Tuba = 58, FrenchHorn = 60,
    BrassSection = 61, Clarinet = 71, Piccolo = 72, Flute = 73, SawLead = 81, WarmPad = 89, SweepPad = 95,
};
enum Drum {
    BassDrum = 35, Kick = 36, SideStick = 37, Snare = 38, ClosedHat = 42, LowTom = 45, MidTom = 47,
    HighTom = 50, Crash = 49, Ride = 51, Cabasa = 69, Triangle = 81,
};

// Four descending toms over the last beat of a bar, to lead into the next phrase.
void tomFill(Song& s, int kit, Tick barStart, int velocity)
{
    const Tick at = barStart + 3 * Quarter;
    const int toms[] = {HighTom, MidTom, LowTom, LowTom};
    for (int i = 0; i < 4; ++i)
        s.note(kit, at + static_cast<Tick>(i) * Sixteenth, Sixteenth, toms[i], velocity + 6 * i);
}

// The menu theme: slow, D dorian, a flute over pads and harp.
platform::midi::File nightWatch()
{
    Song s("Night Watch", 72, 4);
    Rng rng(0x4E5717);
    const int pad = s.part("Warm pad", WarmPad, 108, 64, 70, 40);
    const int harp = s.part("Harp", Harp, 100, 44, 60);
    const int bass = s.part("Fretless bass", FretlessBass, 110, 64, 30);
    const int flute = s.part("Flute", Flute, 114, 78, 65);
    const int strings = s.part("Strings", SlowStrings, 102, 52, 70);
    const int celesta = s.part("Celesta", Celesta, 90, 92, 75);
    const int kit = s.drums("Brushes", 86, 55);

    const Tick bar = s.barLength();
    Harmony h;
    h.bars(s.bar(0), bar, {"Dm", "Dm", "G/D", "Dm"});
    h.bars(s.bar(4), bar, {"Dm", "C", "G", "Dm", "F", "C", "G", "Am"});
    h.bars(s.bar(12), bar, {"F", "C", "Dm", "Am", "F", "G", "Em", "Am G"});
    h.bars(s.bar(20), bar, {"Dm", "C", "G", "Dm", "F", "C", "Am G", "Dm"});
    h.bars(s.bar(28), bar, {"G/D", "Dm", "G/D", "Dm"});
    const Tick end = s.bar(32);

    pads(s, pad, h, 0, end, 50, 69, 4, 56);
    s.swell(pad, 0, s.bar(4), 60, 110);
    s.swell(pad, s.bar(28), end, 110, 50);
    arpeggio(s, harp, h, s.bar(2), s.bar(30), {0, 2, 4, 5, 6, 5, 4, 2}, Eighth, 50, 54, Quarter);
    bassLine(s, bass, h, s.bar(4), s.bar(12), "R-------F---R---", 38, 70);
    bassLine(s, bass, h, s.bar(12), s.bar(20), "R-----R-F---O-A-", 38, 72);
    bassLine(s, bass, h, s.bar(20), s.bar(28), "R-------F---R---", 38, 70);
    bassLine(s, bass, h, s.bar(28), end, "R---------------", 38, 62);

    const Scale key = dorian(2);
    const Motif theme = {{0, 6}, {1, 2}, {1, 8}, {-2, 4}, {4, 4}, {-1, 8}};
    const Motif descent = {{2, 4}, {-1, 4}, {-1, 4}, {-1, 4}};

    // The celesta hints at the theme before the flute sings it.
    Melody cel(s, celesta, key, 74, 93, 81);
    cel.play(s.bar(0) + 2 * Quarter, {{0, 4}, {1, 2}, {1, 10}}, h, 58, rng);
    cel.play(s.bar(2) + 2 * Quarter, {{-2, 4}, {4, 4}, {-1, 16}}, h, 54, rng);

    Melody fl(s, flute, key, 62, 86, 69);
    const auto verse = [&](Tick at) {
        fl.moveNear(69);
        fl.play(at, theme, h, 78, rng);
        fl.play(at + 2 * bar, varied(theme, rng, 0.35), h, 74, rng);
        fl.play(at + 4 * bar, inverted(theme), h, 80, rng);
        fl.play(at + 6 * bar, descent, h, 76, rng);
        fl.cadence(at + 7 * bar, 16, h, 70);
    };
    verse(s.bar(4));

    // Middle: the strings take a flowing line, the flute holds long notes above.
    Melody st(s, strings, key, 55, 79, 65);
    const Motif flow = {{0, 4}, {1, 2}, {1, 2}, {1, 4}, {-2, 4}, {-1, 12}, {0, 4, true}};
    st.play(s.bar(12), flow, h, 80, rng);
    st.play(s.bar(14), varied(flow, rng, 0.4), h, 80, rng);
    st.play(s.bar(16), inverted(flow), h, 84, rng);
    st.play(s.bar(18), {{1, 4}, {1, 4}, {-1, 4}, {-1, 4}}, h, 80, rng);
    st.cadence(s.bar(19), 8, h, 74, false);
    s.swell(strings, s.bar(12), s.bar(16), 70, 120);
    s.swell(strings, s.bar(16), s.bar(20), 120, 90);
    fl.moveNear(81);
    for (int b = 12; b < 20; b += 2)
        fl.play(s.bar(b), {{0, 8}, {-1, 8}, {-1, 16}}, h, 56, rng);

    verse(s.bar(20));
    st.moveNear(62);
    for (int b = 20; b < 28; b += 2)
        st.play(s.bar(b), {{0, 16}, {-1, 8}, {1, 8}}, h, 58, rng);

    // Closing echo of the theme, high and quiet.
    cel.moveNear(81);
    cel.play(s.bar(28), {{0, 6}, {1, 2}, {1, 8}, {-2, 4}, {4, 4}, {-1, 8}}, h, 52, rng);
    cel.cadence(s.bar(30), 32, h, 48);

    drumPattern(s, kit, Ride, s.bar(12), s.bar(28), "x.o.x.o.x.o.x.o.", 34);
    drumPattern(s, kit, BassDrum, s.bar(12), s.bar(28), "x.......x.......", 44);
    drumPattern(s, kit, SideStick, s.bar(12), s.bar(28), "....x.......x...", 30);
    drumPattern(s, kit, Triangle, s.bar(20), s.bar(28), "x...............", 34);
    drumPattern(s, kit, Ride, s.bar(28), s.bar(30), "x...o...x...o...", 30);
    drumPattern(s, kit, Crash, s.bar(20), s.bar(20) + Quarter, "x", 40);

    s.ritardando(s.bar(30), end, 72, 54);
    return s.finish(end, 3 * Quarter);
}

// The battle theme: fast E minor, driving strings, horns and drums.
platform::midi::File ironTide()
{
    Song s("Iron Tide", 144, 4);
    Rng rng(0x1207DE);
    const int ost = s.part("Strings ostinato", Strings, 96, 46, 45);
    const int low = s.part("Bass", FingerBass, 104, 64, 20);
    const int horn = s.part("Horns", FrenchHorn, 104, 74, 55);
    const int lead = s.part("Lead", SawLead, 72, 86, 50, 30);
    const int brass = s.part("Brass", BrassSection, 90, 56, 45);
    const int choir = s.part("Choir", Choir, 86, 64, 80);
    const int timp = s.part("Timpani", Timpani, 106, 64, 50);
    const int kit = s.drums("Drums", 100, 35);

    const Tick bar = s.barLength();
    Harmony h;
    h.bars(s.bar(0), bar, {"E5", "E5", "C5", "D5"});
    h.bars(s.bar(4), bar, {"Em", "C", "D", "Em", "Em", "C", "Am", "B5"});
    h.bars(s.bar(12), bar, {"Em", "C", "D", "Em", "C", "D", "B5", "Em"});
    h.bars(s.bar(20), bar, {"C", "D", "Em", "Em", "C", "D", "B5", "B5"});
    h.bars(s.bar(28), bar, {"Em", "Em", "C", "D"});
    h.bars(s.bar(32), bar, {"Em", "C", "D", "Em", "Em", "C", "Am", "B5"});
    h.bars(s.bar(40), bar, {"Em", "C", "D", "Em", "C", "D", "B5", "Em"});
    h.bars(s.bar(48), bar, {"C", "D", "B5", "E5"});
    const Tick end = s.bar(52);

    arpeggio(s, ost, h, 0, s.bar(51), {0, 0, 2, 0, 3, 0, 2, 0}, Sixteenth, 52, 56, Sixteenth * 3 / 4);
    s.swell(ost, 0, s.bar(4), 70, 110);
    s.swell(ost, s.bar(20), s.bar(21), 110, 84);
    s.swell(ost, s.bar(28), s.bar(32), 84, 127);

    bassLine(s, low, h, 0, s.bar(4), "R-------R-------", 28, 84);
    bassLine(s, low, h, s.bar(4), s.bar(20), "R.R.R.R.R.R.F.O.", 28, 84);
    bassLine(s, low, h, s.bar(20), s.bar(28), "R-------R---F---", 28, 80);
    bassLine(s, low, h, s.bar(28), s.bar(48), "R.R.R.R.R.R.F.O.", 28, 88);
    bassLine(s, low, h, s.bar(48), s.bar(51), "R.RR.RR.R.RR.R.O", 28, 90);
    bassLine(s, low, h, s.bar(51), end, "R---------------", 28, 96);

    bassLine(s, timp, h, 0, s.bar(4), "R.....R.R.......", 40, 86);
    bassLine(s, timp, h, s.bar(4), s.bar(20), "R...............", 40, 80);
    bassLine(s, timp, h, s.bar(28), s.bar(32), "R...R...R...R.RR", 40, 84);
    bassLine(s, timp, h, s.bar(32), s.bar(48), "R.......R.......", 40, 82);
    drumRoll(s, timp, 40, s.bar(50), s.bar(51), 60, 110);
    s.note(timp, s.bar(51), Quarter, 40, 104);

    const Scale key = naturalMinor(4);
    const Motif call = {{0, 4}, {0, 2}, {1, 2}, {2, 6}, {-1, 2}, {-1, 4}, {-2, 4}, {4, 8}};
    const Motif reply = {{1, 2}, {1, 2}, {1, 4}, {-3, 4}, {2, 4}, {-1, 8}, {0, 8, true}};
    const Motif callAgain = varied(call, rng, 0.3);
    const Motif replyAgain = varied(reply, rng, 0.3);
    // Sixteen bars of the main tune; the horns sing it first, then with the lead.
    const auto tune = [&](Melody& m, Tick at, int vel, int startKey) {
        m.moveNear(startKey);
        m.play(at, call, h, vel, rng);
        m.play(at + 2 * bar, reply, h, vel - 4, rng);
        m.play(at + 4 * bar, callAgain, h, vel, rng);
        m.play(at + 6 * bar, {{-1, 4}, {-1, 4}, {1, 8}}, h, vel, rng);
        m.cadence(at + 7 * bar, 16, h, vel - 6);
        m.moveNear(startKey + 3);
        m.play(at + 8 * bar, call, h, vel + 4, rng);
        m.play(at + 10 * bar, replyAgain, h, vel, rng);
        m.play(at + 12 * bar, inverted(call), h, vel + 4, rng);
        m.play(at + 14 * bar, {{1, 4}, {1, 4}, {-1, 8}}, h, vel, rng);
        m.cadence(at + 15 * bar, 16, h, vel - 4);
    };
    Melody hn(s, horn, key, 55, 76, 64);
    Melody ld(s, lead, key, 67, 88, 76);
    tune(hn, s.bar(4), 88, 64);
    tune(hn, s.bar(32), 90, 64);
    tune(ld, s.bar(32), 80, 76);

    // Middle: a broad tune over the choir, the drums at half time.
    pads(s, choir, h, s.bar(20), s.bar(28), 52, 72, 4, 66);
    pads(s, choir, h, s.bar(32), s.bar(48), 52, 72, 3, 48);
    hn.moveNear(67);
    hn.play(s.bar(20), {{0, 8}, {1, 8}, {1, 12}, {-1, 4}}, h, 86, rng);
    hn.play(s.bar(22), {{-1, 8}, {-1, 8}, {0, 16}}, h, 82, rng);
    hn.play(s.bar(24), {{2, 8}, {1, 8}, {1, 12}, {-1, 4}}, h, 92, rng);
    hn.play(s.bar(26), {{-1, 8}, {-2, 8}}, h, 86, rng);
    hn.cadence(s.bar(27), 16, h, 84);

    stabs(s, brass, h, s.bar(4), s.bar(20), "x--.......x-.x..", 52, 72, 3, 70);
    stabs(s, brass, h, s.bar(20), s.bar(28), "x---------------", 52, 72, 3, 56);
    stabs(s, brass, h, s.bar(28), s.bar(32), "x..x..x.x..x..x.", 52, 72, 3, 72);
    stabs(s, brass, h, s.bar(32), s.bar(48), "x--.x--.x-..x...", 52, 72, 3, 74);
    stabs(s, brass, h, s.bar(48), s.bar(51), "x-.x-.x-x-.x-.x-", 52, 72, 3, 84);
    stabs(s, brass, h, s.bar(51), end, "x---------------", 52, 76, 4, 84);

    // Drums: toms in the opening, a backbeat, half time in the middle, a build.
    drumPattern(s, kit, LowTom, 0, s.bar(4), "x..x..x.x..x..x.", 70);
    drumPattern(s, kit, Kick, s.bar(4), s.bar(20), "X.....x.x.....x.", 86);
    drumPattern(s, kit, Snare, s.bar(4), s.bar(20), "....X.......X...", 84);
    drumPattern(s, kit, ClosedHat, s.bar(4), s.bar(20), "x.o.x.o.x.o.x.o.", 62);
    drumPattern(s, kit, Kick, s.bar(20), s.bar(28), "X.........x.....", 78);
    drumPattern(s, kit, Snare, s.bar(20), s.bar(28), "........X.......", 74);
    drumPattern(s, kit, Ride, s.bar(20), s.bar(28), "x.o.x.o.x.o.x.o.", 52);
    drumPattern(s, kit, Snare, s.bar(28), s.bar(30), "x.o.x.o.x.o.x.o.", 58);
    drumRoll(s, kit, Snare, s.bar(30), s.bar(32), 50, 112);
    drumPattern(s, kit, Kick, s.bar(32), s.bar(48), "X.....x.x.x...x.", 84);
    drumPattern(s, kit, Snare, s.bar(32), s.bar(48), "....X.......X..o", 82);
    drumPattern(s, kit, ClosedHat, s.bar(32), s.bar(48), "xoxoxoxoxoxoxoxo", 64);
    drumPattern(s, kit, Kick, s.bar(48), s.bar(51), "X.xX.xX.X.xX.x.x", 94);
    drumPattern(s, kit, Snare, s.bar(48), s.bar(51), "..x..x..x.x..x.x", 90);
    for (int b : {4, 12, 20, 32, 40, 48, 51})
        s.note(kit, s.bar(b), Quarter, Crash, 92);
    for (int b : {11, 19, 39, 47})
        tomFill(s, kit, s.bar(b), 84);
    s.note(kit, s.bar(51), Quarter, Kick, 100);

    return s.finish(end, 2 * Quarter);
}

// The march: B flat major, trumpets and field drums, a trio in E flat.
platform::midi::File bannersAtDawn()
{
    Song s("Banners at Dawn", 116, 4);
    Rng rng(0xBA77E5);
    const int trumpet = s.part("Trumpets", Trumpet, 100, 70, 45);
    const int piccolo = s.part("Piccolo", Piccolo, 66, 88, 50);
    const int horns = s.part("Horns", FrenchHorn, 88, 50, 45);
    const int trombone = s.part("Trombones", Trombone, 92, 40, 40);
    const int tuba = s.part("Tuba", Tuba, 104, 64, 30);
    const int strings = s.part("Strings", Strings, 82, 76, 60);
    const int glock = s.part("Glockenspiel", Glockenspiel, 60, 96, 55);
    const int kit = s.drums("Field drums", 100, 35);

    const Tick bar = s.barLength();
    Harmony h;
    h.bars(s.bar(0), bar, {"Bb", "Bb", "F", "F7"});
    h.bars(s.bar(4), bar, {"Bb", "Eb", "F", "Bb", "Gm", "Cm", "F7", "Bb"});
    h.bars(s.bar(12), bar, {"Bb", "Eb", "F", "Dm", "Eb", "Cm", "F7", "Bb"});
    h.bars(s.bar(20), bar, {"Eb", "Ab", "Bb", "Eb", "Cm", "Fm", "Bb7", "Eb"});
    h.bars(s.bar(28), bar, {"Eb", "Ab", "Bb", "Gm", "Ab", "Eb/Bb", "Cm", "F7"});
    h.bars(s.bar(36), bar, {"Bb", "Eb", "F", "Bb", "Gm", "Cm", "F7", "Bb"});
    h.bars(s.bar(44), bar, {"Eb", "F7", "Bb", "Bb"});
    const Tick end = s.bar(48);

    // Oom on one and three from the tuba, pah on two and four from the horns.
    bassLine(s, tuba, h, s.bar(2), s.bar(20), "R.......F.......", 34, 84);
    bassLine(s, tuba, h, s.bar(20), s.bar(36), "R.......F.....A.", 34, 78);
    bassLine(s, tuba, h, s.bar(36), s.bar(47), "R.......F.......", 34, 88);
    bassLine(s, tuba, h, s.bar(47), end, "R---------------", 34, 82);
    stabs(s, horns, h, s.bar(4), s.bar(20), "....x.......x...", 53, 67, 3, 58);
    stabs(s, horns, h, s.bar(20), s.bar(36), "....x.x.....x.x.", 53, 67, 3, 50);
    stabs(s, horns, h, s.bar(36), s.bar(44), "....x.......x...", 53, 67, 3, 64);
    stabs(s, horns, h, s.bar(44), s.bar(47), "x-..x-..x-..x-..", 53, 69, 3, 70);
    stabs(s, horns, h, s.bar(47), end, "x---------------", 53, 69, 4, 66);

    // Fanfare over the opening roll.
    stabs(s, trumpet, h, s.bar(2), s.bar(4), "x..xx.x.x-------x..xx.x.x---x.x.", 60, 77, 3, 84);
    stabs(s, trombone, h, s.bar(2), s.bar(4), "x..xx.x.x-------x..xx.x.x---x.x.", 46, 62, 2, 80);

    const Scale home = major(10);
    const Motif call = {{0, 3}, {1, 1}, {2, 4}, {1, 3}, {-1, 1}, {-2, 4}, {2, 3}, {1, 1}, {1, 4}, {-3, 8}};
    const Motif reply = {{0, 4}, {-1, 4}, {-1, 4}, {-1, 4}, {3, 6}, {-1, 2}, {-1, 8}};
    const Motif close = {{1, 3}, {1, 1}, {1, 4}, {-1, 4}, {-2, 4}};
    const Motif callAgain = varied(call, rng, 0.3);
    const auto strain = [&](Melody& m, Tick at, int vel, int startKey, bool second) {
        m.moveNear(startKey);
        m.play(at, second ? callAgain : call, h, vel, rng);
        m.play(at + 2 * bar, reply, h, vel - 4, rng);
        m.moveNear(m.key() + 4);
        m.play(at + 4 * bar, second ? inverted(call) : call, h, vel + 4, rng);
        m.play(at + 6 * bar, close, h, vel, rng);
        m.cadence(at + 7 * bar, 16, h, vel - 2);
    };
    Melody tp(s, trumpet, home, 58, 82, 65);
    Melody pc(s, piccolo, home, 70, 94, 77);
    Melody gl(s, glock, home, 77, 98, 89);
    strain(tp, s.bar(4), 88, 65, false);
    strain(tp, s.bar(12), 90, 65, true);
    strain(gl, s.bar(12), 70, 89, true);
    strain(tp, s.bar(36), 96, 65, false);
    strain(pc, s.bar(36), 82, 77, false);

    // Trio: legato strings with the trombones answering below.
    const Scale trio = major(3);
    pads(s, strings, h, s.bar(4), s.bar(20), 55, 72, 3, 40);
    s.swell(strings, s.bar(20), s.bar(24), 80, 120);
    Melody sm(s, strings, trio, 62, 84, 70);
    const Motif song = {{0, 8}, {2, 4}, {-1, 4}, {-1, 8}, {3, 8}};
    const Motif fall = {{-1, 4}, {-1, 4}, {-1, 8}, {2, 16}};
    sm.play(s.bar(20), song, h, 84, rng);
    sm.play(s.bar(22), fall, h, 80, rng);
    sm.play(s.bar(24), varied(song, rng, 0.4), h, 86, rng);
    sm.play(s.bar(26), {{-1, 8}, {-1, 8}}, h, 80, rng);
    sm.cadence(s.bar(27), 16, h, 78);
    sm.moveNear(75);
    sm.play(s.bar(28), song, h, 90, rng);
    sm.play(s.bar(30), fall, h, 86, rng);
    sm.play(s.bar(32), inverted(song), h, 88, rng);
    sm.play(s.bar(34), {{-1, 8}, {1, 8}}, h, 84, rng);
    sm.cadence(s.bar(35), 16, h, 82, false);
    Melody tb(s, trombone, trio, 46, 65, 55);
    for (int b = 20; b < 36; b += 2)
        tb.play(s.bar(b), {{0, 4, true}, {0, 12}, {-1, 8}, {1, 8}}, h, 70, rng);
    pads(s, strings, h, s.bar(36), s.bar(47), 55, 72, 3, 46);
    pads(s, strings, h, s.bar(47), end, 55, 76, 4, 64);

    // Coda: the fanfare again, broadening into the last chord.
    stabs(s, trumpet, h, s.bar(44), s.bar(47), "x..xx.x.x---x.x.", 60, 77, 3, 82);
    stabs(s, trombone, h, s.bar(44), s.bar(47), "x..xx.x.x---x.x.", 46, 62, 2, 76);
    stabs(s, trumpet, h, s.bar(47), end, "x---------------", 60, 80, 3, 80);
    stabs(s, trombone, h, s.bar(47), end, "x---------------", 46, 62, 2, 74);

    drumRoll(s, kit, Snare, 0, s.bar(2), 30, 100);
    drumPattern(s, kit, Snare, s.bar(2), s.bar(4), "X..xx.x.X.......", 84);
    drumPattern(s, kit, Snare, s.bar(4), s.bar(20), "X..xx.x.X..xx.x.", 62);
    drumPattern(s, kit, Snare, s.bar(20), s.bar(36), "x...o.o.x...o.o.", 46);
    drumPattern(s, kit, Snare, s.bar(36), s.bar(44), "X..xx.x.X..xx.x.", 70);
    drumPattern(s, kit, Snare, s.bar(44), s.bar(46), "X..xx.x.X..xx.x.", 76);
    drumRoll(s, kit, Snare, s.bar(46), s.bar(47), 50, 96);
    drumPattern(s, kit, BassDrum, s.bar(2), s.bar(47), "x.......x.......", 72);
    drumPattern(s, kit, Crash, s.bar(36), s.bar(44), "....x.......x...", 30);
    for (int b : {2, 4, 12, 20, 36, 44, 47})
        s.note(kit, s.bar(b), Quarter, Crash, 84);
    s.note(kit, s.bar(47), Quarter, BassDrum, 92);
    drumRoll(s, kit, Snare, s.bar(19) + 2 * Quarter, s.bar(20), 40, 86);
    drumRoll(s, kit, Snare, s.bar(35) + 2 * Quarter, s.bar(36), 40, 96);

    s.ritardando(s.bar(46), end, 116, 84);
    return s.finish(end, 3 * Quarter);
}

// A slow waltz in F lydian for the quiet stretches: vibraphone over electric piano.
platform::midi::File driftingStations()
{
    Song s("Drifting Stations", 84, 3);
    Rng rng(0xD21F75);
    const int pad = s.part("Sweep pad", SweepPad, 108, 64, 80, 50);
    const int keys = s.part("Electric piano", ElectricPiano, 112, 50, 55, 40);
    const int bass = s.part("Bass", AcousticBass, 108, 64, 30);
    const int vibes = s.part("Vibraphone", Vibraphone, 122, 80, 70);
    const int clarinet = s.part("Clarinet", Clarinet, 108, 44, 60);
    const int kit = s.drums("Hand percussion", 80, 50);

    const Tick bar = s.barLength();
    Harmony h;
    h.bars(s.bar(0), bar, {"Fmaj7", "G/F", "Fmaj7", "G/F"});
    h.bars(s.bar(4), bar, {"Fmaj7", "G/F", "Em7", "Am7", "Dm7", "G", "Cmaj7", "Cmaj7"});
    h.bars(s.bar(12), bar, {"Fmaj7", "G/F", "Em7", "Am7", "Dm7", "Em7", "Fmaj7", "G"});
    h.bars(s.bar(20), bar, {"Dm7", "Em7", "Fmaj7", "G", "Am7", "G/B", "Cmaj7", "G/B", "Am7", "Em7", "Dm7", "G"});
    h.bars(s.bar(32), bar, {"Fmaj7", "G/F", "Em7", "Am7", "Dm7", "Em7", "Fmaj7", "G"});
    h.bars(s.bar(40), bar, {"Fmaj7", "G/F", "Fmaj7", "G/F", "Fmaj7", "G/F", "Fmaj7", "Fmaj7"});
    const Tick end = s.bar(48);

    pads(s, pad, h, 0, end, 53, 72, 4, 58);
    s.swell(pad, 0, s.bar(4), 50, 110);
    s.swell(pad, s.bar(44), end, 110, 40);
    arpeggio(s, keys, h, s.bar(2), s.bar(46), {0, 2, 3, 4, 3, 2}, Eighth, 48, 58, Quarter);
    bassLine(s, bass, h, s.bar(4), s.bar(20), "R-------F---", 29, 70);
    bassLine(s, bass, h, s.bar(20), s.bar(32), "R-------O---", 29, 72);
    bassLine(s, bass, h, s.bar(32), s.bar(44), "R-------F---", 29, 70);
    bassLine(s, bass, h, s.bar(44), end, "R-----------", 29, 64);

    const Scale key = {5, {0, 2, 4, 6, 7, 9, 11}};  // F lydian: the raised fourth floats
    const Motif rise = {{0, 8}, {1, 4}, {2, 12}};
    const Motif sink = {{-1, 4}, {-1, 4}, {-1, 4}, {2, 12}};
    const Motif turn = {{1, 2}, {1, 2}, {-1, 4}, {-2, 4}, {0, 12}};
    Melody vb(s, vibes, key, 65, 89, 72);
    const auto verse = [&](Tick at, int vel) {
        vb.moveNear(72);
        vb.play(at, rise, h, vel, rng);
        vb.play(at + 2 * bar, sink, h, vel - 4, rng);
        vb.play(at + 4 * bar, varied(rise, rng, 0.4), h, vel, rng);
        vb.play(at + 6 * bar, turn, h, vel - 2, rng);
        vb.moveNear(vb.key() + 3);
        vb.play(at + 8 * bar, inverted(rise), h, vel + 2, rng);
        vb.play(at + 10 * bar, varied(sink, rng, 0.4), h, vel, rng);
        vb.play(at + 12 * bar, {{1, 4}, {1, 4}, {1, 4}, {-1, 12}}, h, vel, rng);
        vb.cadence(at + 14 * bar, 24, h, vel - 6, false);
    };
    verse(s.bar(4), 74);

    // Middle: the clarinet sings lower, the vibraphone answers sparsely.
    Melody cl(s, clarinet, key, 55, 77, 65);
    cl.play(s.bar(20), {{0, 12}, {1, 6}, {1, 6}}, h, 74, rng);
    cl.play(s.bar(22), {{1, 12}, {-2, 12}}, h, 72, rng);
    cl.play(s.bar(24), {{0, 8}, {-1, 4}, {3, 12}}, h, 78, rng);
    cl.play(s.bar(26), {{-1, 6}, {-1, 6}, {-1, 12}}, h, 74, rng);
    cl.play(s.bar(28), {{2, 12}, {-1, 12}}, h, 76, rng);
    cl.cadence(s.bar(30), 24, h, 70, false);
    s.swell(clarinet, s.bar(20), s.bar(24), 80, 120);
    vb.moveNear(84);
    for (int b = 21; b < 32; b += 2)
        vb.play(s.bar(b) + Quarter, {{0, 4}, {-1, 4}}, h, 56, rng);

    verse(s.bar(32), 78);
    cl.moveNear(60);
    for (int b = 32; b < 46; b += 2)
        cl.play(s.bar(b), {{0, 12}, {-1, 12}}, h, 54, rng);

    drumPattern(s, kit, Cabasa, s.bar(8), s.bar(44), "x.o.o.x.o.o.", 40);
    drumPattern(s, kit, Triangle, s.bar(12), s.bar(44), "x...........", 34);
    drumPattern(s, kit, BassDrum, s.bar(20), s.bar(32), "x...........", 44);

    s.ritardando(s.bar(45), end, 84, 64);
    return s.finish(end, 3 * Quarter);
}

}  // namespace

const std::vector<Piece>& pieces()
{
    static const std::vector<Piece> all = {
        {"Night Watch.mid", nightWatch},
        {"Iron Tide.mid", ironTide},
        {"Banners at Dawn.mid", bannersAtDawn},
        {"Drifting Stations.mid", driftingStations},
    };
    return all;
}

}  // namespace music
