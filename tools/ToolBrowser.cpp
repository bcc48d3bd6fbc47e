#include "ToolBrowser.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <iostream>
#include <string>

extern char** environ;

TToolBrowser::~TToolBrowser() {
    for (const pid_t pid : started_) ::waitpid(pid, nullptr, 0);
}

bool TToolBrowser::Open(const std::string& url) {
    std::cerr << "Sign in at: " << url << '\n';
    const char* browser = std::getenv("BROWSER");
    const std::string program = browser && *browser ? browser : "xdg-open";
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(url.c_str()), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
    started_.push_back(pid);
    return true;
}
