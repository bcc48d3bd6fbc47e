#pragma once

#include <string>
#include <vector>

#include "phone/Telephony.h"

// A telephony that records every call request instead of handing it to the
// desktop; whether a dialer program exists is the test's choice.
class TRecordingTelephony : public ITelephony {
public:
    struct Call {
        std::string link;
        std::string calledParty;
    };

    explicit TRecordingTelephony(bool canCall = true) : canCall_(canCall) {}

    bool CanCall() override { return canCall_; }
    void RequestMakeCall(const std::string& telLink, const std::string& calledParty) override {
        calls.push_back({telLink, calledParty});
    }

    std::vector<Call> calls;

private:
    bool canCall_;
};
