#include "support/ScopedEnv.h"

#include <cstdlib>

TScopedEnv::TScopedEnv(std::string name, const std::string& value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) before_ = old;
    ::setenv(name_.c_str(), value.c_str(), 1);
}

TScopedEnv::~TScopedEnv() {
    if (before_)
        ::setenv(name_.c_str(), before_->c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}
