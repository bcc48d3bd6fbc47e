#include "common/ListName.h"

#include <cstring>

#include "common/AppTitle.h"
#include "common/TextUtil.h"
#include "common/UserPrompt.h"

namespace listname {

namespace {
constexpr std::string_view kBreakers("\x01\x02\r\n", 4);
}

bool IsStorable(std::string_view name) {
    return !text::Trim(name).empty() && name.find_first_of(kBreakers) == std::string_view::npos;
}

bool CheckStorable(std::string_view name, std::string_view what, IUserPrompt& prompt) {
    if (IsStorable(name)) return true;
    const std::string reason = text::Trim(name).empty() ? "Reason: The name is empty."
                                                        : "Reason: The name holds a line break or a control character.";
    prompt.Error(std::string(kAppTitle) + " can not rename this " + std::string(what) + "." + "\n\r" + reason + "\n\r" +
                 "Fix: Choose another Alias.");
    return false;
}

std::string CleanField(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (const char c : value)
        if (kBreakers.find(c) == std::string_view::npos) out += c;
    return out;
}

std::vector<std::string> CleanLines(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (const auto& line : lines) out.push_back(CleanField(line));
    return out;
}

std::string SaveFailureText(std::string_view what, const std::string& path, int errorNumber) {
    return std::string(kAppTitle) + " could not save the " + std::string(what) + "." + "\n\r" +
           "Reason: " + std::strerror(errorNumber) + " (" + path + ")" + "\n\r" +
           "Fix: Make the data folder writable; the list keeps your change and is written with the next one.";
}

}  // namespace listname
