#pragma once

#include <cstddef>
#include <string>

// Base64 of RFC 2045 ("=" pads the last group).
namespace base64 {

// Appends the encoding of size bytes (no line breaks).
void Append(std::string& out, const unsigned char* data, std::size_t size);
std::string Encode(const unsigned char* data, std::size_t size);

}  // namespace base64
