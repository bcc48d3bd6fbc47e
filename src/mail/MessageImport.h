#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "common/ListFile.h"

class IFilterActions;
class TMailStore;

// Makes a text or rich-text file a new outgoing message in the "Out Box":
// subject the file's name without its folder, To "Imported message", dated
// when it is imported, queued and not opened. The outgoing filters apply
// as to any new message.
class TMessageImport {
public:
    static constexpr const char* kTo = "Imported message";

    TMessageImport(TMailStore& store, const std::vector<TListRow>& filters, IFilterActions& actions)
        : store_(store), filters_(filters), actions_(actions) {}

    // The new record's handle; nothing when the file cannot be read.
    std::optional<int> Import(const std::string& path, std::time_t now) const;

    // The stored body of a file's content: RTF (a file that opens with
    // "{\rtf") stays as it is; any other text (UTF-8, else Windows-1252)
    // becomes a rich text body with one paragraph per line, so that the
    // message reads and sends as the ones the composer makes.
    static std::vector<std::string> BodyLines(const std::string& content);

private:
    TMailStore& store_;
    const std::vector<TListRow>& filters_;
    IFilterActions& actions_;
};
