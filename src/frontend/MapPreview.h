#pragma once
// The small picture of a map shown before a battle: every tile a 10 x 10 cell
// with its terrain, the buildings on top, no units. Shared by the hot-seat
// set-up and the game rooms.

#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

class PictureStore;

// What a preview read from the map file's header.
struct MapPreviewInfo {
    bool found = false;        // the file exists
    bool drawable = false;     // its size is one a battle accepts; the tiles were drawn
    QString name;
    QString description;
    std::optional<std::int16_t> players;   // PLAYERS, when it is a number

    // The map's caption in a set-up window: its name (the file name when it
    // has none), marked when the file is missing or cannot be played.
    QString caption(const QString& file) const;
};

// Placed at WindowPosition in a window whose client area is WindowSize, the
// preview covers the rest of that area: a dark grey border, the black
// background inside it, and cells placed by the map's columns and rows from
// the background's corner, so a large map's cells run on past the background.
// Elsewhere the widget is see-through, below the window's controls and deaf
// to the mouse.
class MapPreview : public QWidget {
    Q_OBJECT

public:
    static constexpr int Cell = 10;
    static constexpr QSize WindowSize{650, 450};
    static constexpr QPoint WindowPosition{192, 48};   // the border's top-left corner
    static constexpr int Border = 8;
    static constexpr int BackgroundWidth = 270;
    static constexpr int BackgroundHeight = 225;

    explicit MapPreview(const PictureStore& pictures, QWidget* parent = nullptr);

    // Draws the map file at `path` anew; nothing of an earlier map stays.
    MapPreviewInfo showMap(const QString& path);
    // The empty preview: border and background only.
    void clearMap();

    // What the widget shows; cell (column c, row r) has its top-left at origin() + 10 * (c, r).
    const QImage& image() const { return image_; }
    static QPoint origin() { return {Border, Border}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const PictureStore& pictures_;
    QImage image_;
};
