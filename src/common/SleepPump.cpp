#include "common/SleepPump.h"

#include <chrono>

void TSleepPump::Pump() { std::this_thread::sleep_for(std::chrono::milliseconds(2)); }
