#include "common/BusyFlag.h"

#include <chrono>
#include <thread>

#include "common/EventPump.h"

void TBusyFlag::Take(IEventPump& pump) {
    while (!TryTake()) {
        if (pump.IsPumpThread())
            pump.Pump();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
