#include "screen/PictureStore.h"

#include "battle/frmGame.h"

#include "platform/Gif.h"
#include "platform/ProgramFolder.h"
#include "screen/Colorize.h"

#include <QPainter>
#include <cstdio>

using modColorize::ColorizePicture;
using modColorize::MakeMask;

namespace {

const char* const BaseNames[PictureStore::UnitTypeCount + 1] = {
    nullptr,     "RedAAir",  "RedATV",   "RedBomber",    "RedCruiser", "RedFighter",
    "RedHSoldier", "RedHTank", "RedPTurret", "RedRecon",   "RedRover",   "RedTransport",
    "RedSoldier", "RedTank",  "RedTurret", "RedHTankG"};

// A missing sprite must be visible: a magenta and grey check, never black.
QImage placeholder()
{
    QImage image(PictureStore::SpriteWidth, PictureStore::SpriteHeight, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, ((x / 4 + y / 4) % 2) ? qRgb(255, 0, 255) : qRgb(90, 90, 90));
    }
    return image;
}

QString spritePath(const QString& folder, const QString& file)
{
    return platform::findFile(folder + QStringLiteral("/Images"), file);
}

// A sprite file on a black canvas of sprite size; null when it cannot be read.
QImage readSprite(const QString& path)
{
    const QImage picture = platform::loadPicture(path);
    if (picture.isNull()) {
        std::fprintf(stderr, "vesperfall: cannot read sprite %s\n", qPrintable(path));
        return {};
    }
    QImage canvas(PictureStore::SpriteWidth, PictureStore::SpriteHeight, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, picture);
    return canvas;
}

QImage loadSprite(const QString& folder, const QString& file, QStringList& missing)
{
    const QString path = spritePath(folder, file);
    QImage sprite = readSprite(path);
    if (sprite.isNull()) {
        missing << path;
        return placeholder();
    }
    return sprite;
}

QImage builtIn(const QString& path)
{
    QImage image(path);
    if (image.isNull()) {
        std::fprintf(stderr, "vesperfall: missing built-in picture %s\n", qPrintable(path));
        return {};
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage window(const char* name)
{
    return builtIn(QStringLiteral(":/pictures/window/%1.png").arg(QLatin1String(name)));
}

}  // namespace

QString PictureStore::SpriteBaseName(int unitType)
{
    if (unitType < 1 || unitType > UnitTypeCount)
        unitType = 12;
    return QLatin1String(BaseNames[unitType]);
}

void PictureStore::LoadBuiltIns()
{
    for (int code = 0; code < TerrainCount; ++code)
        picPlat[code] = builtIn(QStringLiteral(":/pictures/terrain/%1.png").arg(code));
    for (int code = 0; code < BuildingCount; ++code)
        imgBuilding[code] = builtIn(QStringLiteral(":/pictures/buildings/%1.png").arg(code));
    for (int i = 0; i < 5; ++i)
        picHalo[i] = window(qPrintable(QStringLiteral("halo%1").arg(i)));
    picMenu = {window("menu0"), window("menu1")};
    picUnitBox = {window("unitbox0"), window("unitbox1")};
    picArrow = {window("arrow0"), window("arrow1")};
    picTime = {window("time0"), window("time1")};
    picOptions = {window("options0"), QImage(), window("options2")};
    for (int i = 0; i < 4; ++i)
        picDamageBar[i] = window(qPrintable(QStringLiteral("damagebar%1").arg(i)));
}

QStringList PictureStore::LoadLevel(const QString& programFolder)
{
    QStringList missing;
    for (int type = 1; type <= UnitTypeCount; ++type) {
        const QString base = SpriteBaseName(type);
        QImage& right = imgPlayerRight[1][type];
        QImage& left = imgPlayerLeft[1][type];
        right = loadSprite(programFolder, base + QStringLiteral(".gif"), missing);
        left = loadSprite(programFolder, base + QStringLiteral("back.gif"), missing);
        for (int player = 2; player <= 4; ++player) {
            ColorizePicture(left, imgPlayerLeft[player][type], modColorize::PlayerTint[player]);
            ColorizePicture(right, imgPlayerRight[player][type], modColorize::PlayerTint[player]);
        }
        ColorizePicture(right, imgPlayer1D[type], modColorize::DoneTint);
        ColorizePicture(left, imgPlayer2D[type], modColorize::DoneTint);
        MakeMask(left, imgMaskLeft[type]);
        MakeMask(right, imgMaskRight[type]);
    }
    return missing;
}

void PictureStore::LoadPictureTemp(const QString& programFolder, int unitType, int player, bool up)
{
    const QString file = SpriteBaseName(unitType) + (up ? QStringLiteral("up.gif") : QStringLiteral("dwn.gif"));
    // A file that cannot be read leaves the last one read; it is tinted afresh, never twice.
    if (QImage sprite = readSprite(spritePath(programFolder, file)); !sprite.isNull())
        lastTempFile_ = std::move(sprite);
    else if (lastTempFile_.isNull())
        lastTempFile_ = placeholder();
    if (player >= 2 && player <= 4)
        ColorizePicture(lastTempFile_, imgTemp, modColorize::PlayerTintUpDown[player]);
    else
        imgTemp = lastTempFile_;
    MakeMask(imgTemp, imgTempM);
}

const PictureStore& frmGame::pictures() const
{
    static const PictureStore none;
    return pictures_ ? *pictures_ : none;
}
