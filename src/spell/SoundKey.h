#pragma once

#include <string>
#include <string_view>

// The four-character sound key of an upper-cased word: its first character,
// then the distinct sound codes (bytes 1 to 7) of the consonants after it.
// Short keys are padded with zero bytes (pad) or filled from fill.
std::string SoundKey(std::string_view word, std::string_view fill, bool pad);
