#include "incoming/DownloadFile.h"

#include <cstdio>

TDownloadFile::~TDownloadFile() {
    if (stored_ && !failed_ && !path_.empty()) std::remove(path_.c_str());
}
