#include <QtTest>

#include <QFontInfo>
#include <QTemporaryDir>

#include <gif_lib.h>

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

// Writes a 4x4 GIF: colours 0 red, 1 green, 2 blue, 3 magenta, index 3 transparent.
bool writeTransparentGif(const QString& path, const GifPixelType (&pixels)[4][4])
{
    int error = 0;
    GifFileType* gif = EGifOpenFileName(QFile::encodeName(path).constData(), false, &error);
    if (!gif)
        return false;
    GifColorType colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 0, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, 4, 4, 2, 0, map) == GIF_OK;

    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
    gcb.DelayTime = 0;
    gcb.TransparentColor = 3;
    GifByteType ext[4];
    const size_t len = EGifGCBToExtension(&gcb, ext);
    ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), ext) == GIF_OK;
    ok = ok && EGifPutImageDesc(gif, 0, 0, 4, 4, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < 4; ++y) {
        GifPixelType line[4];
        std::copy(std::begin(pixels[y]), std::end(pixels[y]), line);
        ok = EGifPutLine(gif, line, 4) == GIF_OK;
    }
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    return ok;
}

}  // namespace

class TestSurface : public QObject {
    Q_OBJECT

private slots:
    void startsBlackAndClearFills();
    void fillRectClips();

    void maskThenSpriteKeepsBackground();
    void copyReplacesEvenWithBlack();
    void alphaOfArgbSourceIsIgnored();
    void blitClipsAtEdges_data();
    void blitClipsAtEdges();
    void sourceRectPicksPart();
    void sourceRectOutsideSourceIsTrimmed();

    void fontSizesArePixelsAt96Dpi();
    void facesMapToInstalledFamilies();
    void styleFlagsApply();
    void textHangsBelowY();

    void gifTransparencyBecomesBlack();
    void missingPictureIsNull();
};

void TestSurface::startsBlackAndClearFills()
{
    Surface s;
    QCOMPARE(s.width(), 800);
    QCOMPARE(s.height(), 500);
    QCOMPARE(s.image().format(), QImage::Format_RGB32);
    QCOMPARE(s.image().pixel(799, 499), 0xFF000000u);

    s.clear(QColor(Background));
    for (QPoint p : {QPoint(0, 0), QPoint(799, 0), QPoint(0, 499), QPoint(400, 250), QPoint(799, 499)})
        QCOMPARE(s.image().pixel(p), Background);
}

void TestSurface::fillRectClips()
{
    Surface s;
    s.fillRect(QRect(790, 495, 50, 50), Qt::white);
    QCOMPARE(s.image().pixel(799, 499), 0xFFFFFFFFu);
    QCOMPARE(s.image().pixel(790, 495), 0xFFFFFFFFu);
    QCOMPARE(s.image().pixel(789, 495), 0xFF000000u);
    QCOMPARE(s.image().pixel(790, 494), 0xFF000000u);

    s.fillRect(QRect(-5, -5, 7, 7), Qt::red);
    QCOMPARE(s.image().pixel(1, 1), 0xFFFF0000u);
    QCOMPARE(s.image().pixel(2, 2), 0xFF000000u);
}

void TestSurface::maskThenSpriteKeepsBackground()
{
    // A 6x6 sprite: a diamond of odd colours on black, its mask black on white.
    // The mask goes in as a 1-bit image to exercise conversion.
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

    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const QRgb want = inside(x, y) ? sprite.pixel(x, y) : Background;
            QVERIFY2(s.image().pixel(100 + x, 50 + y) == want,
                     qPrintable(QStringLiteral("at %1,%2").arg(x).arg(y)));
        }
    }
    QCOMPARE(s.image().pixel(99, 50), Background);
    QCOMPARE(s.image().pixel(106, 56), Background);
}

void TestSurface::copyReplacesEvenWithBlack()
{
    QImage pic(3, 1, QImage::Format_RGB32);
    pic.setPixel(0, 0, 0xFF000000);
    pic.setPixel(1, 0, 0xFFFFFFFF);
    pic.setPixel(2, 0, 0xFF123456);

    Surface s;
    s.clear(QColor(Background));
    s.blit(10, 10, pic, RasterOp::Copy);
    QCOMPARE(s.image().pixel(10, 10), 0xFF000000u);
    QCOMPARE(s.image().pixel(11, 10), 0xFFFFFFFFu);
    QCOMPARE(s.image().pixel(12, 10), 0xFF123456u);
    QCOMPARE(s.image().pixel(13, 10), Background);
}

void TestSurface::alphaOfArgbSourceIsIgnored()
{
    // ARGB pictures have been prepared already; drawing must not blend.
    QImage pic(2, 1, QImage::Format_ARGB32);
    pic.setPixel(0, 0, 0x00FF0000);
    pic.setPixel(1, 0, 0x8000FF00);

    Surface s;
    s.clear(QColor(Background));
    s.blit(0, 0, pic, RasterOp::Copy);
    QCOMPARE(s.image().pixel(0, 0), 0xFFFF0000u);
    QCOMPARE(s.image().pixel(1, 0), 0xFF00FF00u);
}

void TestSurface::blitClipsAtEdges_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::newRow("top-left, negative") << QPoint(-3, -2);
    QTest::newRow("bottom-right") << QPoint(795, 497);
    QTest::newRow("left only") << QPoint(-7, 200);
    QTest::newRow("right only") << QPoint(798, 10);
    QTest::newRow("fully left") << QPoint(-8, 0);
    QTest::newRow("fully below") << QPoint(0, 500);
    QTest::newRow("far away") << QPoint(-100000, 100000);
}

