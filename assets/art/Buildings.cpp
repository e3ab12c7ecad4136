// The 20 building pictures: four kinds in five owner colours, plus the plain
// neutral building, each standing on its own floor plate.

#include "Art.h"
#include "Palette.h"
#include "Render3D.h"
#include "Terrain.h"

#include <QPainter>

namespace art {

namespace {

enum class Kind { City, Factory, Airport, Headquarters, Plain };

Material coloured(QColor c, double albedo = 1.0, double shine = 0.2)
{
    Material m;
    m.mode = Material::Mode::Colour;
    m.colour = c;
    m.albedo = albedo;
    m.shine = shine;
    return m;
}

Material windows(QColor wall, QColor lit, double period)
{
    Material m = coloured(wall);
    m.pattern = Material::Pattern::Windows;
    m.period = period;
    m.accent = lit;
    return m;
}

struct Kit {
    Model m;
    int wall, towerWall, trim, dark, team, teamDark, teamLight, glass, lamp;
    explicit Kit(int owner)
    {
        const OwnerColours oc = ownerColours(owner);
        wall = m.add(coloured(QColor(176, 180, 190)));
        towerWall = m.add(windows(QColor(164, 170, 182), QColor(255, 226, 140), 2.0));
        trim = m.add(coloured(QColor(120, 126, 138)));
        dark = m.add(coloured(QColor(60, 64, 74)));
        team = m.add(coloured(oc.main, 1.0, 0.3));
        teamDark = m.add(coloured(oc.dark, 1.0, 0.2));
        teamLight = m.add(coloured(oc.light, 1.0, 0.3));
        glass = m.add(coloured(QColor(70, 110, 140), 1.0, 0.8));
        lamp = m.add(glowing(owner == 0 ? QColor(255, 230, 160) : oc.light));
    }
};

// Towers of three heights with lit windows and coloured roofs.
void city(Kit& k)
{
    Model& m = k.m;
    struct Tower {
        double x, z, hx, hz, h;
    };
    for (const Tower& t : {Tower{-4.2, -3.0, 3.0, 3.0, 12.5}, Tower{4.0, -1.5, 3.2, 3.4, 9.0}, Tower{-1.0, 5.0, 3.6, 2.2, 5.0}}) {
        m.box({t.x, t.h / 2, t.z}, {t.hx, t.h / 2, t.hz}, k.towerWall, 0.3);
        m.box({t.x, t.h + 0.35, t.z}, {t.hx + 0.3, 0.35, t.hz + 0.3}, k.team, 0.2);
    }
    m.box({-4.2, 13.6, -3.0}, {1.4, 0.8, 1.4}, k.trim, 0.2);
    m.capsule({-4.2, 14.0, -3.0}, {-4.2, 17.5, -3.0}, 0.3, k.trim);
    m.sphere({-4.2, 17.8, -3.0}, 0.6, k.lamp);
}

// A long hall with a sawtooth roof, a chimney and a gear on its front.
void factory(Kit& k)
{
    Model& m = k.m;
    m.box({0, 3.2, 0.5}, {9.0, 3.2, 5.5}, k.wall, 0.3);
    for (double x : {-6.0, -1.5, 3.0, 7.5}) {
        m.box({x - 1.0, 7.4, 0.5}, {2.0, 1.4, 5.3}, k.team, 0.1).clip({-1, 1.2, 0}, -0.2);
        m.box({x + 0.9, 7.0, 0.5}, {0.2, 0.9, 5.0}, k.glass, 0.05);
    }
    m.box({0, 6.5, 0.5}, {9.0, 0.3, 5.6}, k.teamDark, 0.1);
    m.cylinder({6.5, 8.0, -3.2}, 'y', 1.3, 6.5, k.trim, 0.2);
    m.cylinder({6.5, 13.9, -3.2}, 'y', 1.5, 0.5, k.team, 0.2);
    m.sphere({6.0, 16.0, -3.6}, 1.2, k.wall);
    m.sphere({5.0, 17.6, -4.2}, 0.9, k.wall);
    // Gear on the front wall, and the big door below it.
    m.torus({-3.0, 3.9, 6.1}, 'z', 1.9, 0.55, k.teamLight);
    for (int i = 0; i < 8; ++i) {
        const double a = i * Pi / 4;
        m.box({-3.0 + 2.7 * std::cos(a), 3.9 + 2.7 * std::sin(a), 6.1}, {0.45, 0.45, 0.4}, k.teamLight, 0.1);
    }
    m.box({3.6, 2.0, 6.05}, {2.8, 2.0, 0.1}, k.dark, 0.05);
}

// A landing pad with a painted ring and a small control tower.
void airport(Kit& k)
{
    Model& m = k.m;
    m.cylinder({-1.2, 0.6, 1.0}, 'y', 8.4, 0.6, k.trim, 0.3);
    m.cylinder({-1.2, 1.25, 1.0}, 'y', 7.6, 0.08, k.wall, 0.02);
    m.torus({-1.2, 1.3, 1.0}, 'y', 5.6, 0.55, k.team).clip({0, 1, 0}, 0.05);
    m.box({-1.2, 1.3, 1.0}, {0.7, 0.08, 3.2}, k.team, 0.02);
    m.box({-2.8, 1.3, 1.0}, {0.7, 0.08, 3.2}, k.team, 0.02);
    m.box({0.4, 1.3, 1.0}, {0.7, 0.08, 3.2}, k.team, 0.02);
    m.box({-1.2, 1.3, 1.0}, {2.3, 0.08, 0.6}, k.team, 0.02);
    // Control tower at the back corner.
    m.cylinder({7.6, 4.0, -5.8}, 'y', 1.2, 4.0, k.wall, 0.2);
    m.cylinder({7.6, 8.8, -5.8}, 'y', 2.2, 0.9, k.glass, 0.3);
    m.cylinder({7.6, 10.0, -5.8}, 'y', 2.4, 0.35, k.team, 0.2);
    m.sphere({7.6, 10.9, -5.8}, 0.6, k.lamp);
    for (double a : {0.0, 90.0, 180.0, 270.0}) {
        const double r = a * Pi / 180;
        m.sphere({-1.2 + 7.9 * std::cos(r), 1.3, 1.0 + 7.9 * std::sin(r)}, 0.45, k.lamp);
    }
}

// The command building: a stepped base, a dome, a dish and a flag.
void headquarters(Kit& k)
{
    Model& m = k.m;
    m.box({0, 1.8, 0.8}, {8.6, 1.8, 6.4}, k.wall, 0.4);
    m.box({0, 4.8, 0.4}, {6.4, 1.4, 4.8}, k.trim, 0.4);
    m.box({0, 3.3, 7.25}, {2.2, 1.5, 0.1}, k.dark, 0.05);
    m.box({0, 5.6, 5.25}, {5.0, 0.4, 0.1}, k.glass, 0.05);
    m.ellipsoid({0, 6.4, 0.4}, {4.4, 3.8, 3.6}, k.team);
    m.torus({0, 6.5, 0.4}, 'y', 4.3, 0.4, k.teamDark);
    // Antenna and dish.
    m.capsule({-6.8, 3.6, -4.4}, {-6.8, 13.0, -4.4}, 0.35, k.trim);
    m.ellipsoid({-6.6, 11.4, -4.0}, {1.9, 0.5, 1.9}, k.wall).rot(0, 0, -35);
    m.sphere({-6.8, 13.3, -4.4}, 0.55, k.lamp);
    // Flag on the dome.
    m.capsule({0, 9.6, 0.4}, {0, 16.0, 0.4}, 0.28, k.trim);
    m.box({2.1, 14.8, 0.4}, {2.0, 1.2, 0.12}, k.team, 0.05);
    m.box({2.1, 14.8, 0.52}, {1.0, 0.5, 0.05}, k.teamLight, 0.02);
}

// Storage tanks and a shed: a neutral building that makes nothing.
void plain(Kit& k)
{
    Model& m = k.m;
    m.box({-2.5, 2.6, 2.0}, {5.6, 2.6, 4.4}, k.wall, 0.3);
    m.box({-2.5, 5.5, 2.0}, {5.9, 0.35, 4.7}, k.trim, 0.15);
    m.box({-2.5, 2.0, 6.45}, {2.0, 2.0, 0.1}, k.dark, 0.05);
    for (double z : {-5.2, 0.6}) {
        m.cylinder({6.2, 3.5, z}, 'y', 2.6, 3.5, k.trim, 0.6);
        m.ellipsoid({6.2, 7.0, z}, {2.6, 1.0, 2.6}, k.wall);
    }
    m.capsule({6.2, 5.0, -2.6}, {6.2, 5.0, -1.8}, 0.5, k.dark);
}

QImage renderBuilding(Kind kind, int owner)
{
    Kit k(owner);
    switch (kind) {
    case Kind::City: city(k); break;
    case Kind::Factory: factory(k); break;
    case Kind::Airport: airport(k); break;
    case Kind::Headquarters: headquarters(k); break;
    case Kind::Plain: plain(k); break;
    }
    View v;
    v.elevation = 52;
    v.groundShadow = true;
    v.scale = 0.98;
    const Frame f = render(k.m, v, TileSize, TileSize, QPointF(12.5, 14.5));

    // Its own ground: a floor plate with the building's shadow on it.
    QImage out(TileSize, TileSize, QImage::Format_RGB32);
    const QImage ground = [] {
        QImage g(TileSize, TileSize, QImage::Format_RGB32);
        for (int y = 0; y < TileSize; ++y)
            for (int x = 0; x < TileSize; ++x) {
                const Surf s = floorAt(x + 0.5, y + 0.5);
                g.setPixel(x, y, qRgb(clampByte(s.r), clampByte(s.g), clampByte(s.b)));
            }
        return g;
    }();
    for (int y = 0; y < TileSize; ++y)
        for (int x = 0; x < TileSize; ++x) {
            const Pixel& p = f.at(x, y);
            const QRgb g = ground.pixel(x, y);
            const double dim = 1.0 - 0.5 * p.shadow;
            const double a = p.cover;
            auto blend = [&](double c, int gc) { return clampByte(c * a + gc * dim * (1 - a)); };
            out.setPixel(x, y, qRgb(blend(p.r, qRed(g)), blend(p.g, qGreen(g)), blend(p.b, qBlue(g))));
        }
    return out;
}

}  // namespace

std::vector<QImage> makeBuildings()
{
    struct Entry {
        int code;
        Kind kind;
        int owner;
    };
    const Entry entries[] = {
        {0, Kind::City, 0},          {1, Kind::Factory, 0},       {2, Kind::Headquarters, 1}, {3, Kind::Headquarters, 2},
        {4, Kind::City, 1},          {5, Kind::City, 2},          {6, Kind::Factory, 1},      {7, Kind::Factory, 2},
        {8, Kind::Plain, 0},         {9, Kind::Airport, 0},       {10, Kind::Airport, 1},     {11, Kind::Airport, 2},
        {12, Kind::Headquarters, 3}, {13, Kind::City, 3},         {14, Kind::Factory, 3},     {15, Kind::Airport, 3},
        {16, Kind::Headquarters, 4}, {17, Kind::City, 4},         {18, Kind::Factory, 4},     {19, Kind::Airport, 4},
    };
    std::vector<QImage> out(BuildingCount);
    for (const Entry& e : entries)
        out[size_t(e.code)] = renderBuilding(e.kind, e.owner);
    return out;
}

}  // namespace art
