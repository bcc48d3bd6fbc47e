#pragma once

#include <string>
#include <string_view>

// The request given on the command line (or handed over by a second copy):
// "/c" checks mail at once, anything else is an address to write to.
struct TCommandRequest {
    enum class Kind { None, CheckMail, WriteTo };

    // The text stored in "Control Center" / "Command" for an argument: a
    // "mailto:" (in any case) loses its first seven characters, then blanks
    // are trimmed at both ends.
    static std::string FromArgument(std::string_view argument);
    // What a stored request asks for.
    static TCommandRequest Parse(std::string_view stored);

    Kind kind = Kind::None;
    std::string address;  // for WriteTo
};
