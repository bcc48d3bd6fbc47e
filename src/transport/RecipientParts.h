#pragma once

#include <string>
#include <string_view>

// The parts of a recipient as the user wrote it: "Name <address>",
// "address (Name)" or a bare address.
namespace recipient {

std::string AddressOf(std::string_view entry);
std::string NameOf(std::string_view entry);

// An address fit for the SMTP envelope and for the angle brackets of a
// header: line breaks and angle brackets, which would end the command or the
// address early and let the rest be read as commands or fields of their own,
// become blanks.
std::string EnvelopeSafe(std::string address);
// The address of an entry, EnvelopeSafe.
std::string EnvelopeAddress(std::string_view entry);

// A display name as a phrase of RFC 5322 that reads back as the same name:
// plain words stay as they are; a name with a special character ("Doe,
// Jane", "ann@home", "Re: x", a quote) goes in double quotes, so that a
// reader does not split it into several addresses; a name with 8-bit bytes,
// control characters or a word too long for a line becomes encoded words
// (RFC 2047).
std::string Phrase(std::string_view name);

}  // namespace recipient
