#include <iostream>

#include "ConsoleDisplay.h"
#include "Tool.h"
#include "common/Clock.h"
#include "common/Windows1252.h"
#include "mail/SettingsFinder.h"
#include "transport/PosixSocketFactory.h"

namespace {

void PrintServer(const char* label, const TServerSettings& server, const std::string& source) {
    if (server.Empty()) {
        std::cout << label << "\tnone\n";
        return;
    }
    std::cout << label << '\t' << server.host << '\t' << server.port << '\t' << security::Name(server.security) << '\t'
              << source << '\n';
}

}  // namespace

int DetectAccountSettings(TToolContext& ctx, const std::string& address) {
    TPosixSocketFactory net;
    TSystemClock clock;
    TConsoleDisplay display;
    const TMailEnv env{net, ctx.pump, clock, ctx.prompt, display, false};
    TSettingsFinder finder(env);
    finder.stepTaken = [](const std::string& step) { std::cerr << "# " << cp1252::ToUtf8(step) << '\n'; };
    const TFoundSettings found = finder.Find(FromArg(address));
    if (!found.provider.empty()) std::cout << "provider\t" << found.provider << '\n';
    PrintServer("pop", found.pop, found.popSource);
    PrintServer("smtp", found.smtp, found.smtpSource);
    if (!found.Found()) return kExitFailed;
    std::cout << "user\t" << cp1252::ToUtf8(found.userName) << '\n'
              << "sign-in\t" << signin::Name(found.signIn) << '\n';
    if (!found.note.empty()) std::cout << "note\t" << found.note << '\n';
    return kExitOk;
}
