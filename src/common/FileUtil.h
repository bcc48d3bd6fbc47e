#pragma once

#include <optional>
#include <string>
#include <string_view>

// File helpers on paths with "/" separators.
namespace fileutil {

bool Exists(const std::string& path);
bool IsDirectory(const std::string& path);
std::optional<std::string> ReadAll(const std::string& path);
// Writes data to a temporary file beside path, flushes it to disk and renames
// it over path, so that at every instant path holds either the old or the new
// content. On failure the old file is untouched and errno tells why.
bool WriteAtomically(const std::string& path, std::string_view data);
// Renames from over to (replacing it) and flushes the folder entry.
bool ReplaceWith(const std::string& from, const std::string& to);
// Flushes a written file's data to disk.
bool SyncFile(const std::string& path);
// Appends "/" unless the text already ends in one.
std::string WithTrailingSlash(std::string folder);
// The folder part of a path, with its trailing "/".
std::string FolderOf(const std::string& path);
// The path of the file name in folder (ending in "/"), found without regard
// to letter case: a data folder copied from another system may hold
// "Internet.Fmt" for "Internet.fmt". The exact spelling wins when it exists;
// when no spelling exists the path has the name as given, for creating it.
std::string FindNoCase(const std::string& folder, std::string_view name);

}  // namespace fileutil
