// The generated pictures as the game reads them: sprite and attack-scene GIFs
// from the program folder, the rest from the built-in resources.

#include "art/BuiltInPictures.h"
#include "platform/Gif.h"

#include <QDir>
#include <QtTest>

#include <array>

namespace {

const char* const SpriteBases[] = {"RedAAir",     "RedATV",     "RedBomber",    "RedCruiser", "RedFighter",
                                   "RedHSoldier", "RedHTank",   "RedPTurret",   "RedRecon",   "RedRover",
                                   "RedTransport", "RedSoldier", "RedTank",     "RedTurret",  "RedHTankG"};
const char* const Facings[] = {".gif", "back.gif", "up.gif", "dwn.gif"};

struct Tint {
    int dr, dg, db;
};

// The game's recolouring: every tint adds to green or blue, so nothing but
// black may ever come out black.
QRgb tint(QRgb p, Tint t)
{
    if ((p & 0xFFFFFFu) == 0)
        return 0;
    auto c = [](int v) { return std::clamp(v, 0, 255); };
    return qRgb(c(qRed(p) + t.dr), c(qGreen(p) + t.dg), c(qBlue(p) + t.db)) & 0xFFFFFFu;
}

bool isBlack(QRgb p) { return (p & 0xFFFFFFu) == 0; }

QString programDir()
{
    const QByteArray env = qgetenv("VF_PROGRAM_DIR");
    return env.isEmpty() ? QCoreApplication::applicationDirPath() : QString::fromLocal8Bit(env);
}

QImage sprite(const QString& base, const char* facing)
{
    return platform::loadPicture(QDir(programDir()).filePath(QStringLiteral("Images/") + base + QLatin1String(facing)));
}

QImage builtIn(const QString& path)
{
    return QImage(QStringLiteral(":/pictures/") + path).convertToFormat(QImage::Format_RGB32);
}

// Where the picture and its mask disagree: the mask must be black exactly
// where the picture is not black, white elsewhere, and nothing in between.
QString maskFault(const QImage& picture, const QImage& mask)
{
    if (picture.isNull() || mask.isNull())
        return QStringLiteral("missing");
    if (picture.size() != mask.size())
        return QStringLiteral("sizes differ");
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb m = mask.pixel(x, y) & 0xFFFFFFu;
            if (m != 0 && m != 0xFFFFFFu)
                return QStringLiteral("mask is grey at %1,%2").arg(x).arg(y);
            if ((m == 0) == isBlack(picture.pixel(x, y)))
                return QStringLiteral("disagree at %1,%2").arg(x).arg(y);
        }
    return {};
}

double meanDifference(const QImage& a, QPoint aFrom, const QImage& b, QPoint bFrom, QPoint step, int count)
{
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        const QRgb p = a.pixel(aFrom + step * i), q = b.pixel(bFrom + step * i);
        sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
    return sum / (3.0 * count);
}

QImage maskFrom(const QImage& picture)
{
    QImage m(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            m.setPixel(x, y, isBlack(picture.pixel(x, y)) ? 0xFFFFFFFFu : 0xFF000000u);
    return m;
}

// Shared part of two masks over their union (black = shown), at the best of
// three side-by-side positions: a sprite is centred to the nearest pixel.
double overlap(const QImage& a, const QImage& b)
{
    auto shown = [](const QImage& m, int x, int y) { return x >= 0 && x < m.width() && isBlack(m.pixel(x, y)); };
    double best = 0;
    for (int shift = -1; shift <= 1; ++shift) {
        int both = 0, either = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = -1; x <= a.width(); ++x) {
                const bool pa = shown(a, x, y), pb = shown(b, x + shift, y);
                both += pa && pb;
                either += pa || pb;
            }
        best = std::max(best, either ? double(both) / either : 1.0);
    }
    return best;
}

QColor meanColour(const QImage& img)
{
    double r = 0, g = 0, b = 0;
    const double n = double(img.width()) * img.height();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            r += qRed(p);
            g += qGreen(p);
            b += qBlue(p);
        }
    return QColor(int(r / n), int(g / n), int(b / n));
}

double distance(QColor a, QColor b)
{
    return std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue());
}

bool near(QRgb p, QColor want, int slack)
{
    return std::abs(qRed(p) - want.red()) <= slack && std::abs(qGreen(p) - want.green()) <= slack
           && std::abs(qBlue(p) - want.blue()) <= slack;
}

