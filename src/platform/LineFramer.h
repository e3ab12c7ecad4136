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

    // What becomes of a line past the limit.
    enum class Overlong {
        Fail,  // the framer stops taking bytes; the caller drops the peer
        Skip,  // the line is dropped up to its CR LF and the lines after it go on
    };

    explicit LineFramer(qsizetype maxLineBytes = MaxLineBytes, Overlong overlong = Overlong::Fail);

    // Adds received bytes. Returns false once a line has grown past the
    // limit under Fail; the framer then keeps nothing more (the caller drops
    // the peer). Under Skip it always returns true.
    bool append(QByteArrayView bytes);

    // The next complete line without its CR LF, in arrival order.
    std::optional<QByteArray> takeLine();

    bool overflowed() const { return overflowed_; }
    qsizetype pendingBytes() const { return buffer_.size() - start_; }
    void clear();

private:
    // Under Skip: the bytes after the end of the line being dropped, or none
    // while it goes on.
    QByteArrayView skipRest(QByteArrayView bytes);
    void fail();

    qsizetype maxLineBytes_;
    Overlong overlong_;
    QByteArray buffer_;
    qsizetype start_ = 0;    // first byte not yet handed out
    qsizetype scanned_ = 0;  // bytes from start_ known to hold no CR LF
    bool overflowed_ = false;
    bool skipping_ = false;  // inside a line past the limit, its start already dropped
    bool skippedCR_ = false; // and the last byte dropped was a CR
};

// "KEYWORD" + payload + CR LF, as both sides write it.
QByteArray frameLine(QByteArrayView line);

} // namespace platform
