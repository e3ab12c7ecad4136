// The computer turn: its length and walk order, which order wins, the draws of
// chance, the checks after each unit, the step counters and the decision log.

#include "AiKit.h"

#include <sys/stat.h>

using namespace modStrat;
using namespace UnitType;

class AiTurnTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aTurnIs151StepsAndTheWalkFlips();
    void whichOrderComesFirst();
    void infantryCapturesFirstThroughDay3_data();
    void infantryCapturesFirstThroughDay3();
    void checksAfterEveryUnitSlot();
    void theWalkStartsAfresh();
    void theDecisionLog();
};

void AiTurnTest::aTurnIs151StepsAndTheWalkFlips()
{
    AiKit kit(12, 6);
    for (int column : {0, 4, 8})
        kit.unit(FixedTurret, 1, column, 0);  // never moves, so decides every turn
    kit.unit(Infantry, 2, 11, 5);
    const int first = kit.building(6, 1, 2, 3);
    const int second = kit.building(6, 1, 6, 3);
    QVERIFY(kit.begin());
    // Every roll 4 (attack), every building roll 4, every purchase roll 3: an infantry unit.
    kit.random.fallback = 0.9;
    int stamps = 0;
    kit.ai.setLogClock([&] { return kit.logTime.addSecs(stamps++); });
    for (const int factory : {first, second}) {
        stamps = 0;
        Money[1] = 100;  // the first factory visited buys the only unit
        for (int step = 1; step < modAI::TurnSteps; ++step) {
            kit.ai.AIStep();
            QCOMPARE(int(CurrentPlayer), 1);
        }
        const int plays = kit.music.plays();
        kit.ai.AIStep();
        QVERIFY(CurrentPlayer == 2 && kit.music.plays() == plays + 1 && stamps == 3);  // one end of turn
        const QList<int> order{kit.logged("UNITNUM", kit.logTime).toInt(),
                               kit.logged("UNITNUM", kit.logTime.addSecs(2)).toInt()};
        QCOMPARE(order, factory == first ? (QList<int>{1, 3}) : (QList<int>{3, 1}));
        QVERIFY(Units[5].X == Buildings[factory].X && kit.ai.AIReverseOrder == (factory == first));
        kit.game->EndTurn();
        Units[5].V = false;
        kit.logTime = kit.logTime.addSecs(100);
    }
}

void AiTurnTest::whichOrderComesFirst()
{
    // Headquarters under capture: even a badly hurt unit attacks, and rolls nothing.
    {
        AiKit kit(8, 8);
        const int hq = kit.building(2, 1, 4, 4);
        kit.map.headquarters(1, hq);
        const int tank = kit.unit(HeavyTank, 1, 1, 4);
        const int raider = kit.unit(Infantry, 2, 4, 4);
        QVERIFY(kit.begin(3));
        Units[tank].HP = 20;
        Units[raider].CAP = hq;
        kit.ai.AIStep();
        QVERIFY(kit.at(tank, 3, 4) && Units[raider].HP < 100 && kit.logged("RAND").isEmpty());
        QCOMPARE(kit.random.trace, (QStringList{"reseed", "draw"}));  // the blow's own chance only
    }
    // Roll 2 switches a hover tank's mode, and the step logs where the unit ended.
    {
        AiKit kit(8, 8);
        const int hover = kit.unit(HoverTankGround, 1, 0, 7);
        QVERIFY(kit.begin());
        kit.random.queue(2, 5);
        kit.ai.AIStep();
        QVERIFY(Units[hover].PIC == HoverTankAir && !Units[hover].E && kit.logged("FINX") == QString::number(Units[hover].X));
    }
}

void AiTurnTest::infantryCapturesFirstThroughDay3_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("day");
    QTest::addColumn<bool>("captures");
    QTest::newRow("infantry, day 3") << Infantry << 3 << true;
    QTest::newRow("infantry, day 4") << Infantry << 4 << false;
    QTest::newRow("heavy infantry, day 1") << HeavyInfantry << 1 << true;
}

void AiTurnTest::infantryCapturesFirstThroughDay3()
{
    // Whatever the roll, which is drawn and logged all the same: 4 would attack.
    QFETCH(int, type);
    QFETCH(int, day);
    QFETCH(bool, captures);
    AiKit kit(8, 8);
    const int infantry = kit.unit(type, 1, 1, 1);
    kit.building(0, 0, 2, 1);
    const int airport = kit.building(9, 0, 1, 3);
    QVERIFY(kit.begin());
    AiKit::refill(infantry);
    DayCount = day;
    kit.random.queue(4, 5);
    kit.ai.AIStep();
    QCOMPARE(Units[infantry].CAP, captures ? airport : None);
    QCOMPARE(Buildings[airport].CAP, captures ? 100 : 200);
    QVERIFY(kit.random.trace.mid(0, 2) == QStringList({"reseed", "draw"}) && kit.logged("RAND") == QStringLiteral("4"));
    QCOMPARE(kit.logged("FINX").isEmpty(), captures);
}

