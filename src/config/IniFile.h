#pragma once

#include <sys/types.h>

#include <ctime>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "config/ConfigKeys.h"

class IUserPrompt;

// A classic initialization file ("Internet.ini", "Skiffpost.Ini"): bracketed
// section headers followed by key=value lines. Sections and keys match
// without regard to case; the first match wins. Every read sees the file as
// it is on disk now (a hand edit takes effect at the next read), and every
// write goes to the file at once, keeping every other line byte for byte.
class TIniFile {
public:
    // Values longer than this are cut when read.
    static constexpr std::size_t kMaxValue = 1023;

    explicit TIniFile(std::string path, IUserPrompt* prompt = nullptr);

    const std::string& Path() const { return path_; }

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // Decimal, or hexadecimal after "0x"; anything else gives def.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    // Read as an integer; any value other than 0 is true.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    bool HasKey(std::string_view section, std::string_view key) const;
    // The keys of a section in file order.
    std::vector<std::string> ReadKeys(std::string_view section) const;

    // Writes fail when the file system refuses; the prompt (when given) then
    // shows "Unable to write to " and the file's full path.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, int value);
    bool WriteBool(std::string_view section, std::string_view key, bool value);
    // Removes the first line of the section whose key matches.
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes the first line anywhere in the file that equals line exactly.
    bool RemoveLine(std::string_view line);

    // The same operations on the keys of one place (ConfigKeys.h).
    std::string Read(const TTextKey& k) const { return ReadString(k.section, k.key, k.def); }
    int Read(const TIntKey& k) const { return ReadInteger(k.section, k.key, k.def); }
    bool Read(const TBoolKey& k) const { return ReadBool(k.section, k.key, k.def); }
    // A count that only makes sense above zero (a time-out): a value of 0 or
    // less gives the key's default, as a missing one does.
    int ReadPositive(const TIntKey& k) const {
        const int v = Read(k);
        return v > 0 ? v : k.def;
    }
    bool Write(const TTextKey& k, std::string_view v) { return WriteString(k.section, k.key, v); }
    bool Write(const TIntKey& k, int v) { return WriteInteger(k.section, k.key, v); }
    bool Write(const TBoolKey& k, bool v) { return WriteBool(k.section, k.key, v); }

private:
    struct Line {
        std::string text;    // without its line end
        std::string ending;  // "\r\n", "\n" or "" for a last line without one
    };
    struct Found {
        std::size_t sectionLine = npos;  // header of the first matching section
        std::size_t keyLine = npos;      // first matching key line in it
        std::size_t insertAt = npos;     // where a new key of that section goes
    };
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // The file's lines, re-read whenever the file changed on disk.
    const std::vector<Line>& Lines() const;
    Found Find(std::string_view section, std::string_view key) const;
    bool Store(std::vector<Line> lines);
    bool ReportWriteFailure() const;

    std::string path_;
    IUserPrompt* prompt_;

    mutable std::mutex mutex_;  // the processing thread reads mailbox folders too
    // Cache of the parsed file, valid while the file's identity, size and
    // modification time are unchanged.
    mutable std::vector<Line> lines_;
    mutable bool cached_ = false;
    mutable dev_t dev_ = 0;
    mutable ino_t ino_ = 0;
    mutable off_t size_ = -1;
    mutable std::timespec mtime_{};
};
