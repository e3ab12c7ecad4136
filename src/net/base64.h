#pragma once
// Base64 (standard alphabet, "=" padding) for strings and files. Strings go
// through the 8-bit code page (Latin-1), so any byte survives a round trip.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class base64
{
public:
    // Fills the tables, so coding needs one look-up per output byte.
    base64();

    // Empty input gives "", and so does text too short to hold a group.
    QString Encode(const QString& Text) const;
    QString Decode(const QString& Text) const;

    // The file operations return false (or nothing) when a file cannot be read
    // or written; the output is then left as it was. Output goes to a temporary
    // file renamed over OutPath, so InPath may equal OutPath.
    [[nodiscard]] bool DecodeToFile(const QString& Text, const QString& Path) const;
    [[nodiscard]] bool DecodeFile(const QString& InPath, const QString& OutPath) const;
    [[nodiscard]] std::optional<QString> EncodeFromFile(const QString& Path) const;
    [[nodiscard]] bool EncodeFile(const QString& InPath, const QString& OutPath) const;

private:
    QByteArray EncodeBytes(const QByteArray& bytes) const;
    QByteArray DecodeBytes(const QByteArray& text) const;

    // The coders proper, over a QByteArray's bytes or over a QString's UTF-16
    // read through the code page, so strings need no conversion pass of their own.
    template <typename Buffer>
    Buffer encoded(const Buffer& input) const;
    template <typename Buffer>
    Buffer decoded(const Buffer& text) const;

    using Table256 = std::array<std::uint8_t, 256>;
    using Table512 = std::array<std::uint8_t, 512>;

    // Encoding: each table yields one output character from bits still in place.
    std::array<std::uint8_t, 64> alphabet_{};
    Table256 firstChar_{};   // [b0 & 0xFC]
    Table256 secondChar_{};  // [(b1 & 0xF0) | (b0 & 0x03)]
    Table256 thirdChar_{};   // [(b2 & 0xC0) | (b1 & 0x0F)]

    // Decoding: characters outside the alphabet are worth 0.
    Table256 reverse_{};     // value(c)
    Table256 firstByte_{};   // value(c) << 2
    Table512 secondByte_{};  // value(c) >> 4; at 256 + c: (value(c) & 15) << 4
    Table512 thirdByte_{};   // value(c) >> 2; at 256 + c: (value(c) & 3) << 6
};
