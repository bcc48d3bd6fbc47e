#pragma once

#include <optional>
#include <string>

// Sets an environment variable for one test and puts back what was there.
class TScopedEnv {
public:
    TScopedEnv(std::string name, const std::string& value);
    ~TScopedEnv();
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> before_;
};
