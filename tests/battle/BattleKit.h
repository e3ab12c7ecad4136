#pragma once
// A battle on a map of the test's own making, driven frame by frame.

#include "battle/frmGame.h"
#include "data/MapBuilder.h"
#include "data/GameData.h"
#include "data/MapFile.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Ini.h"
#include "platform/Music.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"

#include <QTemporaryDir>
#include <QtTest>

// Everything the battle tells the world outside it: the lines it sends, the results
// it shows, and in `events` the computer's steps ("ai"), its resets for a new battle
// ("reset"), and the display's refreshes ("refresh") and hiding ("hide").
struct Recorder final : GameDataSink, ComputerPlayer, BattleDisplay, ResultsWindow {
    QStringList lines, banners, events;
    void SendGameData(const QString& message) override { lines << message; }
    void AIStep() override { events << QStringLiteral("ai"); }
    void ResetForBattle() override { events << QStringLiteral("reset"); }
    void refresh() override { events << QStringLiteral("refresh"); }
    void hideBattle() override { events << QStringLiteral("hide"); }
    void ShowResults(const QString& banner) override { banners << banner; }
    int count(const char* event) const { return int(events.count(QLatin1String(event))); }
};

// Plays back the numbers given (then `fallback`) and records every reseed and draw.
struct TraceRandom final : platform::RandomSource {
    QList<double> values;
    double fallback = 0.0;
    QStringList trace;
    double next() override
    {
        trace << QStringLiteral("draw");
        return values.isEmpty() ? fallback : values.takeFirst();
    }
    void reseedFromClock() override { trace << QStringLiteral("reseed"); }
    void push(double v) { values << v; }
    // The next draw of 0..n-1 comes out as k.
    void queue(int k, int n) { push((k + 0.5) / n); }
};

// One battle window with recording services, in a program folder of its own, and
// the map its battle starts on; a hot-seat game unless the test says otherwise.
struct BattleKit {
    static constexpr int Enter = 13, Escape = 27, Space = 32, Left = 37, Up = 38, Right = 39, Down = 40;

    QTemporaryDir folder;
    platform::ManualClock clock;
    Recorder out;
    platform::SilentMusicPlayer music;
    TraceRandom random;
    std::unique_ptr<frmGame> game;
    MapBuilder map;

    explicit BattleKit(int width = 6, int height = 3, std::int16_t terrain = 0) : map(width, height, terrain)
    {
        platform::dialogScript::enable();
        platform::dialogScript::clear();
        platform::iniForgetCache();
        modStrat::ResetAll();
        modStrat::IsOfflineGame = true;
        platform::setProgramFolder(folder.path());
        game = std::make_unique<frmGame>(clock);
        game->services = {&out, &music, &out, &random, &out, &out};
    }

    QString path(const QString& name) const { return folder.path() + QLatin1Char('/') + name; }
    QString writeMap(const MapBuilder& builder, const QString& name = QStringLiteral("test.spw"))
    {
        mapfile::write(path(name), builder.map);
        return path(name);
    }
    // A network game seen from `player`'s machine.
    static void network(int player = 1)
    {
        modStrat::IsOfflineGame = false;
        modStrat::MyPlayer = player;
    }

    int unit(int type, int owner, int column, int row) { return map.unit(type, owner, column, row); }
    int building(int type, int owner, int column, int row) { return map.building(type, owner, column, row); }

    // The settings for `players`, then the window is shown on `builder`'s map (else
    // the kit's own); true when the battle runs.
    bool start(int players = 2, int timeLimit = NoTimeLimit) { return start(map, players, timeLimit); }
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
    void step(int arrow, int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            game->Form_KeyDown(arrow, 0);
            frames(5);
            game->Form_KeyUp(arrow, 0);
        }
    }
    void cursorTo(int x, int y)
    {
        game->CursorX = static_cast<std::int16_t>(x);
        game->CursorY = static_cast<std::int16_t>(y);
    }
    // The cursor onto a unit, then Enter.
    void select(int unit)
    {
        cursorTo(modStrat::Units[unit].X, modStrat::Units[unit].Y);
        key(Enter);
    }
    // The visible entries of a menu, in order.
    template <typename Items>
    static QStringList captions(const Items& items)
    {
        QStringList list;
        for (const TextItem& item : items) {
            if (item.Visible)
                list << item.Text;
        }
        return list;
    }
    QStringList menu() const { return captions(game->MenuItems); }
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

    // A unit's position on a column and row of the map, and whether it stands there.
    static std::pair<int, int> spot(int column, int row)
    {
        const TileRecord& t = modStrat::Tiles[row * modStrat::MapWidth + column + 1];
        return {t.X, t.Y - 2};
    }
    static bool at(int unit, int column, int row)
    {
        return std::pair<int, int>(modStrat::Units[unit].X, modStrat::Units[unit].Y) == spot(column, row);
    }
    static void refill(int unit) { frmGame::SetUnitRange(frmGame::GetUnitName(modStrat::Units[unit].PIC), unit); }
    // `rider` is on board `carrier`.
    static void board(int carrier, int rider)
    {
        modStrat::Units[carrier].TRANS = rider;
        modStrat::Units[rider].HIDDEN = true;
    }
};
