// Arbitrary bytes as a configuration file: reads, writes and removals must
// neither crash nor lose the lines they do not touch.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "common/FileUtil.h"
#include "config/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        std::string p = "/tmp/skfp-fuzz-ini-" + std::to_string(::getpid()) + ".ini";
        return p;
    }();
    const std::string input(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << input;
    }
    TIniFile ini(path);
    (void)ini.ReadString("Control Center", "Top", "d");
    (void)ini.ReadInteger("Pop Settings", "Interval", 0);
    (void)ini.ReadBool("Proxy Server", "Use", false);
    (void)ini.ReadKeys("Mail Boxes");
    ini.WriteInteger("Control Center", "Top", 12);
    if (ini.ReadInteger("Control Center", "Top", 0) != 12) std::abort();
    const auto keys = ini.ReadKeys("Control Center").size();
    ini.DeleteKey("Control Center", "Top");
    if (ini.ReadKeys("Control Center").size() != keys - 1) std::abort();  // exactly one line goes
    return 0;
}
