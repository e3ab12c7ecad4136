// Pieces of the art generator that the pictures depend on: the GIF output,
// the team colours and the player tints.

#include "art/Art.h"
#include "art/Palette.h"
#include "platform/Gif.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace art;

namespace {

QImage noisy(int w, int h, int blackEvery)
{
    QImage img(w, h, QImage::Format_RGB32);
    quint32 s = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            if (int((s >> 8) % blackEvery) == 0)
                img.setPixel(x, y, 0xFF000000u);
            else
                img.setPixel(x, y, qRgb(int(s >> 24), int((s >> 16) & 0xFF), int((s >> 5) & 0xFF)));
        }
    return img;
}

int blackIn(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xFFFFFFu) == 0;
    return n;
}

}  // namespace

class tst_MakeArt : public QObject {
    Q_OBJECT

private slots:
    void gifKeepsFewColoursExactly()
    {
        // Dark colours one step from black are the ones a lossy writer loses.
        QImage img(40, 30, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const int i = (y * img.width() + x) % 250;
                img.setPixel(x, y, i == 0 ? qRgb(0, 0, 0) : i == 1 ? qRgb(0, 0, 1) : qRgb(i, 255 - i, (i * 7) % 256));
            }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("few.gif"));
        QVERIFY(writeGif(img, path));
        const QImage back = platform::loadPicture(path);
        QCOMPARE(back.size(), img.size());
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                QCOMPARE(back.pixel(x, y) & 0xFFFFFFu, img.pixel(x, y) & 0xFFFFFFu);
        QCOMPARE(gifColours(img), img);
    }

    void gifWithManyColoursNeverMovesBlack()
    {
        const QImage img = noisy(120, 90, 7);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("many.gif"));
        QVERIFY(writeGif(img, path));
        const QImage back = platform::loadPicture(path);
        QCOMPARE(back.size(), img.size());
        // What the writer promises is what the file holds.
        const QImage promised = gifColours(img);
        double error = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb was = img.pixel(x, y) & 0xFFFFFFu, is = back.pixel(x, y) & 0xFFFFFFu;
                QCOMPARE(is == 0, was == 0);
                QCOMPARE(is, promised.pixel(x, y) & 0xFFFFFFu);
                error += std::abs(qRed(was) - qRed(is)) + std::abs(qGreen(was) - qGreen(is)) + std::abs(qBlue(was) - qBlue(is));
            }
        QCOMPARE(blackIn(back), blackIn(img));
        // Reduced, not wrecked: random colours are the worst case for 256.
        QVERIFY2(error / (3.0 * img.width() * img.height()) < 20, qPrintable(QString::number(error)));
    }

    void gifOfAnUnwritablePathFails()
    {
        QVERIFY(!writeGif(noisy(4, 4, 2), QStringLiteral("/nonexistent-folder/x.gif")));
    }

    void tintsMatchTheGame_data()
    {
        QTest::addColumn<QRgb>("in");
        QTest::addColumn<int>("which");
        QTest::addColumn<QRgb>("out");
        // The red palette's example and its four colours.
        QTest::newRow("blue") << qRgb(220, 150, 150) << 0 << qRgb(165, 134, 255);
        QTest::newRow("green") << qRgb(220, 150, 150) << 1 << qRgb(162, 208, 158);
        QTest::newRow("yellow") << qRgb(220, 150, 150) << 2 << qRgb(211, 216, 158);
        QTest::newRow("acted") << qRgb(220, 150, 150) << 4 << qRgb(159, 167, 167);
        QTest::newRow("yellow turned") << qRgb(220, 150, 150) << 3 << qRgb(211, 216, 142);
        // Clamped per channel; black stays black; nothing else turns black.
        QTest::newRow("clamped") << qRgb(30, 2, 2) << 0 << qRgb(0, 0, 167);
        QTest::newRow("black") << qRgb(0, 0, 0) << 0 << qRgb(0, 0, 0);
        QTest::newRow("almost black") << qRgb(1, 0, 0) << 0 << qRgb(0, 0, 165);
        QTest::newRow("bright") << qRgb(250, 250, 250) << 1 << qRgb(192, 255, 255);
    }

    void tintsMatchTheGame()
    {
        QFETCH(QRgb, in);
        QFETCH(int, which);
        QFETCH(QRgb, out);
        const Tint tints[] = {TintBlue, TintGreen, TintYellow, TintYellowTurned, TintActed};
        QCOMPARE(tintPixel(in, tints[which]) & 0xFFFFFFu, out & 0xFFFFFFu);
        QImage one(1, 1, QImage::Format_RGB32);
        one.setPixel(0, 0, in | 0xFF000000u);
        QCOMPARE(tinted(one, tints[which]).pixel(0, 0) & 0xFFFFFFu, out & 0xFFFFFFu);
    }

    // Every shade of the team ramp lands on the right colour under every tint,
    // and the sprite outline stays the darkest colour in every team.
    void teamRampTintsCleanly()
    {
        for (int i = 0; i <= 20; ++i) {
            const QRgb red = teamRamp(i / 20.0);
            const QColor blue(tintPixel(red, TintBlue)), green(tintPixel(red, TintGreen));
            const QColor yellow(tintPixel(red, TintYellow)), grey(tintPixel(red, TintActed));
            const QString at = QString::number(i);
            QVERIFY2(qRed(red) > qGreen(red) && qGreen(red) == qBlue(red), qPrintable(at));
            QVERIFY2(blue.blue() > blue.red() + 40 && blue.blue() > blue.green() + 40, qPrintable(at));
            QVERIFY2(green.green() > green.red() + 40 && green.green() > green.blue() + 40, qPrintable(at));
            QVERIFY2(std::abs(yellow.red() - yellow.green()) < 25 && yellow.green() > yellow.blue() + 40, qPrintable(at));
            QVERIFY2(std::abs(grey.red() - grey.green()) < 25 && std::abs(grey.green() - grey.blue()) < 5, qPrintable(at));
            for (Tint t : {TintBlue, TintGreen, TintYellow, TintActed})
                QVERIFY2(QColor(tintPixel(SpriteOutline, t)).lightness() < QColor(tintPixel(red, t)).lightness()
                             || i == 0,
                         qPrintable(at));
        }
    }

    void maskIsBlackWhereThePictureShows()
    {
        const QImage pic = noisy(30, 20, 3);
        const QImage mask = maskOf(pic);
        for (int y = 0; y < pic.height(); ++y)
            for (int x = 0; x < pic.width(); ++x)
                QCOMPARE(mask.pixel(x, y) & 0xFFFFFFu, (pic.pixel(x, y) & 0xFFFFFFu) ? 0u : 0xFFFFFFu);
    }
};

QTEST_MAIN(tst_MakeArt)
#include "tst_makeart.moc"
