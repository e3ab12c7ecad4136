#pragma once
// A flood limit: a burst of `capacity` lines, then `perSecond` lines a second.

#include <QtGlobal>
#include <algorithm>

namespace lobby {

class TokenBucket
{
public:
    TokenBucket(double capacity, double perSecond)
        : capacity_(capacity), perSecond_(perSecond), tokens_(capacity)
    {
    }

    // Takes one token at the given monotonic time; false when none is left.
    bool take(qint64 nowMs)
    {
        if (lastMs_ >= 0 && nowMs > lastMs_)
            tokens_ = std::min(capacity_, tokens_ + (nowMs - lastMs_) * perSecond_ / 1000.0);
        lastMs_ = std::max(lastMs_, nowMs);
        if (tokens_ < 1.0)
            return false;
        tokens_ -= 1.0;
        return true;
    }

private:
    double capacity_;
    double perSecond_;
    double tokens_;
    qint64 lastMs_ = -1;
};

}  // namespace lobby
