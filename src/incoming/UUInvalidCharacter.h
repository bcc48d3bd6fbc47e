#pragma once

#include <stdexcept>

// A uuencoded line holds a character outside the uuencode alphabet. It ends
// the decoding of that attachment; the decoding thread catches it.
class EUUInvalidCharacter : public std::runtime_error {
public:
    EUUInvalidCharacter() : std::runtime_error("Invalid character in the input file") {}
};
