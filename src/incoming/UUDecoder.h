#pragma once

#include <string>
#include <string_view>

// Uuencoded data lines: the first character gives the line's byte count,
// each following character six bits. "`" and the blank (which older
// encoders wrote where "`" now stands) are 0.
namespace uudecode {

// Appends the line's bytes to out. A line shorter than its count says is
// taken as padded with zero bits, as when a mailer stripped trailing blanks.
// Throws EUUInvalidCharacter for a character outside the alphabet.
void DecodeLine(std::string_view line, std::string& out);

}  // namespace uudecode
