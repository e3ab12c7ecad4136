// Whole battles, computer against computer, on every sample map: each ends or
// reaches the day limit, and the tables stay consistent after every frame.

#include "AiKit.h"

#include <QDir>
#include <QSet>
#include <array>
#include <numeric>
#include <random>

using namespace modStrat;

class AiBattlesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sampleMaps_data();
    void sampleMaps();
};

namespace {

constexpr int DayLimit = 40;

// Repeatable chance: the clock never reseeds it.
struct SeededRandom final : platform::RandomSource {
    std::mt19937_64 engine;
    explicit SeededRandom(std::uint64_t seed) : engine(seed) {}
    double next() override { return static_cast<double>(engine() >> 11) * 0x1.0p-53; }
    void reseedFromClock() override {}
};

// What must hold between any two frames; empty when it all does.
QString inconsistency()
{
    std::array<bool, MaxUnits + 1> inside{};
    for (const UnitRecord& carrier : Units)
        inside[Units.valid(carrier.TRANS) ? carrier.TRANS : 0] |= carrier.V && !carrier.HIDDEN;
    QSet<std::pair<int, int>> taken;
    for (int i = 1; i <= MaxUnits; ++i) {
        const UnitRecord& unit = Units[i];
        if (unit.V && unit.HIDDEN != inside[i])
            return QStringLiteral("unit %1: carried %2, inside a live carrier %3").arg(i).arg(unit.HIDDEN).arg(inside[i]);
        if (unit.V && !unit.HIDDEN && (frmGame::TileAt(unit.X, unit.Y) == 0 || taken.contains({unit.X, unit.Y})))
            return QStringLiteral("unit %1 is off the map or shares its tile").arg(i);
        if (unit.V && !unit.HIDDEN)
            taken.insert({unit.X, unit.Y});
    }
    for (int p = 1; p <= MaxPlayers; ++p) {
        if (Money[p] < 0)
            return QStringLiteral("player %1 owes %2").arg(p).arg(Money[p]);
    }
    return {};
}

}  // namespace

void AiBattlesTest::sampleMaps_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<int>("players");
    QTest::newRow("SpacePorts") << QStringLiteral("SpacePorts.spw") << 2;
    QTest::newRow("Basic Training") << QStringLiteral("{T-1}-Basic Training.spw") << 2;
    QTest::newRow("Tri-Station Relay") << QStringLiteral("Tri-Station Relay.spw") << 3;
    QTest::newRow("Four Docks") << QStringLiteral("Four Docks.spw") << 4;
}

void AiBattlesTest::sampleMaps()
{
    QFETCH(QString, map);
    QFETCH(int, players);
    AiKit kit;
    SeededRandom chance(players * 1000 + map.size());
    kit.game->services.random = &chance;
    kit.ai.setLogClock([] { return QDateTime::currentDateTime(); });
    MapPath = QDir(qEnvironmentVariable("VF_PROGRAM_DIR")).filePath(map);
    for (int p = 1; p <= players; ++p) {
        Players[p].IsComputer = true;
        Players[p].AILevel = 1 + p % 3;
    }
    QVERIFY(kit.startWithSettings(players, NoTimeLimit));
    int frames = 0;
    int lastPlayer = CurrentPlayer;
    while (kit.game->Running && DayCount <= DayLimit) {
        kit.game->RunFrame();
        ++frames;
        const QString fault = inconsistency();
        QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("day %1: %2").arg(DayCount).arg(fault)));
        // Every computer turn is one whole walk through the slots.
        QVERIFY(CurrentPlayer == lastPlayer || frames % modAI::TurnSteps == 0);
        lastPlayer = CurrentPlayer;
    }
    const int produced = std::accumulate(UnitsProduced.begin(), UnitsProduced.end(), 0);
    const int destroyed = std::accumulate(UnitsDestroyed.begin(), UnitsDestroyed.end(), 0);
    qInfo("%s: day %d, %s, %d produced, %d destroyed", qPrintable(map), DayCount,
          kit.game->Running ? "undecided" : "decided", produced, destroyed);
    QVERIFY(produced > 0 && destroyed > 0 && QFile::exists(kit.path(QStringLiteral("AI.ini"))));
}

QTEST_MAIN(AiBattlesTest)
#include "tst_aibattles.moc"
