#include "spell/Capitalisation.h"

#include "spell/LetterCodes.h"

namespace {

bool Counts(unsigned char c) { return c == '\'' || TLetterCodes::IsLetter(c); }

}  // namespace

std::string TCapitalisation::Apply(std::string_view suggestion, std::string_view typed) {
    std::string out(suggestion);
    bool anyLower = false;
    for (unsigned char c : typed) anyLower = anyLower || TLetterCodes::IsLower(c);
    if (!anyLower) return out;
    for (auto& c : out) c = static_cast<char>(TLetterCodes::Lower(static_cast<unsigned char>(c)));
    std::size_t s = 0, t = 0;
    while (true) {
        while (s < out.size() && !Counts(static_cast<unsigned char>(out[s]))) ++s;
        while (t < typed.size() && !Counts(static_cast<unsigned char>(typed[t]))) ++t;
        if (s >= out.size() || t >= typed.size()) break;
        if (TLetterCodes::IsUpper(static_cast<unsigned char>(typed[t])))
            out[s] = static_cast<char>(TLetterCodes::Upper(static_cast<unsigned char>(out[s])));
        ++s;
        ++t;
    }
    return out;
}