void TestSurface::blitClipsAtEdges()
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
            if (!s.image().rect().contains(p))
                continue;
            const bool onPic = pic.rect().contains(x, y);
            QCOMPARE(s.image().pixel(p), onPic ? pic.pixel(x, y) : Background);
        }
    }
}

void TestSurface::sourceRectPicksPart()
{
    const QImage pic = numbered(8, 8);
    Surface s;
    s.clear(QColor(Background));
    s.blit(20, 30, pic, RasterOp::Copy, QRect(3, 2, 2, 3));

    QCOMPARE(s.image().pixel(20, 30), pic.pixel(3, 2));
    QCOMPARE(s.image().pixel(21, 32), pic.pixel(4, 4));
    QCOMPARE(s.image().pixel(22, 30), Background);
    QCOMPARE(s.image().pixel(20, 33), Background);

    // Combined with clipping: the part's own left column falls off the surface.
    s.blit(-1, 0, pic, RasterOp::Copy, QRect(3, 2, 2, 3));
    QCOMPARE(s.image().pixel(0, 0), pic.pixel(4, 2));
    QCOMPARE(s.image().pixel(0, 2), pic.pixel(4, 4));
    QCOMPARE(s.image().pixel(1, 0), Background);
}

void TestSurface::sourceRectOutsideSourceIsTrimmed()
{
    const QImage pic = numbered(4, 4);
    Surface s;
    s.clear(QColor(Background));
    // The rectangle starts 2 pixels before the picture: those have nothing to
    // copy, and the picture's pixels stay where the rectangle put them.
    s.blit(50, 50, pic, RasterOp::Copy, QRect(-2, -2, 5, 5));
    QCOMPARE(s.image().pixel(50, 50), Background);
    QCOMPARE(s.image().pixel(52, 52), pic.pixel(0, 0));
    QCOMPARE(s.image().pixel(54, 54), pic.pixel(2, 2));
    QCOMPARE(s.image().pixel(55, 55), Background);

    s.blit(0, 0, pic, RasterOp::Copy, QRect(10, 10, 4, 4));  // entirely outside: no-op
    QCOMPARE(s.image().pixel(0, 0), Background);
}

void TestSurface::fontSizesArePixelsAt96Dpi()
{
    QCOMPARE(platform::resolveFont({"Arial", 12}).pixelSize(), 16);
    QCOMPARE(platform::resolveFont({"Arial", 8}).pixelSize(), 11);
    QCOMPARE(platform::resolveFont({"Impact", 18}).pixelSize(), 24);
    QCOMPARE(platform::resolveFont({"Arial", 10}).pixelSize(), 13);
}

void TestSurface::facesMapToInstalledFamilies()
{
    const QFontInfo impact(platform::resolveFont({"Impact", 18}));
    QVERIFY2(impact.family().startsWith("Liberation Sans Narrow") || impact.family().startsWith("DejaVu Sans"),
             qPrintable(impact.family()));
    QVERIFY(impact.bold());

    const QFontInfo arial(platform::resolveFont({"Arial", 12}));
    QCOMPARE(arial.family(), QStringLiteral("Liberation Sans"));
    QVERIFY(!arial.bold());

    const QFontInfo other(platform::resolveFont({"Wingdings", 12}));
    QCOMPARE(other.family(), QStringLiteral("Liberation Sans"));
}

void TestSurface::styleFlagsApply()
{
    const QFont plain = platform::resolveFont({"Arial", 12});
    const QFont styled = platform::resolveFont({"Arial", 12, true, true, true});
    QVERIFY(!plain.bold() && !plain.italic() && !plain.underline());
    QVERIFY(styled.bold() && styled.italic() && styled.underline());
    // The cache must not hand one description's font to another.
    QVERIFY(!platform::resolveFont({"Arial", 12}).bold());
}

void TestSurface::textHangsBelowY()
{
    const FontSpec arial{"Arial", 12};
    const int height = QFontMetrics(platform::resolveFont(arial)).height();
    Surface s;
    const int top = 100;
    s.drawText(10, top, QStringLiteral("Hgj|"), arial, Qt::white);

    int firstInk = -1;
    int lastInk = -1;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < 200; ++x) {
            if (s.image().pixel(x, y) != 0xFF000000u) {
                if (firstInk < 0)
                    firstInk = y;
                lastInk = y;
                break;
            }
        }
    }
    QVERIFY2(firstInk >= top, qPrintable(QString::number(firstInk)));
    QVERIFY2(lastInk < top + height, qPrintable(QString::number(lastInk)));
    // Capitals reach near the top of the cell, not half a line down.
    QVERIFY2(firstInk < top + height / 2, qPrintable(QString::number(firstInk)));
}

void TestSurface::gifTransparencyBecomesBlack()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("unit.gif");
    const GifPixelType pixels[4][4] = {{3, 3, 0, 0}, {3, 1, 1, 3}, {2, 2, 2, 2}, {0, 1, 2, 3}};
    QVERIFY(writeTransparentGif(path, pixels));

    const QImage pic = platform::loadPicture(path);
    QVERIFY(!pic.isNull());
    QCOMPARE(pic.format(), QImage::Format_RGB32);
    QCOMPARE(pic.size(), QSize(4, 4));
    const QRgb colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            QCOMPARE(pic.pixel(x, y), colours[pixels[y][x]]);
}

void TestSurface::missingPictureIsNull()
{
    QVERIFY(platform::loadPicture(QStringLiteral("/nonexistent/none.gif")).isNull());

    QTemporaryDir dir;
    QFile junk(dir.filePath("junk.gif"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("GIF89a but not really");
    junk.close();
    QVERIFY(platform::loadPicture(junk.fileName()).isNull());
}

QTEST_MAIN(TestSurface)
#include "tst_surface.moc"
