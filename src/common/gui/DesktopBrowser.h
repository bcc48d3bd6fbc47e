#pragma once

#include "common/Browser.h"

// The desktop's web browser (QDesktopServices).
class TDesktopBrowser : public IBrowser {
public:
    bool Open(const std::string& url) override;
};
