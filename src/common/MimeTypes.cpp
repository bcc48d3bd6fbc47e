#include "common/MimeTypes.h"

#include <sstream>

#include "common/FileUtil.h"
#include "common/TextUtil.h"

std::string TMimeTypes::TypeOf(std::string_view fileName) const {
    constexpr const char* kDefault = "application/octet-stream";
    const auto slash = fileName.rfind('/');
    const std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const auto dot = base.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == base.size()) return kDefault;
    const std::string extension = text::ToLowerAscii(base.substr(dot + 1));
    const auto table = fileutil::ReadAll(path_);
    if (!table) return kDefault;
    std::istringstream lines(*table);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string type, word;
        if (!(words >> type)) continue;
        while (words >> word)
            if (text::ToLowerAscii(word) == extension) return type;
    }
    return kDefault;
}
