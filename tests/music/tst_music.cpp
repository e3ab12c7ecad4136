#include "platform/MidiFile.h"
#include "platform/MidiPlayer.h"
#include "platform/ProgramFolder.h"

#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

using namespace platform;

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

QByteArray varLen(std::uint32_t v)
{
    QByteArray out;
    midi::appendVarLen(out, v);
    return out;
}

// A file of `ticks` ticks at 120 beats a minute (480 ticks a beat): ticks / 960 seconds.
QByteArray shortTrack(std::uint32_t ticks)
{
    midi::File f(480);
    midi::Track& conductor = f.addTrack();
    conductor.tempoBpm(0, 120);
    midi::Track& t = f.addTrack();
    t.programChange(0, 0, 0);
    t.note(0, ticks / 2, 0, 72, 40);
    t.endAt(ticks);
    return f.encode();
}

void putFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Collects what goes to the process's stderr while it lives.
class StderrCapture {
public:
    StderrCapture() : file_(QDir::temp().filePath(QStringLiteral("vf-stderr-XXXXXX")))
    {
        if (!file_.open())
            return;
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        dup2(file_.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { release(); }
    QByteArray release()
    {
        if (saved_ >= 0) {
            std::fflush(stderr);
            dup2(saved_, STDERR_FILENO);
            close(saved_);
            saved_ = -1;
            file_.seek(0);
            text_ = file_.readAll();
        }
        return text_;
    }

private:
    QTemporaryFile file_;
    int saved_ = -1;
    QByteArray text_;
};

}  // namespace

class TestMusic : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void varLenEdgeValues();
    void trackEncodesEventsInPlayingOrder();
    void writtenFileReadsBack();
    void readerFollowsRunningStatusAndSkipsOtherChunks();
    void readerRejectsBrokenFiles();

    void unplayableFilesDoNothing();
    void timedTrackEndsOnce();
    void endsOnceOnThisMachineAndPrintsNothing();
    void stopBeforeTheEndRaisesNothing();
    void handlerCanStartTheNextTrack();
    void silentPlayerEndsOnlyWhenAsked();

    void trackNamesAreTheMidiFilesOfTheFolder();
    void generatedTracksAreInTheProgramFolder();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString folder() const { return dir_->path(); }
    QString path(const char* name) const { return dir_->filePath(QString::fromLatin1(name)); }
};

void TestMusic::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void TestMusic::cleanup()
{
    setProgramFolder(QString());
}

void TestMusic::varLenEdgeValues()
{
    QCOMPARE(varLen(0), hex("00"));
    QCOMPARE(varLen(127), hex("7f"));
    QCOMPARE(varLen(128), hex("8100"));
    QCOMPARE(varLen(0x3FFF), hex("ff7f"));
    QCOMPARE(varLen(0x4000), hex("818000"));
    QCOMPARE(varLen(0x0FFFFFFF), hex("ffffff7f"));
    QCOMPARE(varLen(0xFFFFFFFF), hex("ffffff7f"));  // clamped, never five bytes

    for (std::uint32_t v : {0u, 127u, 128u, 8191u, 16384u, 2097151u, 2097152u, 0x0FFFFFFFu}) {
        const QByteArray bytes = varLen(v) + "x";
        qsizetype pos = 0;
        QCOMPARE(midi::readVarLen(bytes, pos), std::optional<std::uint32_t>(v));
        QCOMPARE(pos, bytes.size() - 1);
    }
    qsizetype pos = 0;
    QVERIFY(!midi::readVarLen(hex("8180"), pos));  // ends inside the quantity
    pos = 0;
    QVERIFY(!midi::readVarLen(hex("ffffffff7f"), pos));  // five bytes
}

void TestMusic::trackEncodesEventsInPlayingOrder()
{
    // The same key struck twice in a row: the first note must end before the
    // second begins, whatever order they were written in.
    midi::Track t;
    t.note(480, 480, 0, 60, 100);
    t.note(0, 480, 0, 60, 90);
    t.controller(480, 0, 7, 100);
    QCOMPARE(t.encode(), hex("4d54726b0000001a"
                             "00903c5a"
                             "8360803c40"
                             "00b00764"
                             "00903c64"
                             "8360803c40"
                             "00ff2f00"));

    midi::Track longer;
    longer.note(0, 10, 9, 36, 100);
    longer.endAt(1920);
    QVERIFY(longer.encode().endsWith(hex("8e76ff2f00")));  // end of track waits for the bar
}

