#include "Protocol.h"

#include <algorithm>

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

namespace {

// A client skips a longer line, so a user's text that would not fit (a
// private message with "From <name>: " before it) is cut instead.
QByteArray framed(QByteArray head, QByteArrayView payload)
{
    head.append(payload);
    return platform::frameLine(QByteArrayView(head).first(std::min(head.size(), MaxLineBytes)));
}

}  // namespace

QByteArray line(QByteArrayView keyword, QByteArrayView payload)
{
    return framed(keyword.toByteArray(), payload);
}

QByteArray gameLine(int game, QByteArrayView keyword, QByteArrayView value)
{
    return framed(concat({kw::GameData, QByteArray::number(game), kw::PartsStart, keyword}), value);
}

QByteArray noteLine(QByteArrayView text)
{
    return line(kw::ChatMsg, text);
}

}  // namespace lobby
