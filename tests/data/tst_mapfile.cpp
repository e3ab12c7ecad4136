#include "data/GameTypes.h"
#include "data/MapFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using mapfile::MapDocument;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The key names of a file's lines, in file order.
QStringList keysOf(const QByteArray& bytes)
{
    QStringList keys;
    for (const QByteArray& line : bytes.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            keys << QString::fromLatin1(line.left(eq));
    }
    return keys;
}

// key -> value, as the file holds them (first occurrence).
QHash<QString, QString> valuesOf(const QByteArray& bytes)
{
    QHash<QString, QString> values;
    for (QByteArray line : bytes.split('\n')) {
        line = line.trimmed();
        const int eq = line.indexOf('=');
        if (eq > 0 && !values.contains(QString::fromLatin1(line.left(eq))))
            values.insert(QString::fromLatin1(line.left(eq)), QString::fromLatin1(line.mid(eq + 1)));
    }
    return values;
}

// A usable 2 x 2 map padded with a comment line to `size` bytes.
QByteArray paddedMap(qsizetype size)
{
    const QByteArray head = "[GEN]\r\nXMAX=2\r\nYMAX=2\r\n;";
    return head + QByteArray(size - head.size() - 2, 'x') + "\r\n";
}

MapDocument sized(int width, int height)
{
    MapDocument map;
    map.MapWidth = std::int16_t(width);
    map.MapHeight = std::int16_t(height);
    map.TileCount = width * height;
    return map;
}

}  // namespace

