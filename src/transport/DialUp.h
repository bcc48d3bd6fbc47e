#pragma once

#include <string>
#include <vector>

// The dial-up connection a check may dial first and hang up afterwards.
// Done() and StatusText() may be read while another thread reports the
// progress of a dial.
class IDialUp {
public:
    virtual ~IDialUp() = default;
    // Appends the names of the dial-up entries.
    virtual void ListEntries(std::vector<std::string>& entries) = 0;
    // The entry's stored user name, and its password when one is stored.
    virtual bool GetCredentials(const std::string& entry, std::string& userName, std::string& password) = 0;
    // Starts dialing; false when the dial could not start (Done() is then
    // true and StatusText() says why). handle identifies the connection.
    virtual bool Dial(const std::string& entry, const std::string& userName, const std::string& password,
                      long& handle) = 0;
    virtual void HangUp(long handle) = 0;
    virtual bool Done() const = 0;
    virtual std::string StatusText() const = 0;
};

namespace dialstate {
// The text of a dial's connection state; empty for an unknown state.
std::string Text(int state);
// States that end a dial.
bool EndsDial(int state);
}  // namespace dialstate
