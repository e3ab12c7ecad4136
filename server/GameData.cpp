#include "GameData.h"

#include "Protocol.h"

namespace lobby {

QByteArrayView afterGameNumber(QByteArrayView gdata)
{
    qsizetype at = kw::GameData.size();
    while (at < gdata.size() && gdata[at] >= '0' && gdata[at] <= '9')
        ++at;
    return gdata.sliced(at);
}

std::optional<QByteArrayView> messageOf(QByteArrayView gdata)
{
    const QByteArrayView rest = afterGameNumber(gdata);
    if (!rest.startsWith(kw::PartsStart))
        return std::nullopt;
    return rest.sliced(kw::PartsStart.size());
}

QList<QByteArrayView> partsOf(QByteArrayView message)
{
    QList<QByteArrayView> parts;
    qsizetype from = 0;
    while (from <= message.size()) {
        qsizetype to = message.indexOf('@', from);
        if (to < 0)
            to = message.size();
        if (to > from)
            parts.append(message.sliced(from, to - from));
        from = to + 1;
    }
    return parts;
}

int numberAfter(QByteArrayView part, QByteArrayView keyword, qsizetype maxDigits)
{
    if (!part.startsWith(keyword))
        return -1;
    const QByteArrayView digits = part.sliced(keyword.size());
    return !digits.isEmpty() && digits.size() <= maxDigits && isDigits(digits) ? digits.toInt() : -1;
}

int seatAfter(QByteArrayView part, QByteArrayView keyword)
{
    const int seat = numberAfter(part, keyword, 1);
    return seat >= 1 && seat <= MaxGameMembers ? seat : -1;
}

bool carriesChat(QByteArrayView gdata)
{
    const auto message = messageOf(gdata);
    if (!message)
        return false;
    for (QByteArrayView part : partsOf(*message))
        if (part.startsWith(kw::Chat) || part.startsWith(kw::InChat))
            return true;
    return false;
}

}  // namespace lobby
