// The battle window's own pictures: halos, the side panel, the unit box, the
// menu pointer, the clock, the menu panels and the damage-bar segments.
// Masked pictures come as "<name>0" (picture on black) and "<name>1" (mask).

#include "Art.h"
#include "Palette.h"

#include <QPainter>
#include <QPainterPath>

#include <cstring>
#include <map>

namespace art {

namespace {

// ---- A small pixel font, so the words look the same on every machine ----

const std::map<char, std::vector<const char*>>& glyphs()
{
    static const std::map<char, std::vector<const char*>> g = {
        {'M', {"10001", "11011", "10101", "10101", "10001", "10001", "10001"}},
        {'T', {"11111", "00100", "00100", "00100", "00100", "00100", "00100"}},
        {'e', {"00000", "00000", "01110", "10001", "11111", "10000", "01111"}},
        {'n', {"00000", "00000", "10110", "11001", "10001", "10001", "10001"}},
        {'u', {"00000", "00000", "10001", "10001", "10001", "10011", "01101"}},
        {'i', {"010", "000", "110", "010", "010", "010", "111"}},
        {'m', {"00000", "00000", "11010", "10101", "10101", "10101", "10101"}},
    };
    return g;
}

QSize textSize(const QString& text, int scale)
{
    int w = 0;
    for (QChar c : text)
        w += (int(std::strlen(glyphs().at(char(c.toLatin1()))[0])) + 1) * scale;
    return {w - scale, 7 * scale};
}

// Draws `text` with its top-left at (x, y), with a shadow one step down-right.
void drawText(QImage& image, int x, int y, const QString& text, int scale, QRgb colour, QRgb shadow)
{
    for (int pass = 0; pass < 2; ++pass) {
        const int off = pass == 0 ? scale / 2 + 1 : 0;
        const QRgb c = pass == 0 ? shadow : colour;
        int cx = x;
        for (QChar ch : text) {
            const auto& rows = glyphs().at(char(ch.toLatin1()));
            const int w = int(std::strlen(rows[0]));
            for (int r = 0; r < 7; ++r)
                for (int col = 0; col < w; ++col)
                    if (rows[size_t(r)][col] == '1')
                        for (int sy = 0; sy < scale; ++sy)
                            for (int sx = 0; sx < scale; ++sx) {
                                const int px = cx + col * scale + sx + off, py = y + r * scale + sy + off;
                                if (image.rect().contains(px, py))
                                    image.setPixel(px, py, c);
                            }
            cx += (w + 1) * scale;
        }
    }
}

// ---- Shapes ----

QImage transparent(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

// Turns a painted picture with soft edges into the game's kind: opaque where
// mostly covered, in its own colour (never black), and black elsewhere.
QImage solid(const QImage& argb)
{
    QImage out(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = argb.pixel(x, y);
            if (qAlpha(p) < 128) {
                out.setPixel(x, y, 0xFF000000u);
                continue;
            }
            const double a = qAlpha(p) / 255.0;
            int r = clampByte(qRed(p) / a), g = clampByte(qGreen(p) / a), b = clampByte(qBlue(p) / a);
            if (r == 0 && g == 0 && b == 0)
                b = 1;
            out.setPixel(x, y, qRgb(r, g, b));
        }
    return out;
}

QPainterPath roundedRect(QRectF r, double radius)
{
    QPainterPath p;
    p.addRoundedRect(r, radius, radius);
    return p;
}

// ---- Halos: corner brackets around a tile ----

QImage halo(QRgb main, QRgb edge)
{
    QImage img(SpriteWidth, SpriteHeight, QImage::Format_RGB32);
    img.fill(0xFF000000u);
    auto bracket = [&](int x, int y) {
        const int inX = x < 12 ? 1 : -1, inY = y < 12 ? 1 : -1;
        for (int i = 0; i < 6; ++i)
            for (int t = 0; t < 2; ++t) {
                img.setPixel(x + inX * i, y + inY * t, main);
                img.setPixel(x + inX * t, y + inY * i, main);
            }
    };
    for (int x : {0, TileSize - 1})
        for (int y : {0, TileSize - 1})
            bracket(x, y);
    // A dark rim on the inner side keeps the brackets visible on light ground.
    QImage out = img;
    for (int y = 0; y < TileSize; ++y)
        for (int x = 0; x < SpriteWidth; ++x) {
            if ((img.pixel(x, y) & 0xFFFFFFu) != 0)
                continue;
            bool near = false;
            for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                const int nx = x + dx, ny = y + dy;
                if (nx >= 0 && ny >= 0 && nx < SpriteWidth && ny < TileSize && (img.pixel(nx, ny) & 0xFFFFFFu) != 0)
                    near = true;
            }
            if (near)
                out.setPixel(x, y, edge);
        }
    return out;
}

// ---- The side panel ----

constexpr int TabWidth = 44;

QImage menuPanel()
{
    const int w = 793, h = 99;
    QImage img = transparent(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outer = roundedRect(QRectF(0, 0, w, h), 16);
    p.fillPath(outer, QColor(38, 34, 74));
    const QPainterPath inner = roundedRect(QRectF(2.5, 2.5, w - 5, h - 5), 14);
    // The bar: violet-blue, lighter at the left, rounded by a vertical shade.
    QLinearGradient across(TabWidth, 0, w, 0);
    across.setColorAt(0, QColor(140, 132, 189));
    across.setColorAt(1, QColor(99, 90, 181));
    p.fillPath(inner, across);
    QLinearGradient round(0, 2, 0, h - 2);
    round.setColorAt(0.0, QColor(255, 255, 255, 70));
    round.setColorAt(0.12, QColor(255, 255, 255, 26));
    round.setColorAt(0.45, QColor(255, 255, 255, 0));
    round.setColorAt(0.85, QColor(0, 0, 30, 30));
    round.setColorAt(1.0, QColor(0, 0, 30, 70));
    p.fillPath(inner, round);
    // The grey tab at the left end.
    p.save();
    p.setClipPath(inner);
    QLinearGradient tab(0, 0, TabWidth, 0);
    tab.setColorAt(0, QColor(196, 196, 196));
    tab.setColorAt(0.5, QColor(173, 173, 173));
    tab.setColorAt(1, QColor(150, 150, 150));
    p.fillRect(QRectF(0, 0, TabWidth, h), tab);
    p.fillRect(QRectF(TabWidth, 0, 2, h), QColor(70, 66, 110));
    p.fillRect(QRectF(TabWidth + 2, 0, 1, h), QColor(176, 170, 220));
    p.restore();
    p.end();
    QImage out = solid(img);

    // "Menu", reading from the bottom up.
    const int scale = 2;
    const QSize ts = textSize(QStringLiteral("Menu"), scale);
    QImage word(ts.width() + 3, ts.height() + 3, QImage::Format_RGB32);
    word.fill(0xFF000000u);
    drawText(word, 0, 0, QStringLiteral("Menu"), scale, qRgb(52, 52, 64), qRgb(222, 222, 226));
    QTransform turn;
    turn.rotate(-90);
    const QImage upright = word.transformed(turn);
    const int ox = (TabWidth - upright.width()) / 2 + 1, oy = (h - upright.height()) / 2;
    for (int y = 0; y < upright.height(); ++y)
        for (int x = 0; x < upright.width(); ++x)
            if ((upright.pixel(x, y) & 0xFFFFFFu) != 0)
                out.setPixel(ox + x, oy + y, upright.pixel(x, y));
    return out;
}

// ---- The unit box: a white field with a dark border, all opaque ----

QImage unitBox()
{
    QImage img = transparent(54, 47);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(roundedRect(QRectF(0, 0, 54, 47), 7), QColor(44, 44, 50));
    p.fillPath(roundedRect(QRectF(2.5, 2.5, 49, 42), 5.5), QColor(196, 198, 206));
    p.fillPath(roundedRect(QRectF(3.5, 3.5, 47, 40), 5), QColor(255, 255, 255));
    p.end();
    return solid(img);
}

// ---- The menu pointer ----

QImage arrow()
{
    QImage img = transparent(19, 14);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath head;
    head.moveTo(0.5, 0.5);
    head.lineTo(15.5, 6.0);
    head.lineTo(0.5, 11.5);
    head.lineTo(4.5, 6.0);
    head.closeSubpath();
    p.fillPath(head.translated(2.5, 2.0), QColor(24, 52, 28));
    p.fillPath(head, QColor(123, 222, 123));
    QPainterPath upper;
    upper.moveTo(0.5, 0.5);
    upper.lineTo(15.5, 6.0);
    upper.lineTo(4.5, 6.0);
    upper.closeSubpath();
    p.fillPath(upper, QColor(170, 244, 170));
    p.setPen(QPen(QColor(40, 110, 44), 0.8));
    p.drawPath(head);
    p.end();
    return solid(img);
}

// ---- The clock ----

QImage timeBox()
{
    const int w = 79, h = 83, band = 26;
    QImage img = transparent(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outer = roundedRect(QRectF(0, 0, w, h), 9);
    p.fillPath(outer, QColor(44, 44, 50));
    const QPainterPath inner = roundedRect(QRectF(2.5, 2.5, w - 5, h - 5), 7);
    p.fillPath(inner, QColor(255, 255, 255));
    p.save();
    p.setClipPath(inner);
    QLinearGradient g(0, 2, 0, band);
    g.setColorAt(0, QColor(162, 162, 162));
    g.setColorAt(0.5, QColor(137, 137, 137));
    g.setColorAt(1, QColor(118, 118, 118));
    p.fillRect(QRectF(0, 0, w, band), g);
    p.fillRect(QRectF(0, band, w, 1.5), QColor(80, 80, 86));
    p.restore();
    p.end();
    QImage out = solid(img);
    const QSize ts = textSize(QStringLiteral("Time"), 2);
    drawText(out, (w - ts.width()) / 2, (band + 2 - ts.height()) / 2, QStringLiteral("Time"), 2, qRgb(255, 255, 255),
             qRgb(70, 70, 76));
    return out;
}

// ---- Menu panels: light, with near-black text written on them ----

QImage optionsPanel(int w, int h, bool money)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(img.rect(), QColor(52, 50, 84));
    QLinearGradient body(0, 0, 0, h);
    body.setColorAt(0, QColor(238, 238, 246));
    body.setColorAt(1, QColor(214, 214, 226));
    p.fillPath(roundedRect(QRectF(2, 2, w - 4, h - 4), 8), body);
    // A violet title strip like the side panel's bar.
    QLinearGradient title(0, 0, w, 0);
    title.setColorAt(0, QColor(140, 132, 189));
    title.setColorAt(1, QColor(99, 90, 181));
    QPainterPath strip;
    strip.addRoundedRect(QRectF(2, 2, w - 4, 24), 8, 8);
    strip.addRect(QRectF(2, 14, w - 4, 12));
    p.fillPath(strip.simplified(), title);
    p.fillRect(QRectF(2, 26, w - 4, 1.5), QColor(80, 74, 140));
    // Two rivets on the strip and a left edge accent.
    for (double x : {12.0, w - 12.0}) {
        p.setBrush(QColor(220, 218, 240));
        p.setPen(QPen(QColor(70, 64, 120), 1));
        p.drawEllipse(QPointF(x, 14), 3, 3);
    }
    p.fillRect(QRectF(4, 30, 3, h - 36), QColor(186, 182, 214));
    if (money) {
        // A rule above the money line.
        p.fillRect(QRectF(12, h - 48, w - 24, 1.5), QColor(160, 158, 184));
        p.fillRect(QRectF(12, h - 46.5, w - 24, 1), QColor(255, 255, 255));
    }
    p.end();
    return img;
}

// ---- Damage-bar segments, copied whole over the attack scene ----

QImage segment(int w, int h, bool lit)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(16, 16, 24));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1.5, 1.5, w - 3, h - 3);
    if (lit) {
        QLinearGradient g(0, 0, w, 0);
        g.setColorAt(0, QColor(236, 96, 24));
        g.setColorAt(0.35, QColor(255, 214, 80));
        g.setColorAt(0.6, QColor(255, 240, 170));
        g.setColorAt(1, QColor(220, 84, 20));
        p.fillPath(roundedRect(r, 3), g);
        p.setPen(QPen(QColor(255, 250, 220), 1));
        p.drawLine(QPointF(4, 3.5), QPointF(w - 5, 3.5));
        p.setPen(QPen(QColor(120, 40, 8), 1));
        p.drawPath(roundedRect(r, 3));
    } else {
        QLinearGradient g(0, 0, w, 0);
        g.setColorAt(0, QColor(54, 56, 66));
        g.setColorAt(0.5, QColor(82, 86, 98));
        g.setColorAt(1, QColor(48, 50, 58));
        p.fillPath(roundedRect(r, 3), g);
        p.setPen(QPen(QColor(30, 30, 38), 1));
        p.drawPath(roundedRect(r, 3));
    }
    return img;
}

}  // namespace

