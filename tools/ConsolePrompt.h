#pragma once

#include <string>

#include "common/UserPrompt.h"

// Message boxes of the command line: every text goes to stderr in UTF-8,
// exactly as a box would show it. Questions take the answer given by
// --yes / --no (default: No), since the tool runs unattended.
class TConsolePrompt : public IUserPrompt {
public:
    void SetAnswer(bool yes) { yes_ = yes; }
    void Error(const std::string& text) override;
    void Information(const std::string& text) override;
    bool YesNo(const std::string& text) override;
    TPromptAnswer YesNoAll(const std::string& text) override;
    int ErrorCount() const { return errors_; }

private:
    bool yes_ = false;
    int errors_ = 0;
};
