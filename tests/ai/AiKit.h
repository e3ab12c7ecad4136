#pragma once
// A battle on a floor map of the test's making, player 1 played by the computer
// opponent, with a fixed clock for the decision log.

#include "../battle/BattleKit.h"
#include "ai/modAI.h"
#include "data/GameTypes.h"

struct AiKit : BattleKit {
    modAI::ComputerOpponent ai;
    QDateTime logTime{QDate(2024, 3, 5), QTime(13, 2, 3)};

    explicit AiKit(int width = 9, int height = 9) : BattleKit(width, height), ai(*game)
    {
        game->services.computer = &ai;
        ai.setLogClock([this] { return logTime; });
    }

    // Two players, player 1 the computer at `level`.
    bool begin(int level = 2, int timeLimit = NoTimeLimit)
    {
        modStrat::Players[1].IsComputer = true;
        modStrat::Players[1].AILevel = level;
        const bool started = start(2, timeLimit);
        random.trace.clear();  // what the battle start drew is not the computer's
        return started;
    }

    // The decision log's entry for a keyword at a time stamp.
    QString logged(const QString& keyword, const QDateTime& when) const
    {
        const auto file = platform::IniDocument::load(path(QStringLiteral("AI.ini")));
        return file.value(QStringLiteral("GEN"), QLocale::c().toString(when, QStringLiteral("dd-MMMM hh:mm:ss AP")) + keyword);
    }
    QString logged(const QString& keyword) const { return logged(keyword, logTime); }

    void attack(int unit) { ai.AIAttack(unit, frmGame::GetUnitName(modStrat::Units[unit].PIC)); }
    void capture(int unit) { ai.AICapture(unit, frmGame::GetUnitName(modStrat::Units[unit].PIC)); }
};
