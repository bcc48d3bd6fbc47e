#pragma once

#include <thread>

#include "common/EventPump.h"

// The event pump of programs without an event loop: a pump is a short pause.
// The thread that creates it counts as its pump thread.
class TSleepPump : public IEventPump {
public:
    TSleepPump() : owner_(std::this_thread::get_id()) {}
    void Pump() override;
    bool IsPumpThread() const override { return std::this_thread::get_id() == owner_; }

private:
    std::thread::id owner_;
};
