#pragma once
// A battle on a floor map of the test's making, player 1 played by the computer
// opponent, with a random source that records what was drawn and a fixed clock
// for the decision log.

#include "../battle/BattleKit.h"
#include "ai/modAI.h"
#include "data/GameTypes.h"

#include <deque>
#include <utility>

// Plays back the given numbers (then `fallback`) and records every reseed and draw.
class TraceRandom final : public platform::RandomSource {
public:
    std::deque<double> values;
    double fallback = 0.0;
    QStringList trace;

    double next() override
    {
        double v = fallback;
        if (!values.empty()) {
            v = values.front();
            values.pop_front();
        }
        trace << QStringLiteral("draw");
        return v;
    }
    void reseedFromClock() override { trace << QStringLiteral("reseed"); }

    // The next draw of 0..n-1 comes out as k.
    void queue(int k, int n) { values.push_back((k + 0.5) / n); }
};

class AiKit : public BattleKit {
public:
    explicit AiKit(int width = 9, int height = 9) : map(width, height, 0), ai(*game)
    {
        game->services.computer = &ai;
        game->services.random = &dice;
        ai.setLogClock([this] { return logTime; });
    }

    int unit(int type, int owner, int column, int row) { return map.unit(type, owner, column, row); }
    int building(int type, int owner, int column, int row) { return map.building(type, owner, column, row); }

    // Two players, player 1 the computer at `level`.
    bool begin(int level = 2, int timeLimit = NoTimeLimit)
    {
        modStrat::Players[1].IsComputer = true;
        modStrat::Players[1].AILevel = level;
        const bool started = start(map, 2, timeLimit);
        dice.trace.clear();  // what the battle start drew is not the computer's
        return started;
    }

    // A unit's position on a column and row, and whether it stands there.
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

    // The decision log's entry for a keyword at a time stamp.
    QString logged(const QString& keyword, const QDateTime& when) const
    {
        const auto file = platform::IniDocument::load(path(QStringLiteral("AI.ini")));
        return file.value(QStringLiteral("GEN"), QLocale::c().toString(when, QStringLiteral("dd-MMMM hh:mm:ss AP")) + keyword);
    }
    QString logged(const QString& keyword) const { return logged(keyword, logTime); }

    void attack(int unit) { ai.AIAttack(unit, frmGame::GetUnitName(modStrat::Units[unit].PIC)); }
    void capture(int unit) { ai.AICapture(unit, frmGame::GetUnitName(modStrat::Units[unit].PIC)); }

    MapBuilder map;
    modAI::ComputerOpponent ai;
    TraceRandom dice;
    QDateTime logTime{QDate(2024, 3, 5), QTime(13, 2, 3)};
};
