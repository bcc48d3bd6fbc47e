#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/HeaderItem.h"

// One line of a mailbox index (".Mbx"): sixteen fields, each followed by the
// byte 0x01, without quoting. The line end (CR LF) is not part of it.
class TIndexLine {
public:
    static constexpr char kFieldEnd = '\x01';
    static constexpr int kFieldCount = 16;

    // The record read from a line. Missing trailing fields are empty; the
    // mailbox is left for the caller, the window handle is always -1.
    static THeaderItem Parse(std::string_view line);
    // Appends the line of a record (without CR LF) to out.
    static void AppendTo(std::string& out, const THeaderItem& item);
    // The same with another place of the body, for lines written ahead of
    // the move of the bodies themselves.
    static void AppendTo(std::string& out, const THeaderItem& item, std::int32_t offset, std::int32_t slack);
    static std::string Format(const THeaderItem& item);
};
