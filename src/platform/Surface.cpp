#include "platform/Surface.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QMutex>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace platform {

namespace {

struct ResolvedFont {
    QFont font;
    int ascent = 0;
};

using FontKey = std::tuple<QString, int, bool, bool, bool>;

FontKey keyOf(const FontSpec& wanted)
{
    return {wanted.face.toLower(), wanted.points, wanted.bold, wanted.italic, wanted.underline};
}

bool hasFamily(const QString& family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

QFont makeFont(const FontSpec& wanted)
{
    // Map faces by hand: letting fontconfig pick a stand-in for "Impact" lands
    // on a dingbat font on these machines.
    QFont font;
    bool forceBold = false;
    if (wanted.face.compare(QLatin1String("Impact"), Qt::CaseInsensitive) == 0) {
        forceBold = true;
        if (hasFamily(QStringLiteral("Liberation Sans Narrow"))) {
            font.setFamilies({QStringLiteral("Liberation Sans Narrow")});
        } else {
            font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
            font.setStretch(QFont::Condensed);
        }
    } else {
        font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    }
    font.setStyleHint(QFont::SansSerif);

    // Points are at 96 DPI whatever the screen says, so fix the pixel size.
    const int pixels = static_cast<int>(std::lround(wanted.points * 96.0 / 72.0));
    font.setPixelSize(std::max(1, pixels));
    font.setBold(wanted.bold || forceBold);
    font.setItalic(wanted.italic);
    font.setUnderline(wanted.underline);
    return font;
}

const ResolvedFont& resolved(const FontSpec& wanted)
{
    // The battle draws dozens of texts a frame; building a QFont and its
    // metrics each time costs more than the drawing.
    static QMutex mutex;
    static std::map<FontKey, ResolvedFont> cache;
    QMutexLocker lock(&mutex);
    const FontKey key = keyOf(wanted);
    auto it = cache.find(key);
    if (it == cache.end()) {
        ResolvedFont r;
        r.font = makeFont(wanted);
        r.ascent = QFontMetrics(r.font).ascent();
        it = cache.emplace(key, std::move(r)).first;
    }
    return it->second;  // std::map nodes never move
}

}  // namespace

QFont resolveFont(const FontSpec& wanted)
{
    return resolved(wanted).font;
}

Surface::Surface()
    : image_(Width, Height, QImage::Format_RGB32)
{
    image_.fill(Qt::black);
}

void Surface::clear(QColor color)
{
    image_.fill(color.rgb() | 0xFF000000u);
}

void Surface::fillRect(const QRect& rect, QColor color)
{
    const QRect r = rect.normalized().intersected(image_.rect());
    if (r.isEmpty())
        return;
    const QRgb pixel = color.rgb() | 0xFF000000u;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y)) + r.left();
        std::fill(line, line + r.width(), pixel);
    }
}

void Surface::blit(int x, int y, const QImage& source, RasterOp op, QRect sourceRect)
{
    if (source.isNull())
        return;

    // 32-bit sources are used as they are: ARGB pictures come from loadPicture,
    // which already blackened the transparent pixels, so alpha is ignored.
    QImage converted;
    const QImage* src = &source;
    switch (source.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        break;
    default:
        converted = source.convertToFormat(QImage::Format_RGB32);
        src = &converted;
        break;
    }

    QRect from = sourceRect.isNull() ? src->rect() : sourceRect.normalized();
    // Trimming the source rectangle keeps the remaining pixels where they
    // would have landed, so shift the destination by what was cut.
    const QRect trimmed = from.intersected(src->rect());
    if (trimmed.isEmpty())
        return;
    x += trimmed.left() - from.left();
    y += trimmed.top() - from.top();
    from = trimmed;

    const QRect to = QRect(x, y, from.width(), from.height()).intersected(image_.rect());
    if (to.isEmpty())
        return;
    const int sx = from.left() + (to.left() - x);
    const int sy = from.top() + (to.top() - y);
    const int w = to.width();

    // Plain bitwise loops: the same results as the painter's Source,
    // SourceAndDestination and SourceOrDestination modes, bit for bit, and
    // no alpha handling can creep in.
    // Row addresses from the bits once: a scan line call per row checks for sharing every time.
    const qsizetype sourceStride = src->bytesPerLine();
    const qsizetype targetStride = image_.bytesPerLine();
    const uchar* sourceBits = src->constBits() + sy * sourceStride;
    uchar* targetBits = image_.bits() + to.top() * targetStride;
    for (int row = 0; row < to.height(); ++row) {
        const auto* s = reinterpret_cast<const QRgb*>(sourceBits + row * sourceStride) + sx;
        auto* d = reinterpret_cast<QRgb*>(targetBits + row * targetStride) + to.left();
        switch (op) {
        case RasterOp::Copy:
            for (int i = 0; i < w; ++i)
                d[i] = s[i] | 0xFF000000u;
            break;
        case RasterOp::And:
            for (int i = 0; i < w; ++i)
                d[i] = (d[i] & s[i]) | 0xFF000000u;
            break;
        case RasterOp::Paint:
            for (int i = 0; i < w; ++i)
                d[i] = d[i] | s[i] | 0xFF000000u;
            break;
        }
    }
}

void Surface::drawText(int x, int y, const QString& text, const FontSpec& font, QColor color)
{
    if (text.isEmpty())
        return;
    const ResolvedFont& f = resolved(font);
    QPainter painter(&image_);
    painter.setFont(f.font);
    painter.setPen(color);
    // y is the top of the character cell; the painter wants the baseline.
    painter.drawText(QPoint(x, y + f.ascent), text);
}

}  // namespace platform
