// Prints one line per figure: "name median unit", each the median of repeated runs.

#include "battle/frmGame.h"
#include "data/GameData.h"
#include "data/MapFile.h"
#include "data/GameTypes.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Ini.h"
#include "platform/ProgramFolder.h"
#include "screen/BattleView.h"
#include "screen/PictureStore.h"
#include "ai/PathSearch.h"
#include "ai/modAI.h"
#include "platform/Random.h"
#include "art/BuiltInPictures.h"
#include "net/base64.h"
#include "editor/EditorCanvas.h"
#include "editor/MapEditor.h"
#include "editor/OptionsWindow.h"

#include <QAction>
#include "net/BattleMessages.h"
#include "net/GameDataLines.h"
#include "net/NetworkRooms.h"
#include "net/frmChat.h"
#include "frontend/JoinRoomWindow.h"
#include "frontend/LobbyWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <functional>
#include <random>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

void report(const char* name, const std::vector<double>& values, const char* unit)
{
    std::printf("%s %.3f %s\n", name, median(values), unit);
    std::fflush(stdout);
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec
        + usage.ru_stime.tv_usec / 1e6;
}

// The largest of our maps, with all 100 unit slots filled.
QString writeCrowdedMap(const QString& folder)
{
    std::optional<mapfile::MapDocument> largest;
    QString largestName;
    const QDir programDir(QStringLiteral(VF_PROGRAM_DIR));
    for (const QString& name : programDir.entryList({QStringLiteral("*.spw")}, QDir::Files)) {
        auto map = mapfile::read(programDir.filePath(name));
        if (map && (!largest || map->MapWidth * map->MapHeight > largest->MapWidth * largest->MapHeight)) {
            largest = std::move(map);
            largestName = name;
        }
    }
    if (!largest)
        qFatal("no map found in %s", VF_PROGRAM_DIR);
    const int tiles = largest->MapWidth * largest->MapHeight;
    for (int i = 1; i <= mapfile::UnitSlots; ++i) {
        const int tile = (i * 7) % tiles;
        largest->EdUnitType[i] = static_cast<std::int16_t>(UnitType::First + i % UnitType::Last);
        largest->EdUnitPlayer[i] = static_cast<std::int16_t>(1 + i % 2);
        largest->EdUnitLeft[i] = static_cast<std::int16_t>((tile % largest->MapWidth) * 25);
        largest->EdUnitTop[i] = static_cast<std::int16_t>((tile / largest->MapWidth) * 25 - 2);
    }
    const QString path = folder + QStringLiteral("/crowded.spw");
    mapfile::write(path, *largest);
    std::fprintf(stderr, "map: %s (%dx%d) with 100 units\n", qPrintable(largestName), largest->MapWidth,
                 largest->MapHeight);
    return path;
}

void setUpHotSeat(const QString& map)
{
    modStrat::ResetAll();
    modStrat::MapPath = map;
    modStrat::PlayerCount = 2;
    modStrat::MyPlayer = 1;
    modStrat::TimeLimit = NoTimeLimit;
    modStrat::IsOfflineGame = true;
    modStrat::Players[1].Name = QStringLiteral("One");
    modStrat::Players[2].Name = QStringLiteral("Two");
}

std::vector<double> battleStartMs(const QString& map)
{
    platform::ManualClock clock;
    frmGame game(clock);
    std::vector<double> times;
    for (int run = 0; run < 50; ++run) {
        setUpHotSeat(map);
        QElapsedTimer timer;
        timer.start();
        game.Form_Load();
        game.Form_Activate();
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (!game.Running)
            qFatal("the battle did not start");
        game.Form_Unload();
    }
    return times;
}

