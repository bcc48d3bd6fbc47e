#include "common/BusyFlag.h"

#include <cassert>
#include <chrono>

#include "common/EventPump.h"

bool TBusyFlag::Take(IEventPump& pump) {
    while (!TryTake()) {
        if (HeldByThisThread()) {
            assert(!"a busy flag taken again by the thread that holds it");
            return false;
        }
        if (pump.IsPumpThread())
            pump.Pump();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
