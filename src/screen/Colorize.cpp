#include "screen/Colorize.h"

#include <algorithm>

namespace modColorize {

namespace {

constexpr QRgb Black = 0xFF000000u;
constexpr QRgb White = 0xFFFFFFFFu;

bool isBlack(QRgb pixel)
{
    return (pixel & 0x00FFFFFFu) == 0;
}

int clampByte(int value)
{
    return std::clamp(value, 0, 255);
}

}  // namespace

Components SplitColor(std::uint32_t colour)
{
    const int blue = static_cast<int>(colour / (256 * 256));
    const int green = static_cast<int>((colour - blue * 256u * 256u) / 256);
    const int red = static_cast<int>(colour - blue * 256u * 256u - green * 256u);
    return {red, green, blue};
}

void ColorizePicture(const QImage& src, QImage& dst, Tint tint)
{
    const QImage source = src.convertToFormat(QImage::Format_RGB32);
    QImage out(source.size(), QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = in[x];
            line[x] = isBlack(pixel) ? Black
                                     : qRgb(clampByte(qRed(pixel) + tint.red), clampByte(qGreen(pixel) + tint.green),
                                            clampByte(qBlue(pixel) + tint.blue));
        }
    }
    dst = std::move(out);
}

void MakeMask(const QImage& src, QImage& dst)
{
    const QImage source = src.convertToFormat(QImage::Format_RGB32);
    QImage out(source.size(), QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < source.width(); ++x)
            line[x] = isBlack(in[x]) ? White : Black;
    }
    dst = std::move(out);
}

}  // namespace modColorize
