#pragma once

#include <string>

// The dialog that asks for a POP3 user name and password. The fields come
// filled with the values given; false when the user cancelled.
class IPasswordPrompt {
public:
    virtual ~IPasswordPrompt() = default;
    virtual bool Ask(const std::string& caption, std::string& userName, std::string& password) = 0;
};
