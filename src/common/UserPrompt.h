#pragma once

#include <string>

// The answers a yes/no/all question box can give.
enum class TPromptAnswer { Yes, No, All };

// What the program tells and asks its user. The client shows message boxes,
// skfp-tool writes to stderr, and tests record the texts and queue answers.
// Texts are Windows-1252 bytes, exactly as they are to be shown.
class IUserPrompt {
public:
    virtual ~IUserPrompt() = default;
    virtual void Error(const std::string& text) = 0;
    virtual void Information(const std::string& text) = 0;
    virtual bool YesNo(const std::string& text) = 0;
    virtual TPromptAnswer YesNoAll(const std::string& text) = 0;
};
