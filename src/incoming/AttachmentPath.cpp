#include "incoming/AttachmentPath.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "common/Windows1252.h"

namespace attachmentpath {

namespace {

constexpr std::size_t kMaxNameBytes = 200;  // room for " (n)" within NAME_MAX

}  // namespace

std::string SafeName(std::string_view name) {
    const auto sep = name.find_last_of("/\\");
    if (sep != std::string_view::npos) name.remove_prefix(sep + 1);
    std::string clean;
    std::size_t pos = 0;
    while (pos < name.size()) {
        const std::size_t before = pos;
        auto cp = cp1252::DecodeUtf8(name, pos);
        if (!cp) cp = cp1252::ToUnicode(static_cast<unsigned char>(name[before]));
        // Controls (C0, DEL, C1) and the line and paragraph separators.
        if (*cp < 0x20 || *cp == 0x7F || (*cp >= 0x80 && *cp < 0xA0) || *cp == 0x2028 || *cp == 0x2029) continue;
        std::string one;
        cp1252::AppendUtf8(one, *cp);
        clean += one;
    }
    // Blanks at either end are invisible in a file name and easily lost.
    const auto b = clean.find_first_not_of(' ');
    clean = b == std::string::npos ? std::string() : clean.substr(b, clean.find_last_not_of(' ') - b + 1);
    if (clean.size() > kMaxNameBytes) {
        const auto dot = clean.rfind('.');
        std::string ext = (dot != std::string::npos && clean.size() - dot <= 16) ? clean.substr(dot) : "";
        std::size_t keep = kMaxNameBytes - ext.size();
        while (keep > 0 && (static_cast<unsigned char>(clean[keep]) & 0xC0) == 0x80) --keep;
        clean = clean.substr(0, keep) + ext;
    }
    if (clean.empty() || clean == "." || clean == "..") return "attachment";
    return clean;
}

std::string Unique(const std::string& folder, std::string_view name, int* next) {
    if (name.empty()) return {};
    const std::string nameText(name);
    const auto dot = nameText.rfind('.');
    const std::string base = (dot == std::string::npos || dot == 0) ? nameText : nameText.substr(0, dot);
    const std::string ext = (dot == std::string::npos || dot == 0) ? std::string() : nameText.substr(dot);
    for (int n = next ? std::max(*next, 1) : 1; n < 100000; ++n) {
        const std::string candidate = n == 1 ? folder + nameText : folder + base + " (" + std::to_string(n) + ")" + ext;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            if (next) *next = n + 1;
            return candidate;
        }
        if (errno != EEXIST) return {};
    }
    return {};
}

}  // namespace attachmentpath
