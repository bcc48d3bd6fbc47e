#pragma once

#include <cstddef>
#include <string_view>

// The twenty sub-items of a filter row (its caption is the filter's name),
// in the order of "Internet.flt".
namespace filterfield {

enum : std::size_t {
    In = 0,          // "Yes"/"No": applies to incoming messages
    Out = 1,         // "Yes"/"No": applies to outgoing messages
    MoveTo = 2,      // mailbox name
    PrintTo = 3,     // printer name
    SendTo = 4,      // address-book member (stored, no action)
    PlaySound = 5,   // "Yes"/"No"
    RunProgram = 6,  // "Yes"/"No"
    DialPager = 7,   // "Yes"/"No" (stored, no action)
    SoundFile = 8,
    ProgramFile = 9,
    PagerNumber = 10,
    Term1 = 11,  // address terms
    Op1 = 12,
    Term2 = 13,
    Op2 = 14,
    Term3 = 15,  // subject terms
    Op3 = 16,
    Term4 = 17,
    CaseSensitive = 18,  // "1"/"0"
    Reverse = 19,        // "1"/"0"
    Count = 20,
};

// Operator indexes of Op1, Op2, Op3.
enum TOperator : int { opAnd = 0, opOr = 1, opXor = 2, opAndNot = 3 };

// A stored switch: exactly "1", or "yes" in any letter case.
bool IsTrue(std::string_view value);

}  // namespace filterfield
