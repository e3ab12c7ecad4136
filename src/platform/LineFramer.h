#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace platform {

// Reassembles CR LF ended lines from a byte stream that the network may cut
// anywhere. Shared by the lobby client and the lobby server.
class LineFramer
{
public:
    // The longest line either side accepts, CR LF not counted.
    static constexpr qsizetype MaxLineBytes = 4096;

    explicit LineFramer(qsizetype maxLineBytes = MaxLineBytes);

    // Adds received bytes. Returns false once a line has grown past the
    // limit; the framer then keeps nothing more (the caller drops the peer).
    bool append(QByteArrayView bytes);

    // The next complete line without its CR LF, in arrival order.
    std::optional<QByteArray> takeLine();

    bool overflowed() const { return overflowed_; }
    qsizetype pendingBytes() const { return buffer_.size() - start_; }
    void clear();

private:
    qsizetype maxLineBytes_;
    QByteArray buffer_;
    qsizetype start_ = 0;    // first byte not yet handed out
    qsizetype scanned_ = 0;  // bytes from start_ known to hold no CR LF
    bool overflowed_ = false;
};

// "KEYWORD" + payload + CR LF, as both sides write it.
QByteArray frameLine(QByteArrayView line);

} // namespace platform
