#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>

// Where "now" comes from, so that dates and time-outs can be tested. Dates
// come from the wall clock; time-outs are measured on the monotonic clock,
// which no clock change or time-zone switch moves.
class IClock {
public:
    virtual ~IClock() = default;
    virtual std::time_t Now() const = 0;
    virtual std::int64_t MonotonicMs() const = 0;
};

class TSystemClock : public IClock {
public:
    std::time_t Now() const override { return std::time(nullptr); }
    std::int64_t MonotonicMs() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};
