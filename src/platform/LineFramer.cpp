#include "platform/LineFramer.h"

namespace platform {

namespace {
constexpr QByteArrayView LineEnd("\r\n");
}

LineFramer::LineFramer(qsizetype maxLineBytes, Overlong overlong)
    : maxLineBytes_(maxLineBytes), overlong_(overlong)
{
}

bool LineFramer::append(QByteArrayView bytes)
{
    if (overflowed_)
        return false;
    if (skipping_) {
        bytes = skipRest(bytes);
        if (skipping_)
            return true;
    }
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
        if (overlong_ == Overlong::Fail) {
            fail();
            return false;
        }
        // The complete lines before it stay; the rest of it is dropped as it comes.
        skipping_ = true;
        skippedCR_ = buffer_.endsWith('\r');
        buffer_.truncate(tailStart);
        scanned_ = 0;
    }
    return true;
}

QByteArrayView LineFramer::skipRest(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return bytes;
    // The CR that ended the last read and the LF that begins this one.
    if (skippedCR_ && bytes.front() == '\n') {
        skipping_ = skippedCR_ = false;
        return bytes.sliced(1);
    }
    const qsizetype end = bytes.indexOf(LineEnd);
    if (end < 0) {
        skippedCR_ = bytes.back() == '\r';
        return {};
    }
    skipping_ = skippedCR_ = false;
    return bytes.sliced(end + LineEnd.size());
}

std::optional<QByteArray> LineFramer::takeLine()
{
    for (;;) {
        // Resume the search one byte back: a CR may have ended the last read.
        const qsizetype from = start_ + (scanned_ > 0 ? scanned_ - 1 : 0);
        const qsizetype end = buffer_.indexOf(LineEnd, from);
        if (end < 0) {
            scanned_ = buffer_.size() - start_;
            return std::nullopt;
        }
        // A complete line that arrived in one read past the limit.
        const bool overlong = end - start_ > maxLineBytes_;
        if (overlong && overlong_ == Overlong::Fail) {
            fail();
            return std::nullopt;
        }
        std::optional<QByteArray> line;
        if (!overlong)
            line = buffer_.mid(start_, end - start_);
        start_ = end + LineEnd.size();
        scanned_ = 0;
        if (start_ == buffer_.size()) {
            buffer_.clear();
            start_ = 0;
        }
        if (line)
            return line;
    }
}

void LineFramer::fail()
{
    overflowed_ = true;
    buffer_.clear();
    start_ = scanned_ = 0;
}

void LineFramer::clear()
{
    buffer_.clear();
    start_ = scanned_ = 0;
    overflowed_ = skipping_ = skippedCR_ = false;
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
