#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// SHA-256 certificate fingerprints as people compare them: upper-case hex
// byte pairs joined by ":".
namespace fingerprint {

std::string Format(const unsigned char* digest, std::size_t size);
// Accepts the 64 hex digits with or without ":" (or blanks) between the
// pairs, in either case; anything else gives an empty text.
std::string Normalize(std::string_view text);

}  // namespace fingerprint
