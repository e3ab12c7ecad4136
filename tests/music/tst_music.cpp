#include "platform/MidiFile.h"
#include "platform/MidiPlayer.h"
#include "platform/ProgramFolder.h"

#include <QtTest>

#include <unistd.h>

using namespace platform;

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

// A file of `ticks` ticks at 120 beats a minute (480 ticks a beat): ticks / 960 seconds.
QByteArray shortTrack(std::uint32_t ticks)
{
    midi::File f(480);
    f.addTrack().tempoBpm(0, 120);
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

// What goes to the process's stderr while `act` runs.
QByteArray stderrOf(const std::function<void()>& act)
{
    QTemporaryFile file;
    if (!file.open())
        return "cannot capture";
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(file.handle(), STDERR_FILENO);
    act();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    file.seek(0);
    return file.readAll();
}

}  // namespace

class TestMusic : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void cleanup() { setProgramFolder(QString()); }

    void varLen_data()
    {
        QTest::addColumn<uint>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("0") << 0u << hex("00");
        QTest::newRow("128") << 128u << hex("8100");
        QTest::newRow("16384") << 0x4000u << hex("818000");
        QTest::newRow("largest") << 0x0FFFFFFFu << hex("ffffff7f");
        QTest::newRow("more is clamped") << 0xFFFFFFFFu << hex("ffffff7f");
    }

    void varLen()
    {
        QFETCH(uint, value);
        QFETCH(QByteArray, bytes);
        QByteArray out;
        midi::appendVarLen(out, value);
        QCOMPARE(out, bytes);
        qsizetype pos = 0;
        QCOMPARE(midi::readVarLen(bytes + "x", pos), std::optional<std::uint32_t>(std::min(value, 0x0FFFFFFFu)));
        QCOMPARE(pos, bytes.size());
        // Five bytes, or a quantity cut short, are refused.
        QVERIFY(!midi::readVarLen(hex("ffffffff7f"), pos = 0));
        QVERIFY(!midi::readVarLen(hex("8180"), pos = 0));
    }

    void trackEncodesEventsInPlayingOrder()
    {
        // The same key struck twice: the first note ends before the second begins,
        // whatever order they were written in.
        midi::Track t;
        t.note(480, 480, 0, 60, 100);
        t.note(0, 480, 0, 60, 90);
        t.controller(480, 0, 7, 100);
        QCOMPARE(t.encode(), hex("4d54726b0000001a" "00903c5a" "8360803c40" "00b00764" "00903c64" "8360803c40" "00ff2f00"));
        midi::Track longer;
        longer.note(0, 10, 9, 36, 100);
        longer.endAt(1920);
        QVERIFY(longer.encode().endsWith(hex("8e76ff2f00")));  // the end of track waits for the bar
    }

    void filesReadBackTheirLength()
    {
        midi::File f(480);
        midi::Track& conductor = f.addTrack();
        conductor.tempoBpm(0, 120);
        conductor.tempoBpm(960, 60);  // the second half beats twice as slowly
        midi::Track& melody = f.addTrack();
        melody.note(0, 960, 0, 60, 100);
        melody.note(960, 480, 0, 64, 100);
        QVERIFY(f.save(path("written.mid")));
        const auto info = midi::readFile(path("written.mid"));
        QVERIFY(info);
        QCOMPARE(info->totalTicks, 1440u);
        QCOMPARE(info->seconds, 2.0);  // 960 ticks at 120 = 1 s, 480 at 60 = 1 s

        // Format 0, 96 ticks a beat, an unknown chunk first; running status, a system
        // exclusive message and a tempo of 100 beats a minute at tick 96.
        const auto other = midi::read(hex("4d546864" "00000006" "0000" "0001" "0060" "58797a7a" "00000002" "abcd"
                                          "4d54726b" "0000001a" "00903c40" "603c00" "00f0027e7f" "00ff51030927c0"
                                          "60c005" "00ff2f00"));
        QCOMPARE(other.value_or(midi::Info{}).seconds, 0.5 + 0.6);
        QCOMPARE(midi::read(shortTrack(960))->seconds, 1.0);  // no tempo: 120 beats a minute
        // Timed by frames: 25 a second, 40 ticks each.
        QCOMPARE(midi::read(shortTrack(1500).left(12) + "\xe7\x28" + shortTrack(1500).mid(14))->seconds, 1.5);
    }

    void readerRejectsBrokenFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = shortTrack(960);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not music") << hex("5249464624000000") + "WAVEfmt ";
        QTest::newRow("track cut short") << good.left(good.size() - 1);
        QTest::newRow("header only") << good.left(14);
        QTest::newRow("no division") << good.left(12) + QByteArray(2, 0) + good.mid(14);
        QTest::newRow("format 3") << good.left(9) + '\3' + good.mid(10);
        QTest::newRow("data without status") << hex("4d546864000000060000000101e0" "4d54726b00000004" "003c4000");
        QTest::newRow("meta runs into the next chunk")
            << hex("4d546864000000060001000201e0" "4d54726b00000004" "00ff0181" "4d54726b00000004" "00ff2f00");
        QTest::newRow("header claims more") << hex("4d54686400ffffff0000000101e0");
    }

    void readerRejectsBrokenFiles()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!midi::read(bytes));
    }

    void aTrackEndsOnceAndPrintsNothing()
    {
        // With a sound device the track is heard, without one it is only timed;
        // either way it ends once, and a machine without sound prints nothing.
        putFile(path("short.mid"), shortTrack(288));  // 0.3 s
        const QByteArray printed = stderrOf([&] {
            FluidSynthMusicPlayer player;
            QSignalSpy ends(&player, &FluidSynthMusicPlayer::endOfTrack);
            int handled = 0;
            player.setEndOfTrackHandler([&] { ++handled; });
            player.setFileName(path("short.mid"));
            player.play();
            player.play();  // already playing: goes on, neither starts over nor ends twice
            QVERIFY(player.isPlaying());
            QVERIFY(ends.wait(15000));
            QCOMPARE(handled, 1);
            QVERIFY(!player.isPlaying());
            QVERIFY(!ends.wait(500));
        });
        QCOMPARE(printed, QByteArray());
    }

    void unplayableFilesAndStopsRaiseNoEnd()
    {
        putFile(path("noise.mid"), QByteArray(4000, '\x5a'));
        putFile(path("fake.mid"), hex("4d546864000000060001000101e0") + "garbage garbage");
        putFile(path("short.mid"), shortTrack(288));
        putFile(path("other.mid"), shortTrack(480));
        FluidSynthMusicPlayer player(FluidSynthMusicPlayer::Output::None);
        QSignalSpy ends(&player, &FluidSynthMusicPlayer::endOfTrack);
        for (const QString& file : {path("noise.mid"), path("fake.mid"), path("missing.mid"), dir_->path(), QString()}) {
            player.setFileName(file);
            player.play();
            QVERIFY2(!player.isPlaying(), qPrintable(file));
        }
        // Stopped, or given another file, the track ends without an end.
        player.setFileName(path("short.mid"));
        player.play();
        player.stop();
        QVERIFY(!player.isPlaying());
        player.play();
        player.setFileName(path("other.mid"));
        QVERIFY(!player.isPlaying());
        QVERIFY(!ends.wait(700));
        // Played again, it reaches its end once.
        player.play();
        QVERIFY(ends.wait(10000));
    }

    void handlerCanStartTheNextTrack()
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
        QTRY_COMPARE_WITH_TIMEOUT(heard, (QStringList{"a.mid", "b.mid", "a.mid"}), 10000);
        QVERIFY(!player.isPlaying());
    }

    void tracksAreTheMidiFilesOfTheFolder()
    {
        for (const char* name : {"b.mid", "A.MID", "Cc.Mid", "c.midi", "notes.txt", "mid"})
            putFile(path(name), shortTrack(96));
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder.mid")));
        setProgramFolder(dir_->path());
        const FluidSynthMusicPlayer player(FluidSynthMusicPlayer::Output::None);
        QCOMPARE(player.trackNames(), (QStringList{"A.MID", "b.mid", "Cc.Mid"}));
        setProgramFolder(path("folder.mid"));
        QVERIFY(player.trackNames().isEmpty());

        // Ours: a tempo map and several instruments, a minute or two long.
        setProgramFolder(qEnvironmentVariable("VF_PROGRAM_DIR"));
        QVERIFY(player.trackNames().size() >= 4);
        for (const QString& name : player.trackNames()) {
            const auto info = midi::readFile(programFolder() + QLatin1Char('/') + name);
            QVERIFY2(info && info->trackCount >= 5 && info->seconds >= 60 && info->seconds <= 120, qPrintable(name));
        }
    }


private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString path(const char* name) const { return dir_->filePath(QString::fromLatin1(name)); }
};

QTEST_GUILESS_MAIN(TestMusic)
#include "tst_music.moc"
