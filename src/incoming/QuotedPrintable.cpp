#include "incoming/QuotedPrintable.h"

#include <cstdio>

#include "common/AppTitle.h"
#include "common/FileUtil.h"
#include "common/UserPrompt.h"
#include "incoming/LineReader.h"

namespace quotedprintable {

namespace {

int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

bool DecodeLine(std::string_view line, std::string& out) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    bool soft = false;
    if (!line.empty() && line.back() == '=') {
        soft = true;
        line.remove_suffix(1);
    }
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '=' && i + 2 < line.size() + 0 && Hex(line[i + 1]) >= 0 && Hex(line[i + 2]) >= 0) {
            out += static_cast<char>(Hex(line[i + 1]) * 16 + Hex(line[i + 2]));
            i += 2;
        } else {
            out += line[i];
        }
    }
    return soft;
}

std::vector<std::string> DecodeLines(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    std::string current;
    bool open = false;
    for (const auto& line : lines) {
        open = DecodeLine(line, current);
        if (!open) {
            out.push_back(std::move(current));
            current.clear();
        }
    }
    if (open) out.push_back(std::move(current));
    return out;
}

bool DecodeFile(const std::string& path, IUserPrompt& prompt) {
    const std::string backup = path + ".bak";
    const auto fail = [&] {
        const auto slash = path.rfind('/');
        prompt.Error(std::string(kAppTitle) + " could not decode attachment " +
                     (slash == std::string::npos ? path : path.substr(slash + 1)) + ".");
        return false;
    };
    TLineReader in(path);
    std::FILE* out = std::fopen(backup.c_str(), "wb");
    if (!in.IsOpen() || !out) {
        if (out) std::fclose(out);
        return fail();
    }
    // The hard line breaks of the text are CR LF; the last line of the file
    // has none, since the line end before a boundary belongs to the boundary.
    std::string line, logical;
    bool ok = true, first = true;
    while (ok && in.Next(line)) {
        const bool soft = DecodeLine(line, logical);
        if (soft) continue;
        if (!first) ok = std::fwrite("\r\n", 1, 2, out) == 2;
        ok = ok && std::fwrite(logical.data(), 1, logical.size(), out) == logical.size();
        logical.clear();
        first = false;
    }
    if (ok && !logical.empty()) {
        if (!first) ok = std::fwrite("\r\n", 1, 2, out) == 2;
        ok = ok && std::fwrite(logical.data(), 1, logical.size(), out) == logical.size();
    }
    ok = ok && !in.Failed();
    ok = (std::fflush(out) == 0) && ok;
    ok = (std::fclose(out) == 0) && ok;
    if (!ok || !fileutil::ReplaceWith(backup, path)) return fail();
    return true;
}

}  // namespace quotedprintable