void TestMusic::writtenFileReadsBack()
{
    midi::File f(480);
    midi::Track& conductor = f.addTrack();
    conductor.name("Test");
    conductor.tempoBpm(0, 120);
    conductor.tempoBpm(960, 60);  // the second half lasts twice as long a beat
    midi::Track& melody = f.addTrack();
    melody.programChange(0, 0, 73);
    melody.note(0, 960, 0, 60, 100);
    melody.note(960, 480, 0, 64, 100);
    midi::Track& drums = f.addTrack();
    drums.note(0, 120, midi::PercussionChannel, 36, 100);

    const QByteArray bytes = f.encode();
    QCOMPARE(bytes.left(14), hex("4d546864000000060001000301e0"));
    const auto info = midi::read(bytes);
    QVERIFY(info);
    QCOMPARE(info->format, 1);
    QCOMPARE(info->trackCount, 3);
    QCOMPARE(info->division, 480);
    QCOMPARE(info->totalTicks, 1440u);
    QCOMPARE(info->seconds, 2.0);  // 960 ticks at 120 = 1 s, 480 at 60 = 1 s

    QVERIFY(f.save(path("written.mid")));
    const auto fromDisk = midi::readFile(path("written.mid"));
    QVERIFY(fromDisk);
    QCOMPARE(fromDisk->seconds, 2.0);

    const auto plain = midi::read(shortTrack(960));  // no tempo event: 120 beats a minute
    QVERIFY(plain);
    QCOMPARE(plain->seconds, 1.0);
}

void TestMusic::readerFollowsRunningStatusAndSkipsOtherChunks()
{
    // Format 0, 96 ticks a beat, an unknown chunk before the track; the track
    // uses running status, a system exclusive message and a tempo of 100 beats
    // a minute (600000 us) set at tick 96 in the middle.
    const QByteArray bytes = hex("4d546864" "00000006" "0000" "0001" "0060"
                                 "58797a7a" "00000002" "abcd"
                                 "4d54726b" "0000001a"
                                 "00903c40"
                                 "603c00"          // running status: note off by velocity 0
                                 "00f0027e7f"      // system exclusive
                                 "00ff51030927c0"  // tempo
                                 "60c005"          // program change, one data byte
                                 "00ff2f00");
    const auto info = midi::read(bytes);
    QVERIFY(info);
    QCOMPARE(info->format, 0);
    QCOMPARE(info->trackCount, 1);
    QCOMPARE(info->totalTicks, 192u);
    QCOMPARE(info->seconds, 0.5 + 0.6);

    // SMPTE timing: 25 frames a second, 40 ticks a frame = 1000 ticks a second.
    QByteArray smpte = shortTrack(1500);
    smpte[12] = static_cast<char>(-25);
    smpte[13] = 40;
    const auto timed = midi::read(smpte);
    QVERIFY(timed);
    QCOMPARE(timed->seconds, 1.5);
}

void TestMusic::readerRejectsBrokenFiles()
{
    const QByteArray good = shortTrack(960);
    QVERIFY(midi::read(good));

    QVERIFY(!midi::read(QByteArray()));
    QVERIFY(!midi::read(hex("5249464624000000") + "WAVEfmt this is not music"));
    QVERIFY(!midi::read(good.left(good.size() - 1)));       // track cut short
    QVERIFY(!midi::read(good.left(14)));                     // header only
    QByteArray noDivision = good;
    noDivision[12] = noDivision[13] = 0;
    QVERIFY(!midi::read(noDivision));
    QByteArray formatThree = good;
    formatThree[9] = 3;
    QVERIFY(!midi::read(formatThree));
    // A data byte with no status before it.
    QVERIFY(!midi::read(hex("4d546864000000060000000101e0" "4d54726b00000004" "003c4000")));
    // A meta event whose length runs on into the next chunk.
    QVERIFY(!midi::read(hex("4d546864000000060001000201e0" "4d54726b00000004" "00ff0181"
                            "4d54726b00000004" "00ff2f00")));
    // A header that claims more than the file holds.
    QVERIFY(!midi::read(hex("4d54686400ffffff0000000101e0")));
}

void TestMusic::unplayableFilesDoNothing()
{
    putFile(path("noise.mid"), QByteArray(4000, '\x5a'));
    putFile(path("cut.mid"), shortTrack(960).left(30));
    putFile(path("fake.mid"), hex("4d546864000000060001000101e0") + "garbage garbage");

    FluidSynthMusicPlayer player;
    QSignalSpy ends(&player, &FluidSynthMusicPlayer::endOfTrack);
    int handled = 0;
    player.setEndOfTrackHandler([&] { ++handled; });
    for (const QString& file : {path("noise.mid"), path("cut.mid"), path("fake.mid"), path("missing.mid"),
                                folder(), QString()}) {
        player.setFileName(file);
        player.play();
        QVERIFY2(!player.isPlaying(), qPrintable(file));
        QCOMPARE(player.fileName(), file);
    }
    QTest::qWait(300);
    QCOMPARE(ends.count(), 0);
    QCOMPARE(handled, 0);
}

void TestMusic::timedTrackEndsOnce()
{
    putFile(path("short.mid"), shortTrack(288));  // 0.3 s
    FluidSynthMusicPlayer player(FluidSynthMusicPlayer::Output::None);
    QSignalSpy ends(&player, &FluidSynthMusicPlayer::endOfTrack);
    int handled = 0;
    player.setEndOfTrackHandler([&] { ++handled; });

    player.setFileName(path("short.mid"));
    player.play();
    player.play();  // already playing: goes on, does not start over or end twice
    QVERIFY(player.isPlaying());
    QVERIFY(!player.isAudible());
    QTRY_COMPARE_WITH_TIMEOUT(ends.count(), 1, 10000);
    QCOMPARE(handled, 1);
    QVERIFY(!player.isPlaying());
    QTest::qWait(500);
    QCOMPARE(ends.count(), 1);
    QCOMPARE(handled, 1);
}