std::vector<double> pictureStoreLoadMs()
{
    std::vector<double> times;
    for (int run = 0; run < 10; ++run) {
        PictureStore store;
        QElapsedTimer timer;
        timer.start();
        store.LoadLevel(QStringLiteral(VF_PROGRAM_DIR));
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return times;
}

// Parsing a map file and reading every key the battle start reads from it.
std::vector<double> mapReadMs(const QString& map)
{
    QFile file(map);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(map));
    const QByteArray bytes = file.readAll();
    QStringList keys{QStringLiteral("XMAX"), QStringLiteral("YMAX")};
    for (int i = 1; i <= MaxTiles; ++i)
        keys << QStringLiteral("T%1").arg(i);
    for (int i = 1; i <= MaxUnits; ++i) {
        for (const char* word : {"UT", "UP", "UTOP", "ULEFT"})
            keys << QLatin1String(word) + QString::number(i);
    }
    std::vector<double> times;
    for (int run = 0; run < 200; ++run) {
        QElapsedTimer timer;
        timer.start();
        const platform::IniDocument doc = platform::IniDocument::fromBytes(bytes);
        qsizetype found = 0;
        for (const QString& key : keys)
            found += doc.value(u"GEN", key).size();
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (found == 0)
            qFatal("the map holds no keys");
    }
    return times;
}

// Heap bytes in use, large blocks (which malloc maps apart) included.
size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Heap bytes an INI parse holds per byte of a hostile file of 1 MiB.
void reportIniMemory()
{
    const std::pair<const char*, QByteArray> shapes[] = {
        {"ini_bytes_per_byte_blank_lines", QByteArray("\n")},
        {"ini_bytes_per_byte_sections", QByteArray("[a]\n")},
        {"ini_bytes_per_byte_short_keys", QByteArray("a=1\n")},
        {"ini_bytes_per_byte_numbered_sections", QByteArray()},
        {"ini_bytes_per_byte_numbered_keys", QByteArray()},
    };
    constexpr int Size = 1 << 20;
    for (const auto& [name, line] : shapes) {
        QByteArray bytes;
        bytes.reserve(Size + 64);
        const bool numbered = line.isEmpty();
        const bool sections = QByteArrayView(name).endsWith("sections");
        if (numbered && !sections)
            bytes += "[GEN]\n";
        for (int i = 0; bytes.size() < Size; ++i) {
            if (!numbered)
                bytes += line;
            else if (sections)
                bytes += "[s" + QByteArray::number(i) + "]\n";
            else
                bytes += "T" + QByteArray::number(i) + "=9\n";
        }
        malloc_trim(0);
        const size_t before = heapInUse();
        {
            const platform::IniDocument doc = platform::IniDocument::fromBytes(bytes);
            const size_t held = heapInUse() - before;
            std::printf("%s %.3f bytes\n", name, double(held) / bytes.size());
        }
    }
    std::fflush(stdout);
}

