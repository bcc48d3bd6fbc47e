#include "incoming/MimeTypes.h"

#include <fstream>
#include <sstream>

#include "common/TextUtil.h"

namespace mimetypes {

std::string ContentTypeOf(std::string_view fileName, const std::string& table) {
    const auto slash = fileName.find_last_of("/\\");
    const std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const auto dot = base.rfind('.');
    if (dot == std::string_view::npos || dot + 1 >= base.size()) return kDefaultType;
    const std::string ext = text::ToLowerAscii(base.substr(dot + 1));
    std::ifstream in(table);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string type, word;
        if (!(words >> type)) continue;
        while (words >> word)
            if (text::ToLowerAscii(word) == ext) return type;
    }
    return kDefaultType;
}

}  // namespace mimetypes
