// Recolouring and masks, pixel by pixel.

#include "screen/Colorize.h"

#include <QtTest>

using namespace modColorize;

class ColorizeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void splitsColourValues();
    void tintsShiftAndSaturate();
    void blackStaysBlackAndMasksFollowIt();
    void inPlaceEqualsCopy();
};

namespace {

QImage picture(std::initializer_list<QRgb> pixels)
{
    QImage image(int(pixels.size()), 1, QImage::Format_RGB32);
    int x = 0;
    for (QRgb p : pixels)
        image.setPixel(x++, 0, p);
    return image;
}

}  // namespace

void ColorizeTest::splitsColourValues()
{
    const Components yellow = SplitColor(65535);
    QCOMPARE(yellow.red, 255);
    QCOMPARE(yellow.green, 255);
    QCOMPARE(yellow.blue, 0);
    const Components c = SplitColor(0x123456);
    QCOMPARE(c.red, 0x56);
    QCOMPARE(c.green, 0x34);
    QCOMPARE(c.blue, 0x12);
}

void ColorizeTest::tintsShiftAndSaturate()
{
    const QImage red = picture({qRgb(220, 150, 150), qRgb(1, 0, 0), qRgb(40, 10, 200)});
    QImage blue;
    ColorizePicture(red, blue, PlayerTint[2]);
    QCOMPARE(blue.pixel(0, 0), qRgb(165, 134, 255));
    QCOMPARE(blue.pixel(1, 0), qRgb(0, 0, 165));  // not black, so it is shifted like the rest
    QCOMPARE(blue.pixel(2, 0), qRgb(0, 0, 255));  // blue saturates, red bottoms out
    QImage green;
    ColorizePicture(red, green, PlayerTint[3]);
    QCOMPARE(green.pixel(0, 0), qRgb(162, 208, 158));
    QCOMPARE(qRed(green.pixel(2, 0)), 0);
    QImage yellow;
    ColorizePicture(red, yellow, PlayerTint[4]);
    QCOMPARE(yellow.pixel(0, 0), qRgb(211, 216, 158));
    QImage yellowUp;
    ColorizePicture(red, yellowUp, PlayerTintUpDown[4]);
    QCOMPARE(yellowUp.pixel(0, 0), qRgb(211, 216, 142));  // blue minus 8 for up and down
    QImage done;
    ColorizePicture(red, done, DoneTint);
    QCOMPARE(done.pixel(0, 0), qRgb(159, 167, 167));
}

void ColorizeTest::blackStaysBlackAndMasksFollowIt()
{
    const QImage sprite = picture({qRgb(0, 0, 0), qRgb(30, 2, 2), qRgb(0, 0, 1)});
    for (const Tint& tint : {PlayerTint[2], PlayerTint[3], PlayerTint[4], PlayerTintUpDown[4], DoneTint}) {
        QImage tinted;
        ColorizePicture(sprite, tinted, tint);
        QCOMPARE(tinted.pixel(0, 0), qRgb(0, 0, 0));
        QVERIFY((tinted.pixel(1, 0) & 0xFFFFFF) != 0);
        QVERIFY((tinted.pixel(2, 0) & 0xFFFFFF) != 0);
    }
    QImage mask;
    MakeMask(sprite, mask);
    QCOMPARE(mask.pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(mask.pixel(1, 0), qRgb(0, 0, 0));
    QCOMPARE(mask.pixel(2, 0), qRgb(0, 0, 0));
}

void ColorizeTest::inPlaceEqualsCopy()
{
    QImage sprite(25, 27, QImage::Format_RGB32);
    for (int y = 0; y < 27; ++y)
        for (int x = 0; x < 25; ++x)
            sprite.setPixel(x, y, (x + y) % 3 ? qRgb(x * 9, y * 7, 200 - x) : qRgb(0, 0, 0));
    QImage copy;
    ColorizePicture(sprite, copy, PlayerTint[2]);
    QImage inPlace = sprite;
    ColorizePicture(inPlace, inPlace, PlayerTint[2]);
    QCOMPARE(inPlace, copy);
}

QTEST_MAIN(ColorizeTest)
#include "tst_colorize.moc"
