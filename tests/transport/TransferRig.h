#pragma once

#include "support/RecordingPrompt.h"
#include "support/ScriptedNetwork.h"
#include "support/TransferDoubles.h"
#include "transport/MailBase.h"

// Everything a client under test talks to.
struct TTransferRig {
    TScriptedNetwork net;
    TManualClock clock;
    TTickPump pump{clock};
    TRecordingPrompt prompt;
    TRecordingDisplay display;
    TMailEnv Env() { return {net, pump, clock, prompt, display}; }
};
