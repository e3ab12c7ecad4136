#pragma once
// Tiles drawn from the top as height and colour fields: the height gives the
// shading (light from the top left), so pieces that join share one shape and
// one light and meet without seams.

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>

namespace art {

inline constexpr double Pi = std::numbers::pi;

struct Surf {
    double h = 0;        // height in pixels
    double r = 0, g = 0, b = 0;
    bool glow = false;   // drawn as is, not lit
};

inline Surf surf(double h, double r, double g, double b) { return {h, r, g, b, false}; }
inline Surf tintedBy(Surf s, double k)
{
    s.r *= k;
    s.g *= k;
    s.b *= k;
    return s;
}
inline Surf paint(Surf s, double r, double g, double b, double t = 1.0)
{
    t = std::clamp(t, 0.0, 1.0);
    s.r += (r - s.r) * t;
    s.g += (g - s.g) * t;
    s.b += (b - s.b) * t;
    return s;
}

// A field over piece coordinates in pixels.
using Field = std::function<Surf(double x, double y)>;

// Renders the 25 x 25 tile whose top-left corner is (ox, oy) in the field.
// The field repeats every wrapW x wrapH pixels from (0, 0); the shading looks
// past a tile's edges through that repeat.
QImage renderTile(const Field& field, double ox = 0, double oy = 0, double wrapW = 25, double wrapH = 25);

// Smooth noise that repeats every `period` pixels in both directions, with
// `cells` lattice cells per period. Values 0..1.
double noise(double x, double y, int cells, double period, std::uint32_t seed);
double fbm(double x, double y, int cells, double period, std::uint32_t seed, int octaves = 3);
// A stable pseudo-random 0..1 from integers.
double hash01(int a, int b, std::uint32_t seed);

inline double smooth(double e0, double e1, double x)
{
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}
inline double fractOf(double v) { return v - std::floor(v); }
inline double wrapMod(double v, double m) { return v - m * std::floor(v / m); }

}  // namespace art
