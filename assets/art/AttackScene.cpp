// The attack scene: one backdrop painted across the battle window, cut into
// the two framed halves that slide in from the sides. Set "0" is a fight on
// the metal decks, set "1" anywhere else (rough ground, open space ...).
//
// Everything is drawn in window coordinates: the left half rests at
// (9, 15), the right half at (310, 15), and the damage bar runs over
// y 432..474, x 135..577, so the scene keeps a dark track there.

#include "Art.h"
#include "Field.h"
#include "Palette.h"

#include <QPainter>
#include <QPainterPath>

#include <random>

namespace art {

namespace {

constexpr int WindowW = 800;
constexpr int WindowH = 500;
constexpr int LeftX = 9;
constexpr int RightX = 310;
constexpr int TopY = 15;
constexpr double Horizon = 262;
constexpr double ConsoleTop = 420;

// The slanted seam between the halves, and the gap either side of it.
double seamX(double y) { return 448.0 - 0.14 * (y - TopY); }
constexpr double SeamGap = 5.0;

void sky(QPainter& p, std::uint32_t seed, bool rocky)
{
    QLinearGradient g(0, TopY, 0, Horizon);
    g.setColorAt(0, QColor(4, 6, 18));
    g.setColorAt(0.7, rocky ? QColor(22, 14, 40) : QColor(12, 16, 42));
    g.setColorAt(1, rocky ? QColor(70, 36, 52) : QColor(38, 44, 92));
    p.fillRect(QRectF(0, 0, WindowW, Horizon + 1), g);

    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> ux(0, WindowW), uy(TopY, Horizon - 10), ub(0.25, 1.0);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 260; ++i) {
        const double x = ux(rng), y = uy(rng), b = ub(rng);
        const double fade = 1.0 - 0.7 * (y - TopY) / (Horizon - TopY);
        const int v = int(90 + 165 * b * fade);
        p.setBrush(QColor(v, v, std::min(255, v + 25)));
        const double r = b > 0.93 ? 1.4 : 0.7;
        p.drawEllipse(QPointF(x, y), r, r);
        if (b > 0.97) {
            p.fillRect(QRectF(x - 3, y - 0.4, 6, 0.8), QColor(v, v, 255, 150));
            p.fillRect(QRectF(x - 0.4, y - 3, 0.8, 6), QColor(v, v, 255, 150));
        }
    }
    // A faint band of nebula across the sky.
    QRadialGradient neb(QPointF(rocky ? 560 : 250, 120), 260);
    neb.setColorAt(0, rocky ? QColor(120, 50, 80, 60) : QColor(60, 90, 160, 60));
    neb.setColorAt(1, QColor(0, 0, 0, 0));
    p.setBrush(neb);
    p.drawEllipse(QPointF(rocky ? 560 : 250, 120), 300, 120);
}

void planet(QPainter& p, QPointF c, double r, QColor light, QColor dark, bool ring)
{
    QRadialGradient g(c + QPointF(-r * 0.45, -r * 0.45), r * 1.6);
    g.setColorAt(0, light);
    g.setColorAt(0.55, dark);
    g.setColorAt(1, QColor(8, 8, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    // Bands across the face.
    p.save();
    QPainterPath disc;
    disc.addEllipse(c, r, r);
    p.setClipPath(disc);
    for (int i = -3; i <= 3; ++i)
        p.fillRect(QRectF(c.x() - r, c.y() + i * r * 0.28 - 2, 2 * r, 4 + (i % 2) * 3), QColor(255, 255, 255, 14));
    p.restore();
    if (ring) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(200, 190, 170, 150), 3));
        p.drawEllipse(c, r * 1.7, r * 0.32);
        p.setPen(QPen(QColor(120, 110, 100, 120), 2));
        p.drawEllipse(c, r * 1.95, r * 0.38);
    }
}

// ---- Set "0": station decks ----

