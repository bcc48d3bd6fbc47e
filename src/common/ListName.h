#pragma once

#include <string>
#include <string_view>
#include <vector>

class IUserPrompt;

// What a list file can hold. A name or field with 0x01 would end its field
// early, one with 0x02 would split into lines when read back, and a line
// break would start a new row: each breaks the file for every later reader.
namespace listname {

// A name can be stored as a row's caption: not blank, no 0x01, 0x02, CR or LF.
bool IsStorable(std::string_view name);
// Refuses a name that IsStorable rejects with a box naming what (for example
// "member"); true when the name is fine.
bool CheckStorable(std::string_view name, std::string_view what, IUserPrompt& prompt);

// A one-line field without the bytes that would break its row.
std::string CleanField(std::string_view value);
// Lines of a multi-line field, each cleaned, ready for listfile::JoinLines.
std::vector<std::string> CleanLines(const std::vector<std::string>& lines);

// The box shown when a list file could not be written; errorNumber is the
// errno of the failed write.
std::string SaveFailureText(std::string_view what, const std::string& path, int errorNumber);

}  // namespace listname
