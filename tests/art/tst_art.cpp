// The generated pictures as the game reads them: sprite and attack-scene GIFs
// from the program folder, the rest from the built-in resources.

#include "art/BuiltInPictures.h"
#include "art/Palette.h"
#include "data/GameTypes.h"
#include "platform/Gif.h"
#include "screen/PictureStore.h"

#include <QDir>
#include <QtTest>

namespace {

const char* const Facings[] = {".gif", "back.gif", "up.gif", "dwn.gif"};

bool isBlack(QRgb p) { return (p & 0xFFFFFFu) == 0; }

QString programDir() { return qEnvironmentVariable("VF_PROGRAM_DIR"); }

QImage sprite(int type, const char* facing)
{
    return platform::loadPicture(programDir() + QStringLiteral("/Images/") + PictureStore::SpriteBaseName(type)
                                 + QLatin1String(facing));
}

QImage builtIn(const QString& path)
{
    return QImage(QStringLiteral(":/pictures/") + path).convertToFormat(QImage::Format_RGB32);
}

// Shared part of two sprites' shapes over their union, at the best of three
// side-by-side positions: a sprite is centred to the nearest pixel.
double overlap(const QImage& a, const QImage& b)
{
    auto shown = [](const QImage& m, int x, int y) { return x >= 0 && x < m.width() && !isBlack(m.pixel(x, y)); };
    double best = 0;
    for (int shift = -1; shift <= 1; ++shift) {
        int both = 0, either = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = -1; x <= a.width(); ++x) {
                both += shown(a, x, y) && shown(b, x + shift, y);
                either += shown(a, x, y) || shown(b, x + shift, y);
            }
        best = std::max(best, either ? double(both) / either : 1.0);
    }
    return best;
}

// Which owner a strongly coloured pixel belongs to: 1 red, 2 blue, 3 green,
// 4 yellow; 0 for greys, pale and dark colours.
int ownerHue(QRgb p)
{
    const QColor c(p);
    if (c.hsvSaturation() < 140 || c.value() < 70)
        return 0;
    const int h = c.hsvHue();
    return h < 15 || h > 340 ? 1 : h >= 200 && h <= 250 ? 2 : h >= 90 && h <= 160 ? 3 : h >= 40 && h <= 62 ? 4 : 0;
}

}  // namespace

class tst_Art : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { initBuiltInPictures(); }

    void spritesSurviveEveryTint()
    {
        const art::Tint tints[] = {art::TintBlue, art::TintGreen, art::TintYellow, art::TintYellowTurned, art::TintActed};
        std::vector<QImage> all;
        for (int type = UnitType::First; type <= UnitType::Last; ++type)
            for (const char* facing : Facings) {
                const QString name = PictureStore::SpriteBaseName(type) + QLatin1String(facing);
                const QImage img = sprite(type, facing);
                QCOMPARE(img.size(), QSize(25, 27));
                int shown = 0;
                for (int y = 0; y < img.height(); ++y)
                    for (int x = 0; x < img.width(); ++x) {
                        const QRgb p = img.pixel(x, y);
                        if (isBlack(p))
                            continue;
                        ++shown;
                        // The map shows rows 0..24 only; a tinted pixel that turned black would vanish.
                        QVERIFY2(y < 25, qPrintable(name + QStringLiteral(" draws below row 24")));
                        for (const art::Tint& t : tints)
                            QVERIFY2(!isBlack(art::tintPixel(p, t)), qPrintable(name + QStringLiteral(" loses a pixel")));
                    }
                // On exact black: a unit covers a part of its tile only.
                QVERIFY2(shown > 40 && shown < 25 * 25 * 3 / 4, qPrintable(name));
                for (const QImage& other : all)
                    QVERIFY2(other != img, qPrintable(name + QStringLiteral(" repeats another sprite")));
                all.push_back(img);
            }
    }

    // The left-facing sprite is the right-facing one turned round, and the up
    // and down sprites show the unit end-on: a file under the wrong name shows here.
    void facingsFaceTheirWay()
    {
        for (int type = UnitType::First; type <= UnitType::Last; ++type) {
            const QImage right = sprite(type, ".gif");
            const double leftLikeRight = overlap(right.mirrored(true, false), sprite(type, "back.gif"));
            const QString name = PictureStore::SpriteBaseName(type);
            QVERIFY2(leftLikeRight > 0.75, qPrintable(name));
            QVERIFY2(overlap(right, sprite(type, "up.gif")) < leftLikeRight, qPrintable(name));
            QVERIFY2(overlap(right, sprite(type, "dwn.gif")) < leftLikeRight, qPrintable(name));
        }
    }

    void buildingsWearTheirOwnersColours()
    {
        for (int owner = 0; owner <= 4; ++owner) {
            QList<QImage> kinds;
            for (int code : {BuildingType::City[owner], BuildingType::Factory[owner], BuildingType::Airport[owner],
                             owner ? BuildingType::Headquarters[owner] : 8}) {
                const QImage img = builtIn(QStringLiteral("buildings/%1.png").arg(code));
                QCOMPARE(img.size(), QSize(25, 25));
                std::array<int, 5> count{};
                for (int y = 0; y < img.height(); ++y)
                    for (int x = 0; x < img.width(); ++x)
                        ++count[size_t(ownerHue(img.pixel(x, y)))];
                for (int other = 1; other <= 4; ++other)
                    QVERIFY2(other == owner ? count[size_t(other)] >= 8 : count[size_t(other)] < 4,
                             qPrintable(QStringLiteral("building %1, colour %2").arg(code).arg(other)));
                QVERIFY2(!kinds.contains(img), qPrintable(QStringLiteral("building %1 repeats a kind").arg(code)));
                kinds << img;
            }
        }
    }

    void everyTerrainCodeHasATile()
    {
        for (int code = 0; code <= LastTerrain; ++code)
            QVERIFY2(builtIn(QStringLiteral("terrain/%1.png").arg(code)).size() == QSize(25, 25), qPrintable(QString::number(code)));
    }

    // Mask black exactly where the picture is not black, white elsewhere, nothing between.
    void picturesAgreeWithTheirMasks_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QImage>("mask");
        for (const char* name : {"menu", "unitbox", "arrow", "time"})
            QTest::newRow(name) << builtIn(QStringLiteral("window/") + QLatin1String(name) + QStringLiteral("0.png"))
                                << builtIn(QStringLiteral("window/") + QLatin1String(name) + QStringLiteral("1.png"));
        for (const char* name : {"halo0", "halo2", "halo3"})  // one mask serves the three halos
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
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), mask.size());
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb m = mask.pixel(x, y) & 0xFFFFFFu;
                QVERIFY2((m == 0 || m == 0xFFFFFFu) && (m == 0) != isBlack(picture.pixel(x, y)),
                         qPrintable(QStringLiteral("at %1,%2").arg(x).arg(y)));
            }
    }
};

QTEST_MAIN(tst_Art)
#include "tst_art.moc"
