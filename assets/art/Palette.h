#pragma once
// Colours shared by all our pictures, and the player tints the game applies to
// the red unit sprites when it loads them.

#include <QColor>
#include <QImage>

#include <algorithm>

namespace art {

struct Tint {
    int dr;
    int dg;
    int db;
};

// The game recolours player 1's sprites with these offsets, clamped per channel;
// black stays black.
inline constexpr Tint TintBlue{-55, -16, 165};
inline constexpr Tint TintGreen{-58, 58, 8};
inline constexpr Tint TintYellow{-9, 66, 8};
inline constexpr Tint TintYellowTurned{-9, 66, -8};  // up and down sprites
inline constexpr Tint TintActed{-61, 17, 17};

inline int clampByte(int v) { return std::clamp(v, 0, 255); }
inline int clampByte(double v) { return std::clamp(int(v + 0.5), 0, 255); }

inline QRgb tintPixel(QRgb p, Tint t)
{
    if ((p & 0xFFFFFFu) == 0)
        return 0xFF000000u;
    return qRgb(clampByte(qRed(p) + t.dr), clampByte(qGreen(p) + t.dg), clampByte(qBlue(p) + t.db));
}

inline QImage tinted(const QImage& source, Tint t)
{
    QImage out = source.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = tintPixel(line[x], t);
    }
    return out;
}

// Black where the picture shows, white where it is black: the AND half of a
// masked drawing.
inline QImage maskOf(const QImage& picture)
{
    QImage out(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        auto* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            d[x] = (s[x] & 0xFFFFFFu) ? 0xFF000000u : 0xFFFFFFFFu;
    }
    return out;
}

// The red team ramp for unit sprites. Red stays about 70 above green and green
// equals blue at every brightness, so each tint lands on a clean blue, green,
// yellow or grey instead of purple or orange. `level` runs 0 (deepest shade)
// to 1 (full light); a little above 1 bleaches toward white for glints.
inline QRgb teamRamp(double level)
{
    const double g = 16.0 + 176.0 * level;
    return qRgb(clampByte(g + 70.0), clampByte(g), clampByte(g));
}

// The outline around every sprite: dark, yet it never turns black under a tint
// and stays the darkest colour of the sprite in every team colour.
inline constexpr QRgb SpriteOutline = 0xFF3E1010u;  // (62,16,16)

// Owner colours of buildings and the other pictures drawn in full colour.
struct OwnerColours {
    QColor light;
    QColor main;
    QColor dark;
};

inline OwnerColours ownerColours(int owner)
{
    switch (owner) {
    case 1: return {QColor(255, 120, 110), QColor(214, 48, 44), QColor(120, 20, 22)};
    case 2: return {QColor(120, 160, 255), QColor(48, 92, 222), QColor(22, 40, 120)};
    case 3: return {QColor(120, 225, 120), QColor(40, 168, 56), QColor(16, 86, 30)};
    case 4: return {QColor(255, 236, 110), QColor(226, 190, 30), QColor(122, 96, 12)};
    default: return {QColor(205, 208, 214), QColor(146, 150, 158), QColor(78, 82, 90)};
    }
}

}  // namespace art