// One whole frame of a crowded battle with the info box, a menu and messages up.
std::vector<double> frameDrawMs(const QString& map, PictureStore& pictures)
{
    setUpHotSeat(map);
    modStrat::TimeLimit = 60;
    platform::ManualClock clock;
    frmGame game(clock);
    game.setPictures(&pictures);
    game.Form_Load();
    game.Form_Activate();
    game.InfoUnit = 1;
    game.SetUnitBoxPic();
    for (int i = 1; i <= 4; ++i) {
        TextItem& entry = game.MenuItems[i];
        entry = TextItem{QStringLiteral("Entry %1").arg(i), 320, game.PanelTop + 10 + 20 * (i - 1),
                         QStringLiteral("Arial"), QStringLiteral("16777215"), true, false, 10, true, false, 0};
    }
    game.MenuActive = true;
    for (int i = 1; i <= 100; i += 3)
        modStrat::Units[i].HP = 55;
    std::vector<double> times;
    for (int frame = 0; frame < 300; ++frame) {
        modStrat::ShowGameMessage(QStringLiteral("Message %1").arg(frame));
        QElapsedTimer timer;
        timer.start();
        game.RunFrame();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    game.Form_Unload();
    return times;
}

// The fire range of the unit with the most moves, on the largest sample map.
std::vector<double> fireRangeMs(const QString& map)
{
    setUpHotSeat(map);
    platform::ManualClock clock;
    frmGame game(clock);
    game.Form_Load();
    game.Form_Activate();
    int fastest = 0;
    int mostMoves = -1;
    for (int i = 1; i <= MaxUnits; ++i) {
        if (!modStrat::Units[i].V)
            continue;
        frmGame::SetUnitRange(frmGame::GetUnitName(modStrat::Units[i].PIC), i);
        if (modStrat::Units[i].Moves > mostMoves) {
            mostMoves = modStrat::Units[i].Moves;
            fastest = i;
        }
    }
    // Alone on its tile, so nothing pins it down.
    for (int i = 1; i <= MaxUnits; ++i) {
        if (i != fastest && modStrat::Units[i].X == modStrat::Units[fastest].X
            && modStrat::Units[i].Y == modStrat::Units[fastest].Y)
            modStrat::Units[i].V = false;
    }
    std::vector<double> times;
    for (int run = 0; run < 200; ++run) {
        game.FireRangeHidden = true;
        QElapsedTimer timer;
        timer.start();
        game.ShowFireRange(fastest);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    game.Form_Unload();
    return times;
}

// Saving a battle with every unit and building slot in use.
std::vector<double> saveGameMs(const QString& map, const QString& folder)
{
    setUpHotSeat(map);
    platform::ManualClock clock;
    frmGame game(clock);
    game.Form_Load();
    game.Form_Activate();
    for (BuildingRecord& building : modStrat::Buildings) {
        building.Exists = true;
        building.PIC = 1;
    }
    std::vector<double> times;
    for (int run = 0; run < 20; ++run) {
        const QString path = folder + QStringLiteral("/bench-%1.save").arg(run % 2);
        QElapsedTimer timer;
        timer.start();
        if (!game.WriteSavedGame(path))
            qFatal("save failed");
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    game.Form_Unload();
    return times;
}

std::vector<double> idleCpuPercent(const QString& map, PictureStore& pictures)
{
    std::vector<double> shares;
    for (int run = 0; run < 3; ++run) {
        setUpHotSeat(map);
        platform::SystemClock clock;
        frmGame game(clock);
        game.setPictures(&pictures);
        BattleView view(game);
        view.show();
        QEventLoop settle;
        QTimer::singleShot(200, &settle, &QEventLoop::quit);
        settle.exec();

        const double cpuBefore = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        loop.exec();
        const double share = 100.0 * (cpuSeconds() - cpuBefore) / (wall.nsecsElapsed() / 1e9);
        shares.push_back(share);
        game.Form_Unload();
    }
    return shares;
}

// Chance that the clock never reseeds, so every run plays the same battle.
class SeededRandom final : public platform::RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}
    double next() override { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    void reseedFromClock() override {}

private:
    std::mt19937_64 engine_;
};

// Whole computer turns (all steps, no frames drawn) of a four-player battle of
// computers on the busiest sample map, one figure per turn of its first days.
std::vector<double> aiTurnMs(const QString& logFolder)
{
    setUpHotSeat(QStringLiteral(VF_PROGRAM_DIR "/Four Docks.spw"));
    modStrat::PlayerCount = 4;
    for (int p = 1; p <= 4; ++p) {
        modStrat::Players[p].Name = QStringLiteral("Computer %1").arg(p);
        modStrat::Players[p].IsComputer = true;
        modStrat::Players[p].AILevel = 2;
    }
    // The decision log goes to a folder of our own.
    platform::setProgramFolder(logFolder);
    platform::ManualClock clock;
    SeededRandom chance(2024);
    frmGame game(clock);
    modAI::ComputerOpponent computer(game);
    game.services.random = &chance;
    game.services.computer = &computer;
    game.Form_Load();
    game.Form_Activate();
    if (!game.Running)
        qFatal("the battle did not start");
    std::vector<double> times;
    for (int turn = 0; turn < 40 && game.Running; ++turn) {
        QElapsedTimer timer;
        timer.start();
        for (int step = 0; step < modAI::TurnSteps && game.Running; ++step)
            computer.AIStep();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    game.Form_Unload();
    platform::setProgramFolder(QStringLiteral(VF_PROGRAM_DIR));
    return times;
}

// Base64 of 16 MiB of random bytes through the string operations; both
// figures count the binary side, in MB (10^6 bytes) per second.
constexpr qsizetype Base64BenchBytes = 16 << 20;
// glibc maps every block above 32 MiB afresh, so each run would mostly time
// the kernel zeroing the 44 MB UTF-16 text page by page (about 450 MB/s on a
// virtual machine) instead of the coder. A higher threshold lets the runs
// reuse memory, as smaller blocks already do.
constexpr int Base64BenchHeapLimit = 256 << 20;

QString base64BenchText()
{
    std::mt19937 random(16);
    QByteArray bytes(Base64BenchBytes, Qt::Uninitialized);
    for (char& b : bytes)
        b = static_cast<char>(random());
    return QString::fromLatin1(bytes);
}

std::vector<double> base64MbPerSecond(bool decode)
{
    mallopt(M_MMAP_THRESHOLD, Base64BenchHeapLimit);
    mallopt(M_TRIM_THRESHOLD, 2 * Base64BenchHeapLimit);
    const base64 codec;
    const QString plain = base64BenchText();
    const QString encoded = codec.Encode(plain);
    std::vector<double> rates;
    for (int run = 0; run < 10; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QString result = decode ? codec.Decode(encoded) : codec.Encode(plain);
        rates.push_back(Base64BenchBytes / 1e6 / (timer.nsecsElapsed() / 1e9));
        if (result != (decode ? plain : encoded))
            qFatal("base64 round trip failed");
    }
    return rates;
}

// A full map for the editor: 30 x 20 tiles, every unit and building slot in use.
QString writeFullEditorMap(const QString& folder)
{
    mapfile::MapDocument map;
    map.MapWidth = 30;
    map.MapHeight = 20;
    map.TileCount = 600;
    for (int i = 1; i <= 600; ++i)
        map.EdTile[i] = static_cast<std::int16_t>(i % (LastTerrain + 1));
    for (int i = 1; i <= mapfile::UnitSlots; ++i) {
        const int tile = i * 5;
        map.EdUnitType[i] = static_cast<std::int16_t>(UnitType::First + i % UnitType::Last);
        map.EdUnitPlayer[i] = static_cast<std::int16_t>(1 + i % 4);
        map.EdUnitLeft[i] = static_cast<std::int16_t>(tile % 30 * 25);
        map.EdUnitTop[i] = static_cast<std::int16_t>(tile / 30 * 25 - 2);
    }
    for (int i = 1; i <= mapfile::BuildingSlots; ++i) {
        const int tile = i * 11;
        map.EdBuildingType[i] = static_cast<std::int16_t>(i % (BuildingType::Last + 1));
        map.EdBuildingPlayer[i] = static_cast<std::int16_t>(i % 5);
        map.EdBuildingLeft[i] = static_cast<std::int16_t>(tile % 30 * 25);
        map.EdBuildingTop[i] = static_cast<std::int16_t>(tile / 30 * 25);
    }
    const QString path = folder + QStringLiteral("/full.spw");
    if (!mapfile::write(path, map))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The editor's Open of that map, as the tool window runs it: read, canvas and
// controls shown anew. Then one repaint of its canvas.
std::pair<std::vector<double>, std::vector<double>> editorMs(const QString& folder, PictureStore& pictures)
{
    writeFullEditorMap(folder);
    platform::setProgramFolder(folder);
    MapEditor editor(pictures);
    editor.open();
    std::vector<double> opens;
    for (int run = 0; run < 50; ++run) {
        platform::dialogScript::pushInput(QStringLiteral("full"));
        QElapsedTimer timer;
        timer.start();
        editor.toolWindow().mnuOpen->trigger();
        opens.push_back(timer.nsecsElapsed() / 1e6);
    }
    if (editor.editor().Map.TileCount != 600)
        qFatal("the editor did not open the map");
    editor.options().mnuUnits_Click();
    EditorCanvas& canvas = *editor.canvasWindow().canvas();
    std::vector<double> paints;
    for (int run = 0; run < 200; ++run) {
        QElapsedTimer timer;
        timer.start();
        canvas.refresh();
        canvas.repaint();
        paints.push_back(timer.nsecsElapsed() / 1e6);
    }
    platform::setProgramFolder(QStringLiteral(VF_PROGRAM_DIR));
    return {opens, paints};
}

// A network battle on the crowded map, seen from player 2's machine while
// player 1 has the turn: what arrives is applied.
struct ReceivingMachine : GameDataSink {
    platform::ManualClock clock;
    frmGame game{clock};
    QStringList sent;
    explicit ReceivingMachine(const QString& map)
    {
        setUpHotSeat(map);
        modStrat::IsOfflineGame = false;
        modStrat::MyPlayer = 2;
        modStrat::GameNumber = QStringLiteral("7");
        game.services.gameData = this;
        game.Form_Load();
        game.Form_Activate();
        if (!game.InBattle)
            qFatal("the battle did not start");
        modStrat::GameDataReceivers = {&game, nullptr, nullptr};
    }
    ~ReceivingMachine() override
    {
        modStrat::GameDataReceivers = {};
        game.Form_Unload();
    }
    void SendGameData(const QString& message) override { sent << message; }
};

// One attack line of eight parts; the units live on, so every run does the same work.
std::vector<double> receiveLineUs(const QString& map)
{
    ReceivingMachine machine(map);
    const QString line = QStringLiteral("7@@ATTACKUNIT2@ATTACKDAMAGE20@ATTACKHP80@ATTACKAMMO5@DEFENDUNIT1@"
                                        "DEFENDDAMAGE10@DEFENDHP90@DEFENDAMMO4");
    std::vector<double> times;
    for (int run = 0; run < 5000; ++run) {
        QElapsedTimer timer;
        timer.start();
        modStrat::HandleClientGameData(line);
        times.push_back(timer.nsecsElapsed() / 1e3);
    }
    if (modStrat::Units[2].HP != 80 || modStrat::Units[1].HP != 90)
        qFatal("the attack line was not applied");
    return times;
}

// The end of player 1's turn as player 1's machine sends it: "ENDTURN" and a
// line per unit slot, all applied by player 2's machine, whose turn begins.
std::vector<double> turnSyncMs(const QString& map)
{
    QStringList burst;
    {
        ReceivingMachine sender(map);
        modStrat::MyPlayer = 1;
        sender.sent.clear();
        sender.game.EndTurn();
        for (const QString& message : sender.sent)
            burst << QStringLiteral("7@@") + message;
    }
    if (burst.size() != 101)
        qFatal("the end of a turn sent %d lines", int(burst.size()));
    ReceivingMachine machine(map);
    std::vector<double> times;
    for (int run = 0; run < 100; ++run) {
        modStrat::CurrentPlayer = 1;
        QElapsedTimer timer;
        timer.start();
        for (const QString& line : burst)
            modStrat::HandleClientGameData(line);
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (modStrat::CurrentPlayer != 2)
            qFatal("the turn did not pass");
    }
    return times;
}

// A burst of 4,000 chat lines of 121 bytes each as the server relays them
// (`prefix` and the text, CR LF), in one arrival: the time until they are
// handled and the window has shown them, so the time the event loop is away.
constexpr int BurstLines = 4000;
constexpr int BurstLineBytes = 121;

QByteArray chatBurst(const QByteArray& prefix)
{
    QByteArray burst;
    for (int i = 0; i < BurstLines; ++i) {
        QByteArray line = prefix + "bob: " + QByteArray::number(i) + ' ';
        line += QByteArray(BurstLineBytes - 2 - line.size(), 'x') + "\r\n";
        burst += line;
    }
    return burst;
}

template <class Show>
double burstMs(frmChat& chat, QWidget& window, const QByteArray& burst, Show shown)
{
    window.show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    chat.receive(burst);
    // The lines go into the box on the next turn of the event loop, and are painted on the one after.
    for (int turn = 0; turn < 3; ++turn) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    if (!shown())
        qFatal("the burst was not shown");
    return ms;
}

std::vector<double> lobbyLogBurstMs()
{
    const QByteArray burst = chatBurst("CHATTXT");
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        frmChat chat;
        LobbyWindow window(chat);
        times.push_back(burstMs(chat, window, burst, [&] {
            return window.txtChat->document()->lastBlock().text().startsWith(QStringLiteral("bob: 3999 "));
        }));
    }
    return times;
}

// A burst of lines in one arrival at a room joined as ann: the time until
// `shown` holds and the client is idle again, five runs.
std::vector<double> joinedRoomBurstMs(PictureStore& pictures, const QByteArray& burst,
                                      const std::function<bool(const JoinRoomWindow&)>& shown)
{
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        frmChat chat;
        NetworkRooms rooms(LobbyLink{[](const QString&) {}, [](const QString&) {}, {}});
        chat.rooms = &rooms;
        JoinRoomWindow window(rooms.join(), pictures);
        modStrat::UserName = QStringLiteral("ann");
        chat.receive("JOINGAME7\r\n");
        times.push_back(burstMs(chat, window, burst, [&] { return shown(window); }));
    }
    modStrat::GameNumber.clear();
    return times;
}

std::vector<double> roomLogBurstMs(PictureStore& pictures)
{
    return joinedRoomBurstMs(pictures, chatBurst("GDATA7@@CHAT"), [](const JoinRoomWindow& window) {
        return window.txtChat->document()->lastBlock().text().startsWith(QStringLiteral("bob: 3999 "));
    });
}

// 4,000 map announcements in one arrival at a joined room, alternating two of
// our maps: the time until the room shows the last one and is idle again.
std::vector<double> joinRoomMapNameBurstMs(PictureStore& pictures)
{
    const QString maps[] = {QStringLiteral("SpacePorts.spw"), QStringLiteral("Four Docks.spw")};
    QByteArray burst;
    for (int i = 0; i < BurstLines; ++i)
        burst += "GDATA7@@MAPNAME" + maps[i % 2].toLatin1() + "\r\n";
    const QString last = mapfile::MapReader(QStringLiteral(VF_PROGRAM_DIR "/") + maps[(BurstLines - 1) % 2])
                             .text(QStringLiteral("NAME"));
    return joinedRoomBurstMs(pictures, burst,
                             [&last](const JoinRoomWindow& window) { return window.lblCurrentMap->text() == last; });
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::dialogScript::enable();
    QTemporaryDir folder;
    platform::setProgramFolder(QStringLiteral(VF_PROGRAM_DIR));
    const QString map = writeCrowdedMap(folder.path());

    initBuiltInPictures();
    PictureStore pictures;
    pictures.LoadBuiltIns();
    pictures.LoadLevel(QStringLiteral(VF_PROGRAM_DIR));

    report("map_read_ms", mapReadMs(map), "ms");
    reportIniMemory();
    report("battle_start_ms", battleStartMs(map), "ms");
    report("idle_cpu_percent", idleCpuPercent(map, pictures), "percent");
    report("frame_draw_ms", frameDrawMs(map, pictures), "ms");
    report("picture_store_load_ms", pictureStoreLoadMs(), "ms");
    report("fire_range_ms", fireRangeMs(map), "ms");
    report("save_game_ms", saveGameMs(map, folder.path()), "ms");
    report("ai_turn_ms", aiTurnMs(folder.path()), "ms");
    report("receive_line_us", receiveLineUs(map), "us");
    report("turn_sync_ms", turnSyncMs(map), "ms");
    const auto [editorOpen, editorPaint] = editorMs(folder.path(), pictures);
    report("editor_open_ms", editorOpen, "ms");
    report("editor_paint_ms", editorPaint, "ms");
    report("room_log_burst_ms", roomLogBurstMs(pictures), "ms");
    report("lobby_log_burst_ms", lobbyLogBurstMs(), "ms");
    report("join_room_mapname_burst_ms", joinRoomMapNameBurstMs(pictures), "ms");
    report("base64_encode_mb_s", base64MbPerSecond(false), "MB/s");
    report("base64_decode_mb_s", base64MbPerSecond(true), "MB/s");
    return 0;
}
