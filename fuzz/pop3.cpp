// Arbitrary server answers to a whole POP3 check: the client never crashes,
// fails only with the transport's three exceptions, and keeps only complete
// messages: every download file ends with the end-of-data line.
#include "transport/POP3.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

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

// The input, as pieces of one receive each: a length byte, then that many bytes.
class TFuzzSocket : public ISocket {
public:
    TFuzzSocket(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool StartConnect(std::uint32_t, std::uint16_t) override { return true; }
    int ConnectResult() override { return 0; }
    unsigned Wait(unsigned wanted, int) override { return wanted & (kReadable | kWritable); }
    long Receive(char* buffer, std::size_t size) override {
        if (pos_ >= size_) return 0;
        const std::size_t length = data_[pos_++];
        std::size_t n = std::min<std::size_t>(length, size_ - pos_);
        if (n == 0) return kWouldBlock;
        n = std::min(n, size);
        std::copy(data_ + pos_, data_ + pos_ + n, buffer);
        pos_ += n;
        return static_cast<long>(n);
    }
    long Send(const char*, std::size_t size) override { return static_cast<long>(size); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class TFuzzNet : public ISocketFactory {
public:
    TFuzzNet(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::unique_ptr<IHostLookup> LookupHost(const std::string&) override { return nullptr; }
    std::optional<std::uint16_t> LookupService(const std::string&) override { return 110; }
    std::unique_ptr<ISocket> Open(const TEndpoint&) override { return std::make_unique<TFuzzSocket>(data_, size_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

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
