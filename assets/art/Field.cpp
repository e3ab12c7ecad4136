#include "Field.h"

#include "Palette.h"

namespace art {

double hash01(int a, int b, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x9E3779B1u ^ std::uint32_t(a) * 0x85EBCA77u ^ std::uint32_t(b) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return (h & 0xFFFFFFu) / double(0xFFFFFF);
}

double noise(double x, double y, int cells, double period, std::uint32_t seed)
{
    const double fx = wrapMod(x, period) / period * cells;
    const double fy = wrapMod(y, period) / period * cells;
    const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    const double tx = fx - ix, ty = fy - iy;
    auto at = [&](int i, int j) { return hash01(((i % cells) + cells) % cells, ((j % cells) + cells) % cells, seed); };
    const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    const double a = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * sx;
    const double b = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * sx;
    return a + (b - a) * sy;
}

double fbm(double x, double y, int cells, double period, std::uint32_t seed, int octaves)
{
    double sum = 0, amp = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += noise(x, y, cells << o, period, seed + std::uint32_t(o) * 101u) * amp;
        total += amp;
        amp *= 0.5;
    }
    return sum / total;
}

QImage renderTile(const Field& field, double ox, double oy, double wrapW, double wrapH)
{
    constexpr int ss = 4;
    constexpr double e = 0.3;
    // Light from the top left of the screen (y runs down).
    const double lx = -0.55, ly = -0.7, lz = 1.0;
    const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    const double flat = 0.42 + 0.78 * lz / ll;

    auto sample = [&](double x, double y) {
        // Past the piece's edge, look at where the field repeats.
        if (wrapW > 0)
            x = wrapMod(x, wrapW);
        if (wrapH > 0)
            y = wrapMod(y, wrapH);
        return field(x, y);
    };

    QImage out(25, 25, QImage::Format_RGB32);
    for (int py = 0; py < 25; ++py)
        for (int px = 0; px < 25; ++px) {
            double r = 0, g = 0, b = 0;
            for (int sy = 0; sy < ss; ++sy)
                for (int sx = 0; sx < ss; ++sx) {
                    const double x = ox + px + (sx + 0.5) / ss;
                    const double y = oy + py + (sy + 0.5) / ss;
                    const Surf s = field(x, y);
                    if (s.glow) {
                        r += s.r;
                        g += s.g;
                        b += s.b;
                        continue;
                    }
                    const double dx = (sample(x + e, y).h - sample(x - e, y).h) / (2 * e);
                    const double dy = (sample(x, y + e).h - sample(x, y - e).h) / (2 * e);
                    const double nl = std::sqrt(dx * dx + dy * dy + 1);
                    const double ndl = (-dx * lx - dy * ly + lz) / (nl * ll);
                    const double k = (0.42 + 0.78 * std::max(0.0, ndl)) / flat;
                    r += s.r * k;
                    g += s.g * k;
                    b += s.b * k;
                }
            const double n = ss * ss;
            out.setPixel(px, py, qRgb(clampByte(r / n), clampByte(g / n), clampByte(b / n)));
        }
    return out;
}

}  // namespace art
