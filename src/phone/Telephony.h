#pragma once

#include <string>

// The desktop's assisted telephony: a call request handed to the user's
// dialer program. Texts are Windows-1252, as the address book keeps them.
class ITelephony {
public:
    // The tip of a dial button that cannot dial, saying why.
    static constexpr const char* kNoDialerTip =
        "No program on this desktop places calls (none handles tel: links), so numbers cannot be dialed from here.";

    virtual ~ITelephony() = default;
    // Whether a dialer program takes call requests; decided once per run.
    virtual bool CanCall() = 0;
    // Hands the link to the dialer program; the called party's name goes
    // with it where the dialer can take one. What the dialer makes of the
    // request is its own affair.
    virtual void RequestMakeCall(const std::string& telLink, const std::string& calledParty) = 0;
};
