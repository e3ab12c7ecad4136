#pragma once
#include <QElapsedTimer>
#include <cstdint>

namespace platform {

// A monotonic millisecond tick that never wraps.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
};

class SystemClock final : public Clock {
public:
    SystemClock() { timer_.start(); }
    std::int64_t nowMs() const override { return timer_.elapsed(); }
private:
    QElapsedTimer timer_;
};

// A clock that moves only when told to; for tests and benchmarks.
class ManualClock final : public Clock {
public:
    std::int64_t nowMs() const override { return now_; }
    void advance(std::int64_t ms) { now_ += ms; }
private:
    std::int64_t now_ = 0;
};

}  // namespace platform
