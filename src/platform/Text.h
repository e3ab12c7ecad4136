#pragma once
// Text helpers shared by files, the wire and the rules: strict number parsing,
// the 8-bit code page, and the decimal BGR colours that texts carry.

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringView>
#include <cstdint>

namespace platform {

// Trim, optional sign, decimal digits only. On failure (empty, junk, out of
// range) returns false and leaves `out` unchanged.
bool parseInt16(QStringView text, std::int16_t& out);
bool parseInt32(QStringView text, std::int32_t& out);

// Half-to-even rounding of a fraction to the nearest integer (2.5 -> 2, 3.5 -> 4).
std::int64_t roundHalfEven(double value);

// Files and the wire are Latin-1; characters outside it become '?'.
QByteArray toLatin1(const QString& text);
QString fromLatin1(const QByteArray& bytes);

// The first line of a text: everything before the first CR or LF.
QString firstLine(const QString& text);

// A colour given as a 24-bit value with red in the low byte (e.g. 65535 = yellow).
QColor colorFromBgr(std::uint32_t bgr);
// The same from its decimal text; unparsable text gives black.
QColor colorFromBgrText(const QString& decimal);

}  // namespace platform
