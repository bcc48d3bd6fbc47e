#pragma once

#include <exception>

// The connection failed, was refused or was lost, or the server answered
// something the dialog cannot go on with.
class EMailError : public std::exception {
public:
    const char* what() const noexcept override {
        return "Internet Connection Refused. No connection. Connection Lost.";
    }
};