void TestMusic::endsOnceOnThisMachineAndPrintsNothing()
{
    // With a sound device the track is heard, without one it is only timed;
    // either way it ends once, and a machine without sound prints nothing.
    putFile(path("short.mid"), shortTrack(288));
    StderrCapture capture;
    {
        FluidSynthMusicPlayer player;
        QSignalSpy ends(&player, &FluidSynthMusicPlayer::endOfTrack);
        player.setFileName(path("short.mid"));
        player.play();
        QVERIFY(player.isPlaying());
        QTRY_COMPARE_WITH_TIMEOUT(ends.count(), 1, 15000);
        QTest::qWait(300);
        QCOMPARE(ends.count(), 1);
    }
    QCOMPARE(capture.release(), QByteArray());
}

void TestMusic::stopBeforeTheEndRaisesNothing()
{
    putFile(path("short.mid"), shortTrack(288));
    putFile(path("other.mid"), shortTrack(480));
    FluidSynthMusicPlayer player(FluidSynthMusicPlayer::Output::None);
    QSignalSpy ends(&player, &FluidSynthMusicPlayer::endOfTrack);

    player.setFileName(path("short.mid"));
    player.play();
    QTest::qWait(50);
    player.stop();
    QVERIFY(!player.isPlaying());
    QTest::qWait(600);
    QCOMPARE(ends.count(), 0);

    // A new file name stops the track as well, without an end.
    player.play();
    QVERIFY(player.isPlaying());
    player.setFileName(path("other.mid"));
    QVERIFY(!player.isPlaying());
    QTest::qWait(600);
    QCOMPARE(ends.count(), 0);

    // After a stop, play starts again and reaches the end once.
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(ends.count(), 1, 10000);
}

void TestMusic::handlerCanStartTheNextTrack()
{
    putFile(path("a.mid"), shortTrack(96));
    putFile(path("b.mid"), shortTrack(192));
    FluidSynthMusicPlayer player(FluidSynthMusicPlayer::Output::None);
    QStringList heard;
    player.setEndOfTrackHandler([&] {
        heard << QFileInfo(player.fileName()).fileName();
        if (heard.size() < 3) {
            player.setFileName(path(heard.size() % 2 ? "b.mid" : "a.mid"));
            player.play();
        }
    });
    player.setFileName(path("a.mid"));
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(heard.size(), 3, 10000);
    QTest::qWait(400);
    QCOMPARE(heard, (QStringList{"a.mid", "b.mid", "a.mid"}));
    QVERIFY(!player.isPlaying());
}

void TestMusic::silentPlayerEndsOnlyWhenAsked()
{
    SilentMusicPlayer player({QStringLiteral("x.mid")});
    int ends = 0;
    player.setEndOfTrackHandler([&] { ++ends; });
    player.finishTrack();  // nothing plays: nothing ends
    QCOMPARE(ends, 0);
    player.play();
    player.finishTrack();
    player.finishTrack();
    QCOMPARE(ends, 1);
    QVERIFY(!player.playing());
    QCOMPARE(player.plays(), 1);
}

void TestMusic::trackNamesAreTheMidiFilesOfTheFolder()
{
    for (const char* name : {"b.mid", "A.MID", "Cc.Mid", "c.midi", "notes.txt", "mid"})
        putFile(path(name), shortTrack(96));
    QVERIFY(QDir(folder()).mkdir(QStringLiteral("folder.mid")));

    setProgramFolder(folder());
    const FluidSynthMusicPlayer player(FluidSynthMusicPlayer::Output::None);
    QCOMPARE(player.trackNames(), (QStringList{"A.MID", "b.mid", "Cc.Mid"}));

    setProgramFolder(path("folder.mid"));
    QVERIFY(player.trackNames().isEmpty());
}

void TestMusic::generatedTracksAreInTheProgramFolder()
{
    const QString folder = qEnvironmentVariable("VF_PROGRAM_DIR");
    if (folder.isEmpty())
        QSKIP("run through CTest, which names the program folder");
    setProgramFolder(folder);
    const FluidSynthMusicPlayer player(FluidSynthMusicPlayer::Output::None);
    const QStringList names = player.trackNames();
    for (const char* ours : {"Night Watch.mid", "Iron Tide.mid", "Banners at Dawn.mid", "Drifting Stations.mid"})
        QVERIFY2(names.contains(QString::fromLatin1(ours)), ours);
    for (const QString& name : names) {
        const auto info = midi::readFile(QDir(folder).filePath(name));
        QVERIFY2(info, qPrintable(name));
        QCOMPARE(info->format, 1);
        QVERIFY2(info->trackCount >= 5, qPrintable(name));  // tempo map and several instruments
        QVERIFY2(info->seconds >= 60 && info->seconds <= 120, qPrintable(name));
    }
}

QTEST_GUILESS_MAIN(TestMusic)
#include "tst_music.moc"
