#include "platform/Gif.h"

namespace platform {

QImage loadPicture(const QString& path)
{
    QImage loaded(path);
    if (loaded.isNull())
        return {};

    // Non-premultiplied, so a transparent index keeps its colour until we
    // decide what to do with it: the masked drawing needs it black.
    const QImage argb = loaded.convertToFormat(QImage::Format_ARGB32);
    QImage out(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            d[x] = qAlpha(s[x]) < 128 ? 0xFF000000u : (s[x] | 0xFF000000u);
    }
    return out;
}

}  // namespace platform
