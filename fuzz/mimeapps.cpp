// An arbitrary mimeapps.list of the user's: registering the program makes
// it the "mailto:" handler as the desktop reads the file, whatever stood
// there before, and every line that named no mailto handler is kept.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/FileUtil.h"
#include "config/DesktopEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string root = "/tmp/skfp-fuzz-mimeapps-" + std::to_string(::getpid()) + "/";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root + "config");
    TDesktopEntries entries({root + "program/", root + "config/", root + "data/"});
    const std::string_view before(reinterpret_cast<const char*>(data), size);
    if (!fileutil::WriteAtomically(entries.MimeAppsPath(), before)) std::abort();
    if (!entries.Register(false)) std::abort();
    if (!entries.IsMailtoHandler()) std::abort();
    const auto after = fileutil::ReadAll(entries.MimeAppsPath());
    if (!after) std::abort();
    // Every line of the old file that does not mention the scheme is still there.
    std::size_t from = 0;
    for (std::size_t at = 0; at <= before.size();) {
        const auto lf = before.find('\n', at);
        const std::string_view line = before.substr(at, lf == std::string_view::npos ? std::string_view::npos : lf - at);
        if (line.find("mailto") == std::string_view::npos && !line.empty()) {
            const auto found = after->find(line, from);
            if (found == std::string::npos) std::abort();
            from = found + line.size();
        }
        if (lf == std::string_view::npos) break;
        at = lf + 1;
    }
    std::filesystem::remove_all(root);
    return 0;
}
