#pragma once

#include <string>
#include <vector>

// The files of one drop from the desktop: full paths, names without folder,
// and extensions (everything after the first dot of the name, so
// "report.tar.gz" has "tar.gz").
struct TDroppedFiles {
    std::vector<std::string> NameWithPath;
    std::vector<std::string> NameOnly;
    std::vector<std::string> Extension;
    int FileCount = 0;

    static TDroppedFiles FromPaths(const std::vector<std::string>& paths);
};
