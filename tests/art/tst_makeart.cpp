// Pieces of the art generator that the pictures depend on: the GIF output and
// the team colours under the player tints.

#include "art/Art.h"
#include "art/Palette.h"
#include "platform/Gif.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace art;

namespace {

// Random colours, every `blackEvery`-th pixel or so black.
QImage noisy(int w, int h, int blackEvery)
{
    QImage img(w, h, QImage::Format_RGB32);
    quint32 s = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            img.setPixel(x, y, int((s >> 8) % blackEvery) == 0 ? 0xFF000000u
                                                               : qRgb(int(s >> 24), int((s >> 16) & 0xFF), int((s >> 5) & 0xFF)));
        }
    return img;
}

}  // namespace

class tst_MakeArt : public QObject {
    Q_OBJECT

private slots:
    void gif_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<bool>("exact");
        // Dark colours one step from black are the ones a lossy writer loses.
        QImage few(40, 30, QImage::Format_RGB32);
        for (int y = 0; y < few.height(); ++y)
            for (int x = 0; x < few.width(); ++x) {
                const int i = (y * few.width() + x) % 250;
                few.setPixel(x, y, i == 0 ? qRgb(0, 0, 0) : i == 1 ? qRgb(0, 0, 1) : qRgb(i, 255 - i, (i * 7) % 256));
            }
        QTest::newRow("250 colours") << few << true;
        QTest::newRow("random colours") << noisy(120, 90, 7) << false;
    }

    // What the writer promises is what the file holds; black never moves.
    void gif()
    {
        QFETCH(QImage, image);
        QFETCH(bool, exact);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.gif"));
        QVERIFY(writeGif(image, path));
        const QImage back = platform::loadPicture(path);
        const QImage promised = gifColours(image);
        QCOMPARE(back.size(), image.size());
        double error = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb was = image.pixel(x, y) & 0xFFFFFFu, is = back.pixel(x, y) & 0xFFFFFFu;
                QCOMPARE(is, promised.pixel(x, y) & 0xFFFFFFu);
                QCOMPARE(is == 0, was == 0);
                error += std::abs(qRed(was) - qRed(is)) + std::abs(qGreen(was) - qGreen(is)) + std::abs(qBlue(was) - qBlue(is));
            }
        // Reduced, not wrecked: random colours are the worst case for 256.
        QCOMPARE(error == 0, exact);
        QVERIFY2(error / (3.0 * image.width() * image.height()) < 20, qPrintable(QString::number(error)));
        QVERIFY(!writeGif(image, QStringLiteral("/nonexistent-folder/x.gif")));
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
                QVERIFY2(i == 0 || QColor(tintPixel(SpriteOutline, t)).lightness() < QColor(tintPixel(red, t)).lightness(),
                         qPrintable(at));
        }
    }
};

QTEST_MAIN(tst_MakeArt)
#include "tst_makeart.moc"
