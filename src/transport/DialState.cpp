#include "transport/DialUp.h"

namespace dialstate {

std::string Text(int state) {
    static constexpr const char* kFirst[] = {"Opening port",
                                             "Port opened",
                                             "Connecting device",
                                             "Device connected",
                                             "All devices connected",
                                             "Start authenticating",
                                             "Authentication: notify",
                                             "Authentication: retry",
                                             "Authentication: callback",
                                             "Authentication: change password",
                                             "Authentication: projecting",
                                             "Authentication: link speed",
                                             "Authentication: acknowledge",
                                             "Authentication: reauthenticate",
                                             "Authenticated",
                                             "Preparing for callback",
                                             "Waiting for modem reset",
                                             "Waiting for callback",
                                             "Projected",
                                             "Start authentication",
                                             "Callback complete",
                                             "Logging on network"};
    static constexpr const char* kPaused[] = {"Interactive", "Retry Authentication", "Callback set by caller",
                                              "Password expired"};
    if (state >= 0 && state <= 21) return kFirst[state];
    if (state >= 4096 && state <= 4099) return kPaused[state - 4096];
    if (state == 8192) return "Connected";
    if (state == 8193) return "Disconnected";
    return "";
}

bool EndsDial(int state) { return state == 20 || state == 8192 || state == 8193; }

}  // namespace dialstate
