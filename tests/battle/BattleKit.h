#pragma once
// A battle on a map of the test's own making, driven frame by frame.

#include "battle/frmGame.h"
#include "data/GameData.h"
#include "data/MapFile.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Ini.h"
#include "platform/Music.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"

#include <QStringList>
#include <QtTest>
#include <QTemporaryDir>
#include <memory>

struct RecordingSink final : GameDataSink {
    QStringList lines;
    void SendGameData(const QString& message) override { lines << message; }
};

struct RecordingComputer final : ComputerPlayer {
    QStringList* log = nullptr;
    int steps = 0;
    int resets = 0;
    void AIStep() override
    {
        ++steps;
        if (log)
            *log << QStringLiteral("ai");
    }
    void ResetForBattle() override { ++resets; }
};

struct RecordingDisplay final : BattleDisplay {
    QStringList* log = nullptr;
    int refreshes = 0;
    bool hidden = false;
    void refresh() override
    {
        ++refreshes;
        if (log)
            *log << QStringLiteral("refresh");
    }
    void hideBattle() override { hidden = true; }
};

struct RecordingResults final : ResultsWindow {
    QStringList banners;
    void ShowResults(const QString& banner) override { banners << banner; }
};

// Builds a map: open space unless painted, units and buildings by tile column and row.
class MapBuilder {
public:
    MapBuilder(int width, int height, std::int16_t terrain = 0)
    {
        map.MapWidth = static_cast<std::int16_t>(width);
        map.MapHeight = static_cast<std::int16_t>(height);
        map.TileCount = width * height;
        for (int i = 1; i <= width * height; ++i)
            map.EdTile[i] = terrain;
    }
    MapBuilder& tile(int column, int row, std::int16_t terrain)
    {
        map.EdTile[row * map.MapWidth + column + 1] = terrain;
        return *this;
    }
    // Returns the unit's slot.
    int unit(int type, int owner, int column, int row)
    {
        const int slot = nextUnit++;
        map.EdUnitType[slot] = static_cast<std::int16_t>(type);
        map.EdUnitPlayer[slot] = static_cast<std::int16_t>(owner);
        map.EdUnitLeft[slot] = static_cast<std::int16_t>(column * 25);
        map.EdUnitTop[slot] = static_cast<std::int16_t>(row * 25 - 2);
        return slot;
    }
    // Returns the building's slot.
    int building(int type, int owner, int column, int row)
    {
        const int slot = nextBuilding++;
        map.EdBuildingType[slot] = static_cast<std::int16_t>(type);
        map.EdBuildingPlayer[slot] = static_cast<std::int16_t>(owner);
        map.EdBuildingLeft[slot] = static_cast<std::int16_t>(column * 25);
        map.EdBuildingTop[slot] = static_cast<std::int16_t>(row * 25);
        return slot;
    }
    MapBuilder& headquarters(int player, int slot)
    {
        map.EdHQ[player] = static_cast<std::int16_t>(slot);
        return *this;
    }

    mapfile::MapDocument map;
    int nextUnit = 1;
    int nextBuilding = 1;
};

// One battle window with recording services, in a program folder of its own.
class BattleKit {
public:
    BattleKit()
    {
        platform::dialogScript::enable();
        platform::dialogScript::clear();
        platform::iniForgetCache();
        modStrat::ResetAll();
        modStrat::IsOfflineGame = true;  // hot seat unless a test says otherwise
        platform::setProgramFolder(folder.path());
        game = std::make_unique<frmGame>(clock);
        game->services.gameData = &sink;
        game->services.computer = &computer;
        game->services.display = &display;
        game->services.music = &music;
        game->services.random = &random;
        game->services.results = &results;
    }

    QString path(const QString& name) const { return folder.path() + QLatin1Char('/') + name; }

    QString writeMap(const MapBuilder& builder, const QString& name = QStringLiteral("test.spw"))
    {
        const QString file = path(name);
        mapfile::write(file, builder.map);
        return file;
    }

    // Hot-seat settings for `players` humans, then the window is shown.
    bool start(const MapBuilder& builder, int players = 2, int timeLimit = NoTimeLimit)
    {
        modStrat::MapPath = writeMap(builder);
        return startWithSettings(players, timeLimit);
    }

    bool startWithSettings(int players, int timeLimit)
    {
        modStrat::PlayerCount = players;
        modStrat::TimeLimit = timeLimit;
        if (modStrat::MyPlayer == 0)
            modStrat::MyPlayer = 1;
        for (int p = 1; p <= players; ++p) {
            if (modStrat::Players[p].Name.isEmpty())
                modStrat::Players[p].Name = QStringLiteral("Player %1").arg(p);
        }
        game->Form_Load();
        game->Form_Activate();
        return game->Running;
    }

    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
            game->RunFrame();
    }

    // A key pressed and released, as the window passes it on.
    void key(int code, int shift = 0)
    {
        game->Form_KeyDown(code, shift);
        game->Form_KeyUp(code, shift);
    }

    // An arrow on a selected unit: the press, the five frames of its step, the release.
    void step(int arrow)
    {
        game->Form_KeyDown(arrow, 0);
        frames(5);
        game->Form_KeyUp(arrow, 0);
    }

    // The cursor onto a unit, then Enter.
    void select(int unit)
    {
        game->CursorX = modStrat::Units[unit].X;
        game->CursorY = modStrat::Units[unit].Y;
        key(Enter);
    }

    // The entries of the unit command menu, in order.
    QStringList menu() const
    {
        QStringList captions;
        for (const TextItem& item : game->MenuItems) {
            if (item.Visible)
                captions << item.Text;
        }
        return captions;
    }

    // Opens the command menu and carries out the entry with this caption.
    void command(const QString& caption)
    {
        game->LoadMenuOptions(modStrat::SelectedUnit);
        key(Enter);
        const int index = menu().indexOf(caption);
        QVERIFY2(index >= 0, qPrintable(caption + QStringLiteral(" not offered: ") + menu().join(QLatin1Char(','))));
        game->MenuHighlight = static_cast<std::int16_t>(index);
        key(Enter);
    }

    static constexpr int Enter = 13;
    static constexpr int Escape = 27;
    static constexpr int Space = 32;
    static constexpr int Left = 37;
    static constexpr int Up = 38;
    static constexpr int Right = 39;
    static constexpr int Down = 40;

    QTemporaryDir folder;
    platform::ManualClock clock;
    RecordingSink sink;
    RecordingComputer computer;
    RecordingDisplay display;
    platform::SilentMusicPlayer music;
    platform::ScriptedRandom random;
    RecordingResults results;
    std::unique_ptr<frmGame> game;
};
