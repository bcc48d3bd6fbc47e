#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

// File helpers on paths with "/" separators.
namespace fileutil {

// Modes of what the program creates in its data folder.
constexpr mode_t kPrivateFile = 0600;
constexpr mode_t kPrivateFolder = 0700;

bool Exists(const std::string& path);
bool IsDirectory(const std::string& path);
std::optional<std::string> ReadAll(const std::string& path);
// Writes data to a temporary file beside path, flushes it to disk and renames
// it over path, so that at every instant path holds either the old or the new
// content. On failure the old file is untouched and errno tells why. A
// rewrite keeps the mode the file had; a new file gets newFileMode, private
// by default because the data folder holds mail and passwords.
bool WriteAtomically(const std::string& path, std::string_view data, mode_t newFileMode = kPrivateFile);
// Renames from over to (replacing it) and flushes the folder entry.
bool ReplaceWith(const std::string& from, const std::string& to);
// ReplaceWith that also crosses file systems (an attachment folder on another
// disk): there the file is copied beside to, flushed, renamed over to, and
// only then is from removed. On failure to is as it was, from stays, and
// errno tells why.
bool MoveReplacing(const std::string& from, const std::string& to);
// Flushes a written file's data to disk.
bool SyncFile(const std::string& path);
// Creates the folder and its missing parents with the given mode (the
// umask may narrow it, never widen it). True when the folder exists.
bool CreateFolders(const std::string& path, mode_t mode = kPrivateFolder);
// The permission bits of an existing file, or fallback when it has none.
mode_t ModeOf(const std::string& path, mode_t fallback);
// A name from the user's own files (an account alias, say) as the start of a
// file name inside a folder: a "/" in it would lead into another folder
// ("../x"), so each becomes "_", as does a NUL. Names without them stay.
std::string SafeStem(std::string_view name);
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
