// The fifteen unit types as small 3D models, each rendered in four facings
// and cut down to a 25 x 27 sprite on black with a dark outline.

#include "Art.h"
#include "Palette.h"
#include "Render3D.h"

#include <QtGlobal>

#include <cmath>
#include <functional>
#include <numbers>

namespace art {

QString facingSuffix(Facing f)
{
    switch (f) {
    case Facing::Right: return QStringLiteral(".gif");
    case Facing::Left: return QStringLiteral("back.gif");
    case Facing::Up: return QStringLiteral("up.gif");
    case Facing::Down: return QStringLiteral("dwn.gif");
    }
    return {};
}

namespace {

double yawOf(Facing f)
{
    switch (f) {
    case Facing::Right: return 0;
    case Facing::Left: return 180;
    case Facing::Up: return 90;
    case Facing::Down: return -90;
    }
    return 0;
}

Material team(double albedo, double shine, Material::Pattern pattern = Material::Pattern::None, double period = 2)
{
    Material m;
    m.albedo = albedo;
    m.shine = shine;
    m.pattern = pattern;
    m.period = period;
    return m;
}

// The materials every model shares, all on the team ramp but the glows.
struct Kit {
    Model m;
    int hull, light, metal, dark, tread, wheel, glass, glow, lamp;
    Kit()
    {
        hull = m.add(team(0.92, 0.25));
        light = m.add(team(1.12, 0.3));
        metal = m.add(team(0.7, 0.35));
        dark = m.add(team(0.42, 0.3));
        tread = m.add(team(0.55, 0.15, Material::Pattern::Treads, 1.5));
        wheel = m.add(team(0.36, 0.2));
        glass = m.add(team(0.28, 1.1));
        glow = m.add(glowing(QColor(255, 224, 196)));
        lamp = m.add(glowing(QColor(255, 190, 170)));
    }
};

// Both sides of the model at once: z and -z.
template <typename F>
void mirrored(F&& f)
{
    f(1.0);
    f(-1.0);
}

struct Design {
    Model model;
    double scale = 1.0;
    bool airborne = false;
    // Aircraft are seen from higher up, so their wings show in every facing.
    double elevation = 34;
};

// ---- Ground units ----

Design soldier()
{
    Kit k;
    Model& m = k.m;
    // Legs in a short stride, so the side view reads as a person walking.
    m.box({1.7, 0.55, 1.15}, {1.15, 0.55, 0.65}, k.dark, 0.3);
    m.box({-1.3, 0.55, -1.15}, {1.15, 0.55, 0.65}, k.dark, 0.3);
    m.capsule({0.2, 7.0, 1.15}, {1.4, 1.3, 1.15}, 0.95, k.metal);
    m.capsule({0.0, 7.0, -1.15}, {-1.2, 1.3, -1.15}, 0.95, k.metal);
    m.box({0.0, 7.4, 0}, {1.3, 0.9, 2.0}, k.metal, 0.6);
    m.box({0.1, 10.1, 0}, {1.5, 2.4, 2.1}, k.hull, 1.0);
    m.box({-2.1, 10.4, 0}, {0.85, 1.8, 1.6}, k.metal, 0.5);
    m.sphere({0.45, 13.7, 0}, 1.45, k.light);
    m.ellipsoid({0.2, 14.3, 0}, {1.95, 1.35, 1.85}, k.hull).clip({0, -1, 0}, 0.15);
    m.box({1.75, 13.6, 0}, {0.35, 0.45, 1.05}, k.glass, 0.2);
    mirrored([&](double s) {
        m.capsule({0.3, 11.8, 2.3 * s}, {1.3, 9.6, 2.1 * s}, 0.72, k.hull);
        m.capsule({1.3, 9.6, 2.1 * s}, {3.1, 10.2, 1.1 * s}, 0.62, k.hull);
    });
    // Rifle held across the chest, pointing ahead.
    m.box({3.0, 10.5, 1.1}, {3.3, 0.5, 0.4}, k.dark, 0.2);
    m.box({2.3, 9.6, 1.1}, {0.45, 0.8, 0.3}, k.dark, 0.1);
    m.cylinder({7.3, 10.6, 1.1}, 'x', 0.28, 1.1, k.dark);
    Design d{std::move(m)};
    d.scale = 1.12;
    return d;
}

Design heavySoldier()
{
    Kit k;
    Model& m = k.m;
    m.box({1.9, 0.7, 1.5}, {1.5, 0.7, 0.95}, k.dark, 0.3);
    m.box({-1.6, 0.7, -1.5}, {1.5, 0.7, 0.95}, k.dark, 0.3);
    m.capsule({0.3, 6.6, 1.5}, {1.6, 1.5, 1.5}, 1.35, k.metal);
    m.capsule({0.0, 6.6, -1.5}, {-1.4, 1.5, -1.5}, 1.35, k.metal);
    m.box({0.0, 7.2, 0}, {1.8, 1.1, 2.6}, k.dark, 0.7);
    // Armoured torso, much wider than the rifleman's, with a power pack.
    m.box({0.0, 10.3, 0}, {2.3, 2.7, 2.9}, k.hull, 1.3);
    m.box({-3.0, 10.9, 0}, {1.1, 2.3, 2.2}, k.metal, 0.6);
    mirrored([&](double s) { m.ellipsoid({0.0, 12.6, 3.0 * s}, {1.8, 1.3, 1.6}, k.light); });
    m.ellipsoid({0.5, 14.5, 0}, {1.9, 1.6, 1.8}, k.light);
    m.box({2.1, 14.3, 0}, {0.4, 0.45, 1.2}, k.lamp, 0.2);
    // Rocket pod over the far shoulder.
    m.box({-0.6, 15.0, -2.6}, {2.4, 1.2, 1.2}, k.metal, 0.5);
    m.box({1.85, 15.0, -2.6}, {0.1, 0.8, 0.8}, k.dark, 0.1);
    // The big gun, held at the hip.
    m.capsule({0.4, 11.8, 3.2}, {2.0, 9.2, 3.0}, 0.95, k.hull);
    m.box({2.6, 8.8, 2.4}, {2.6, 1.05, 1.0}, k.dark, 0.4);
    m.cylinder({6.4, 8.9, 2.4}, 'x', 0.6, 1.6, k.metal, 0.2);
    m.box({1.4, 7.4, 2.4}, {0.8, 0.6, 0.7}, k.metal, 0.3);
    Design d{std::move(m)};
    d.scale = 1.05;
    return d;
}

Design rover()
{
    Kit k;
    Model& m = k.m;
    mirrored([&](double s) {
        for (double x : {-5.0, 5.2}) {
            m.cylinder({x, 2.8, 4.1 * s}, 'z', 2.8, 1.1, k.wheel, 0.6);
            m.cylinder({x, 2.8, 4.9 * s}, 'z', 1.1, 0.4, k.light, 0.2);
        }
        // Open roll cage: the look of a light buggy.
        m.capsule({-3.0, 4.6, 2.2 * s}, {-1.8, 9.0, 2.0 * s}, 0.5, k.light);
        m.capsule({2.4, 4.6, 2.2 * s}, {1.0, 9.0, 2.0 * s}, 0.5, k.light);
        m.capsule({-1.8, 9.0, 2.0 * s}, {1.0, 9.0, 2.0 * s}, 0.5, k.light);
        m.box({5.2, 5.3, 3.9 * s}, {2.6, 0.3, 1.4}, k.hull, 0.2);
        m.box({-5.0, 5.3, 3.9 * s}, {2.6, 0.3, 1.4}, k.hull, 0.2);
    });
    m.capsule({-1.8, 9.0, -2.0}, {-1.8, 9.0, 2.0}, 0.5, k.light);
    m.box({0.0, 3.6, 0}, {6.6, 0.8, 2.6}, k.metal, 0.5);
    m.box({5.0, 4.5, 0}, {2.2, 1.0, 2.4}, k.hull, 0.6).clip({1, 1.3, 0}, 1.5);
    m.box({-0.5, 4.9, 0}, {1.6, 0.9, 1.8}, k.dark, 0.4);
    m.box({-5.2, 5.0, 0}, {1.4, 1.3, 2.0}, k.hull, 0.5);
    m.cylinder({2.4, 9.8, 0}, 'x', 0.45, 2.4, k.dark);
    m.box({0.0, 9.7, 0}, {1.0, 0.6, 0.7}, k.dark, 0.2);
    m.capsule({-5.6, 6.0, -1.6}, {-6.4, 12.5, -1.6}, 0.45, k.metal);
    m.sphere({-6.4, 12.7, -1.6}, 0.7, k.lamp);
    m.sphere({7.2, 4.9, 1.5}, 0.55, k.lamp);
    m.sphere({7.2, 4.9, -1.5}, 0.55, k.lamp);
    return {std::move(m), 0.98};
}

Design armoredCarrier()
{
    Kit k;
    Model& m = k.m;
    mirrored([&](double s) {
        for (double x : {-6.0, -0.8, 4.4}) {
            m.cylinder({x, 2.3, 3.9 * s}, 'z', 2.3, 1.0, k.wheel, 0.5);
            m.cylinder({x, 2.3, 4.7 * s}, 'z', 0.95, 0.35, k.light, 0.15);
        }
        m.box({-0.8, 4.9, 3.9 * s}, {8.6, 0.3, 1.3}, k.metal, 0.2);
        m.box({-1.6, 7.4, 3.1 * s}, {3.4, 0.3, 0.15}, k.glass, 0.1);
    });
    m.box({-0.4, 4.6, 0}, {8.6, 1.9, 3.2}, k.hull, 0.8);
    m.box({-1.4, 7.2, 0}, {7.0, 1.2, 3.1}, k.light, 0.8).clip({1, 1.3, 0}, 6.2);
    m.box({7.4, 4.9, 0}, {1.6, 1.7, 3.1}, k.hull, 0.8).clip({1, 0.9, 0}, 0.6);
    m.box({-9.0, 5.0, 0}, {0.3, 1.7, 2.2}, k.dark, 0.2);
    m.cylinder({0.6, 8.9, 0}, 'y', 1.7, 0.6, k.metal, 0.4);
    m.cylinder({3.3, 9.0, 0}, 'x', 0.4, 2.2, k.dark);
    m.cylinder({-4.4, 8.5, 1.4}, 'y', 0.9, 0.2, k.dark, 0.1);
    m.cylinder({-4.4, 8.5, -1.4}, 'y', 0.9, 0.2, k.dark, 0.1);
    m.sphere({8.8, 5.4, 2.2}, 0.5, k.lamp);
    m.sphere({8.8, 5.4, -2.2}, 0.5, k.lamp);
    return {std::move(m), 1.0};
}

void tracks(Kit& k, double halfLength, double z, double height)
{
    mirrored([&](double s) {
        k.m.box({0, height, z * s}, {halfLength, height, 1.45}, k.tread, height * 0.9);
        k.m.cylinder({halfLength - height * 0.9, height, (z + 1.0) * s}, 'z', height * 0.55, 0.3, k.metal, 0.1);
        k.m.cylinder({-halfLength + height * 0.9, height, (z + 1.0) * s}, 'z', height * 0.55, 0.3, k.metal, 0.1);
    });
}

Design antiAir()
{
    Kit k;
    Model& m = k.m;
    tracks(k, 8.0, 4.2, 1.8);
    m.box({0, 4.0, 0}, {7.4, 1.4, 3.4}, k.hull, 0.6).clip({1, 1, 0}, 8.0);
    mirrored([&](double s) { m.box({0, 3.8, 4.2 * s}, {7.8, 0.25, 1.55}, k.metal, 0.1); });
    m.box({-1.2, 6.6, 0}, {3.0, 1.4, 2.9}, k.light, 0.9);
    // Twin barrels raised steeply: the mark of an anti-air gun.
    mirrored([&](double s) {
        m.cylinder({3.2, 10.0, 1.35 * s}, 'x', 0.5, 4.6, k.dark).rot(0, 52, 0);
        m.cylinder({0.6, 7.4, 1.35 * s}, 'x', 0.8, 1.0, k.metal).rot(0, 52, 0);
    });
    // Radar dish behind the turret.
    m.cylinder({-5.3, 6.4, 0}, 'y', 0.3, 1.2, k.metal);
    m.ellipsoid({-5.6, 8.2, 0}, {0.45, 1.7, 2.2}, k.light).rot(0, -25, 0);
    return {std::move(m), 1.0};
}

Design heavyTank()
{
    Kit k;
    Model& m = k.m;
    tracks(k, 8.8, 4.6, 1.9);
    mirrored([&](double s) { m.box({0, 3.95, 4.6 * s}, {8.9, 0.28, 1.7}, k.metal, 0.15); });
    m.box({0.0, 4.3, 0}, {8.2, 1.6, 3.6}, k.hull, 0.7).clip({1, 1.1, 0}, 8.4);
    m.box({-1.6, 7.0, 0}, {4.0, 1.35, 3.3}, k.light, 1.2);
    m.box({-5.4, 6.8, 0}, {1.2, 1.0, 2.6}, k.metal, 0.5);
    m.cylinder({6.4, 7.1, 0}, 'x', 0.62, 5.0, k.dark, 0.2);
    m.cylinder({11.2, 7.1, 0}, 'x', 0.9, 0.55, k.dark, 0.2);
    m.cylinder({-2.5, 8.5, 1.3}, 'y', 1.0, 0.3, k.metal, 0.15);
    m.sphere({8.6, 4.9, 2.8}, 0.45, k.lamp);
    m.sphere({8.6, 4.9, -2.8}, 0.45, k.lamp);
    return {std::move(m), 1.0};
}

Design mobileTurret()
{
    Kit k;
    Model& m = k.m;
    mirrored([&](double s) {
        for (double x : {-4.8, 4.8}) {
            m.cylinder({x, 2.2, 4.0 * s}, 'z', 2.2, 0.9, k.wheel, 0.5);
            m.cylinder({x, 2.2, 4.7 * s}, 'z', 0.85, 0.25, k.light, 0.1);
        }
        // The bracing legs, folded along the sides for the road.
        for (double x : {-1.0, 1.0}) {
            m.capsule({x, 6.4, 3.8 * s}, {x * 7.6, 3.9, 3.8 * s}, 0.55, k.light);
            m.box({x * 8.0, 3.6, 3.8 * s}, {0.7, 0.8, 0.8}, k.dark, 0.2);
        }
    });
    m.box({0, 4.0, 0}, {7.2, 1.5, 3.4}, k.hull, 0.6);
    m.capsule({7.0, 3.4, 0}, {9.6, 2.8, 0}, 0.5, k.dark);
    // A tall gun house turned to the rear, its barrel resting in a cradle.
    m.box({1.6, 7.4, 0}, {2.8, 1.9, 2.7}, k.light, 0.8);
    m.box({4.2, 7.0, 0}, {0.7, 1.2, 2.0}, k.metal, 0.4);
    m.cylinder({-4.2, 7.9, 0}, 'x', 0.75, 5.6, k.dark, 0.2);
    m.cylinder({-9.6, 7.9, 0}, 'x', 1.0, 0.45, k.dark, 0.2);
    m.box({-6.6, 6.4, 0}, {0.5, 1.0, 1.0}, k.metal, 0.15);
    return {std::move(m), 1.0};
}

Design fixedTurret()
{
    Kit k;
    Model& m = k.m;
    // Deployed: a heavy base with four legs braced on the ground.
    for (double a : {45.0, 135.0, 225.0, 315.0}) {
        const double c = std::cos(a * std::numbers::pi / 180), s = std::sin(a * std::numbers::pi / 180);
        m.box({6.0 * c, 1.2, -6.0 * s}, {3.2, 0.55, 0.75}, k.metal, 0.3).rot(a, -12, 0);
        m.box({8.8 * c, 0.4, -8.8 * s}, {1.2, 0.4, 1.2}, k.dark, 0.2).rot(a, 0, 0);
    }
    m.cylinder({0, 1.6, 0}, 'y', 6.0, 1.6, k.hull, 0.6);
    m.cylinder({0, 3.4, 0}, 'y', 4.6, 0.4, k.dark, 0.2);
    m.box({-0.6, 5.4, 0}, {3.6, 1.8, 3.3}, k.light, 1.0).clip({1, 1.2, 0}, 4.2);
    m.box({-3.6, 5.6, 0}, {0.9, 1.2, 2.4}, k.metal, 0.4);
    m.cylinder({7.0, 7.4, 0}, 'x', 0.68, 5.2, k.dark, 0.2).rot(0, 10, 0);
    m.cylinder({12.0, 8.3, 0}, 'x', 0.95, 0.5, k.dark, 0.2).rot(0, 10, 0);
    m.sphere({1.8, 7.4, 1.8}, 0.5, k.lamp);
    Design d{std::move(m)};
    d.scale = 0.95;
    return d;
}

void hoverTank(Kit& k, double lift)
{
    Model& m = k.m;
    const double y = lift;
    // A flat wedge on a dark skirt, with a low turret and a long gun.
    m.box({-0.6, y + 1.2, 0}, {8.4, 1.2, 4.8}, k.dark, 1.1);
    m.box({-0.8, y + 3.1, 0}, {7.8, 1.1, 4.2}, k.hull, 0.9).clip({1, 0.7, 0}, 5.4);
    mirrored([&](double s) {
        m.box({-1.0, y + 2.4, 4.6 * s}, {5.5, 0.3, 0.3}, k.light, 0.1);
        m.box({-7.0, y + 4.6, 3.0 * s}, {1.4, 1.1, 0.3}, k.light, 0.2).clip({1, 1, 0}, 0.8);
    });
    m.ellipsoid({-2.0, y + 5.2, 0}, {3.6, 1.8, 2.9}, k.light);
    m.cylinder({4.9, y + 5.9, 0}, 'x', 0.6, 5.6, k.dark, 0.2);
    m.cylinder({10.4, y + 5.9, 0}, 'x', 0.85, 0.5, k.dark, 0.2);
    m.sphere({7.0, y + 2.8, 3.0}, 0.5, k.lamp);
    m.sphere({7.0, y + 2.8, -3.0}, 0.5, k.lamp);
}

Design hoverTankGround()
{
    Kit k;
    hoverTank(k, 0.0);
    return {std::move(k.m), 1.0};
}

Design hoverTankAir()
{
    Kit k;
    const double lift = 4.0;
    hoverTank(k, lift);
    // Lift pads glowing under the skirt, and their light on the ground.
    mirrored([&](double s) {
        for (double x : {-5.2, 5.2})
            k.m.ellipsoid({x, lift - 0.05, 3.0 * s}, {1.8, 0.4, 1.2}, k.glow);
    });
    k.m.torus({0, 0.2, 0}, 'y', 6.8, 0.35, k.lamp);
    Design d{std::move(k.m), 1.0};
    return d;
}

// ---- Aircraft: origin at the middle of the craft ----

Design recon()
{
    Kit k;
    Model& m = k.m;
    m.ellipsoid({0, 0, 0}, {6.2, 1.7, 2.1}, k.hull);
    m.ellipsoid({2.0, 1.1, 0}, {2.8, 1.3, 1.5}, k.glass);
    m.sphere({4.6, -1.2, 0}, 1.0, k.metal);
    m.sphere({5.2, -1.5, 0}, 0.5, k.lamp);
    m.box({-1.6, -0.1, 0}, {2.8, 0.28, 6.8}, k.light, 0.2).clip({1, 0, 0.6}, 1.6).clip({1, 0, -0.6}, 1.6);
    m.box({-5.0, 1.6, 0}, {1.3, 1.6, 0.22}, k.light, 0.15).clip({1, 0.9, 0}, 0.6);
    m.sphere({-6.1, 0, 0}, 0.95, k.glow);
    Design d{std::move(m)};
    d.scale = 1.15;
    d.airborne = true;
    d.elevation = 56;
    return d;
}

Design fighter()
{
    Kit k;
    Model& m = k.m;
    m.ellipsoid({0, 0, 0}, {9.6, 1.5, 1.6}, k.hull);
    m.ellipsoid({3.4, 1.0, 0}, {2.8, 1.0, 1.0}, k.glass);
    // Sharply swept wings.
    m.box({-2.3, -0.2, 0}, {4.2, 0.28, 8.2}, k.light, 0.2)
        .clip({1, 0, 0.85}, 3.0)
        .clip({1, 0, -0.85}, 3.0)
        .clip({-1, 0, 0.3}, 4.4)
        .clip({-1, 0, -0.3}, 4.4);
    mirrored([&](double s) {
        m.box({-7.2, 1.6, 1.2 * s}, {1.5, 1.7, 0.15}, k.light, 0.1).rot(0, 0, 18 * s).clip({1, 0.8, 0}, 0.7);
        m.box({-8.0, 0.0, 2.4 * s}, {1.1, 0.18, 1.6}, k.hull, 0.1).clip({1, 0, 0.9 * s}, 0.6);
        m.sphere({-9.5, 0.0, 0.65 * s}, 0.6, k.glow);
    });
    Design d{std::move(m)};
    d.scale = 1.05;
    d.airborne = true;
    d.elevation = 56;
    return d;
}

Design bomber()
{
    Kit k;
    Model& m = k.m;
    m.ellipsoid({0, 0, 0}, {9.8, 2.1, 2.2}, k.hull);
    m.ellipsoid({6.2, 1.0, 0}, {2.2, 1.0, 1.3}, k.glass);
    // Long, broad wings with four engines.
    m.box({-0.6, 0.1, 0}, {3.4, 0.38, 11.4}, k.light, 0.3)
        .clip({1, 0, 0.28}, 2.8)
        .clip({1, 0, -0.28}, 2.8)
        .clip({-1, 0, 0.12}, 3.2)
        .clip({-1, 0, -0.12}, 3.2);
    mirrored([&](double s) {
        for (double z : {4.2, 7.6}) {
            const double x = -0.9 - 0.28 * z;
            m.cylinder({x, -0.6, z * s}, 'x', 0.85, 2.0, k.metal, 0.4);
            m.sphere({x - 2.1, -0.6, z * s}, 0.6, k.glow);
        }
        m.box({-8.4, 2.9, 1.8 * s}, {1.0, 0.18, 2.0}, k.hull, 0.1);
    });
    m.box({-8.0, 1.7, 0}, {1.8, 1.6, 0.25}, k.light, 0.15).clip({1, 0.8, 0}, 0.5);
    Design d{std::move(m)};
    d.scale = 0.98;
    d.airborne = true;
    d.elevation = 56;
    return d;
}

Design transport()
{
    Kit k;
    Model& m = k.m;
    // A fat boxy hull under a high wing, two engine pods, a tall tail and a
    // cargo ramp at the back.
    m.box({-0.3, 0, 0}, {8.2, 2.6, 3.0}, k.hull, 1.5);
    m.box({7.4, -0.3, 0}, {1.4, 1.9, 2.5}, k.hull, 1.2).clip({1, -0.5, 0}, 0.8);
    m.box({7.9, 0.9, 0}, {1.0, 0.7, 2.0}, k.glass, 0.3).clip({1, 1.0, 0}, 0.7);
    m.box({-8.6, -0.5, 0}, {0.4, 1.9, 2.4}, k.dark, 0.3);
    m.box({0.6, 2.9, 0}, {2.6, 0.45, 9.6}, k.light, 0.3).clip({1, 0, 0.12}, 2.4).clip({1, 0, -0.12}, 2.4);
    m.box({-7.2, 3.4, 0}, {1.4, 2.4, 0.3}, k.light, 0.2).clip({1, 0.9, 0}, 0.6);
    m.box({-7.8, 5.6, 0}, {1.0, 0.25, 3.0}, k.light, 0.15);
    mirrored([&](double s) {
        m.cylinder({1.4, 1.7, 5.4 * s}, 'x', 1.25, 2.6, k.metal, 0.6);
        m.cylinder({3.9, 1.7, 5.4 * s}, 'x', 0.85, 0.12, k.dark, 0.05);
        m.cylinder({-1.3, 1.7, 5.4 * s}, 'x', 0.85, 0.15, k.glow, 0.05);
        m.box({1.5, -0.2, 3.0 * s}, {5.0, 0.35, 0.1}, k.glass, 0.05);
    });
    Design d{std::move(m)};
    d.scale = 1.0;
    d.airborne = true;
    d.elevation = 56;
    return d;
}

Design cruiser()
{
    Kit k;
    Model& m = k.m;
    // An arrowhead hull, wide at the stern, with a bridge tower aft, gun
    // turrets on the spine and three engines glowing at the back.
    m.box({0, 0, 0}, {10.6, 1.7, 5.0}, k.hull, 0.6).clip({1, 0, 1.25}, 8.8).clip({1, 0, -1.25}, 8.8);
    m.box({-0.5, -1.6, 0}, {9.0, 0.8, 3.0}, k.dark, 0.4).clip({1, 0, 1.4}, 7.2).clip({1, 0, -1.4}, 7.2);
    m.box({-1.5, 2.0, 0}, {7.5, 0.6, 2.0}, k.light, 0.3).clip({1, 0, 1.6}, 5.8).clip({1, 0, -1.6}, 5.8);
    mirrored([&](double s) {
        m.box({-7.0, 0.2, 6.2 * s}, {3.2, 0.6, 1.6}, k.metal, 0.3).clip({1, 0, -0.8 * s}, -2.2);
        m.cylinder({-10.2, 0.2, 6.4 * s}, 'x', 0.8, 0.4, k.glow, 0.1);
    });
    m.box({-6.4, 4.0, 0}, {1.9, 1.6, 1.5}, k.light, 0.5);
    m.box({-5.0, 4.4, 0}, {0.6, 0.4, 1.2}, k.glass, 0.1);
    m.capsule({-7.0, 5.4, 0}, {-7.0, 8.0, 0}, 0.4, k.metal);
    m.sphere({-7.0, 8.2, 0}, 0.6, k.lamp);
    for (double x : {3.6, 0.2}) {
        m.cylinder({x, 3.0, 0}, 'y', 1.2, 0.45, k.metal, 0.2);
        m.cylinder({x + 2.0, 3.1, 0}, 'x', 0.4, 1.4, k.dark);
    }
    for (double z : {-2.4, 0.0, 2.4}) {
        m.cylinder({-10.9, 0, z}, 'x', 1.2, 0.8, k.metal, 0.3);
        m.cylinder({-11.8, 0, z}, 'x', 0.95, 0.15, k.glow, 0.05);
    }
    Design d{std::move(m)};
    d.scale = 0.98;
    d.airborne = true;
    d.elevation = 56;
    return d;
}

// ---- From a rendered frame to a sprite ----

constexpr int Canvas = 48;

// Few, clearly separate shades of the team ramp, as a hand-drawn sprite has;
// the glows keep their own colours.
QRgb posterized(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    const bool onRamp = std::abs(g - b) <= 3 && (std::abs(r - g - 70) <= 4 || r == 255);
    if (!onRamp)
        return c;
    static constexpr int Levels[] = {22, 44, 70, 98, 128, 158, 188, 218};
    int best = Levels[0];
    for (int l : Levels)
        if (std::abs(l - g) < std::abs(best - g))
            best = l;
    return teamRamp((best - 16.0) / 176.0);
}

QImage finish(const Frame& f, bool airborne, const QString& what)
{
    // Keep a pixel when most of it is covered, in its own colour: blending
    // with the black background would give dark fringes that the blue tint
    // turns into vivid blue.
    int left = Canvas, right = -1, top = Canvas, bottom = -1;
    for (int y = 0; y < Canvas; ++y)
        for (int x = 0; x < Canvas; ++x)
            if (f.at(x, y).cover >= 0.5) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0)
        qFatal("%s renders empty", qPrintable(what));
    const int w = right - left + 1;
    const int h = bottom - top + 1;
    // One pixel of outline on every side within the 25 x 25 the map shows.
    if (w > SpriteWidth - 2 || h > TileSize - 2)
        qFatal("%s is %d x %d, more than fits a tile", qPrintable(what), w, h);
    const int dx = (SpriteWidth - w) / 2 - left;
    const int dy = (airborne ? (TileSize - h) / 2 : TileSize - 1 - h) - top;

