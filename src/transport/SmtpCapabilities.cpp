#include "transport/SmtpCapabilities.h"

#include <algorithm>

#include "common/TextUtil.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view NextWord(std::string_view& rest) {
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    std::size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

}  // namespace

TSmtpCapabilities TSmtpCapabilities::Parse(const std::vector<std::string>& lines) {
    TSmtpCapabilities caps;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        // "250-" or "250 " before the extension; a line without a code is
        // no part of the reply.
        if (line.size() < 4 || !line.starts_with("250") || (line[3] != '-' && line[3] != ' ')) continue;
        line.remove_prefix(4);
        std::string_view keyword = NextWord(line);
        // Older servers wrote "AUTH=PLAIN LOGIN" beside the standard form.
        std::string_view params = line;
        if (const auto eq = keyword.find('='); eq != std::string_view::npos) {
            params = keyword.substr(eq + 1);
            keyword = keyword.substr(0, eq);
            caps.AddMechanisms(params);
            params = line;
        }
        const std::string upper = text::ToUpperAscii(std::string(keyword));
        if (upper == "STARTTLS")
            caps.startTls_ = true;
        else if (upper == "AUTH")
            caps.AddMechanisms(params);
    }
    return caps;
}

void TSmtpCapabilities::AddMechanisms(std::string_view list) {
    for (;;) {
        const std::string_view word = NextWord(list);
        if (word.empty()) return;
        std::string upper = text::ToUpperAscii(std::string(word));
        if (std::find(auth_.begin(), auth_.end(), upper) == auth_.end()) auth_.push_back(std::move(upper));
    }
}

bool TSmtpCapabilities::Offers(std::string_view mechanism) const {
    return std::find(auth_.begin(), auth_.end(), mechanism) != auth_.end();
}
