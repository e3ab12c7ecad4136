// The 71 terrain tiles. Each family is one field drawn over its whole piece
// (a 3 x 3 rim, a 2 x 2 block, a 3 x 2 plate ...) and cut into tiles, so the
// tiles of a piece meet exactly; repeating tiles repeat every 25 pixels.

#include "Art.h"
#include "Field.h"
#include "Terrain.h"

#include <array>
#include <limits>

namespace art {

namespace {

constexpr double T = 25.0;
constexpr double None = std::numeric_limits<double>::infinity();

// ---- Open space ----

struct Star {
    double x, y, bright;
    bool cross;
};
constexpr std::array<Star, 9> Stars{{
    {3.5, 4.5, 1.0, true},
    {17.5, 2.5, 0.5, false},
    {11.5, 12.5, 0.62, false},
    {21.5, 18.5, 0.85, true},
    {6.5, 19.5, 0.4, false},
    {14.5, 22.5, 0.3, false},
    {22.5, 9.5, 0.28, false},
    {8.5, 9.5, 0.22, false},
    {1.5, 13.5, 0.3, false},
}};

}  // namespace

Surf spaceAt(double x, double y)
{
    const double u = wrapMod(x, T), v = wrapMod(y, T);
    const double haze = fbm(x, y, 2, 50, 7, 2);
    Surf s{0, 5 + 5 * haze, 7 + 4 * haze, 17 + 10 * haze, true};
    for (const Star& st : Stars) {
        double dx = std::fabs(u - st.x), dy = std::fabs(v - st.y);
        dx = std::min(dx, T - dx);
        dy = std::min(dy, T - dy);
        double k = st.bright * std::max(0.0, 1.0 - std::hypot(dx, dy) / 0.75);
        if (st.cross && (dx < 0.35 || dy < 0.35))
            k = std::max(k, st.bright * 0.45 * std::max(0.0, 1.0 - std::max(dx, dy) / 2.2));
        s.r += (210 - s.r) * k;
        s.g += (220 - s.g) * k;
        s.b += (255 - s.b) * k;
    }
    return s;
}

// ---- Metal floor ----

Surf floorAt(double x, double y)
{
    const double u = wrapMod(x, T), v = wrapMod(y, T);
    const double edge = std::min(std::min(u, T - u), std::min(v, T - v));
    const double grain = fbm(u * 0.35, v * 3.0, 3, T, 11, 2) - 0.5;
    Surf s = surf(smooth(0.0, 1.6, edge) * 1.0, 86 + 10 * grain, 94 + 10 * grain, 108 + 10 * grain);
    if (edge < 0.55)
        s = tintedBy(s, 0.6);
    // A faint inset panel line and a rivet in each corner.
    const double inset = std::fabs(edge - 5.5);
    if (inset < 0.35)
        s = tintedBy(s, 0.86);
    for (double cx : {3.2, T - 3.2})
        for (double cy : {3.2, T - 3.2}) {
            const double d = std::hypot(u - cx, v - cy);
            if (d < 0.95) {
                s.h += 0.7 * (1 - d * d);
                s = paint(s, 128, 136, 150, 0.7);
            }
        }
    return s;
}

namespace {

// Distance into a piece from its boundary near a rounded corner: a and b are
// the distances to the two sides that meet there.
double rounded(double a, double b, double r)
{
    if (a < r && b < r)
        return r - std::hypot(r - a, r - b);
    return std::min(a, b);
}

// Distance to the bordered sides of a tile; the corner of two bordered sides
// is rounded with radius r.
double borderDistance(double x, double y, bool top, bool right, bool bottom, bool left, double r)
{
    const double dl = left ? x : None, dr = right ? T - x : None;
    const double dt = top ? y : None, db = bottom ? T - y : None;
    double d = std::min(std::min(dl, dr), std::min(dt, db));
    for (double h : {dl, dr})
        for (double v : {dt, db})
            if (h < r && v < r)
                d = std::min(d, rounded(h, v, r));
    return d;
}

Surf hazard(double x, double y, double h)
{
    return fractOf((x + y) / 6.25) < 0.5 ? surf(h, 206, 164, 44) : surf(h, 42, 42, 46);
}

// ---- Platform rim: space outside, a raised edge, then floor ----

Surf rimAt(double x, double y, double d, double along)
{
    if (d < 4.5)
        return spaceAt(x, y);
    if (d < 6.5) {
        const double t = smooth(4.5, 6.5, d);
        return surf(4.2 * t, 54, 58, 70);
    }
    if (d < 15.0) {
        Surf s = surf(4.2, 78, 84, 98);
        if (std::fabs(d - 12.4) < 0.35)
            s = tintedBy(s, 0.7);
        if (d < 7.2)
            s = paint(s, 120, 126, 140, 0.6);
        if (!std::isinf(along)) {
            const double a = wrapMod(along, 6.25) - 3.125;
            const double r = std::hypot(a, d - 9.6);
            if (r < 1.0)
                return {4.6, 255, 150 + 60 * (1 - r), 50, true};
        }
        return s;
    }
    if (d < 18.5)
        return hazard(x, y, 4.2);
    if (d < 20.0)
        return surf(4.2 * (1 - smooth(18.5, 20.0, d)), 52, 56, 66);
    return floorAt(x, y);
}

constexpr double RimCorner = 12.0;

Surf rimTile(int code, double x, double y)
{
    switch (code) {
    case 7: return rimAt(x, y, y, x);
    case 8: return rimAt(x, y, T - y, x);
    case 5: return rimAt(x, y, x, y);
    case 6: return rimAt(x, y, T - x, y);
    case 1: case 2: case 3: case 4: {
        const double a = (code == 1 || code == 3) ? x : T - x;   // to the side edge in space
        const double b = (code == 1 || code == 2) ? y : T - y;   // to the top or bottom edge
        const double d = rounded(a, b, RimCorner);
        const double along = (a < RimCorner && b < RimCorner) ? None : (b <= a ? x : y);
        return rimAt(x, y, d, along);
    }
    // Inner corners: space only at one corner of the tile.
    case 20: return rimAt(x, y, std::hypot(T - x, T - y), None);
    case 21: return rimAt(x, y, std::hypot(x, T - y), None);
    case 19: return rimAt(x, y, std::hypot(T - x, y), None);
    case 22: return rimAt(x, y, std::hypot(x, y), None);
    }
    return spaceAt(x, y);
}

// ---- Raised plates ----

constexpr double Raised = 6.0;

Surf plateauTop(double x, double y)
{
    const double u = wrapMod(x, T), v = wrapMod(y, T);
    const double edge = std::min(std::min(u, T - u), std::min(v, T - v));
    Surf s = surf(Raised + smooth(0.0, 1.4, edge) * 0.8, 146, 152, 164);
    if (edge < 0.5)
        s = tintedBy(s, 0.72);
    // Diamond tread.
    const double p = T / 6.0;
    const double a = wrapMod(u + v, p) - p / 2, b = wrapMod(u - v, p) - p / 2;
    if (std::fabs(a) + std::fabs(b) < 1.1) {
        s.h += 0.35;
        s = paint(s, 170, 176, 188, 0.6);
    }
    return s;
}

Surf raisedAt(double x, double y, double d, const Field& top)
{
    if (d < 1.4)
        return floorAt(x, y);
    if (d < 6.0) {
        Surf s = surf(Raised * smooth(1.4, 6.0, d), 100, 106, 120);
        if (d < 2.4)
            s = tintedBy(s, 0.55 + 0.45 * (d - 1.4));
        return s;
    }
    if (d < 7.3)
        return surf(Raised + 0.4, 184, 188, 198);
    return top(x, y);
}

constexpr double PlateauCorner = 9.0;

Surf plateauTile(int code, double x, double y)
{
    // 16 15 14 / 17 18 13 / 10 11 12
    const bool top = code == 16 || code == 15 || code == 14;
    const bool bottom = code == 10 || code == 11 || code == 12;
    const bool left = code == 16 || code == 17 || code == 10;
    const bool right = code == 14 || code == 13 || code == 12;
    const double d = borderDistance(x, y, top, right, bottom, left, PlateauCorner);
    return raisedAt(x, y, d, plateauTop);
}

// The 2 x 2 raised block carries one big bolted hatch across its four tiles.
Surf raisedBlock(double x, double y)
{
    const double a = std::min(x, 2 * T - x), b = std::min(y, 2 * T - y);
    const double d = rounded(a, b, PlateauCorner);
    return raisedAt(x, y, d, [](double px, double py) {
        Surf s = plateauTop(px, py);
        const double r = std::hypot(px - T, py - T);
        if (r < 14.5) {
            s = surf(Raised + 0.6, 132, 138, 150);
            if (std::fabs(r - 11.0) < 0.5)
                s = tintedBy(s, 0.6);
            if (r < 3.0) {
                s.h += 0.8;
                s = paint(s, 168, 172, 184, 0.8);
            }
            const double ang = std::atan2(py - T, px - T);
            const double spoke = std::fabs(std::remainder(ang, (Pi / 4)));
            if (r > 4 && r < 10.5 && spoke * r < 0.5)
                s = tintedBy(s, 0.82);
        }
        for (int i = 0; i < 8; ++i) {
            const double ang = i * (Pi / 4) + (Pi / 4) / 2;
            const double bx = T + 12.9 * std::cos(ang), by = T + 12.9 * std::sin(ang);
            const double d = std::hypot(px - bx, py - by);
            if (d < 0.9) {
                s.h += 0.5 * (1 - d * d);
                s = paint(s, 190, 194, 204, 0.7);
            }
        }
        return s;
    });
}

// ---- Ramps: 34 rises toward the top, 35 toward the bottom, 36 to the left, 60 to the right ----

Surf rampTile(int code, double x, double y)
{
    double t = 0, s = 0;
    switch (code) {
    case 34: t = 1 - y / T; s = x; break;
    case 35: t = y / T; s = x; break;
    case 36: t = 1 - x / T; s = y; break;
    default: t = x / T; s = y; break;
    }
    const double h = Raised * t;
    const double side = std::min(s, T - s);
    if (side < 2.6) {
        Surf c = surf(h + 1.3 * smooth(0.3, 1.2, side), 104, 108, 122);
        return side < 1.4 ? hazard(x, y, c.h) : c;
    }
    Surf r = surf(h, 136, 142, 156);
    const double along = t * T;
    // Ribs across the slope, and painted chevrons pointing uphill.
    if (wrapMod(along, T / 8) < 0.8)
        r = surf(h + 0.25, 158, 164, 178);
    const double w = along + 0.8 * std::fabs(s - T / 2);
    if (std::fabs(s - T / 2) < 8.5 && wrapMod(w - 3.0, T / 3) < 2.6)
        r = paint(r, 212, 172, 52, 0.9);
    return r;
}

// ---- Fortified block: walls around a paved yard ----

Surf fortAt(double x, double y)
{
    // The 3 x 3 piece; the right column and bottom row are battered and rough.
    const int tx = std::clamp(int(x / T), 0, 2), ty = std::clamp(int(y / T), 0, 2);
    const bool battered = tx == 2 || ty == 2;
    const double a = std::min(x, 3 * T - x), b = std::min(y, 3 * T - y);
    const double d = rounded(a, b, 4.0);
    const double along = (b < a) ? x : y;

    const double u = wrapMod(x, T), v = wrapMod(y, T);
    Surf pave = surf(0.3, 120, 114, 98);
    {
        const double row = std::floor(v / (T / 6));
        const double bu = wrapMod(u + row * (T / 8), T / 4);
        const double bv = wrapMod(v, T / 6);
        if (bu < 0.5 || bv < 0.5)
            pave = surf(0.0, 88, 84, 72);
        pave = tintedBy(pave, 0.92 + 0.16 * hash01(int(std::floor((u + row * (T / 8)) / (T / 4))), int(row), 5));
    }
    if (d < 1.2)
        return floorAt(x, y);
    Surf s;
    if (d < 9.5) {
        double hw = 5.0 * smooth(1.2, 2.4, d) * (1 - smooth(8.4, 9.5, d));
        s = surf(hw, 152, 144, 120);
        // Battlements along the outer half of the wall.
        const bool merlon = wrapMod(along, 5.0) < 2.6 && d > 2.2 && d < 5.4;
        if (merlon) {
            s.h += 2.2;
            s = paint(s, 172, 164, 138, 0.7);
        }
        if (d > 5.4 && d < 6.0)
            s = tintedBy(s, 0.75);
        if (battered) {
            const double n = fbm(x, y, 5, T, 23, 3);
            if (n > 0.56) {
                s.h = std::max(0.5, s.h - 3.5 * (n - 0.5));
                s = paint(s, 112, 102, 86, 0.8);
            }
        }
    } else {
        s = pave;
    }
    if (battered) {
        // Loose rubble over the rough side.
        const double n = noise(x, y, 10, T, 41);
        if (n > 0.72) {
            s.h += 1.8 * (n - 0.72) / 0.28;
            s = paint(s, 134, 124, 104, 0.8);
        }
    }
    return s;
}

// ---- Rough ground and debris ----

Surf roughAt(double x, double y, std::uint32_t seed, double period)
{
    const double n = fbm(x, y, 4, period, seed, 4);
    const double fine = noise(x, y, 20, period, seed + 9);
    Surf s = surf(3.5 * n + 0.6 * fine, 88 + 40 * n, 78 + 34 * n, 66 + 26 * n);
    // Boulders.
    const double bn = noise(x, y, 6, period, seed + 3);
    if (bn > 0.62) {
        const double k = (bn - 0.62) / 0.38;
        s.h += 4.0 * std::sqrt(k);
        s = paint(s, 132, 120, 102, 0.5 + 0.5 * k);
    }
    if (fine > 0.8)
        s = paint(s, 150, 138, 118, 0.5);
    return s;
}

struct Rock {
    double x, y, r;
};

Surf debrisTile(double x, double y, const std::vector<Rock>& rocks, std::uint32_t seed)
{
    Surf s = spaceAt(x, y);
    for (const Rock& rk : rocks) {
        const double ang = std::atan2(y - rk.y, x - rk.x);
        const double wobble = 1.0 + 0.22 * (noise(ang * 3.0 + 10, rk.x, 6, 6.2832 * 3.0, seed) - 0.5) * 2;
        const double d = std::hypot(x - rk.x, y - rk.y) / (rk.r * wobble);
        if (d < 1.0) {
            const double n = fbm(x, y, 5, T, seed + 2, 3);
            Surf rock = surf(rk.r * 0.9 * std::sqrt(1 - d * d) + 0.8 * n, 84 + 36 * n, 76 + 30 * n, 70 + 24 * n);
            if (noise(x, y, 12, T, seed + 7) > 0.74)
                rock = tintedBy(rock, 0.7);
            s = rock;
        }
    }
    return s;
}

// ---- Textured ground: soil set into the floor behind a low curb ----

Surf soilAt(double x, double y)
{
    const double n = fbm(x, y, 5, T, 31, 3);
    const double fine = noise(x, y, 25, T, 33);
    Surf s = surf(0.3 + 0.8 * n, 112 + 44 * n, 84 + 30 * n, 56 + 18 * n);
    if (fine > 0.78)
        s = paint(s, 176, 146, 104, 0.6);
    if (fine < 0.16)
        s = tintedBy(s, 0.8);
    // A few tufts of moss.
    const double m = noise(x, y, 8, T, 35);
    if (m > 0.7)
        s = paint(s, 96, 118, 64, (m - 0.7) / 0.3 * 0.8);
    return s;
}

Surf groundTile(double x, double y, bool top, bool right, bool bottom, bool left)
{
    const double d = borderDistance(x, y, top, right, bottom, left, 6.0);
    if (d < 1.2)
        return floorAt(x, y);
    if (d < 3.4) {
        const double t = (d - 1.2) / 2.2;
        return surf(1.6 * std::sin(t * Pi), 120, 126, 138);
    }
    Surf s = soilAt(x, y);
    if (d < 4.6)
        s = tintedBy(s, 0.6 + 0.4 * (d - 3.4) / 1.2);
    return s;
}

// ---- Pads and plates ----

Surf padFloor(double x, double y)
{
    const double u = wrapMod(x, T), v = wrapMod(y, T);
    const double edge = std::min(std::min(u, T - u), std::min(v, T - v));
    Surf s = surf(smooth(0, 1.4, edge) * 1.0, 104, 112, 126);
    if (edge < 0.5)
        return tintedBy(s, 0.6);
    if (edge < 2.6)
        return paint(s, 124, 132, 146, 0.6);
    // Grating in four squares of slots that alternate in direction.
    const bool vertical = (u < T / 2) == (v < T / 2);
    const double c = vertical ? u : v;
    const double o = vertical ? v : u;
    if (std::fabs(o - T / 2) > 1.0 && wrapMod(c - 3.0, 2.5) < 1.0)
        return surf(-0.6, 30, 34, 44);
    if (std::fabs(o - T / 2) <= 1.0 || std::fabs(c - T / 2) <= 1.0)
        return paint(s, 124, 132, 146, 0.6);
    return s;
}

// The decorated 3 x 2 plates: one painted emblem across six floor plates.
Surf decoratedAt(double x, double y)
{
    Surf s = floorAt(x, y);
    const double cx = 1.5 * T, cy = T;
    const double r = std::hypot(x - cx, y - cy);
    const double wear = noise(x, y, 12, T, 51);
    const double paintK = wear > 0.8 ? 0.5 : 0.92;
    if (std::fabs(r - 19.5) < 2.0)
        s = paint(s, 64, 156, 170, paintK);
    // A four-pointed star inside the ring.
    const double ax = std::fabs(x - cx), ay = std::fabs(y - cy);
    if (ax * 0.28 + ay < 4.2 && ax < 15.5)
        s = paint(s, 170, 214, 222, paintK);
    if (ay * 0.28 + ax < 4.2 && ay < 15.5)
        s = paint(s, 170, 214, 222, paintK);
    if (r < 3.0)
        s = paint(s, 64, 156, 170, paintK);
    // Chevrons at the two ends, pointing outward.
    for (double side : {-1.0, 1.0}) {
        const double px = (x - cx) * side;
        if (px > 25 && px < 35) {
            const double w = px - 0.7 * std::fabs(y - cy);
            if (wrapMod(w, 5.0) < 2.2 && std::fabs(y - cy) < 9)
                s = paint(s, 212, 172, 52, paintK);
        }
    }
    return s;
}

// ---- Blocked: machinery, vents and conduits ----

Surf blockBody(double x, double y, double d, const Field& top)
{
    if (d < 1.3)
        return floorAt(x, y);
    if (d < 3.2) {
        Surf s = surf(5.0 * smooth(1.3, 3.2, d), 62, 66, 76);
        if (d < 2.0)
            s = tintedBy(s, 0.6);
        return s;
    }
    return top(x, y);
}

Surf hazardPad(double x, double y)
{
    const double d = rounded(std::min(x, T - x), std::min(y, T - y), 3.0);
    return blockBody(x, y, d, [d](double px, double py) {
        if (d < 6.6)
            return hazard(px, py, 5.0);
        Surf s = surf(5.2, 58, 62, 72);
        const double cx = std::fabs(px - T / 2), cy = std::fabs(py - T / 2);
        // A cross of warning lights.
        if (std::fabs(cx - cy) < 1.0 && cx < 4.5)
            return Surf{5.6, 236, 60, 44, true};
        const double r = std::hypot(cx, cy);
        if (r < 1.6)
            return Surf{5.6, 255, 120, 90, true};
        return s;
    });
}

Surf ventBlock(double x, double y)
{
    const double d = rounded(std::min(x, 2 * T - x), std::min(y, 2 * T - y), 5.0);
    return blockBody(x, y, d, [](double px, double py) {
        const double r = std::hypot(px - T, py - T);
        if (r > 19.5)
            return hazard(px, py, 5.0);
        if (r > 17.0) {
            Surf s = surf(5.8, 128, 134, 146);
            const double ang = std::atan2(py - T, px - T);
            if (std::fabs(std::remainder(ang, Pi / 6)) * r < 0.6)
                s = paint(s, 180, 186, 196, 0.8);
            return s;
        }
        if (r < 4.5)
            return Surf{4.0, 255, 160 + 60 * (1 - r / 4.5), 70 + 60 * (1 - r / 4.5), true};
        // Fan blades turning over the hot core.
        const double ang = std::atan2(py - T, px - T) + r * 0.07;
        const double blade = wrapMod(ang, 2 * Pi / 7) / (2 * Pi / 7);
        if (blade < 0.5)
            return surf(3.6 + blade * 1.2, 76, 80, 92);
        const double glow = 1 - (r - 4.5) / 12.5;
        return Surf{2.0, 60 + 150 * glow, 30 + 60 * glow, 20 + 20 * glow, true};
    });
}

Surf conduit(double x, double y, bool vertical)
{
    const double c = vertical ? x : y;   // across the pipes
    const double a = vertical ? y : x;   // along them
    Surf s = floorAt(x, y);
    const double flange = std::min(a, T - a) < 1.6 ? 0.8 : (std::fabs(a - T / 2) < 1.2 ? 0.6 : 0.0);
    for (double pc : {7.0, 18.0}) {
        const double r = 4.2 + flange;
        const double dc = std::fabs(c - pc);
        if (dc < r) {
            const double h = 2.0 + std::sqrt(r * r - dc * dc);
            if (h > s.h) {
                s = surf(h, 138, 112, 88);
                if (flange > 0)
                    s = paint(s, 100, 104, 114, 0.9);
            }
        }
    }
    // A live energy line between the pipes.
    if (std::fabs(c - 12.5) < 1.6) {
        const double k = 1 - std::fabs(c - 12.5) / 1.6;
        return Surf{1.0, 60 + 120 * k, 170 + 80 * k, 210 + 45 * k, true};
    }
    if (std::fabs(c - 12.5) < 2.6)
        return surf(0.5, 40, 44, 54);
    return s;
}

}  // namespace

std::vector<QImage> makeTerrain()
{
    std::vector<QImage> tiles(TerrainCount);
    auto single = [&](int code, const Field& f) { tiles[size_t(code)] = renderTile(f); };
    // A piece of cols x rows tiles, listed row by row.
    auto piece = [&](std::initializer_list<int> codes, int cols, const Field& f) {
        int i = 0;
        const int rows = int(codes.size()) / cols;
        for (int code : codes) {
            const int cx = i % cols, cy = i / cols;
            tiles[size_t(code)] = renderTile(f, cx * T, cy * T, cols * T, rows * T);
            ++i;
        }
    };

    single(9, spaceAt);
    single(0, floorAt);
    for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 19, 20, 21, 22})
        single(code, [code](double x, double y) { return rimTile(code, x, y); });
    for (int code = 10; code <= 17; ++code)
        single(code, [code](double x, double y) { return plateauTile(code, x, y); });
    single(18, plateauTop);
    piece({61, 62, 63, 64}, 2, raisedBlock);
    for (int code : {34, 35, 36, 60})
        single(code, [code](double x, double y) { return rampTile(code, x, y); });
    piece({38, 39, 40, 41, 37, 44, 45, 46, 47}, 3, fortAt);

    single(42, [](double x, double y) { return debrisTile(x, y, {{7, 8, 4.2}, {17, 17, 3.0}, {19, 5, 1.4}, {5, 19, 1.2}}, 61); });
    single(43, [](double x, double y) { return debrisTile(x, y, {{14, 12, 5.6}, {4, 4, 1.3}, {5, 20, 2.0}, {21, 21, 1.1}}, 67); });
    piece({48, 49, 50, 51}, 2, [](double x, double y) { return roughAt(x, y, 71, 2 * T); });

    struct Bed {
        int code;
        bool top, right, bottom, left;
    };
    for (const Bed& b : std::initializer_list<Bed>{
             {26, true, false, false, true}, {24, true, true, false, false},
             {27, false, false, true, true}, {25, false, true, true, false},
             {31, true, false, false, false}, {33, false, false, false, true},
             {32, false, true, false, false}, {30, false, false, true, false},
             {23, false, false, false, false},
             {29, true, true, false, true}, {28, false, true, true, true}})
        single(b.code, [b](double x, double y) { return groundTile(x, y, b.top, b.right, b.bottom, b.left); });

    single(52, padFloor);
    piece({65, 66, 67, 68, 69, 70}, 3, decoratedAt);
    single(53, hazardPad);
    piece({54, 55, 56, 57}, 2, ventBlock);
    single(58, [](double x, double y) { return conduit(x, y, true); });
    single(59, [](double x, double y) { return conduit(x, y, false); });
    return tiles;
}

}  // namespace art
