#pragma once

#include <ctime>
#include <string>

class IFilterActions;
class TIniFile;
class TMailStore;

// The message a "mailto:" request makes: addressed to "Internet User <"
// the address ">", the configured subject of new messages, dated now,
// queued in the "Out Box" (or where an outgoing filter puts it). The
// window and the tests make it the same way.
class TNewMessageTo {
public:
    // The box shown when the format file is missing.
    static std::string MissingFormatMessage();
    // The new record's handle, or -1 when the format file cannot be read.
    static int Create(TMailStore& store, const std::string& dataFolder, const TIniFile& config,
                      IFilterActions& actions, std::time_t now, const std::string& address);
};