    QImage out(SpriteWidth, SpriteHeight, QImage::Format_RGB32);
    out.fill(0xFF000000u);
    std::vector<double> depth(size_t(SpriteWidth * SpriteHeight), -1);
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const Pixel& p = f.at(x, y);
            if (p.cover < 0.5)
                continue;
            QRgb c = posterized(qRgb(clampByte(p.r), clampByte(p.g), clampByte(p.b)));
            if ((c & 0xFFFFFFu) == 0)
                c = SpriteOutline;
            out.setPixel(x + dx, y + dy, c);
            depth[size_t((y + dy) * SpriteWidth + x + dx)] = p.depth;
        }

    auto opaque = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < SpriteWidth && y < SpriteHeight && (out.pixel(x, y) & 0xFFFFFFu) != 0;
    };
    // A faint line where one part stands well in front of another, so a gun
    // barrel does not melt into the hull behind it.
    QImage lined = out;
    for (int y = 0; y < SpriteHeight; ++y)
        for (int x = 0; x < SpriteWidth; ++x) {
            if (!opaque(x, y))
                continue;
            const double d = depth[size_t(y * SpriteWidth + x)];
            bool behind = false;
            for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}})
                if (opaque(nx, ny) && d - depth[size_t(ny * SpriteWidth + nx)] > 1.8)
                    behind = true;
            if (behind) {
                const QRgb c = out.pixel(x, y);
                lined.setPixel(x, y, qRgb((qRed(c) + qRed(SpriteOutline)) / 2, (qGreen(c) + qGreen(SpriteOutline)) / 2,
                                          (qBlue(c) + qBlue(SpriteOutline)) / 2));
            }
        }
    // The outline itself, around the outside.
    QImage outlined = lined;
    for (int y = 0; y < TileSize; ++y)
        for (int x = 0; x < SpriteWidth; ++x)
            if (!opaque(x, y) && (opaque(x - 1, y) || opaque(x + 1, y) || opaque(x, y - 1) || opaque(x, y + 1)))
                outlined.setPixel(x, y, SpriteOutline);
    return outlined;
}

