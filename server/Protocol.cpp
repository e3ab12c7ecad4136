#include "Protocol.h"

namespace lobby {

bool isValidUserName(QByteArrayView name)
{
    if (name.isEmpty() || name.size() > MaxNameBytes)
        return false;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

bool isDigits(QByteArrayView text)
{
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool isPrintable(QByteArrayView text)
{
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f)
            return false;
    }
    return true;
}

bool signedBy(QByteArrayView text, QByteArrayView name, QByteArrayView separator)
{
    return text.startsWith(name) && text.sliced(name.size()).startsWith(separator);
}

QString toText(QByteArrayView latin1)
{
    return QString::fromLatin1(latin1.data(), latin1.size());
}

QByteArray concat(std::initializer_list<QByteArrayView> pieces)
{
    QByteArray out;
    for (QByteArrayView piece : pieces)
        out.append(piece);
    return out;
}

QByteArray line(QByteArrayView keyword, QByteArrayView payload)
{
    QByteArray out;
    out.reserve(keyword.size() + payload.size() + 2);
    out.append(keyword).append(payload).append("\r\n");
    return out;
}

QByteArray gameLine(int game, QByteArrayView keyword, QByteArrayView value)
{
    QByteArray out = kw::GameData.toByteArray();
    out.append(QByteArray::number(game)).append(kw::PartsStart).append(keyword).append(value).append("\r\n");
    return out;
}

}  // namespace lobby
