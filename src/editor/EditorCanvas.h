#pragma once
// The canvas on screen: draws the map being edited from its tables and hands
// mouse presses, right-button drags and releases to frmEditor. Holds no rules.

#include <QImage>
#include <QScrollArea>
#include <QWidget>

class PictureStore;
class frmEditor;

class EditorCanvas : public QWidget {
    Q_OBJECT

public:
    EditorCanvas(frmEditor& editor, const PictureStore& pictures, QWidget* parent = nullptr);

    // Draws the map anew from the tables and takes the map's size.
    void refresh();
    // The map as the canvas shows it.
    const QImage& image() const { return image_; }

    // Tiles, then buildings, then the units on view; each unit in its owner's
    // colour and facing, through its mask.
    static void drawMap(const frmEditor& editor, const PictureStore& pictures, QImage& into);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    frmEditor& editor_;
    const PictureStore& pictures_;
    QImage image_;
};

// The canvas's window: the map at full size, scrolled when the screen is smaller.
class EditorCanvasWindow : public QScrollArea {
    Q_OBJECT

public:
    static inline const QString Caption = QStringLiteral("Vesperfall - Level Editor");

    EditorCanvasWindow(frmEditor& editor, const PictureStore& pictures, QWidget* parent = nullptr);

    EditorCanvas* canvas() const { return canvas_; }
    // Redraws the map; a map of a new size fits the window to itself.
    void refresh();
    // The client area takes the map's size, up to what the screen holds.
    void fitToMap();

Q_SIGNALS:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    EditorCanvas* canvas_;
    QSize fittedTo_;
};
