#pragma once

#include <string>
#include <vector>

#include "common/NamedRowList.h"

// The rows of the "Signature Files" page: the signature's name and its body
// (lines joined with 0x02), in list order, stored in "Internet.sig". The list
// starts with an empty "Default Signature".
class TSignatureList : public TNamedRowList {
public:
    static constexpr const char* kNewName = "New Signature";
    static constexpr const char* kDefaultName = "Default Signature";

    TSignatureList();

    // Starts again from the built-in row and appends the file's signatures. A
    // signature whose name the list already has (case ignored) is skipped,
    // so that names stay unique: a file written by this list repeats the
    // built-in "Default Signature".
    void Load(const std::string& path) override;

    // The body's lines, split at 0x02.
    std::vector<std::string> Lines(int index) const;
    void SetLines(int index, const std::vector<std::string>& lines);
};
