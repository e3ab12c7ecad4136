// The damage table, checked cell by cell against a transcription by defender.

#include "battle/frmGame.h"

#include <QtTest>

class DamageTableTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyCell();
    void unknownNamesHitNothing();
};

void DamageTableTest::everyCell()
{
    const QStringList attackers = {"Infantry", "Heavy Infantry", "Rover", "Armored ATV", "Heavy Tank",
                                   "Hover Tank Ground", "Hover Tank Air", "Recon", "Fighter", "Bomber",
                                   "Mobile Turret", "Fixed Turret", "Anti-Air", "Battle Cruiser", "Transport"};
    // Each line: one defender, then what each attacker above (in that order) does to it.
    const QStringList byDefender = {
        "Infantry: 5 6 7 3 10 6 4 7 0 15 0 8 7 15 0",
        "Heavy Infantry: 5 5 7 2 8 4 2 6 0 15 0 7 4 15 0",
        "Rover: 3 7 5 4 10 5 4 5 0 12 0 8 5 14 0",
        "Armored ATV: 2 6 5 4 9 4 5 4 0 13 0 7 4 14 0",
        "Heavy Tank: 2 4 2 1 6 2 4 2 0 10 0 5 2 12 0",
        "Hover Tank Ground: 2 5 3 1 9 5 3 5 0 12 0 7 5 14 0",
        "Hover Tank Air: 4 0 2 0 0 0 4 3 15 0 0 4 7 0 0",
        "Recon: 3 0 2 0 0 0 8 6 14 0 0 4 15 0 0",
        "Fighter: 0 0 0 0 0 0 0 0 7 0 0 2 10 0 0",
        "Bomber: 0 0 0 0 0 0 0 0 10 0 0 3 9 0 0",
        "Mobile Turret: 4 7 5 3 8 5 3 4 0 12 0 7 5 13 0",
        "Fixed Turret: 3 6 4 4 7 4 2 4 0 10 0 5 4 12 0",
        "Anti-Air: 3 5 4 3 8 3 6 2 0 8 0 8 6 10 0",
        "Battle Cruiser: 0 0 0 0 0 0 0 1 3 0 0 2 4 0 0",
        "Transport: 4 0 2 0 0 0 8 8 14 0 0 4 15 0 0",
    };
    int cells = 0;
    for (const QString& line : byDefender) {
        const QString defender = line.section(QLatin1Char(':'), 0, 0);
        const QStringList values = line.section(QLatin1Char(':'), 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(values.size(), attackers.size());
        for (int a = 0; a < attackers.size(); ++a) {
            QVERIFY2(frmGame::MaximumDamage(attackers.at(a), defender) == values.at(a).toInt(),
                     qPrintable(attackers.at(a) + QStringLiteral(" vs ") + defender));
            ++cells;
        }
    }
    QCOMPARE(cells, 225);
}

void DamageTableTest::unknownNamesHitNothing()
{
    QCOMPARE(frmGame::MaximumDamage(QStringLiteral("Null"), QStringLiteral("Infantry")), 0);
    QCOMPARE(frmGame::MaximumDamage(QStringLiteral("Infantry"), QStringLiteral("infantry")), 0);
    QCOMPARE(frmGame::MaximumDamage(QStringLiteral("Heavy Tank"), QStringLiteral("Null")), 0);
}

QTEST_MAIN(DamageTableTest)
#include "tst_damagetable.moc"
