// Arbitrary answers of a telnet proxy, then of the mail server behind it:
// the client asks the proxy to open the server, never crashes, fails only
// with the transport's three exceptions (a proxy that talks on without end
// included), and keeps the server it was given.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzNet.h"
#include "QuietParts.h"
#include "transport/CanceledError.h"
#include "transport/MailError.h"
#include "transport/POP3.h"
#include "transport/PasswordPrompt.h"
#include "transport/TimedOutError.h"

namespace {
struct TQuiet : TQuietDisplay, IPasswordPrompt {
    bool Ask(const std::string&, std::string&, std::string&) override { return false; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzznet::TFuzzNet net(data, size);
    TTicking time;
    TQuiet quiet;
    TPOP3 pop({net, time, time, quiet, quiet}, quiet);
    pop.Server = "10.0.0.5";
    pop.UseProxy = true;
    pop.ProxyServer = "127.0.0.1";
    pop.UserName = "u";
    pop.Password = "p";
    pop.TimeOut = 3;
    try {
        pop.Connect();
        pop.Login();
        pop.Stat();
        pop.Logout();
    } catch (const EMailError&) {
    } catch (const ECanceledError&) {
    } catch (const ETimedOutError&) {
    }
    if (pop.Server != "10.0.0.5") std::abort();
    return 0;
}
