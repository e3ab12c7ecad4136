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
        if (const int eq = line.indexOf('='); eq > 0)
            keys << QString::fromLatin1(line.left(eq));
    }
    return keys;
}

QString valueOf(const QByteArray& bytes, const char* key)
{
    return platform::IniDocument::fromBytes(bytes).value(u"GEN", QString::fromLatin1(key));
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
        QVERIFY(bytes.startsWith("[GEN]\r\nMAX=400\r\nXMAX=25\r\nYMAX=16\r\nNAME=Untitled\r\nDESC=\r\nPLAYERS=2\r\n"));
        const QStringList keys = keysOf(bytes);
        // 22 settings, 400 tiles, 100 units, 4 headquarters, 50 buildings: free slots too.
        QCOMPARE(keys.size(), 22 + 400 + 4 * 100 + 4 + 4 * 50);
        QCOMPARE(keys.mid(21, 2), QStringList({"DAYMSG5", "T1"}));
        QCOMPARE(keys.mid(422, 10), QStringList({"UT1", "UP1", "UTOP1", "ULEFT1", "HQ1", "BT1", "BP1", "BTOP1", "BLEFT1", "UT2"}));
        QCOMPARE(keys.last(), QStringLiteral("ULEFT100"));
        QCOMPARE(valueOf(bytes, "BT50"), QStringLiteral("999"));
    }

    // Written and read back, then written again: the same bytes, so every field survives.
    void roundTripKeepsEverything()
    {
        MapDocument map = sized(30, 25);  // the editor's largest canvas
        map.Name = QStringLiteral("Ring = Road");
        map.Players = 4;
        map.Enemy = {1, 0, 2};
        map.WinHQCapture = 1;
        map.WinDays = QStringLiteral("30");
        for (int d = 0; d < mapfile::DayMessages; ++d)
            map.DayMsg[size_t(d)] = QStringLiteral("Day %1").arg(d + 1);
        for (int i = 1; i <= 750; ++i)
            map.EdTile[i] = std::int16_t(i % 71);
        // Freed slots keep their last owner and place.
        for (int i = 1; i <= 100; ++i) {
            map.EdUnitType[i] = std::int16_t(i % 3 ? 1 + i % 15 : 999);
            map.EdUnitPlayer[i] = std::int16_t(1 + i % 4);
            map.EdUnitTop[i] = std::int16_t((i % 25) * 25 - 2);
            map.EdUnitLeft[i] = std::int16_t((i % 30) * 25);
            map.EdBuildingType[(i + 1) / 2] = std::int16_t(i % 4 ? i % 20 : 999);
            map.EdBuildingPlayer[(i + 1) / 2] = std::int16_t(i % 5);
            map.EdBuildingTop[(i + 1) / 2] = map.EdUnitTop[i] + 2;
        }
        map.EdHQ[2] = 50;
        const QString first = dir_.filePath(QStringLiteral("first.spw"));
        const QString second = dir_.filePath(QStringLiteral("second.spw"));
        QVERIFY(mapfile::write(first, map));
        const auto back = mapfile::read(first);
        QVERIFY(back);
        QCOMPARE(back->TileCount, 750);
        QCOMPARE(back->EdUnitTop[25], std::int16_t(-2));
        QVERIFY(mapfile::write(second, *back));
        QCOMPARE(bytesOf(second), bytesOf(first));
    }

    void smallerMapOverBiggerFile()
    {
        const QString path = dir_.filePath(QStringLiteral("shrink.spw"));
        MapDocument big = sized(25, 16);
        for (int i = 1; i <= 400; ++i)
            big.EdTile[i] = std::int16_t(i % 71);
        QVERIFY(mapfile::write(path, big));
        // A key of a later version survives a save by this one.
        writeBytes(path, bytesOf(path) + "FUTURE=kept\r\n");
        const QStringList keysBefore = keysOf(bytesOf(path));
        MapDocument small = sized(10, 10);
        small.EdTile.fill(0);
        QVERIFY(mapfile::write(path, small));

        const QByteArray bytes = bytesOf(path);
        QVERIFY(bytes.startsWith("[GEN]\r\nMAX=100\r\nXMAX=10\r\nYMAX=10\r\n"));
        QCOMPARE(keysOf(bytes), keysBefore);  // replaced where they stand
        QCOMPARE(valueOf(bytes, "T100"), QStringLiteral("0"));
        QCOMPARE(valueOf(bytes, "T400"), QString::number(400 % 71));
        QCOMPARE(valueOf(bytes, "FUTURE"), QStringLiteral("kept"));
        const auto back = mapfile::read(path);
        QVERIFY(back && back->TileCount == 100);
        QCOMPARE(back->EdTile[101], std::int16_t(SpaceTerrain));  // stale keys are not read
    }

    void missingAndUnreadableKeysGetDefaults()
    {
        const QString path = dir_.filePath(QStringLiteral("sparse.spw"));
        writeBytes(path,
                   "[gen]\r\nxmax=3\r\nYMAX=3\r\nT1=26\r\nT2=abc\r\nT3=71\r\nT4=-1\r\nT5= 54 \r\nT6=40000\r\n"
                   "PLAYERS=7\r\nP2=1\r\nP3=3\r\nNAME=\r\nWINHQCAPTURE=1\r\n"
                   "UT1=12\r\nUP1=2\r\nUTOP1=-2\r\nULEFT1=50\r\nUT2=16\r\nUT3=\r\n"
                   "HQ1=3\r\nHQ3=51\r\nBT1=2\r\nBP1=1\r\nBT2=20\r\n");
        const auto map = mapfile::read(path);
        QVERIFY(map);
        QCOMPARE(map->TileCount, 9);
        QCOMPARE(map->EdTile[1], std::int16_t(26));
        QCOMPARE(map->EdTile[5], std::int16_t(54));
        for (int i : {2, 3, 4, 6, 7})  // junk, out of range or missing: open space
            QCOMPARE(map->EdTile[i], std::int16_t(SpaceTerrain));
        QCOMPARE(map->Players, std::int16_t(2));  // refused, not clamped
        QVERIFY(map->Enemy[0] == 1 && map->Enemy[1] == 0);
        QCOMPARE(map->Name, QString());               // present but empty
        QCOMPARE(map->WinDays, QStringLiteral("0"));  // missing keeps the editor's value
        QVERIFY(map->EdUnitType[1] == UnitType::Infantry && map->EdUnitTop[1] == -2);
        for (int i : {2, 3, 4})
            QCOMPARE(map->EdUnitType[i], std::int16_t(999));
        QVERIFY(map->EdHQ[1] == 3 && map->EdHQ[3] == 999);
        QVERIFY(map->EdBuildingType[1] == 2 && map->EdBuildingType[2] == 999);
    }

    void sizes_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("usable");
        QTest::newRow("1 x 1") << QByteArray("[GEN]\r\nXMAX=1\r\nYMAX=1\r\n") << true;
        QTest::newRow("750 tiles") << QByteArray("[GEN]\r\nXMAX=750\r\nYMAX=1\r\n") << true;
        QTest::newRow("751 tiles") << QByteArray("[GEN]\r\nXMAX=751\r\nYMAX=1\r\n") << false;
        QTest::newRow("no width") << QByteArray("[GEN]\r\nYMAX=16\r\n") << false;
        QTest::newRow("junk width") << QByteArray("[GEN]\r\nXMAX=wide\r\nYMAX=16\r\n") << false;
        QTest::newRow("zero height") << QByteArray("[GEN]\r\nXMAX=25\r\nYMAX=0\r\n") << false;
        QTest::newRow("negative") << QByteArray("[GEN]\r\nXMAX=-25\r\nYMAX=-16\r\n") << false;
        QTest::newRow("overflowing product") << QByteArray("[GEN]\r\nXMAX=32767\r\nYMAX=32767\r\n") << false;
        QTest::newRow("other section") << QByteArray("[MAP]\r\nXMAX=10\r\nYMAX=10\r\n") << false;
        QTest::newRow("1 MiB") << paddedMap(mapfile::FileByteLimit) << true;
        QTest::newRow("1 MiB and a byte") << paddedMap(mapfile::FileByteLimit + 1) << false;
    }

    void sizes()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, usable);
        const QString path = dir_.filePath(QStringLiteral("size.spw"));
        writeBytes(path, content);
        QCOMPARE(bool(mapfile::read(path)), usable);
        QVERIFY(!mapfile::read(dir_.filePath(QStringLiteral("missing.spw"))));
    }

    void ourMaps_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("players");
        QTest::newRow("default") << QStringLiteral("SpacePorts.spw") << 2;
        QTest::newRow("training") << QStringLiteral("{T-1}-Basic Training.spw") << 2;
        QTest::newRow("three") << QStringLiteral("Tri-Station Relay.spw") << 3;
        QTest::newRow("four") << QStringLiteral("Four Docks.spw") << 4;
    }

    // Every player has a headquarters; every piece lies on the map, in whole
    // tiles, owned by a player of the map; the map fits the battle's area.
    void ourMaps()
    {
        QFETCH(QString, file);
        QFETCH(int, players);
        const auto map = mapfile::read(qEnvironmentVariable("VF_PROGRAM_DIR") + QLatin1Char('/') + file);
        QVERIFY2(map, qPrintable(file));
        QVERIFY(map->MapWidth <= 32 && map->MapHeight <= 16);
        QCOMPARE(int(map->Players), players);
        QVERIFY(!map->Name.isEmpty());
        for (int p = 1; p <= 4; ++p) {
            const int slot = map->EdHQ[p];
            QCOMPARE(slot >= 1 && slot <= 50 && map->EdBuildingType[slot] == BuildingType::Headquarters[p]
                         && map->EdBuildingPlayer[slot] == p,
                     p <= players);
        }
        for (int i = 1; i <= 100; ++i) {
            const int left = map->EdUnitLeft[i], top = map->EdUnitTop[i] + 2;
            QVERIFY(map->EdUnitType[i] == 999
                    || (map->EdUnitPlayer[i] >= 1 && map->EdUnitPlayer[i] <= players && left % 25 == 0 && top % 25 == 0
                        && left / 25 < map->MapWidth && top / 25 < map->MapHeight));
            QVERIFY(i > 50 || map->EdBuildingType[i] == 999
                    || (map->EdBuildingPlayer[i] <= players && map->EdBuildingLeft[i] / 25 < map->MapWidth
                        && map->EdBuildingTop[i] / 25 < map->MapHeight));
        }
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestMapFile)
#include "tst_mapfile.moc"
