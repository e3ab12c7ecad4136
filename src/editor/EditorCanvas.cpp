#include "editor/EditorCanvas.h"

#include "data/Records.h"
#include "editor/frmEditor.h"
#include "screen/PictureStore.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {

struct Sprite {
    const QImage* picture = nullptr;
    const QImage* mask = nullptr;
};

// Owners 1 and 3 face right, 2 and 4 left, each in its own colour; a unit of
// no player has no picture.
Sprite unitSprite(const PictureStore& store, int type, int owner)
{
    if (type < 1 || type > PictureStore::UnitTypeCount || owner < 1 || owner > MaxPlayers)
        return {};
    const bool right = owner == 1 || owner == 3;
    return {&(right ? store.imgPlayerRight : store.imgPlayerLeft)[size_t(owner)][size_t(type)],
            &(right ? store.imgMaskRight : store.imgMaskLeft)[size_t(type)]};
}

template <typename Array>
const QImage* pictureOf(const Array& pictures, int index)
{
    return index >= 0 && index < int(pictures.size()) ? &pictures[size_t(index)] : nullptr;
}

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return frmEditor::LeftButton;
    case Qt::RightButton: return frmEditor::RightButton;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

}  // namespace

EditorCanvas::EditorCanvas(frmEditor& editor, const PictureStore& pictures, QWidget* parent)
    : QWidget(parent), editor_(editor), pictures_(pictures)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    refresh();
}

void EditorCanvas::drawMap(const frmEditor& editor, const PictureStore& pictures, QImage& into)
{
    const QSize size = editor.canvasSize();
    if (into.size() != size || into.format() != QImage::Format_RGB32)
        into = QImage(size, QImage::Format_RGB32);
    into.fill(Qt::black);
    QPainter painter(&into);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const mapfile::MapDocument& map = editor.Map;
    for (int i = 1; i <= map.TileCount; ++i) {
        if (const QImage* tile = pictureOf(pictures.picPlat, map.EdTile[i]))
            painter.drawImage(editor.tileCorner(i), *tile);
    }
    for (int slot = 1; slot <= mapfile::BuildingSlots; ++slot) {
        if (!editor.buildingInUse(slot))
            continue;
        if (const QImage* building = pictureOf(pictures.imgBuilding, map.EdBuildingType[slot]))
            painter.drawImage(editor.buildingRect(slot).topLeft(), *building);
    }
    // Sprites are taller than the unit's square; the canvas shows the square.
    const QRect square(0, 0, TileSize, TileSize);
    for (int slot = 1; slot <= mapfile::UnitSlots; ++slot) {
        if (!editor.unitVisible(slot))
            continue;
        const Sprite sprite = unitSprite(pictures, map.EdUnitType[slot], map.EdUnitPlayer[slot]);
        if (!sprite.picture || sprite.picture->isNull() || sprite.mask->isNull())
            continue;
        const QPoint at = editor.unitRect(slot).topLeft();
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter.drawImage(at, *sprite.mask, square);
        painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        painter.drawImage(at, *sprite.picture, square);
    }
}

void EditorCanvas::refresh()
{
    drawMap(editor_, pictures_, image_);
    setFixedSize(image_.size());
    update();
}

void EditorCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void EditorCanvas::mousePressEvent(QMouseEvent* event)
{
    editor_.mousePress(event->position().toPoint(), buttonCode(event->button()));
    refresh();
}

void EditorCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!editor_.dragging())
        return;
    editor_.mouseMove(event->position().toPoint());
    refresh();
}

void EditorCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    editor_.mouseRelease(event->position().toPoint(), buttonCode(event->button()));
    refresh();
}

EditorCanvasWindow::EditorCanvasWindow(frmEditor& editor, const PictureStore& pictures, QWidget* parent)
    : QScrollArea(parent), canvas_(new EditorCanvas(editor, pictures))
{
    setWindowTitle(Caption);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setWidget(canvas_);
    fitToMap();
}

void EditorCanvasWindow::refresh()
{
    canvas_->refresh();
    if (canvas_->size() != fittedTo_)
        fitToMap();
}

void EditorCanvasWindow::fitToMap()
{
    fittedTo_ = canvas_->size();
    QSize client = fittedTo_;
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        client = client.boundedTo(screen->availableSize());
    resize(client);
}

void EditorCanvasWindow::closeEvent(QCloseEvent* event)
{
    // Closing only hides the editor: the map and the settings wait for its next opening.
    event->accept();
    emit closed();
}