// Which owner a strongly coloured pixel belongs to: 1 red, 2 blue, 3 green,
// 4 yellow; 0 for greys, pale and dark colours.
int ownerHue(QRgb p)
{
    const QColor c(p);
    if (c.hsvSaturation() < 140 || c.value() < 70)
        return 0;
    const int h = c.hsvHue();
    if (h < 15 || h > 340)
        return 1;
    if (h >= 200 && h <= 250)
        return 2;
    if (h >= 90 && h <= 160)
        return 3;
    if (h >= 40 && h <= 62)
        return 4;
    return 0;
}

}  // namespace

class tst_Art : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { initBuiltInPictures(); }

    void everySpriteHasOneMaskForEveryColour()
    {
        const Tint tints[] = {{-55, -16, 165}, {-58, 58, 8}, {-9, 66, 8}, {-9, 66, -8}, {-61, 17, 17}};
        for (const char* base : SpriteBases)
            for (const char* facing : Facings) {
                const QString name = QLatin1String(base) + QLatin1String(facing);
                const QImage img = sprite(QLatin1String(base), facing);
                QVERIFY2(!img.isNull(), qPrintable(name + QStringLiteral(" missing")));
                QCOMPARE(img.size(), QSize(25, 27));
                int shown = 0;
                for (int y = 0; y < img.height(); ++y)
                    for (int x = 0; x < img.width(); ++x) {
                        const QRgb p = img.pixel(x, y);
                        // The map shows rows 0..24 only; the last two stay clear.
                        if (y >= 25)
                            QVERIFY2(isBlack(p), qPrintable(name + QStringLiteral(" draws below row 24")));
                        if (isBlack(p))
                            continue;
                        ++shown;
                        for (const Tint& t : tints)
                            QVERIFY2(!isBlack(tint(p, t)), qPrintable(name + QStringLiteral(" loses a pixel to a tint")));
                    }
                // The background is exactly black: a unit covers a part of the tile only.
                QVERIFY2(shown > 40 && shown < 25 * 25 * 3 / 4, qPrintable(name + QStringLiteral(" covers %1 pixels").arg(shown)));
                QVERIFY2(isBlack(img.pixel(0, 0)) && isBlack(img.pixel(24, 0)), qPrintable(name));
            }
    }

    void everyTypeAndFacingLooksDifferent()
    {
        std::vector<std::pair<QString, QImage>> all;
        for (const char* base : SpriteBases)
            for (const char* facing : Facings)
                all.emplace_back(QLatin1String(base) + QLatin1String(facing), sprite(QLatin1String(base), facing));
        for (size_t i = 0; i < all.size(); ++i)
            for (size_t j = i + 1; j < all.size(); ++j)
                QVERIFY2(all[i].second != all[j].second, qPrintable(all[i].first + QStringLiteral(" = ") + all[j].first));
    }

    // The left-facing sprite is the right-facing one turned round, and the up
    // and down sprites show the unit end-on: a file written under the wrong
    // name shows up here.
    void facingsFaceTheirWay()
    {
        for (const char* base : SpriteBases) {
            const QString name = QLatin1String(base);
            const QImage right = maskFrom(sprite(name, ".gif"));
            const QImage left = maskFrom(sprite(name, "back.gif"));
            const QImage up = maskFrom(sprite(name, "up.gif"));
            const QImage down = maskFrom(sprite(name, "dwn.gif"));
            const QImage turned = right.mirrored(true, false);
            QVERIFY2(overlap(turned, left) > 0.75, qPrintable(name + QStringLiteral(": left is not right turned round")));
            QVERIFY2(overlap(right, up) < overlap(turned, left), qPrintable(name + QStringLiteral(": up looks like a side view")));
            QVERIFY2(overlap(right, down) < overlap(turned, left), qPrintable(name + QStringLiteral(": down looks like a side view")));
        }
    }

    void buildingsWearTheirOwnersColours()
    {
        // Building type code by owner (0 neutral) for city, factory, airport, headquarters.
        const int codes[5][4] = {{0, 1, 9, 8}, {4, 6, 10, 2}, {5, 7, 11, 3}, {13, 14, 15, 12}, {17, 18, 19, 16}};
        for (int owner = 0; owner <= 4; ++owner)
            for (int code : codes[owner]) {
                const QImage img = builtIn(QStringLiteral("buildings/%1.png").arg(code));
                std::array<int, 5> count{};
                for (int y = 0; y < img.height(); ++y)
                    for (int x = 0; x < img.width(); ++x)
                        ++count[size_t(ownerHue(img.pixel(x, y)))];
                const QString what = QStringLiteral("building %1: %2 %3 %4 %5").arg(code).arg(count[1]).arg(count[2]).arg(count[3]).arg(count[4]);
                for (int other = 1; other <= 4; ++other) {
                    if (other == owner)
                        QVERIFY2(count[size_t(other)] >= 8, qPrintable(what));
                    else
                        QVERIFY2(count[size_t(other)] < 4, qPrintable(what));
                }
            }
        // Each owner's four kinds are four different pictures.
        for (const auto& row : codes)
            for (int i = 0; i < 4; ++i)
                for (int j = i + 1; j < 4; ++j)
                    QVERIFY(builtIn(QStringLiteral("buildings/%1.png").arg(row[i])) != builtIn(QStringLiteral("buildings/%1.png").arg(row[j])));
    }

    // Space, floor, raised plates, ramps, ground, rough ground and blocked
    // pads are told apart at a glance.
    void terrainKindsStandApart()
    {
        const std::pair<const char*, int> kinds[] = {{"space", 9},  {"floor", 0},  {"raised", 18}, {"ramp", 35},
                                                     {"ground", 23}, {"rough", 48}, {"blocked", 53}};
        for (const auto& [a, ca] : kinds)
            for (const auto& [b, cb] : kinds)
                if (ca < cb) {
                    const double d = distance(meanColour(builtIn(QStringLiteral("terrain/%1.png").arg(ca))),
                                              meanColour(builtIn(QStringLiteral("terrain/%1.png").arg(cb))));
                    QVERIFY2(d > 20, qPrintable(QStringLiteral("%1 and %2 differ by %3").arg(QLatin1String(a), QLatin1String(b)).arg(d)));
                }
        // Space is dark, and a rim shows it on its outer side only.
        QVERIFY(QColor(meanColour(builtIn(QStringLiteral("terrain/9.png")))).lightness() < 30);
        const QImage top = builtIn(QStringLiteral("terrain/7.png"));
        QVERIFY(QColor(meanColour(top.copy(0, 0, 25, 3))).lightness() < 30);
        QVERIFY(QColor(meanColour(top.copy(0, 22, 25, 3))).lightness() > 60);
    }

    // The two halves are shaped, not plain rectangles, and at rest they meet
    // near the middle of the window with the damage bar's track under them.
    void sceneHalvesMeetInTheMiddle()
    {
        const QDir dir(programDir());
        for (const char* set : {"0", "1"}) {
            const QImage left = platform::loadPicture(dir.filePath(QLatin1String(set) + QStringLiteral("M.gif")));
            const QImage right = platform::loadPicture(dir.filePath(QLatin1String(set) + QStringLiteral("BM.gif")));
            QVERIFY(!left.isNull() && !right.isNull());
            // Rounded outer corners.
            QVERIFY(!isBlack(left.pixel(0, 0)) && !isBlack(right.pixel(480, 469)));
            // Window x of the last shown pixel of the left half and the first of
            // the right one, along a few rows (left rests at x 9, right at 310).
            for (int y : {20, 235, 440}) {
                int leftEnd = -1, rightStart = -1;
                for (int x = 0; x < 481; ++x)
                    if (isBlack(left.pixel(x, y)))
                        leftEnd = 9 + x;
                for (int x = 480; x >= 0; --x)
                    if (isBlack(right.pixel(x, y)))
                        rightStart = 310 + x;
                QVERIFY2(leftEnd > 350 && leftEnd < 480, qPrintable(QStringLiteral("left ends at %1").arg(leftEnd)));
                QVERIFY2(rightStart > leftEnd && rightStart - leftEnd < 20,
                         qPrintable(QStringLiteral("gap %1..%2").arg(leftEnd).arg(rightStart)));
            }
            // Both ends of the damage bar (window y 432..474, x 135..577) lie on a half.
            QVERIFY(isBlack(left.pixel(135 - 9, 450 - 15)));
            QVERIFY(isBlack(right.pixel(577 - 310, 450 - 15)));
        }
    }

    // The other drawing relies on these looks: white text on the panel, dark
    // text on the menus and the clock, a white field for the unit's sprite.
    void windowPicturesCarryTheirColours()
    {
        const QImage menu = builtIn(QStringLiteral("window/menu0.png"));
        QVERIFY(near(menu.pixel(20, 20), QColor(173, 173, 173), 30));
        QVERIFY(near(menu.pixel(60, 50), QColor(140, 132, 189), 30));
        QVERIFY(near(menu.pixel(770, 50), QColor(99, 90, 181), 30));
        QVERIFY(isBlack(menu.pixel(0, 0)));  // a rounded corner

        const QImage box = builtIn(QStringLiteral("window/unitbox0.png"));
        const QImage boxMask = builtIn(QStringLiteral("window/unitbox1.png"));
        QCOMPARE(box.pixel(27, 23) & 0xFFFFFFu, 0xFFFFFFu);
        QVERIFY(QColor(box.pixel(0, 23)).lightness() < 70 && !isBlack(box.pixel(0, 23)));
        QVERIFY(isBlack(boxMask.pixel(0, 23)));

        const QImage arrow = builtIn(QStringLiteral("window/arrow0.png"));
        bool green = false;
        for (int y = 0; y < arrow.height(); ++y)
            for (int x = 0; x < arrow.width(); ++x)
                green = green || near(arrow.pixel(x, y), QColor(123, 222, 123), 12);
        QVERIFY(green);

        const QImage time = builtIn(QStringLiteral("window/time0.png"));
        QVERIFY(near(time.pixel(6, 14), QColor(137, 137, 137), 30));
        QCOMPARE(time.pixel(40, 55) & 0xFFFFFFu, 0xFFFFFFu);

        for (const char* name : {"options0", "options2"})
            QVERIFY2(meanColour(builtIn(QStringLiteral("window/%1.png").arg(QLatin1String(name)))).lightness() > 170, name);
        QVERIFY(meanColour(builtIn(QStringLiteral("window/damagebar0.png"))).lightness()
                > meanColour(builtIn(QStringLiteral("window/damagebar2.png"))).lightness() + 40);
        QVERIFY(meanColour(builtIn(QStringLiteral("window/damagebar1.png"))).lightness()
                > meanColour(builtIn(QStringLiteral("window/damagebar3.png"))).lightness() + 40);
    }

    void picturesAgreeWithTheirMasks_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QImage>("mask");
        for (const char* name : {"menu", "unitbox", "arrow", "time"})
            QTest::newRow(name) << builtIn(QStringLiteral("window/") + QLatin1String(name) + QStringLiteral("0.png"))
                                << builtIn(QStringLiteral("window/") + QLatin1String(name) + QStringLiteral("1.png"));
        // One mask serves the three halos.
        for (const char* name : {"halo0", "halo2", "halo3"})
            QTest::newRow(name) << builtIn(QStringLiteral("window/%1.png").arg(QLatin1String(name)))
                                << builtIn(QStringLiteral("window/halo1.png"));
        const QDir dir(programDir());
        for (const char* set : {"0", "0B", "1", "1B"})
            QTest::newRow(set) << platform::loadPicture(dir.filePath(QLatin1String(set) + QStringLiteral(".gif")))
                               << platform::loadPicture(dir.filePath(QLatin1String(set) + QStringLiteral("M.gif")));
    }

    void picturesAgreeWithTheirMasks()
    {
        QFETCH(QImage, picture);
        QFETCH(QImage, mask);
        const QString fault = maskFault(picture, mask);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    void windowPicturesHaveTheirSizes()
    {
        const std::pair<const char*, QSize> sizes[] = {
            {"halo0", {25, 27}},     {"halo1", {25, 27}},     {"halo2", {25, 27}},      {"halo3", {25, 27}},
            {"halo4", {25, 25}},     {"menu0", {793, 99}},    {"menu1", {793, 99}},     {"unitbox0", {54, 47}},
            {"unitbox1", {54, 47}},  {"arrow0", {19, 14}},    {"arrow1", {19, 14}},     {"time0", {79, 83}},
            {"time1", {79, 83}},     {"options0", {230, 176}}, {"options2", {230, 400}}, {"damagebar0", {22, 42}},
            {"damagebar1", {20, 23}}, {"damagebar2", {22, 42}}, {"damagebar3", {20, 23}},
        };
        for (const auto& [name, size] : sizes) {
            const QImage img = builtIn(QStringLiteral("window/%1.png").arg(QLatin1String(name)));
            QVERIFY2(!img.isNull(), name);
            QVERIFY2(img.size() == size, name);
        }
        // The fire-range tint raises red to full and leaves the rest alone.
        const QImage red = builtIn(QStringLiteral("window/halo4.png"));
        for (int y = 0; y < red.height(); ++y)
            for (int x = 0; x < red.width(); ++x)
                QCOMPARE(red.pixel(x, y) & 0xFFFFFFu, 0xFF0000u);
        // The halos mark the 25 x 25 tile the map shows, not the rows below it.
        const QImage mask = builtIn(QStringLiteral("window/halo1.png"));
        for (int x = 0; x < 25; ++x)
            QVERIFY(mask.pixel(x, 25) == 0xFFFFFFFFu && mask.pixel(x, 26) == 0xFFFFFFFFu);
        const QDir dir(programDir());
        for (const char* scene : {"0", "0M", "0B", "0BM", "1", "1M", "1B", "1BM"}) {
            const QImage img = platform::loadPicture(dir.filePath(QLatin1String(scene) + QStringLiteral(".gif")));
            QVERIFY2(img.size() == QSize(481, 470), scene);
        }
    }

    void terrainAndBuildingsArePresent()
    {
        for (int code = 0; code <= 70; ++code) {
            const QImage img(QStringLiteral(":/pictures/terrain/%1.png").arg(code));
            QVERIFY2(img.size() == QSize(25, 25), qPrintable(QString::number(code)));
            QVERIFY2(!img.hasAlphaChannel(), qPrintable(QString::number(code)));
        }
        for (int code = 0; code <= 19; ++code) {
            const QImage img(QStringLiteral(":/pictures/buildings/%1.png").arg(code));
            QVERIFY2(img.size() == QSize(25, 25), qPrintable(QString::number(code)));
            QVERIFY2(!img.hasAlphaChannel(), qPrintable(QString::number(code)));
        }
        // Owners are told apart: the same kind differs in every colour.
        const int cities[] = {0, 4, 5, 13, 17};
        for (int a : cities)
            for (int b : cities)
                if (a < b)
                    QVERIFY(builtIn(QStringLiteral("buildings/%1.png").arg(a)) != builtIn(QStringLiteral("buildings/%1.png").arg(b)));
    }

    // Pieces laid out as the editor's palette joins them meet without a break:
    // the pixels one in from a shared edge are close (plates keep their
    // bevelled seams, hence the slack). A piece turned the wrong way, such as
    // a rim corner swapped with its neighbour, differs by 50 and more.
    void joiningTilesMeet_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<bool>("across");  // second to the right of first, else below it
        const std::vector<std::vector<int>> layouts[] = {
            {{1, 7, 2}, {5, 0, 6}, {3, 8, 4}},
            {{20, 21}, {19, 22}},
            {{16, 15, 14}, {17, 18, 13}, {10, 11, 12}},
            {{61, 62}, {63, 64}},
            {{38, 39, 40}, {41, 37, 44}, {45, 46, 47}},
            {{48, 49}, {50, 51}},
            {{26, 31, 24}, {33, 23, 32}, {27, 30, 25}},
            {{29}, {28}},
            {{54, 55}, {56, 57}},
            {{65, 66, 67}, {68, 69, 70}},
            // Repeating tiles meet themselves.
            {{7, 7}, {0, 0}},
            {{18, 18}, {18}},
            {{9, 9}, {9}},
            {{37, 37}, {37}},
            {{23, 23}, {23}},
        };
        for (const auto& rows : layouts)
            for (size_t r = 0; r < rows.size(); ++r)
                for (size_t c = 0; c < rows[r].size(); ++c) {
                    const int code = rows[r][c];
                    if (c + 1 < rows[r].size())
                        QTest::addRow("%d|%d", code, rows[r][c + 1]) << code << rows[r][c + 1] << true;
                    if (r + 1 < rows.size() && c < rows[r + 1].size())
                        QTest::addRow("%d/%d", code, rows[r + 1][c]) << code << rows[r + 1][c] << false;
                }
        // Inner corners carry a straight rim on around a bend.
        for (auto [a, b] : {std::pair{20, 8}, {7, 22}, {8, 21}, {19, 7}})
            QTest::addRow("%d|%d", a, b) << a << b << true;
        for (auto [a, b] : {std::pair{20, 6}, {21, 5}, {5, 22}, {6, 19}})
            QTest::addRow("%d/%d", a, b) << a << b << false;
    }

    void joiningTilesMeet()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(bool, across);
        const QImage a = builtIn(QStringLiteral("terrain/%1.png").arg(first));
        const QImage b = builtIn(QStringLiteral("terrain/%1.png").arg(second));
        const double diff = across ? meanDifference(a, {23, 0}, b, {1, 0}, {0, 1}, 25)
                                   : meanDifference(a, {0, 23}, b, {0, 1}, {1, 0}, 25);
        QVERIFY2(diff < 42, qPrintable(QStringLiteral("mean difference %1").arg(diff)));
    }
};

QTEST_MAIN(tst_Art)
#include "tst_art.moc"
