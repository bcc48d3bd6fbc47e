#pragma once

#include <string>

#include "common/UserPrompt.h"

// A prompt that shows nothing and answers no: a benchmark measures the
// work, not boxes.
class TQuietPrompt : public IUserPrompt {
public:
    void Error(const std::string&) override {}
    void Information(const std::string&) override {}
    bool YesNo(const std::string&) override { return false; }
    TPromptAnswer YesNoAll(const std::string&) override { return TPromptAnswer::No; }
};
