#pragma once

#include <string>

// Shows a web page to the user: the desktop's browser in the client; the
// tool runs $BROWSER or xdg-open and prints the address; tests fetch it.
class IBrowser {
public:
    virtual ~IBrowser() = default;
    // False when no browser could be started.
    virtual bool Open(const std::string& url) = 0;
};
