// Arbitrary bytes as a mailbox's index and message file: loading never
// crashes, every record can be saved again, read back whole, and compacted.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "QuietParts.h"
#include "common/FileUtil.h"
#include "common/SleepPump.h"
#include "config/IniFile.h"
#include "store/MailStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string folder = "/tmp/skfp-fuzz-mailbox-" + std::to_string(::getpid()) + "/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first line is the message file, the rest the index.
    const auto split = input.find('\n');
    const std::string_view body = input.substr(0, split == std::string_view::npos ? input.size() : split);
    const std::string_view index = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
    fileutil::WriteAtomically(folder + "Box.msg", body);
    fileutil::WriteAtomically(folder + "Box.Mbx", index);
    {
        TQuietPrompt prompt;
        TSleepPump pump;
        TIniFile config(folder + "Internet.ini");
        TMailStore store(folder, config, prompt, pump);
        store.LoadMailbox("Box");
        for (int h = 0; h < store.Headers().Length() && h < 64; ++h) {
            const THeaderItem* item = store.Headers().At(h);
            std::string old;
            store.Files().ReadBody(*item, old);
            const std::string fresh = "body " + std::to_string(h);
            if (!store.RewriteBody(h, fresh)) continue;
            std::string back;
            if (!store.Files().ReadBody(*item, back) || back != fresh) std::abort();
        }
        store.Compact("Box");
    }
    std::filesystem::remove_all(folder);
    return 0;
}
