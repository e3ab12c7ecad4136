#include <QtTest>

#include <QFontInfo>
#include <QTemporaryDir>

#include "platform/Gif.h"
#include "platform/Surface.h"

using platform::FontSpec;
using platform::RasterOp;
using platform::Surface;

namespace {

constexpr QRgb Background = 0xFF336699;

// A picture whose every pixel is distinct, so an off-by-one shows.
QImage numbered(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(10 + x, 100 + y, 200));
    return img;
}

}  // namespace

class TestSurface : public QObject {
    Q_OBJECT

private slots:
    void clearAndFillClip()
    {
        Surface s;
        QCOMPARE(s.image().size(), QSize(800, 500));
        s.clear(QColor(Background));
        s.fillRect(QRect(790, 495, 50, 50), Qt::white);
        s.fillRect(QRect(-5, -5, 7, 7), Qt::red);
        QCOMPARE(s.image().pixel(799, 499), 0xFFFFFFFFu);
        QCOMPARE(s.image().pixel(789, 495), Background);
        QCOMPARE(s.image().pixel(1, 1), 0xFFFF0000u);
        QCOMPARE(s.image().pixel(2, 2), Background);
    }

    void maskThenSpriteKeepsBackground()
    {
        // A diamond of odd colours on black; its mask, black on white, as a 1-bit image.
        QImage sprite(6, 6, QImage::Format_RGB32);
        QImage mask(6, 6, QImage::Format_Mono);
        mask.setColorTable({0xFF000000, 0xFFFFFFFF});
        auto inside = [](int x, int y) { return std::abs(x - 2) + std::abs(y - 2) <= 2; };
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 6; ++x) {
                sprite.setPixel(x, y, inside(x, y) ? qRgb(0x12 + 40 * x, 0x81, 0x05 + 30 * y) : qRgb(0, 0, 0));
                mask.setPixel(x, y, inside(x, y) ? 0 : 1);
            }
        }
        Surface s;
        s.clear(QColor(Background));
        s.blit(100, 50, mask, RasterOp::And);
        s.blit(100, 50, sprite, RasterOp::Paint);
        for (int y = -1; y <= 6; ++y) {
            for (int x = -1; x <= 6; ++x) {
                const bool in = x >= 0 && y >= 0 && x < 6 && y < 6 && inside(x, y);
                QCOMPARE(s.image().pixel(100 + x, 50 + y), in ? sprite.pixel(x, y) : Background);
            }
        }
    }

    void copyReplacesEvenWithBlackAndNeverBlends()
    {
        // Prepared pictures: alpha means nothing.
        const QRgb pixels[3] = {0xFF000000, 0x00FF0000, 0x8000FF00};
        const QImage pic(reinterpret_cast<const uchar*>(pixels), 3, 1, QImage::Format_ARGB32);
        Surface s;
        s.clear(QColor(Background));
        s.blit(10, 10, pic, RasterOp::Copy);
        QCOMPARE(s.image().pixel(10, 10), 0xFF000000u);
        QCOMPARE(s.image().pixel(11, 10), 0xFFFF0000u);
        QCOMPARE(s.image().pixel(12, 10), 0xFF00FF00u);
        QCOMPARE(s.image().pixel(13, 10), Background);
    }

    void blitClipsAtEdges_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::newRow("top-left, negative") << QPoint(-3, -2);
        QTest::newRow("bottom-right") << QPoint(795, 497);
        QTest::newRow("fully left") << QPoint(-8, 0);
        QTest::newRow("fully below") << QPoint(0, 500);
        QTest::newRow("far away") << QPoint(-100000, 100000);
    }

    void blitClipsAtEdges()
    {
        QFETCH(QPoint, at);
        const QImage pic = numbered(8, 5);
        Surface s;
        s.clear(QColor(Background));
        s.blit(at.x(), at.y(), pic, RasterOp::Copy);
        // Every source pixel that lands on the surface is there; around it, nothing changed.
        for (int y = -1; y <= pic.height(); ++y) {
            for (int x = -1; x <= pic.width(); ++x) {
                const QPoint p = at + QPoint(x, y);
                if (s.image().rect().contains(p))
                    QCOMPARE(s.image().pixel(p), pic.rect().contains(x, y) ? pic.pixel(x, y) : Background);
            }
        }
    }

    void sourceRectPicksPart()
    {
        const QImage pic = numbered(8, 8);
        Surface s;
        s.clear(QColor(Background));
        s.blit(20, 30, pic, RasterOp::Copy, QRect(3, 2, 2, 3));
        QCOMPARE(s.image().pixel(20, 30), pic.pixel(3, 2));
        QCOMPARE(s.image().pixel(21, 32), pic.pixel(4, 4));
        QCOMPARE(s.image().pixel(22, 30), Background);
        QCOMPARE(s.image().pixel(20, 33), Background);
        // The part's left column falls off the surface.
        s.blit(-1, 0, pic, RasterOp::Copy, QRect(3, 2, 2, 3));
        QCOMPARE(s.image().pixel(0, 0), pic.pixel(4, 2));
        QCOMPARE(s.image().pixel(1, 0), Background);
        // A part reaching before the picture: those pixels have nothing to copy, the rest stay put.
        s.blit(50, 50, pic, RasterOp::Copy, QRect(-2, -2, 5, 5));
        QCOMPARE(s.image().pixel(50, 50), Background);
        QCOMPARE(s.image().pixel(52, 52), pic.pixel(0, 0));
        QCOMPARE(s.image().pixel(55, 55), Background);
    }

    void fonts()
    {
        // Points at 96 DPI become pixels.
        QCOMPARE(platform::resolveFont({"Arial", 12}).pixelSize(), 16);
        QCOMPARE(platform::resolveFont({"Arial", 8}).pixelSize(), 11);
        // "Impact" here is a dingbat face: a condensed bold one stands in.
        const QFontInfo impact(platform::resolveFont({"Impact", 18}));
        QVERIFY2(impact.family().startsWith("Liberation Sans Narrow") || impact.family().startsWith("DejaVu Sans"),
                 qPrintable(impact.family()));
        QVERIFY(impact.bold());
        QCOMPARE(QFontInfo(platform::resolveFont({"Wingdings", 12})).family(), QStringLiteral("Liberation Sans"));
        // Style flags apply, and the cache hands no description another's font.
        const QFont styled = platform::resolveFont({"Arial", 12, true, true, true});
        const QFont plain = platform::resolveFont({"Arial", 12});
        QVERIFY(styled.bold() && styled.italic() && styled.underline() && !plain.bold() && !plain.italic());
        QCOMPARE(QFontInfo(plain).family(), QStringLiteral("Liberation Sans"));
    }

    void textHangsBelowY()
    {
        const FontSpec arial{"Arial", 12};
        const int height = QFontMetrics(platform::resolveFont(arial)).height();
        Surface s;
        s.drawText(10, 100, QStringLiteral("Hgj|"), arial, Qt::white);
        QList<int> inkRows;
        for (int y = 0; y < s.height(); ++y) {
            for (int x = 0; x < 200 && (inkRows.isEmpty() || inkRows.last() != y); ++x) {
                if (s.image().pixel(x, y) != 0xFF000000u)
                    inkRows << y;
            }
        }
        // Inside the cell below y, capitals near its top rather than half a line down.
        QVERIFY2(inkRows.first() >= 100 && inkRows.first() < 100 + height / 2, qPrintable(QString::number(inkRows.first())));
        QVERIFY2(inkRows.last() < 100 + height, qPrintable(QString::number(inkRows.last())));
    }

    void gifTransparencyBecomesBlack()
    {
        // 4 x 4 pixels of colours 0 red, 1 green, 2 blue and 3 magenta, index 3 transparent.
        const int pixels[4][4] = {{3, 3, 0, 0}, {3, 1, 1, 3}, {2, 2, 2, 2}, {0, 1, 2, 3}};
        const QByteArray gif = QByteArray::fromHex("47494638396104000400910000ff000000ff000000ffff00ff21f904010000030"
                                                   "02c0000000004000400000209dc001331e202821805003b");
        QTemporaryDir dir;
        QFile file(dir.filePath("unit.gif"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(gif) == gif.size());
        file.close();
        const QImage pic = platform::loadPicture(file.fileName());
        QCOMPARE(pic.format(), QImage::Format_RGB32);
        QCOMPARE(pic.size(), QSize(4, 4));
        const QRgb colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000};
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                QCOMPARE(pic.pixel(x, y), colours[pixels[y][x]]);
        QVERIFY(platform::loadPicture(dir.filePath("none.gif")).isNull());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write("GIF89a but not really") > 0);
        file.close();
        QVERIFY(platform::loadPicture(file.fileName()).isNull());
    }
};

QTEST_MAIN(TestSurface)
#include "tst_surface.moc"
