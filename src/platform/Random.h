#pragma once
#include <deque>
#include <random>

namespace platform {

// The program's one source of chance: uniform numbers in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
    virtual void reseedFromClock() = 0;
};

class SystemRandom final : public RandomSource {
public:
    SystemRandom();
    double next() override;
    void reseedFromClock() override;
private:
    std::mt19937_64 engine_;
};

// Plays back the numbers it was given, then repeats the last (0 when given none).
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::deque<double> values = {}) : values_(std::move(values)) {}
    void push(double v) { values_.push_back(v); }
    double next() override;
    void reseedFromClock() override {}
private:
    std::deque<double> values_;
    double last_ = 0.0;
};

}  // namespace platform
