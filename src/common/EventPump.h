#pragma once

// Lets the user interface run while an operation waits (for a server, a busy
// flag, a dial-up connection). The client processes pending Qt events; the
// tool and the tests merely pause a few milliseconds.
class IEventPump {
public:
    virtual ~IEventPump() = default;
    // Processes pending events once, or pauses briefly when there are none.
    virtual void Pump() = 0;
    // True on the thread whose events Pump() processes. Waiters on other
    // threads must not pump; they sleep instead.
    virtual bool IsPumpThread() const = 0;
};
