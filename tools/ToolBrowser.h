#pragma once

#include <sys/types.h>

#include <vector>

#include "common/Browser.h"

// The browser of the command line: the address on stderr, and the program
// $BROWSER names (else xdg-open) started with it, not waited for (it comes
// back to the program through the loopback listener). Reaped at the end.
class TToolBrowser : public IBrowser {
public:
    ~TToolBrowser() override;
    bool Open(const std::string& url) override;

private:
    std::vector<pid_t> started_;
};
