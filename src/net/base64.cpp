// Base64 with every shift done once, in the tables: coding a group is four
// look-ups and ORs, which keeps both directions well above disk speed.

#include "net/base64.h"

#include <QFile>
#include <QSaveFile>

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint8_t Pad = '=';
constexpr qsizetype GroupBytes = 3;
constexpr qsizetype GroupChars = 4;
// The second half of the two-part byte tables.
constexpr int Low = 256;

// One unit of input as a byte of the 8-bit code page: text outside it is '?'.
constexpr std::uint8_t codeByte(std::uint8_t c) { return c; }
constexpr std::uint8_t codeByte(char16_t c) { return c <= 0xFF ? static_cast<std::uint8_t>(c) : '?'; }

const std::uint8_t* units(const QByteArray& bytes) { return reinterpret_cast<const std::uint8_t*>(bytes.constData()); }
std::uint8_t* units(QByteArray& bytes) { return reinterpret_cast<std::uint8_t*>(bytes.data()); }
const char16_t* units(const QString& text) { return reinterpret_cast<const char16_t*>(text.constData()); }
char16_t* units(QString& text) { return reinterpret_cast<char16_t*>(text.data()); }

std::optional<QByteArray> readWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// Through a temporary file, so a failed write (or reading and writing the
// same file) never loses what was there. Unbuffered, because a buffered
// QSaveFile commits a short write (a full disk) as if it had succeeded.
bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

template <typename Codec>
bool convertFile(const QString& inPath, const QString& outPath, Codec codec)
{
    const std::optional<QByteArray> input = readWhole(inPath);
    return input && writeWhole(outPath, codec(*input));
}

}  // namespace

base64::base64()
{
    for (int v = 0; v < 64; ++v) {
        alphabet_[v] = static_cast<std::uint8_t>(Alphabet[v]);
        reverse_[alphabet_[v]] = static_cast<std::uint8_t>(v);
    }
    for (int i = 0; i < 256; ++i) {
        firstChar_[i] = alphabet_[i >> 2];
        secondChar_[i] = alphabet_[((i & 0x03) << 4) | (i >> 4)];
        thirdChar_[i] = alphabet_[((i & 0x0F) << 2) | (i >> 6)];

        const int v = reverse_[i];
        firstByte_[i] = static_cast<std::uint8_t>(v << 2);
        secondByte_[i] = static_cast<std::uint8_t>(v >> 4);
        secondByte_[Low + i] = static_cast<std::uint8_t>((v & 0x0F) << 4);
        thirdByte_[i] = static_cast<std::uint8_t>(v >> 2);
        thirdByte_[Low + i] = static_cast<std::uint8_t>((v & 0x03) << 6);
    }
}

template <typename Buffer>
Buffer base64::encoded(const Buffer& input) const
{
    const qsizetype n = input.size();
    Buffer out((n + GroupBytes - 1) / GroupBytes * GroupChars, Qt::Uninitialized);
    const auto* in = units(input);
    auto* o = units(out);
    const qsizetype whole = n - n % GroupBytes;
    for (qsizetype i = 0; i < whole; i += GroupBytes, o += GroupChars) {
        const std::uint8_t b0 = codeByte(in[i]), b1 = codeByte(in[i + 1]), b2 = codeByte(in[i + 2]);
        o[0] = firstChar_[b0 & 0xFC];
        o[1] = secondChar_[(b1 & 0xF0) | (b0 & 0x03)];
        o[2] = thirdChar_[(b2 & 0xC0) | (b1 & 0x0F)];
        o[3] = alphabet_[b2 & 0x3F];
    }
    if (const qsizetype left = n - whole) {
        const std::uint8_t b0 = codeByte(in[whole]), b1 = left == 2 ? codeByte(in[whole + 1]) : 0;
        o[0] = firstChar_[b0 & 0xFC];
        o[1] = secondChar_[(b1 & 0xF0) | (b0 & 0x03)];
        o[2] = left == 2 ? thirdChar_[b1 & 0x0F] : Pad;
        o[3] = Pad;
    }
    return out;
}

// Line breaks count only where a group would start; anything else outside the
// alphabet, "=" included, is worth 0. A group ending in "=" or "==" gives two
// or one byte and decoding goes on, so joined texts give joined bytes. A
// trailing group of fewer than four characters is dropped.
template <typename Buffer>
Buffer base64::decoded(const Buffer& text) const
{
    const qsizetype n = text.size();
    Buffer out(n / GroupChars * GroupBytes, Qt::Uninitialized);
    const auto* in = units(text);
    auto* const begin = units(out);
    auto* o = begin;
    qsizetype pos = 0;
    while (n - pos >= GroupChars) {
        const std::uint8_t c0 = codeByte(in[pos]);
        if (c0 == '\r' || c0 == '\n') {
            ++pos;
            continue;
        }
        const std::uint8_t c1 = codeByte(in[pos + 1]), c2 = codeByte(in[pos + 2]), c3 = codeByte(in[pos + 3]);
        // All three are written; `out` holds room for three per four characters.
        o[0] = firstByte_[c0] | secondByte_[c1];
        o[1] = secondByte_[Low + c1] | thirdByte_[c2];
        o[2] = thirdByte_[Low + c2] | reverse_[c3];
        o += c3 != Pad ? 3 : c2 != Pad ? 2 : 1;
        pos += GroupChars;
    }
    out.truncate(o - begin);
    return out;
}

QByteArray base64::EncodeBytes(const QByteArray& bytes) const { return encoded(bytes); }
QByteArray base64::DecodeBytes(const QByteArray& text) const { return decoded(text); }

// Straight from the text's units to the result's: the characters are those
// of the code page's bytes, as if converted both ways.
QString base64::Encode(const QString& Text) const { return encoded(Text); }
QString base64::Decode(const QString& Text) const { return decoded(Text); }

bool base64::DecodeToFile(const QString& Text, const QString& Path) const
{
    return writeWhole(Path, DecodeBytes(Text.toLatin1()));
}

bool base64::DecodeFile(const QString& InPath, const QString& OutPath) const
{
    return convertFile(InPath, OutPath, [this](const QByteArray& text) { return DecodeBytes(text); });
}

std::optional<QString> base64::EncodeFromFile(const QString& Path) const
{
    const std::optional<QByteArray> input = readWhole(Path);
    if (!input)
        return std::nullopt;
    return QString::fromLatin1(EncodeBytes(*input));
}

bool base64::EncodeFile(const QString& InPath, const QString& OutPath) const
{
    return convertFile(InPath, OutPath, [this](const QByteArray& bytes) { return EncodeBytes(bytes); });
}