void AiTurnTest::checksAfterEveryUnitSlot()
{
    AiKit kit(10, 4);
    const int walker = kit.unit(Infantry, 1, 0, 0);
    const int zero = kit.unit(Infantry, 1, 1, 0);
    const int stray = kit.unit(Infantry, 1, 2, 0);
    const int deadCarrier = kit.unit(ArmoredATV, 2, 3, 0);
    const int bystander = kit.unit(Rover, 2, 4, 0);
    const int carrier = kit.unit(ArmoredATV, 1, 5, 0);
    const int rider = kit.unit(Infantry, 1, 9, 3);
    const int city = kit.building(0, 0, 0, 2);
    QVERIFY(kit.begin());
    for (int unit : {walker, zero, stray, carrier})
        Units[unit].E = false;  // they have acted: no orders, only the checks
    Units[walker].CAP = city;
    Buildings[city].CAP = 120;
    Units[zero].CAP = 0;
    Units[stray].CAP = 51;
    Units[deadCarrier].V = false;
    Units[deadCarrier].TRANS = bystander;
    BattleKit::board(carrier, rider);
    for (int i = 0; i < 7; ++i)
        kit.ai.AIStep();
    // Left the building it was capturing: the building recovers.
    QVERIFY(Buildings[city].CAP == 200 && Units[walker].CAP == None && Units[zero].CAP == 0 && Units[stray].CAP == 51);
    // The passenger rides with its carrier; a dead carrier's record moves no one.
    QVERIFY(Units[rider].X == Units[carrier].X && Units[rider].Y == Units[carrier].Y && kit.at(bystander, 4, 0));
    QVERIFY(kit.random.trace.isEmpty());
}

void AiTurnTest::theWalkStartsAfresh()
{
    // A battle left in the middle of a computer turn: the next battle's first turn starts at slot 1.
    {
        AiKit kit(8, 8);
        kit.unit(FixedTurret, 1, 0, 0);
        kit.unit(Infantry, 2, 7, 7);
        QVERIFY(kit.begin());
        for (int i = 0; i < 60; ++i)
            kit.ai.AIStep();
        kit.ai.AIReverseOrder = true;
        QVERIFY(kit.start() && !kit.ai.AIReverseOrder);
        kit.logTime = kit.logTime.addSecs(60);
        kit.ai.AIStep();
        QCOMPARE(kit.logged("UNITNUM"), QStringLiteral("1"));
    }
    // A turn that the clock cuts short: no unit of the computer is put back where
    // some earlier selection began, and its next turn starts at slot 1.
    {
        AiKit kit(8, 8);
        const int turret = kit.unit(FixedTurret, 1, 4, 4);
        const int other = kit.unit(Infantry, 2, 0, 0);
        QVERIFY(kit.begin(2, 3));
        std::tie(kit.game->SelectedOriginX, kit.game->SelectedOriginY) = std::tie(Units[other].X, Units[other].Y);
        int frames = 0;
        for (; CurrentPlayer == 1 && frames < modAI::TurnSteps; ++frames)
            kit.game->RunFrame();
        QVERIFY(CurrentPlayer == 2 && frames < modAI::TurnSteps && kit.at(turret, 4, 4));
        kit.game->EndTurn();
        kit.logTime = kit.logTime.addSecs(60);
        kit.game->RunFrame();
        QCOMPARE(kit.logged("UNITNUM"), QStringLiteral("1"));
    }
}

void AiTurnTest::theDecisionLog()
{
    AiKit kit(8, 8);
    kit.unit(FixedTurret, 1, 0, 0);
    const int second = kit.unit(FixedTurret, 1, 5, 6);
    QVERIFY(kit.begin());
    kit.random.queue(0, 5);
    kit.random.queue(4, 5);
    const QByteArray file = QFile::encodeName(kit.path(QStringLiteral("AI.ini")));
    struct stat before {}, after {};
    kit.ai.AIStep();
    QCOMPARE(::stat(file.constData(), &before), 0);
    kit.ai.AIStep();
    // The log is rewritten in place: not the new file and rename of a synced, safe write.
    QVERIFY(::stat(file.constData(), &after) == 0 && after.st_ino == before.st_ino);

    // Both steps fell in one second: the later one's entries remain.
    QFile log(QString::fromLocal8Bit(file));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY(text.startsWith("[GEN]") && text.contains("05-March 01:02:03 PMUNITNUM=2") && text.count("UNITNUM") == 1);
    QVERIFY(kit.logged("PLAYER") == QStringLiteral("1") && kit.logged("UNITNAME") == QStringLiteral("Fixed Turret"));
    QVERIFY(kit.logged("RAND") == QStringLiteral("4") && kit.logged("FINY") == QString::number(Units[second].Y));

    // A log that cannot be written costs nothing but the log.
    platform::setProgramFolder(kit.path(QStringLiteral("AI.ini")));
    kit.game->EndTurn();
    kit.game->EndTurn();
    int steps = 0;
    for (; CurrentPlayer == 1 && steps < 2 * modAI::TurnSteps; ++steps)
        kit.ai.AIStep();
    QCOMPARE(steps, modAI::TurnSteps);
}

QTEST_MAIN(AiTurnTest)
#include "tst_aiturn.moc"
