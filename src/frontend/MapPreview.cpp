#include "frontend/MapPreview.h"

#include "data/GameTypes.h"
#include "data/MapFile.h"
#include "data/Records.h"
#include "platform/Text.h"
#include "screen/PictureStore.h"

#include <QFileInfo>
#include <QPainter>
#include <array>

namespace {

const QColor BorderColor(64, 64, 64);

QRect backgroundRect()
{
    return {MapPreview::origin(), QSize(MapPreview::BackgroundWidth, MapPreview::BackgroundHeight)};
}

QImage cellPicture(const QImage& picture)
{
    if (picture.isNull())
        return {};
    return picture.scaled(MapPreview::Cell, MapPreview::Cell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

MapPreview::MapPreview(const PictureStore& pictures, QWidget* parent)
    : QWidget(parent),
      pictures_(pictures),
      image_(WindowSize.width() - WindowPosition.x(), WindowSize.height() - WindowPosition.y(),
             QImage::Format_ARGB32_Premultiplied)
{
    setFixedSize(image_.size());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    clearMap();
}

void MapPreview::clearMap()
{
    image_.fill(Qt::transparent);
    QPainter painter(&image_);
    painter.fillRect(QRect(QPoint(0, 0), QSize(BackgroundWidth + 2 * Border, BackgroundHeight + 2 * Border)),
                     BorderColor);
    painter.fillRect(backgroundRect(), Qt::black);
    update();
}

MapPreviewInfo MapPreview::showMap(const QString& path)
{
    clearMap();
    const mapfile::MapReader map(path);
    MapPreviewInfo info;
    info.found = map.exists();
    info.name = map.text(QStringLiteral("NAME"));
    info.description = map.text(QStringLiteral("DESC"));
    info.players = map.number(QStringLiteral("PLAYERS"));

    QPainter painter(&image_);
    const QPoint topLeft = origin();

    // A size the battle refuses is not drawn: a huge XMAX x YMAX would stall the window.
    // Cells past the widget's edge fall away.
    const int width = map.number(QStringLiteral("XMAX"), 0);
    const int height = map.number(QStringLiteral("YMAX"), 0);
    info.drawable = width >= 1 && height >= 1 && width * height <= MaxTiles;
    if (info.drawable) {
        std::array<QImage, PictureStore::TerrainCount> cells;
        for (int i = 1; i <= width * height; ++i) {
            // As the battle reads it: a missing or unknown terrain is open space.
            int terrain = map.number(mapfile::key("T", i), SpaceTerrain);
            if (terrain < 0 || terrain > LastTerrain)
                terrain = SpaceTerrain;
            if (cells[terrain].isNull())
                cells[terrain] = cellPicture(pictures_.picPlat[terrain]);
            const int column = (i - 1) % width;
            const int row = (i - 1) / width;
            painter.drawImage(topLeft + QPoint(Cell * column, Cell * row), cells[terrain]);
        }
    }

    for (int slot = 1; slot <= mapfile::BuildingSlots; ++slot) {
        const auto type = map.number(mapfile::key("BT", slot));
        const auto left = map.number(mapfile::key("BLEFT", slot));
        const auto top = map.number(mapfile::key("BTOP", slot));
        // Empty slots are 999; a type with no picture or a position that is no number has nothing to draw.
        if (!type || *type < 0 || *type > BuildingType::Last || !left || !top)
            continue;
        // Battle pixels (25 per tile) to preview pixels (10 per tile).
        const QPoint at = topLeft
            + QPoint(int(platform::roundHalfEven(*left / 2.5)), int(platform::roundHalfEven(*top / 2.5)));
        painter.drawImage(at, cellPicture(pictures_.imgBuilding[*type]));
    }
    update();
    return info;
}

void MapPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

QString MapPreviewInfo::caption(const QString& file) const
{
    QString text = name.isEmpty() ? QFileInfo(file).fileName() : name;
    if (!found)
        text += QStringLiteral(" (not found)");
    else if (!drawable)
        text += QStringLiteral(" (no playable size)");
    return text;
}
