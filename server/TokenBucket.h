#pragma once
// A flood limit: a burst of `capacity` lines (or bytes), then `perSecond` a second.

#include <QtGlobal>
#include <algorithm>
#include <cmath>

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
        refill(nowMs);
        if (tokens_ < 1.0)
            return false;
        tokens_ -= 1.0;
        return true;
    }

    // Takes `amount` however much is left: the bucket then owes the rest,
    // which the rate pays back before take() succeeds again.
    void spend(qint64 nowMs, double amount)
    {
        refill(nowMs);
        tokens_ -= amount;
    }
    bool owes() const { return tokens_ < 0.0; }
    // Milliseconds from the last take or spend until `amount` is left.
    qint64 msUntil(double amount) const
    {
        return tokens_ >= amount ? 0 : qint64(std::ceil((amount - tokens_) * 1000.0 / perSecond_));
    }

private:
    void refill(qint64 nowMs)
    {
        if (lastMs_ >= 0 && nowMs > lastMs_)
            tokens_ = std::min(capacity_, tokens_ + (nowMs - lastMs_) * perSecond_ / 1000.0);
        lastMs_ = std::max(lastMs_, nowMs);
    }

    double capacity_;
    double perSecond_;
    double tokens_;
    qint64 lastMs_ = -1;
};

}  // namespace lobby