void stationSkyline(QPainter& p)
{
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> u(0, 1);
    p.setPen(Qt::NoPen);
    double x = 0;
    while (x < WindowW) {
        const double w = 18 + 40 * u(rng);
        const double h = 14 + 60 * u(rng) * u(rng);
        const QRectF r(x, Horizon - h, w, h);
        p.setBrush(QColor(22, 26, 44));
        p.drawRect(r);
        p.setBrush(QColor(30, 36, 58));
        p.drawRect(QRectF(x, Horizon - h, w, 2));
        // Lit windows.
        for (double wy = Horizon - h + 6; wy < Horizon - 4; wy += 6)
            for (double wx = x + 3; wx < x + w - 3; wx += 5)
                if (u(rng) > 0.6)
                    p.fillRect(QRectF(wx, wy, 2, 2), u(rng) > 0.3 ? QColor(255, 214, 120) : QColor(140, 210, 255));
        if (h > 45) {
            p.fillRect(QRectF(x + w / 2 - 0.75, Horizon - h - 22, 1.5, 22), QColor(40, 46, 70));
            p.setBrush(QColor(255, 70, 50));
            p.drawEllipse(QPointF(x + w / 2, Horizon - h - 23), 2, 2);
            p.setBrush(QColor(22, 26, 44));
        }
        x += w + 2 + 16 * u(rng);
    }
}

void deck(QPainter& p)
{
    // Plates in perspective toward a vanishing point over the seam.
    const double vx = 400, vy = Horizon - 40;
    const double bottom = ConsoleTop;
    p.setPen(Qt::NoPen);
    // Rows get deeper toward the viewer.
    std::vector<double> rows;
    for (int i = 0; i <= 9; ++i) {
        const double t = i / 9.0;
        rows.push_back(Horizon + (bottom - Horizon) * t * t);
    }
    auto xAt = [&](double col, double y) {
        // Ground line col (in plate widths) at height y.
        const double k = (y - vy) / (bottom - vy);
        return vx + col * 90.0 * k;
    };
    for (size_t r = 0; r + 1 < rows.size(); ++r)
        for (int c = -12; c < 12; ++c) {
            const double y0 = rows[r], y1 = rows[r + 1];
            QPolygonF q;
            q << QPointF(xAt(c, y0), y0) << QPointF(xAt(c + 1, y0), y0) << QPointF(xAt(c + 1, y1), y1) << QPointF(xAt(c, y1), y1);
            const double depth = (y0 - Horizon) / (bottom - Horizon);
            const int base = int(46 + 56 * depth) + ((int(r) + c) % 2 == 0 ? 6 : 0);
            p.setBrush(QColor(base, base + 6, base + 18));
            p.drawPolygon(q);
            // Seams between plates.
            p.setBrush(QColor(18, 20, 30));
            const double seam = 0.6 + 1.6 * depth;
            QPolygonF s;
            s << QPointF(xAt(c, y0), y0) << QPointF(xAt(c, y0) + seam, y0) << QPointF(xAt(c, y1) + seam, y1) << QPointF(xAt(c, y1), y1);
            p.drawPolygon(s);
            p.drawRect(QRectF(xAt(c, y0), y0, xAt(c + 1, y0) - xAt(c, y0), seam * 0.7));
        }
    // A hazard-striped lane across the deck and lights along it.
    const double ly0 = rows[5], ly1 = rows[5] + 12;
    for (int i = -40; i < 40; ++i) {
        QPolygonF q;
        const double a = i * 0.5, b = a + 0.25;
        q << QPointF(xAt(a, ly0), ly0) << QPointF(xAt(b, ly0), ly0) << QPointF(xAt(b + 0.1, ly1), ly1) << QPointF(xAt(a + 0.1, ly1), ly1);
        p.setBrush(QColor(196, 156, 40));
        p.drawPolygon(q);
    }
    for (int i = -10; i <= 10; ++i) {
        const double y = rows[3];
        p.setBrush(QColor(255, 190, 80));
        p.drawEllipse(QPointF(xAt(i, y), y), 1.6, 1.0);
    }
    // Haze where the deck meets the sky.
    QLinearGradient haze(0, Horizon - 4, 0, Horizon + 40);
    haze.setColorAt(0, QColor(60, 70, 120, 140));
    haze.setColorAt(1, QColor(60, 70, 120, 0));
    p.fillRect(QRectF(0, Horizon - 4, WindowW, 44), haze);
}

// ---- Set "1": rough ground ----