QImage renderSprite(const Design& d, Facing facing, const QString& what)
{
    View v;
    v.yaw = yawOf(facing);
    // Facing left shows the same side of the unit as facing right, as a
    // mirror image would, but still lit from the top left.
    v.mirrored = facing == Facing::Left;
    v.scale = d.scale;
    v.elevation = d.elevation;
    // Harder light than the buildings get: at this size shape reads by contrast.
    v.ambient = 0.14;
    v.key = 1.0;
    v.fill = 0.16;
    const QPointF origin(Canvas / 2.0, d.airborne ? Canvas / 2.0 : Canvas * 0.75);
    return finish(render(d.model, v, Canvas, Canvas, origin), d.airborne, what);
}

}  // namespace

std::vector<UnitSprites> makeUnitSprites()
{
    struct Entry {
        const char* base;
        const char* name;
        std::function<Design()> make;
    };
    const Entry entries[] = {
        {"RedAAir", "Anti-Air", antiAir},
        {"RedATV", "Armored ATV", armoredCarrier},
        {"RedBomber", "Bomber", bomber},
        {"RedCruiser", "Battle Cruiser", cruiser},
        {"RedFighter", "Fighter", fighter},
        {"RedHSoldier", "Heavy Infantry", heavySoldier},
        {"RedHTank", "Hover Tank Air", hoverTankAir},
        {"RedPTurret", "Mobile Turret", mobileTurret},
        {"RedRecon", "Recon", recon},
        {"RedRover", "Rover", rover},
        {"RedTransport", "Transport", transport},
        {"RedSoldier", "Infantry", soldier},
        {"RedTank", "Heavy Tank", heavyTank},
        {"RedTurret", "Fixed Turret", fixedTurret},
        {"RedHTankG", "Hover Tank Ground", hoverTankGround},
    };
    std::vector<UnitSprites> all;
    int type = 1;
    for (const Entry& e : entries) {
        UnitSprites u;
        u.type = type++;
        u.base = QString::fromLatin1(e.base);
        u.name = QString::fromLatin1(e.name);
        const Design d = e.make();
        for (Facing f : AllFacings)
            u.images[size_t(f)] = renderSprite(d, f, u.base + facingSuffix(f));
        all.push_back(std::move(u));
    }
    return all;
}

}  // namespace art
