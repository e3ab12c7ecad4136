#include "editor/MapEditor.h"

#include "editor/EditorCanvas.h"
#include "editor/OptionsWindow.h"

#include <QEvent>

MapEditor::MapEditor(const PictureStore& pictures, QObject* parent)
    : QObject(parent),
      options_(editor_),
      canvasWindow_(new EditorCanvasWindow(editor_, pictures)),
      toolWindow_(new OptionsWindow(options_, pictures))
{
    options_.exitProgram = [this] { emit exitRequested(); };
    connect(toolWindow_, &OptionsWindow::mapChanged, canvasWindow_, &EditorCanvasWindow::refresh);
    connect(canvasWindow_, &EditorCanvasWindow::closed, this, &MapEditor::close);
    connect(toolWindow_, &OptionsWindow::closed, this, &MapEditor::close);
    canvasWindow_->installEventFilter(this);
    toolWindow_->installEventFilter(this);
}

MapEditor::~MapEditor()
{
    delete toolWindow_;
    delete canvasWindow_;
}

void MapEditor::open()
{
    // Opened again while on screen, it only comes to the front with its map.
    if (!isOpen()) {
        // Hidden by the program rather than closed by hand, it may still hold changes.
        if (options_.MayDiscardMap()) {
            editor_.Form_Load();
            options_.ShowMapSize();
        }
        canvasWindow_->refresh();
        canvasWindow_->fitToMap();
        toolWindow_->refresh();
    }
    for (QWidget* window : {static_cast<QWidget*>(canvasWindow_), static_cast<QWidget*>(toolWindow_)}) {
        window->show();
        window->raise();
    }
    toolWindow_->activateWindow();
}

void MapEditor::close()
{
    canvasWindow_->hide();
    toolWindow_->hide();
}

bool MapEditor::isOpen() const
{
    return canvasWindow_->isVisible();
}

bool MapEditor::eventFilter(QObject* watched, QEvent* event)
{
    // A window closed by hand throws the map away; a No keeps both windows open.
    if (event->type() == QEvent::Close && !options_.MayDiscardMap()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
