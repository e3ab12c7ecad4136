// The picture store filled from our own art, and a busy battle drawn with it.

#include "../battle/BattleKit.h"
#include "art/BuiltInPictures.h"
#include "data/GameTypes.h"
#include "screen/Colorize.h"
#include "screen/PictureStore.h"

#include <QDir>
#include <QtTest>

using namespace modStrat;

class PictureStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void builtInPicturesHaveTheirSizes();
    void spritesAreTintedAndMasked();
    void missingFilesGetPlaceholdersAndTheRestLoads();
    void upAndDownSpritesAreTintedFromTheFile();
    void busyBattleFrame();

private:
    QString programFolder;
};

namespace {

bool isBlack(QRgb pixel) { return (pixel & 0xFFFFFF) == 0; }

// A copy of the program folder's sprites that a test may break.
QString copyImages(const QString& from, const QString& to)
{
    QDir().mkpath(to + QStringLiteral("/Images"));
    const QDir images(from + QStringLiteral("/Images"));
    for (const QString& name : images.entryList(QDir::Files))
        QFile::copy(images.filePath(name), to + QStringLiteral("/Images/") + name);
    return to;
}

}  // namespace

void PictureStoreTest::initTestCase()
{
    initBuiltInPictures();
    programFolder = qEnvironmentVariable("VF_PROGRAM_DIR");
    QVERIFY(QDir(programFolder + QStringLiteral("/Images")).exists());
}

void PictureStoreTest::builtInPicturesHaveTheirSizes()
{
    PictureStore store;
    store.LoadBuiltIns();
    for (const QImage& tile : store.picPlat)
        QCOMPARE(tile.size(), QSize(25, 25));
    for (const QImage& building : store.imgBuilding)
        QCOMPARE(building.size(), QSize(25, 25));
    QCOMPARE(store.picHalo[0].size(), QSize(25, 27));
    QCOMPARE(store.picHalo[4].size(), QSize(25, 25));
    QCOMPARE(store.picMenu[0].size(), QSize(793, 99));
    QCOMPARE(store.picUnitBox[0].size(), QSize(54, 47));
    QCOMPARE(store.picArrow[1].size(), QSize(19, 14));
    QCOMPARE(store.picTime[0].size(), QSize(79, 83));
    QCOMPARE(store.picOptions[0].size(), QSize(230, 176));
    QCOMPARE(store.picOptions[2].size(), QSize(230, 400));
    QCOMPARE(store.picDamageBar[0].size(), QSize(22, 42));
    QCOMPARE(store.picDamageBar[3].size(), QSize(20, 23));
}

