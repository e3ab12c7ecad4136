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
};

class MapPreview : public QWidget {
    Q_OBJECT

public:
    static constexpr int Cell = 10;
    static constexpr int Border = 8;
    // Wide enough for the widest map the battle shows whole (32 tiles of 25 pixels in 800).
    static constexpr int BackgroundWidth = 320;
    static constexpr int BackgroundHeight = 225;

    explicit MapPreview(const PictureStore& pictures, QWidget* parent = nullptr);

    // Draws the map file at `path` anew; nothing of an earlier map stays.
    MapPreviewInfo showMap(const QString& path);
    // The empty preview: border and background only.
    void clearMap();

    // What the widget shows; cell (column c, row r) has its top-left at origin() + 10 * (c, r).
    const QImage& image() const { return image_; }
    static QPoint origin() { return {Border, Border}; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const PictureStore& pictures_;
    QImage image_;
};