void ridges(QPainter& p, double base, double height, QColor colour, std::uint32_t seed)
{
    QPainterPath path;
    path.moveTo(0, Horizon + 2);
    for (int x = 0; x <= WindowW; x += 4) {
        const double n = fbm(x, 0, 6, WindowW, seed, 4);
        path.lineTo(x, base - height * n);
    }
    path.lineTo(WindowW, Horizon + 2);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

void rockyGround(QPainter& p)
{
    ridges(p, Horizon, 70, QColor(40, 28, 46), 5);
    ridges(p, Horizon + 2, 34, QColor(62, 44, 50), 9);
    // The plain: streaks that thicken toward the viewer.
    QLinearGradient g(0, Horizon, 0, ConsoleTop);
    g.setColorAt(0, QColor(70, 54, 54));
    g.setColorAt(1, QColor(120, 96, 80));
    p.fillRect(QRectF(0, Horizon, WindowW, ConsoleTop - Horizon + 1), g);
    std::mt19937 rng(23);
    std::uniform_real_distribution<double> u(0, 1);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 220; ++i) {
        const double t = u(rng);
        const double y = Horizon + (ConsoleTop - Horizon) * t * t;
        const double depth = (y - Horizon) / (ConsoleTop - Horizon);
        const double x = u(rng) * WindowW;
        const double w = 6 + 60 * depth * u(rng);
        p.setBrush(u(rng) > 0.5 ? QColor(140, 114, 94, 90) : QColor(60, 44, 40, 90));
        p.drawEllipse(QPointF(x, y), w, 0.8 + 2.5 * depth);
    }
    // Craters and boulders.
    for (int i = 0; i < 26; ++i) {
        const double t = 0.15 + 0.85 * u(rng);
        const double y = Horizon + (ConsoleTop - Horizon) * t * t;
        const double depth = (y - Horizon) / (ConsoleTop - Horizon);
        const double x = u(rng) * WindowW;
        const double r = 4 + 30 * depth * (0.4 + 0.6 * u(rng));
        if (u(rng) > 0.45) {
            p.setBrush(QColor(54, 40, 38));
            p.drawEllipse(QPointF(x, y), r, r * 0.32);
            p.setBrush(QColor(100, 80, 68));
            p.drawEllipse(QPointF(x + r * 0.12, y + r * 0.06), r * 0.8, r * 0.22);
            p.setPen(QPen(QColor(156, 130, 108), 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(x - r, y - r * 0.32, 2 * r, r * 0.64), 200 * 16, 140 * 16);
            p.setPen(Qt::NoPen);
        } else {
            QRadialGradient rock(QPointF(x - r * 0.3, y - r * 0.5), r * 1.2);
            rock.setColorAt(0, QColor(168, 142, 118));
            rock.setColorAt(1, QColor(70, 54, 48));
            p.setBrush(rock);
            p.drawEllipse(QPointF(x, y - r * 0.25), r * 0.7, r * 0.45);
        }
    }
    QLinearGradient haze(0, Horizon - 10, 0, Horizon + 30);
    haze.setColorAt(0, QColor(150, 80, 90, 90));
    haze.setColorAt(1, QColor(150, 80, 90, 0));
    p.fillRect(QRectF(0, Horizon - 10, WindowW, 40), haze);
}

// The strip the damage bar runs on.
void console(QPainter& p)
{
    QLinearGradient g(0, ConsoleTop, 0, WindowH);
    g.setColorAt(0, QColor(78, 84, 100));
    g.setColorAt(0.08, QColor(54, 58, 72));
    g.setColorAt(1, QColor(30, 32, 42));
    p.fillRect(QRectF(0, ConsoleTop, WindowW, WindowH - ConsoleTop), g);
    p.fillRect(QRectF(0, ConsoleTop, WindowW, 2), QColor(130, 138, 156));
    QPainterPath track;
    track.addRoundedRect(QRectF(126, 427, 460, 52), 8, 8);
    p.fillPath(track, QColor(14, 16, 24));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(96, 104, 124), 1.5));
    p.drawPath(track);
    p.setPen(Qt::NoPen);
    // Warning stripes at both ends of the strip.
    for (double x0 : {30.0, 620.0})
        for (int i = 0; i < 7; ++i) {
            QPolygonF q;
            const double x = x0 + i * 20;
            q << QPointF(x, 440) << QPointF(x + 10, 440) << QPointF(x + 22, 466) << QPointF(x + 12, 466);
            p.setBrush(QColor(196, 156, 40));
            p.drawPolygon(q);
        }
}

