#include "compose/DroppedFiles.h"

TDroppedFiles TDroppedFiles::FromPaths(const std::vector<std::string>& paths) {
    TDroppedFiles d;
    d.FileCount = static_cast<int>(paths.size());
    for (const auto& path : paths) {
        const auto slash = path.rfind('/');
        std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        const auto dot = name.find('.');
        d.NameWithPath.push_back(path);
        d.Extension.push_back(dot == std::string::npos ? std::string() : name.substr(dot + 1));
        d.NameOnly.push_back(std::move(name));
    }
    return d;
}
