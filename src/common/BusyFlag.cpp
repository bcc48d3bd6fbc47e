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
        // A flag held by no thread in particular is being settled on
        // another thread, which needs nothing from this one: the wait is
        // short and sure to end, so it is waited out without letting
        // commands in (they could want a flag this thread holds).
        if (pump.IsPumpThread() && !Disowned())
            pump.Pump();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
