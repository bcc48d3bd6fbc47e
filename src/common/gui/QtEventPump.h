#pragma once

#include "common/EventPump.h"

// Lets Qt process pending events while an operation waits on the main thread.
class TQtEventPump : public IEventPump {
public:
    void Pump() override;
    bool IsPumpThread() const override;
};