std::vector<NamedPicture> makeWindowPictures()
{
    std::vector<NamedPicture> out;
    const QImage green = halo(qRgb(80, 240, 96), qRgb(18, 70, 24));
    const QImage red = halo(qRgb(244, 52, 40), qRgb(84, 14, 10));
    const QImage white = halo(qRgb(236, 240, 246), qRgb(64, 68, 78));
    out.push_back({QStringLiteral("halo0"), green});
    out.push_back({QStringLiteral("halo1"), maskOf(green)});
    out.push_back({QStringLiteral("halo2"), red});
    out.push_back({QStringLiteral("halo3"), white});
    QImage fill(TileSize, TileSize, QImage::Format_RGB32);
    fill.fill(qRgb(255, 0, 0));
    out.push_back({QStringLiteral("halo4"), fill});

    auto pair = [&](const QString& name, const QImage& picture) {
        out.push_back({name + QLatin1Char('0'), picture});
        out.push_back({name + QLatin1Char('1'), maskOf(picture)});
    };
    pair(QStringLiteral("menu"), menuPanel());
    pair(QStringLiteral("unitbox"), unitBox());
    pair(QStringLiteral("arrow"), arrow());
    pair(QStringLiteral("time"), timeBox());
    out.push_back({QStringLiteral("options0"), optionsPanel(230, 176, false)});
    out.push_back({QStringLiteral("options2"), optionsPanel(230, 400, true)});
    out.push_back({QStringLiteral("damagebar0"), segment(22, 42, true)});
    out.push_back({QStringLiteral("damagebar1"), segment(20, 23, true)});
    out.push_back({QStringLiteral("damagebar2"), segment(22, 42, false)});
    out.push_back({QStringLiteral("damagebar3"), segment(20, 23, false)});
    return out;
}

}  // namespace art
