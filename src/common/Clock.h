#pragma once

#include <ctime>

// Where "now" comes from, so that dates and time-outs can be tested.
class IClock {
public:
    virtual ~IClock() = default;
    virtual std::time_t Now() const = 0;
};

class TSystemClock : public IClock {
public:
    std::time_t Now() const override { return std::time(nullptr); }
};
