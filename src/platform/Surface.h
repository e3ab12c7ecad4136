#pragma once
// The battle's fixed 800 x 500 drawing surface: rectangle copies with the three
// raster operations of masked drawing, and text drawn from the top of its cell.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

namespace platform {

// How a copied picture combines with what is already on the surface.
enum class RasterOp {
    Copy,   // replace
    And,    // bitwise AND: a mask's black cuts a hole, its white keeps the background
    Paint,  // bitwise OR: a picture on black fills the hole
};

// A font as the game names it: the face ("Arial", "Impact"), size in points at
// 96 DPI, and style flags.
struct FontSpec {
    QString face;
    int points = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// The installed font that stands in for a face; sizes become pixels (12 pt = 16 px).
QFont resolveFont(const FontSpec& font);

class Surface {
public:
    static constexpr int Width = 800;
    static constexpr int Height = 500;

    Surface();

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    const QImage& image() const { return image_; }
    QImage& image() { return image_; }

    void clear(QColor color = Qt::black);
    // Copies `source` (or the part `sourceRect` of it) with its top-left at (x, y).
    void blit(int x, int y, const QImage& source, RasterOp op, QRect sourceRect = {});
    void fillRect(const QRect& rect, QColor color);
    // Draws `text` with the top of its character cell at y, as the classic text call does.
    void drawText(int x, int y, const QString& text, const FontSpec& font, QColor color);

private:
    QImage image_;
};

}  // namespace platform
