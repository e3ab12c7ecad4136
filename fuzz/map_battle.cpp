// Any bytes as a map file, then a battle on it: the start, the keys of a
// script played by the local player, and turns of computer players.
//
// Input: the map file's bytes, then optionally a NUL and a script. The
// script's first three bytes choose the players (count, network game, which
// of them the computer plays and how well, the turn's time limit) and whether
// frames draw our pictures (slow) or empty ones; every further byte is a key
// pressed, held for (byte >> 4) frames, and released.

#include "ai/modAI.h"
#include "art/BuiltInPictures.h"
#include "battle/frmGame.h"
#include "data/GameData.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"
#include "screen/PictureStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

namespace {

constexpr int MaxFrames = 400;
// A computer turn is one step per frame, and a few frames more.
constexpr int ComputerTurnFrames = modAI::TurnSteps + 10;

// Key codes and the shift mask, as the battle window passes them on.
struct Key {
    int code;
    int shift;
};
constexpr Key Keys[16] = {{37, 0}, {38, 0}, {39, 0}, {40, 0}, {13, 0}, {32, 0}, {27, 0}, {69, 0},
                          {72, 0}, {84, 0}, {81, 0}, {112, 0}, {123, 0}, {16, 1}, {0, 0}, {0, 0}};

class InputRandom final : public platform::RandomSource {
public:
    explicit InputRandom(std::uint32_t seed) : state_(seed | 1) {}
    double next() override
    {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / double(1u << 24);
    }
    void reseedFromClock() override {}

private:
    std::uint32_t state_;
};

struct EndWatch final : BattleDisplay {
    bool over = false;
    void refresh() override {}
    void hideBattle() override { over = true; }
};

// Set up once: a window system, scripted boxes, our pictures, and a program
// folder of our own that lends the build's pictures (the computer player's
// log goes there).
struct Setting {
    Setting()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_map_battle";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        platform::dialogScript::enable();
        const QString build = platform::programFolder();
        const QDir from(build);
        for (const QString& entry : from.entryList({QStringLiteral("Images"), QStringLiteral("*.gif")}))
            QFile::link(from.filePath(entry), folder.filePath(entry));
        platform::setProgramFolder(folder.path());
        initBuiltInPictures();
        pictures.LoadBuiltIns();
        pictures.LoadLevel(folder.path());
        mapPath = folder.filePath(QStringLiteral("fuzz.spw"));
    }
    QApplication* app;
    QTemporaryDir folder;
    PictureStore pictures;
    QString mapPath;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Setting setting;
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    const QByteArray map = split < 0 ? input : input.left(split);
    const QByteArray script = split < 0 ? QByteArray() : input.mid(split + 1);
    const auto choice = [&](int i, int fallback) { return i < script.size() ? std::uint8_t(script[i]) : fallback; };

    QFile file(setting.mapPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(map);
    file.close();
    QFile::remove(setting.folder.filePath(QStringLiteral("AI.ini")));

    using namespace modStrat;
    ResetAll();
    const int players = 2 + choice(0, 0) % 3;
    const int computers = choice(1, 0x22);
    PlayerCount = players;
    IsOfflineGame = !(choice(0, 0) & 0x10);
    MyPlayer = 1;
    TimeLimit = choice(2, 0) ? choice(2, 0) : NoTimeLimit;
    MapPath = setting.mapPath;
    for (int p = 1; p <= MaxPlayers; ++p) {
        Players[p].Name = QStringLiteral("Player %1").arg(p);
        Players[p].IsComputer = computers & (1 << (p - 1));
        Players[p].AILevel = 1 + (computers >> 4) % 4;
    }

    platform::ManualClock clock;
    InputRandom random(std::uint32_t(qHash(input)));
    EndWatch watch;
    frmGame game(clock);
    modAI::ComputerOpponent computer(game);
    if (choice(0, 0) & 0x20)
        game.setPictures(&setting.pictures);
    game.services.computer = &computer;
    game.services.random = &random;
    game.services.display = &watch;
    game.Form_Load();
    game.Form_Activate();

    int frames = 0;
    const auto run = [&](int count) {
        for (int i = 0; i < count && game.Running && !watch.over && frames < MaxFrames; ++i, ++frames)
            game.RunFrame();
    };
    for (qsizetype i = 3; i < script.size() && !watch.over && frames < MaxFrames; ++i) {
        const std::uint8_t byte = std::uint8_t(script[i]);
        const Key key = Keys[byte & 0x0F];
        if (key.code && game.txtMsgVisible)
            game.txtMsg_KeyDown(key.code, key.shift);
        else if (key.code)
            game.Form_KeyDown(key.code, key.shift);
        run(byte >> 4);
        if (key.code)
            game.Form_KeyUp(key.code, 0);
        run(1);
    }
    run(ComputerTurnFrames);
    game.Form_Unload();
    return 0;
}
