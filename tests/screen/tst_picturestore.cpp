// Recolouring and masks, and the picture store filled from our own art.

#include "../battle/BattleKit.h"
#include "art/BuiltInPictures.h"
#include "data/GameTypes.h"
#include "screen/Colorize.h"
#include "screen/PictureStore.h"

#include <QDir>

using namespace modStrat;
using namespace modColorize;

class PictureStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void tintsAndMasks();
    void spritesAreTintedAndMasked();
    void missingFilesGetPlaceholdersAndTheRestLoads();
    void upAndDownSpritesAreTintedFromTheFile();

private:
    QString programFolder;
};

namespace {

bool isBlack(QRgb pixel) { return (pixel & 0xFFFFFF) == 0; }

QImage tinted(const QImage& picture, const Tint& tint)
{
    QImage out;
    ColorizePicture(picture, out, tint);
    return out;
}

// One row of pixels.
QImage picture(std::initializer_list<QRgb> pixels)
{
    QImage image(int(pixels.size()), 1, QImage::Format_RGB32);
    int x = 0;
    for (QRgb p : pixels)
        image.setPixel(x++, 0, p);
    return image;
}

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

void PictureStoreTest::tintsAndMasks()
{
    const QImage red = picture({qRgb(220, 150, 150), qRgb(1, 0, 0), qRgb(40, 10, 200)});
    // A pixel that is not black is shifted like the rest; blue saturates, red bottoms out.
    const QImage blue = tinted(red, PlayerTint[2]);
    QVERIFY(blue.pixel(0, 0) == qRgb(165, 134, 255) && blue.pixel(1, 0) == qRgb(0, 0, 165)
            && blue.pixel(2, 0) == qRgb(0, 0, 255));
    QCOMPARE(tinted(red, PlayerTint[3]).pixel(0, 0), qRgb(162, 208, 158));
    QCOMPARE(tinted(red, PlayerTint[4]).pixel(0, 0), qRgb(211, 216, 158));
    QCOMPARE(tinted(red, PlayerTintUpDown[4]).pixel(0, 0), qRgb(211, 216, 142));  // blue minus 8 for up and down
    QCOMPARE(tinted(red, DoneTint).pixel(0, 0), qRgb(159, 167, 167));
    // Black stays black under every tint, nothing else becomes black, and the mask follows it.
    const QImage sprite = picture({qRgb(0, 0, 0), qRgb(30, 2, 2), qRgb(0, 0, 1)});
    for (const Tint& tint : {PlayerTint[2], PlayerTint[3], PlayerTint[4], PlayerTintUpDown[4], DoneTint}) {
        const QImage out = tinted(sprite, tint);
        QVERIFY(out.pixel(0, 0) == qRgb(0, 0, 0) && out.pixel(1, 0) != qRgb(0, 0, 0) && out.pixel(2, 0) != qRgb(0, 0, 0));
    }
    QImage mask;
    MakeMask(sprite, mask);
    QCOMPARE(mask, picture({qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(0, 0, 0)}));
    // Tinting a picture in place gives what tinting a copy gives.
    QImage sprites(25, 27, QImage::Format_RGB32);
    for (int y = 0; y < 27; ++y)
        for (int x = 0; x < 25; ++x)
            sprites.setPixel(x, y, (x + y) % 3 ? qRgb(x * 9, y * 7, 200 - x) : qRgb(0, 0, 0));
    const QImage copy = tinted(sprites, PlayerTint[2]);
    ColorizePicture(sprites, sprites, PlayerTint[2]);
    QCOMPARE(sprites, copy);
}

void PictureStoreTest::spritesAreTintedAndMasked()
{
    PictureStore store;
    QVERIFY(store.LoadLevel(programFolder).isEmpty());
    for (int type = 1; type <= PictureStore::UnitTypeCount; ++type) {
        const QImage& right = store.imgPlayerRight[1][type];
        QVERIFY(right.size() == QSize(25, 27) && store.imgPlayerRight[2][type] == tinted(right, PlayerTint[2]));
        QCOMPARE(store.imgPlayerLeft[4][type], tinted(store.imgPlayerLeft[1][type], PlayerTint[4]));
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
    QVERIFY(missing.size() == 1 && missing.first().endsWith(QStringLiteral("RedRecon.gif")));
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
    const QImage yellowUp = tinted(store.imgTemp, PlayerTintUpDown[4]);
    store.LoadPictureTemp(folder, UnitType::HeavyTank, 4, true);
    QCOMPARE(store.imgTemp, yellowUp);
    // The recon's file is missing: the tank's file picture is tinted once, not the tinted one again.
    store.LoadPictureTemp(folder, UnitType::Recon, 4, true);
    QCOMPARE(store.imgTemp, yellowUp);
    QImage mask;
    MakeMask(yellowUp, mask);
    QCOMPARE(store.imgTempM, mask);
    // Codes outside the table take the infantry's sprite.
    store.LoadPictureTemp(folder, 99, 1, false);
    PictureStore infantry;
    infantry.LoadPictureTemp(folder, UnitType::Infantry, 1, false);
    QCOMPARE(store.imgTemp, infantry.imgTemp);
}

QTEST_MAIN(PictureStoreTest)
#include "tst_picturestore.moc"
