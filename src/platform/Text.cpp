#include "platform/Text.h"

#include <cmath>
#include <limits>

namespace platform {

namespace {

bool isAsciiSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}

// Strict decimal: what the number fields and files hold, nothing a locale or
// a "0x" prefix could sneak in.
template <typename Int>
bool parseStrict(QStringView text, Int& out)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isAsciiSpace(text[b]))
        ++b;
    while (e > b && isAsciiSpace(text[e - 1]))
        --e;

    bool negative = false;
    if (b < e && (text[b] == u'+' || text[b] == u'-')) {
        negative = text[b] == u'-';
        ++b;
    }
    if (b == e)
        return false;

    // Accumulate as a magnitude with one to spare on the negative side.
    constexpr std::int64_t maxPos = std::numeric_limits<Int>::max();
    const std::int64_t limit = negative ? maxPos + 1 : maxPos;
    std::int64_t v = 0;
    for (qsizetype i = b; i < e; ++i) {
        const char16_t c = text[i].unicode();
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        if (v > limit)
            return false;
    }
    out = static_cast<Int>(negative ? -v : v);
    return true;
}

}  // namespace

bool parseInt16(QStringView text, std::int16_t& out)
{
    return parseStrict(text, out);
}

bool parseInt32(QStringView text, std::int32_t& out)
{
    return parseStrict(text, out);
}

std::int64_t roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    // nearbyint follows the current mode; nothing in the program changes it
    // from round-to-nearest-even.
    const double r = std::nearbyint(value);
    constexpr double top = 9223372036854775808.0;  // 2^63
    if (r >= top)
        return std::numeric_limits<std::int64_t>::max();
    if (r < -top)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(r);
}

QByteArray toLatin1(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.unicode() <= 0xFF) {
            out.append(static_cast<char>(c.unicode()));
            continue;
        }
        // One character is one '?', even when it takes two UTF-16 units.
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate())
            ++i;
        out.append('?');
    }
    return out;
}

QString fromLatin1(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

QString firstLine(const QString& text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] == u'\r' || text[i] == u'\n')
            return text.left(i);
    }
    return text;
}

QColor colorFromBgr(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QColor colorFromBgrText(const QString& decimal)
{
    // Negative or wider than 24 bits is as unreadable as junk.
    std::int32_t v = 0;
    if (!parseInt32(decimal, v) || v < 0 || v > 0xFFFFFF)
        return QColor(0, 0, 0);
    return colorFromBgr(static_cast<std::uint32_t>(v));
}

}  // namespace platform