class TestMapFile : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir_.isValid()); }

    void newFileHoldsEveryKeyInOrder()
    {
        const QString path = dir_.filePath(QStringLiteral("order.spw"));
        QVERIFY(mapfile::write(path, MapDocument()));
        const QByteArray bytes = bytesOf(path);

        QVERIFY(bytes.startsWith("[GEN]\r\nMAX=400\r\nXMAX=25\r\nYMAX=16\r\nNAME=Untitled\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));

        QStringList expected = {"MAX", "XMAX", "YMAX", "NAME", "DESC", "PLAYERS", "P2", "P3", "P4",
                                "VICTORYMSG", "DEFEATMSG", "WINHQCAPTURE", "WINDESTROYALLUNITS",
                                "WINBUILDINGCAPTURE", "WINBUILDINGSNEEDED", "WINSURVIVAL", "WINDAYS",
                                "DAYMSG1", "DAYMSG2", "DAYMSG3", "DAYMSG4", "DAYMSG5"};
        for (int i = 1; i <= 400; ++i)
            expected << QStringLiteral("T%1").arg(i);
        for (int i = 1; i <= 100; ++i) {
            expected << QStringLiteral("UT%1").arg(i) << QStringLiteral("UP%1").arg(i)
                     << QStringLiteral("UTOP%1").arg(i) << QStringLiteral("ULEFT%1").arg(i);
            if (i <= 4)
                expected << QStringLiteral("HQ%1").arg(i);
            if (i <= 50)
                expected << QStringLiteral("BT%1").arg(i) << QStringLiteral("BP%1").arg(i)
                         << QStringLiteral("BTOP%1").arg(i) << QStringLiteral("BLEFT%1").arg(i);
        }
        const QStringList keys = keysOf(bytes);
        QCOMPARE(keys.size(), expected.size());
        QCOMPARE(keys, expected);

        // Free slots are written too, so a reader never keeps a stale unit.
        const auto values = valuesOf(bytes);
        QCOMPARE(values.value("T400"), QStringLiteral("9"));
        QCOMPARE(values.value("UT100"), QStringLiteral("999"));
        QCOMPARE(values.value("HQ4"), QStringLiteral("999"));
        QCOMPARE(values.value("BT50"), QStringLiteral("999"));
        QCOMPARE(values.value("BP50"), QStringLiteral("0"));
        QCOMPARE(values.value("WINDAYS"), QStringLiteral("0"));
    }

    void positionsAndFreedSlots()
    {
        MapDocument map;
        // A unit and a building on the top-left tile.
        map.EdUnitType[1] = UnitType::Infantry;
        map.EdUnitPlayer[1] = 1;
        map.EdUnitLeft[1] = 0;
        map.EdUnitTop[1] = -2;
        map.EdBuildingType[1] = BuildingType::Headquarters[1];
        map.EdBuildingPlayer[1] = 1;
        map.EdHQ[1] = 1;
        // A freed slot keeps its last owner and place.
        map.EdUnitPlayer[2] = 3;
        map.EdUnitLeft[2] = 75;
        map.EdUnitTop[2] = 48;

        const QString path = dir_.filePath(QStringLiteral("pos.spw"));
        QVERIFY(mapfile::write(path, map));
        const auto values = valuesOf(bytesOf(path));
        QCOMPARE(values.value("ULEFT1"), QStringLiteral("0"));
        QCOMPARE(values.value("UTOP1"), QStringLiteral("-2"));
        QCOMPARE(values.value("BLEFT1"), QStringLiteral("0"));
        QCOMPARE(values.value("BTOP1"), QStringLiteral("0"));
        QCOMPARE(values.value("UT2"), QStringLiteral("999"));
        QCOMPARE(values.value("UP2"), QStringLiteral("3"));
        QCOMPARE(values.value("ULEFT2"), QStringLiteral("75"));
        QCOMPARE(values.value("UTOP2"), QStringLiteral("48"));

        const auto back = mapfile::read(path);
        QVERIFY(back);
        QCOMPARE(back->EdUnitTop[1], std::int16_t(-2));
        QCOMPARE(back->EdUnitType[2], std::int16_t(999));
        QCOMPARE(back->EdUnitPlayer[2], std::int16_t(3));
        QCOMPARE(back->EdUnitLeft[2], std::int16_t(75));
    }

    void smallerMapOverBiggerFile()
    {
        const QString path = dir_.filePath(QStringLiteral("shrink.spw"));
        MapDocument big = sized(25, 16);
        for (int i = 1; i <= 400; ++i)
            big.EdTile[i] = std::int16_t(i % 71);
        QVERIFY(mapfile::write(path, big));
        // A key of a later version must survive a save by this one.
        writeBytes(path, bytesOf(path) + "FUTURE=kept\r\n");
        const QStringList keysBefore = keysOf(bytesOf(path));

        MapDocument small = sized(10, 10);
        small.EdTile.fill(0);
        QVERIFY(mapfile::write(path, small));

        const QByteArray bytes = bytesOf(path);
        const auto values = valuesOf(bytes);
        QCOMPARE(values.value("MAX"), QStringLiteral("100"));
        QCOMPARE(values.value("T100"), QStringLiteral("0"));
        QCOMPARE(values.value("T101"), QString::number(101 % 71));
        QCOMPARE(values.value("T400"), QString::number(400 % 71));
        QCOMPARE(values.value("FUTURE"), QStringLiteral("kept"));
        // Keys are replaced where they stand: same keys, same order.
        QCOMPARE(keysOf(bytes), keysBefore);
        QVERIFY(bytes.startsWith("[GEN]\r\nMAX=100\r\nXMAX=10\r\nYMAX=10\r\n"));

        const auto back = mapfile::read(path);
        QVERIFY(back);
        QCOMPARE(back->MapWidth, std::int16_t(10));
        QCOMPARE(back->MapHeight, std::int16_t(10));
        QCOMPARE(back->TileCount, 100);
        QCOMPARE(back->EdTile[100], std::int16_t(0));
        QCOMPARE(back->EdTile[101], std::int16_t(SpaceTerrain));  // stale keys are not read
    }

    void lineBreaksCannotAddKeys()
    {
        MapDocument map;
        map.EdTile[5] = 26;
        map.Desc = QStringLiteral("line1\r\nT5=53");
        map.Name = QStringLiteral("Name\nHQ1=3");
        map.DayMsg[0] = QStringLiteral("first\rPLAYERS=4");

        const QString path = dir_.filePath(QStringLiteral("inject.spw"));
        QVERIFY(mapfile::write(path, map));
        const QByteArray bytes = bytesOf(path);
        QCOMPARE(keysOf(bytes).count(QStringLiteral("T5")), 1);
        const auto values = valuesOf(bytes);
        QCOMPARE(values.value("DESC"), QStringLiteral("line1"));
        QCOMPARE(values.value("T5"), QStringLiteral("26"));

        const auto back = mapfile::read(path);
        QVERIFY(back);
        QCOMPARE(back->Desc, QStringLiteral("line1"));
        QCOMPARE(back->Name, QStringLiteral("Name"));
        QCOMPARE(back->DayMsg[0], QStringLiteral("first"));
        QCOMPARE(back->EdTile[5], std::int16_t(26));
        QCOMPARE(back->EdHQ[1], std::int16_t(999));
        QCOMPARE(back->Players, std::int16_t(2));
    }

    void roundTripKeepsEverything()
    {
        MapDocument map = sized(30, 25);  // the editor's largest canvas
        map.Name = QStringLiteral("Ring = Road");
        map.Desc = QStringLiteral("Around the ring, 3 docks.");
        map.Players = 4;
        map.Enemy = {1, 0, 2};
        map.VictoryMsg = QStringLiteral("Won");
        map.DefeatMsg = QStringLiteral("Lost");
        map.WinHQCapture = 1;
        map.WinDestroyAllUnits = 0;
        map.WinBuildingCapture = 1;
        map.WinBuildingsNeeded = QStringLiteral("12");
        map.WinSurvival = 1;
        map.WinDays = QStringLiteral("30");
        for (int d = 0; d < mapfile::DayMessages; ++d)
            map.DayMsg[size_t(d)] = QStringLiteral("Day %1").arg(d + 1);
        for (int i = 1; i <= 750; ++i)
            map.EdTile[i] = std::int16_t(i % 71);
        for (int i = 1; i <= 100; ++i) {
            map.EdUnitType[i] = std::int16_t(i % 3 ? 1 + i % 15 : 999);
            map.EdUnitPlayer[i] = std::int16_t(1 + i % 4);
            map.EdUnitTop[i] = std::int16_t((i % 25) * 25 - 2);
            map.EdUnitLeft[i] = std::int16_t((i % 30) * 25);
        }
        map.EdHQ[1] = 7;
        map.EdHQ[2] = 50;
        map.EdHQ[3] = 999;
        map.EdHQ[4] = 1;
        for (int i = 1; i <= 50; ++i) {
            map.EdBuildingType[i] = std::int16_t(i % 4 ? i % 20 : 999);
            map.EdBuildingPlayer[i] = std::int16_t(i % 5);
            map.EdBuildingTop[i] = std::int16_t((i % 25) * 25);
            map.EdBuildingLeft[i] = std::int16_t((i % 30) * 25);
        }

        const QString path = dir_.filePath(QStringLiteral("round.spw"));
        QVERIFY(mapfile::write(path, map));
        const auto back = mapfile::read(path);
        QVERIFY(back);
        QCOMPARE(back->MapWidth, map.MapWidth);
        QCOMPARE(back->MapHeight, map.MapHeight);
        QCOMPARE(back->TileCount, 750);
        QCOMPARE(back->Name, map.Name);
        QCOMPARE(back->Desc, map.Desc);
        QCOMPARE(back->Players, map.Players);
        QVERIFY(back->Enemy == map.Enemy);
        QCOMPARE(back->VictoryMsg, map.VictoryMsg);
        QCOMPARE(back->DefeatMsg, map.DefeatMsg);
        QCOMPARE(back->WinHQCapture, map.WinHQCapture);
        QCOMPARE(back->WinDestroyAllUnits, map.WinDestroyAllUnits);
        QCOMPARE(back->WinBuildingCapture, map.WinBuildingCapture);
        QCOMPARE(back->WinBuildingsNeeded, map.WinBuildingsNeeded);
        QCOMPARE(back->WinSurvival, map.WinSurvival);
        QCOMPARE(back->WinDays, map.WinDays);
        QVERIFY(back->DayMsg == map.DayMsg);
        for (int i = 1; i <= 750; ++i)
            QCOMPARE(back->EdTile[i], map.EdTile[i]);
        for (int i = 1; i <= 100; ++i) {
            QCOMPARE(back->EdUnitType[i], map.EdUnitType[i]);
            QCOMPARE(back->EdUnitPlayer[i], map.EdUnitPlayer[i]);
            QCOMPARE(back->EdUnitTop[i], map.EdUnitTop[i]);
            QCOMPARE(back->EdUnitLeft[i], map.EdUnitLeft[i]);
        }
        for (int p = 1; p <= 4; ++p)
            QCOMPARE(back->EdHQ[p], map.EdHQ[p]);
        for (int i = 1; i <= 50; ++i) {
            QCOMPARE(back->EdBuildingType[i], map.EdBuildingType[i]);
            QCOMPARE(back->EdBuildingPlayer[i], map.EdBuildingPlayer[i]);
            QCOMPARE(back->EdBuildingTop[i], map.EdBuildingTop[i]);
            QCOMPARE(back->EdBuildingLeft[i], map.EdBuildingLeft[i]);
        }
    }

    void missingAndUnreadableKeysGetDefaults()
    {
        const QString path = dir_.filePath(QStringLiteral("sparse.spw"));
        writeBytes(path,
                   "[GEN]\r\nXMAX=3\r\nYMAX=3\r\nT1=26\r\nT2=abc\r\nT3=71\r\nT4=-1\r\nT5= 54 \r\n"
                   "PLAYERS=7\r\nP2=1\r\nP3=3\r\nNAME=\r\nWINHQCAPTURE=1\r\n"
                   "UT1=12\r\nUP1=2\r\nUTOP1=23\r\nULEFT1=50\r\nUT2=16\r\nUT3=\r\n"
                   "HQ1=3\r\nHQ3=51\r\nBT1=2\r\nBP1=1\r\nBT2=20\r\n");
        const auto map = mapfile::read(path);
        QVERIFY(map);
        QCOMPARE(map->TileCount, 9);
        QCOMPARE(map->EdTile[1], std::int16_t(26));
        QCOMPARE(map->EdTile[5], std::int16_t(54));
        for (int i : {2, 3, 4, 6, 7})   // junk, out of range or missing: open space
            QCOMPARE(map->EdTile[i], std::int16_t(SpaceTerrain));
        QCOMPARE(map->Players, std::int16_t(2));      // refused, not clamped
        QCOMPARE(map->Enemy[0], std::int16_t(1));
        QCOMPARE(map->Enemy[1], std::int16_t(0));
        QCOMPARE(map->Name, QString());               // present but empty
        QCOMPARE(map->WinDays, QStringLiteral("0"));  // missing keeps the editor's value
        QCOMPARE(map->WinHQCapture, std::int16_t(1));

        QCOMPARE(map->EdUnitType[1], std::int16_t(UnitType::Infantry));
        QCOMPARE(map->EdUnitPlayer[1], std::int16_t(2));
        QCOMPARE(map->EdUnitTop[1], std::int16_t(23));
        QCOMPARE(map->EdUnitLeft[1], std::int16_t(50));
        for (int i : {2, 3, 4, 100})
            QCOMPARE(map->EdUnitType[i], std::int16_t(999));
        QCOMPARE(map->EdHQ[1], std::int16_t(3));
        for (int p : {2, 3, 4})
            QCOMPARE(map->EdHQ[p], std::int16_t(999));
        QCOMPARE(map->EdBuildingType[1], std::int16_t(2));
        QCOMPARE(map->EdBuildingPlayer[1], std::int16_t(1));
        QCOMPARE(map->EdBuildingType[2], std::int16_t(999));
        QCOMPARE(map->EdBuildingType[3], std::int16_t(999));
    }

    void readerNumbers()
    {
        const QString path = dir_.filePath(QStringLiteral("reader.spw"));
        writeBytes(path, "[gen]\r\nutop1=-2\r\nT1=x\r\nT2=40000\r\nDESC=\r\n");
        const mapfile::MapReader in(path);
        QVERIFY(in.exists());
        QVERIFY(in.number(mapfile::key("UTOP", 1)) == std::int16_t(-2));
        QVERIFY(!in.number(QStringLiteral("T1")));
        QCOMPARE(in.number(QStringLiteral("T2"), 9), std::int16_t(9));
        QCOMPARE(in.number(QStringLiteral("T3"), 9), std::int16_t(9));
        QVERIFY(in.has(QStringLiteral("DESC")));
        QVERIFY(!in.has(QStringLiteral("NAME")));

        const mapfile::MapReader none(dir_.filePath(QStringLiteral("absent.spw")));
        QVERIFY(!none.exists());
        QCOMPARE(none.text(QStringLiteral("XMAX")), QString());
    }

    void unusableFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no width") << QByteArray("[GEN]\r\nYMAX=16\r\n");
        QTest::newRow("junk width") << QByteArray("[GEN]\r\nXMAX=wide\r\nYMAX=16\r\n");
        QTest::newRow("zero height") << QByteArray("[GEN]\r\nXMAX=25\r\nYMAX=0\r\n");
        QTest::newRow("negative") << QByteArray("[GEN]\r\nXMAX=-25\r\nYMAX=-16\r\n");
        QTest::newRow("751 tiles") << QByteArray("[GEN]\r\nXMAX=751\r\nYMAX=1\r\n");
        QTest::newRow("overflowing product") << QByteArray("[GEN]\r\nXMAX=32767\r\nYMAX=32767\r\n");
        QTest::newRow("other section") << QByteArray("[MAP]\r\nXMAX=10\r\nYMAX=10\r\n");
        QTest::newRow("over 1 MiB") << paddedMap(mapfile::FileByteLimit + 1);
    }

    void unusableFilesAreRefused()
    {
        QFETCH(QByteArray, content);
        const QString path = dir_.filePath(QStringLiteral("bad.spw"));
        writeBytes(path, content);
        QVERIFY(!mapfile::read(path));
    }

    void sizeLimits()
    {
        QVERIFY(!mapfile::read(dir_.filePath(QStringLiteral("missing.spw"))));
        const QString path = dir_.filePath(QStringLiteral("limits.spw"));
        writeBytes(path, "[GEN]\r\nXMAX=750\r\nYMAX=1\r\n");
        QVERIFY(mapfile::read(path));
        writeBytes(path, "[GEN]\r\nXMAX=1\r\nYMAX=1\r\n");
        QVERIFY(mapfile::read(path));
        writeBytes(path, paddedMap(mapfile::FileByteLimit));
        QVERIFY(mapfile::read(path));
    }

    void generatedMaps_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("players");
        QTest::newRow("default") << QStringLiteral("SpacePorts.spw") << 2;
        QTest::newRow("training") << QStringLiteral("{T-1}-Basic Training.spw") << 2;
        QTest::newRow("three") << QStringLiteral("Tri-Station Relay.spw") << 3;
        QTest::newRow("four") << QStringLiteral("Four Docks.spw") << 4;
    }

    void generatedMaps()
    {
        QFETCH(QString, file);
        QFETCH(int, players);
        const QString folder = qEnvironmentVariable("VF_PROGRAM_DIR");
        if (folder.isEmpty())
            QSKIP("VF_PROGRAM_DIR is not set");
        const auto map = mapfile::read(folder + QLatin1Char('/') + file);
        QVERIFY2(map, qPrintable(file));

        QVERIFY(map->MapWidth >= 1 && map->MapWidth <= 32);
        QVERIFY(map->MapHeight >= 1 && map->MapHeight <= 16);
        QCOMPARE(map->TileCount, map->MapWidth * map->MapHeight);
        QCOMPARE(int(map->Players), players);
        QVERIFY(!map->Name.isEmpty());

        for (int p = 1; p <= 4; ++p) {
            const int slot = map->EdHQ[p];
            if (p > players) {
                QCOMPARE(slot, 999);
                continue;
            }
            QVERIFY2(slot >= 1 && slot <= 50, qPrintable(QStringLiteral("player %1").arg(p)));
            QCOMPARE(int(map->EdBuildingType[slot]), BuildingType::Headquarters[p]);
            QCOMPARE(int(map->EdBuildingPlayer[slot]), p);
        }
        // Every piece lies on the map, in whole tiles, owned by a player of the map.
        for (int i = 1; i <= 100; ++i) {
            if (map->EdUnitType[i] == 999)
                continue;
            QVERIFY(map->EdUnitPlayer[i] >= 1 && map->EdUnitPlayer[i] <= players);
            QCOMPARE(map->EdUnitLeft[i] % 25, 0);
            QCOMPARE((map->EdUnitTop[i] + 2) % 25, 0);
            QVERIFY(map->EdUnitLeft[i] / 25 < map->MapWidth && (map->EdUnitTop[i] + 2) / 25 < map->MapHeight);
        }
        for (int i = 1; i <= 50; ++i) {
            if (map->EdBuildingType[i] == 999)
                continue;
            QVERIFY(map->EdBuildingPlayer[i] >= 0 && map->EdBuildingPlayer[i] <= players);
            QVERIFY(map->EdBuildingLeft[i] / 25 < map->MapWidth && map->EdBuildingTop[i] / 25 < map->MapHeight);
        }
    }

    void oneMapFillsTheBattleArea()
    {
        const QString folder = qEnvironmentVariable("VF_PROGRAM_DIR");
        if (folder.isEmpty())
            QSKIP("VF_PROGRAM_DIR is not set");
        const auto map = mapfile::read(folder + QStringLiteral("/Four Docks.spw"));
        QVERIFY(map);
        QCOMPARE(map->TileCount, 32 * 16);
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestMapFile)
#include "tst_mapfile.moc"
