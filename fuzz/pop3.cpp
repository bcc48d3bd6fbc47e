// Arbitrary server answers to a whole POP3 check: the client never crashes,
// fails only with the transport's three exceptions, and keeps only complete
// messages: every download file ends with the end-of-data line.
#include "transport/POP3.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzNet.h"
#include "QuietParts.h"
#include "common/Clock.h"
#include "common/EventPump.h"
#include "common/FileUtil.h"
#include "config/IniFile.h"
#include "transport/CanceledError.h"
#include "transport/MailError.h"
#include "transport/PasswordPrompt.h"
#include "transport/SocketFactory.h"
#include "transport/TimedOutError.h"

namespace {

using fuzznet::TFuzzNet;

struct TQuiet : TQuietDisplay, IPasswordPrompt {
    int asked = 0;
    bool Ask(const std::string&, std::string& user, std::string& password) override {
        if (++asked > 3) return false;
        user = "u";
        password = "p";
        return true;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string folder = "/tmp/skfp-fuzz-pop3-" + std::to_string(::getpid()) + "/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    fileutil::WriteAtomically(folder + "Internet.fmt", "{\\rtf1 }");
    TFuzzNet net(data, size);
    TTicking time;
    TQuiet quiet;
    TIniFile config(folder + "Internet.ini");
    TPOP3 pop({net, time, time, quiet, quiet}, quiet);
    pop.Server = "127.0.0.1";
    pop.UserName = "u";
    pop.Password = "p";
    pop.TimeOut = 3;
    try {
        bool gotNew = false;
        pop.Connect();
        pop.Login();
        pop.Stat();
        if (pop.MessageCount() > 0) pop.Retrieve("F", folder, config, gotNew);
        pop.Logout();
    } catch (const EMailError&) {
    } catch (const ECanceledError&) {
    } catch (const ETimedOutError&) {
    }
    for (const auto& path : pop.Downloaded()) {
        const auto content = fileutil::ReadAll(path);
        if (!content || !(content->ends_with("\r\n.\r\n") || *content == ".\r\n")) std::abort();
    }
    return 0;
}
