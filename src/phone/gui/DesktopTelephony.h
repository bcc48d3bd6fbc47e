#pragma once

#include <QString>
#include <optional>

#include "phone/Telephony.h"

// Calls through the desktop: a "tel:" link opened with QDesktopServices
// reaches whatever program the user chose for such links (a softphone, a
// paired mobile phone's bridge). Whether there is one is asked of xdg-mime
// at the first need and kept for the run.
class TDesktopTelephony : public ITelephony {
public:
    bool CanCall() override;
    void RequestMakeCall(const std::string& telLink, const std::string& calledParty) override;

    // The desktop file that handles "tel:" links, or an empty text.
    static QString Handler();

private:
    std::optional<bool> canCall_;
};