void PictureStoreTest::spritesAreTintedAndMasked()
{
    PictureStore store;
    QVERIFY(store.LoadLevel(programFolder).isEmpty());
    for (int type = 1; type <= PictureStore::UnitTypeCount; ++type) {
        const QImage& right = store.imgPlayerRight[1][type];
        QCOMPARE(right.size(), QSize(25, 27));
        QImage blue;
        modColorize::ColorizePicture(right, blue, modColorize::PlayerTint[2]);
        QCOMPARE(store.imgPlayerRight[2][type], blue);
        QImage yellowLeft;
        modColorize::ColorizePicture(store.imgPlayerLeft[1][type], yellowLeft, modColorize::PlayerTint[4]);
        QCOMPARE(store.imgPlayerLeft[4][type], yellowLeft);
        // One mask per facing serves every owner and the grey sprite.
        for (int y = 0; y < 27; ++y) {
            for (int x = 0; x < 25; ++x) {
                const bool clear = isBlack(right.pixel(x, y));
                QCOMPARE(store.imgMaskRight[type].pixel(x, y), clear ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
                QCOMPARE(isBlack(store.imgPlayerRight[3][type].pixel(x, y)), clear);
                QCOMPARE(isBlack(store.imgPlayer1D[type].pixel(x, y)), clear);
            }
        }
    }
}

void PictureStoreTest::missingFilesGetPlaceholdersAndTheRestLoads()
{
    QTemporaryDir dir;
    const QString folder = copyImages(programFolder, dir.path());
    QVERIFY(QFile::remove(folder + QStringLiteral("/Images/RedRecon.gif")));
    PictureStore store;
    const QStringList missing = store.LoadLevel(folder);
    QCOMPARE(missing.size(), 1);
    QVERIFY(missing.first().endsWith(QStringLiteral("RedRecon.gif")));
    // The placeholder shows: it is not black anywhere.
    QVERIFY(!isBlack(store.imgPlayerRight[1][UnitType::Recon].pixel(3, 3)));
    QCOMPARE(store.imgMaskRight[UnitType::Recon].pixel(3, 3), qRgb(0, 0, 0));
    // Later types still load from their files.
    PictureStore reference;
    reference.LoadLevel(programFolder);
    for (int type = UnitType::Rover; type <= UnitType::Last; ++type)
        QCOMPARE(store.imgPlayerRight[1][type], reference.imgPlayerRight[1][type]);
}

void PictureStoreTest::upAndDownSpritesAreTintedFromTheFile()
{
    QTemporaryDir dir;
    const QString folder = copyImages(programFolder, dir.path());
    QVERIFY(QFile::remove(folder + QStringLiteral("/Images/RedReconup.gif")));
    PictureStore store;
    store.LoadPictureTemp(folder, UnitType::HeavyTank, 1, true);
    const QImage tankUp = store.imgTemp;
    store.LoadPictureTemp(folder, UnitType::HeavyTank, 4, true);
    QImage yellowUp;
    modColorize::ColorizePicture(tankUp, yellowUp, modColorize::PlayerTintUpDown[4]);
    QCOMPARE(store.imgTemp, yellowUp);
    // The recon's file is missing: the tank's file picture is tinted once, not the tinted one again.
    store.LoadPictureTemp(folder, UnitType::Recon, 4, true);
    QCOMPARE(store.imgTemp, yellowUp);
    QImage mask;
    modColorize::MakeMask(yellowUp, mask);
    QCOMPARE(store.imgTempM, mask);
    // Codes outside the table take the infantry's sprite.
    store.LoadPictureTemp(folder, 99, 1, false);
    PictureStore infantry;
    infantry.LoadPictureTemp(folder, UnitType::Infantry, 1, false);
    QCOMPARE(store.imgTemp, infantry.imgTemp);
}

void PictureStoreTest::busyBattleFrame()
{
    BattleKit kit;
    PictureStore store;
    store.LoadBuiltIns();
    QVERIFY(store.LoadLevel(programFolder).isEmpty());
    kit.game->setPictures(&store);
    QFile::copy(programFolder + QStringLiteral("/Four Docks.spw"), kit.path(QStringLiteral("busy.spw")));
    MapPath = kit.path(QStringLiteral("busy.spw"));
    QVERIFY(kit.startWithSettings(4, 30));
    frmGame& game = *kit.game;
    // Some units hurt, low on fuel, acted, carrying; one selected with its info box and menu.
    Units[2].HP = 45;
    Units[3].E = false;
    Units[4].FUEL = 3;
    Units[5].TRANS = 6;
    Units[7].SEL = true;
    SelectedUnit = 7;
    game.MoveFacing = 3;
    game.InfoUnit = 7;
    game.SetUnitBoxPic();
    game.MenuItems[1] = TextItem{QStringLiteral("Attack"), 320, game.PanelTop + 10, QStringLiteral("Arial"),
                                 QStringLiteral("16777215"), true, false, 10, true, false, 0};
    game.MenuItems[2] = TextItem{QStringLiteral("Wait"), 320, game.PanelTop + 30, QStringLiteral("Arial"),
                                 QStringLiteral("16777215"), true, false, 10, true, false, 0};
    game.MenuActive = true;
    ShowGameMessage(QStringLiteral("Player 2 has been defeated!"));
    game.ViewDamage(40, 2, 10, 7);
    game.RunFrame();
    const QString file = QCoreApplication::applicationDirPath() + QStringLiteral("/busy-battle.png");
    QVERIFY(game.surface.image().save(file));
    qInfo("rendered frame: %s", qPrintable(file));
}

QTEST_MAIN(PictureStoreTest)
#include "tst_picturestore.moc"
