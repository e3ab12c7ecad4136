#include "platform/LineFramer.h"

namespace platform {

namespace {
constexpr QByteArrayView LineEnd("\r\n");
}

LineFramer::LineFramer(qsizetype maxLineBytes) : maxLineBytes_(maxLineBytes) {}

bool LineFramer::append(QByteArrayView bytes)
{
    if (overflowed_)
        return false;
    // Drop what was handed out before growing, so the buffer holds at most
    // one partial line plus one read.
    if (start_ > 0 && start_ >= buffer_.size() / 2) {
        buffer_.remove(0, start_);
        start_ = 0;
    }
    buffer_.append(bytes);
    // The partial line at the end must not pass the limit (CR LF not counted);
    // checked here so a peer cannot make us buffer without bound.
    const qsizetype lastEnd = buffer_.lastIndexOf(LineEnd);
    const qsizetype tailStart = lastEnd < start_ ? start_ : lastEnd + LineEnd.size();
    qsizetype tail = buffer_.size() - tailStart;
    if (tail > 0 && buffer_.endsWith('\r'))
        --tail;
    if (tail > maxLineBytes_) {
        overflowed_ = true;
        buffer_.clear();
        start_ = scanned_ = 0;
        return false;
    }
    return true;
}

std::optional<QByteArray> LineFramer::takeLine()
{
    // Resume the search one byte back: a CR may have ended the last read.
    const qsizetype from = start_ + (scanned_ > 0 ? scanned_ - 1 : 0);
    const qsizetype end = buffer_.indexOf(LineEnd, from);
    if (end < 0) {
        scanned_ = buffer_.size() - start_;
        return std::nullopt;
    }
    if (end - start_ > maxLineBytes_) {
        // A complete line that arrived in one read past the limit.
        overflowed_ = true;
        buffer_.clear();
        start_ = scanned_ = 0;
        return std::nullopt;
    }
    QByteArray line = buffer_.mid(start_, end - start_);
    start_ = end + LineEnd.size();
    scanned_ = 0;
    if (start_ == buffer_.size()) {
        buffer_.clear();
        start_ = 0;
    }
    return line;
}

void LineFramer::clear()
{
    buffer_.clear();
    start_ = scanned_ = 0;
    overflowed_ = false;
}

QByteArray frameLine(QByteArrayView line)
{
    QByteArray out;
    out.reserve(line.size() + LineEnd.size());
    out.append(line);
    out.append(LineEnd);
    return out;
}

} // namespace platform
