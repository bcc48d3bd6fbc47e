#pragma once

#include <exception>

// The user stopped the transfer (or a box already told why it ended).
class ECanceledError : public std::exception {
public:
    const char* what() const noexcept override { return "Internet mail operation has been canceled at your request."; }
};
