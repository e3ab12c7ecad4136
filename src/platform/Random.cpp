#include "platform/Random.h"

#include <chrono>

namespace platform {

namespace {

std::uint64_t clockSeed()
{
    return static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

}  // namespace

SystemRandom::SystemRandom()
    : engine_(clockSeed())
{
}

double SystemRandom::next()
{
    // The top 53 bits as a fraction: exactly uniform and never 1.0.
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

void SystemRandom::reseedFromClock()
{
    engine_.seed(clockSeed());
}

double ScriptedRandom::next()
{
    if (!values_.empty()) {
        last_ = values_.front();
        values_.pop_front();
    }
    return last_;
}

}  // namespace platform