QImage backdrop(bool rocky)
{
    QImage img(WindowW, WindowH, QImage::Format_ARGB32);
    img.fill(QColor(0, 0, 0));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    sky(p, rocky ? 101 : 103, rocky);
    if (rocky) {
        planet(p, QPointF(600, 96), 58, QColor(250, 170, 120), QColor(150, 60, 50), false);
        planet(p, QPointF(170, 60), 16, QColor(210, 210, 230), QColor(90, 90, 120), false);
        rockyGround(p);
    } else {
        planet(p, QPointF(190, 104), 64, QColor(150, 200, 255), QColor(40, 70, 150), true);
        stationSkyline(p);
        deck(p);
    }
    console(p);
    return img;
}

// The outline of a half, in window coordinates.
QPainterPath halfShape(bool left)
{
    const double top = TopY + 1, bottom = TopY + SceneHeight - 1;
    QPainterPath frame;
    if (left)
        frame.addRoundedRect(QRectF(LeftX + 1, top, 481 - 2, bottom - top), 30, 30);
    else
        frame.addRoundedRect(QRectF(RightX + 1, top, 481 - 2, bottom - top), 30, 30);
    QPolygonF side;
    if (left)
        side << QPointF(0, 0) << QPointF(seamX(0) - SeamGap, 0) << QPointF(seamX(WindowH) - SeamGap, WindowH) << QPointF(0, WindowH);
    else
        side << QPointF(seamX(0) + SeamGap, 0) << QPointF(WindowW, 0) << QPointF(WindowW, WindowH) << QPointF(seamX(WindowH) + SeamGap, WindowH);
    QPainterPath cut;
    cut.addPolygon(side);
    cut.closeSubpath();
    return frame.intersected(cut).simplified();
}

QImage half(const QImage& scene, bool left)
{
    const int ox = left ? LeftX : RightX;
    QImage img(SceneWidth, SceneHeight, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(-ox, -TopY);
    const QPainterPath shape = halfShape(left);
    p.save();
    p.setClipPath(shape);
    p.drawImage(0, 0, scene);
    p.restore();
    // The frame: dark edge, bright metal, dark inner line.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(24, 26, 34), 12));
    p.save();
    p.setClipPath(shape);
    p.drawPath(shape);
    p.setPen(QPen(QColor(150, 158, 176), 7));
    p.drawPath(shape);
    p.setPen(QPen(QColor(206, 212, 226), 2));
    p.drawPath(shape.translated(-1, -1));
    p.setPen(QPen(QColor(30, 32, 42), 1.5));
    QPainterPathStroker inner;
    inner.setWidth(9);
    p.drawPath(shape.subtracted(inner.createStroke(shape)));
    p.restore();
    p.end();

    // Opaque where the shape covers most of a pixel; never black inside.
    QImage out(SceneWidth, SceneHeight, QImage::Format_RGB32);
    for (int y = 0; y < SceneHeight; ++y)
        for (int x = 0; x < SceneWidth; ++x) {
            const QRgb c = img.pixel(x, y);
            if (qAlpha(c) < 128) {
                out.setPixel(x, y, 0xFF000000u);
                continue;
            }
            const double a = qAlpha(c) / 255.0;
            int r = clampByte(qRed(c) / a), g = clampByte(qGreen(c) / a), b = clampByte(qBlue(c) / a);
            if (r + g + b < 3)
                r = g = b = 1;
            out.setPixel(x, y, qRgb(r, g, b));
        }
    // Stored exactly as the GIF will hold it, so picture and mask agree.
    return gifColours(out);
}

}  // namespace

std::vector<NamedPicture> makeAttackScenes()
{
    std::vector<NamedPicture> out;
    for (int set = 0; set < 2; ++set) {
        const QImage scene = backdrop(set == 1);
        const QString s = QString::number(set);
        const QImage left = half(scene, true);
        const QImage right = half(scene, false);
        out.push_back({s, left});
        out.push_back({s + QStringLiteral("M"), maskOf(left)});
        out.push_back({s + QStringLiteral("B"), right});
        out.push_back({s + QStringLiteral("BM"), maskOf(right)});
    }
    return out;
}

}  // namespace art
