#pragma once

#include <stdlib.h>

#include <string>

// A new folder "/tmp/skfp-bench-NAME-XXXXXX/" (with its slash) for a
// benchmark's data; "/tmp/" when it cannot be made.
inline std::string BenchFolder(const std::string& name) {
    std::string pattern = "/tmp/skfp-bench-" + name + "-XXXXXX";
    const char* made = ::mkdtemp(pattern.data());
    return std::string(made ? made : "/tmp") + "/";
}
