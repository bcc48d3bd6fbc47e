#pragma once

#include <exception>

// One wait lasted longer than the configured time-out.
class ETimedOutError : public std::exception {
public:
    const char* what() const noexcept override { return "Internet Connection Timed Out."; }
};
