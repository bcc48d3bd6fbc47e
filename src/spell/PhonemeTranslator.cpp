#include "spell/PhonemeTranslator.h"

#include <array>

#include "spell/LetterCodes.h"
#include "spell/LetterToSoundRules.h"

namespace {

constexpr std::array<unsigned char, 256> MakeFoldTable() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
    const auto set = [&](int from, int to, char letter) {
        for (int c = from; c <= to; ++c) t[c] = static_cast<unsigned char>(letter);
    };
    set('0', '0', 'O');
    set('1', '1', 'I');
    set('7', '7', 'I');
    set('2', '2', 'L');
    set('3', '4', 'G');
    set('9', '9', 'G');
    set('5', '5', 'S');
    set('6', '6', 'B');
    set('8', '8', 'B');
    set(0x8A, 0x8A, 'S');
    set(0x9A, 0x9A, 'S');
    set(0x8C, 0x8C, 'C');
    set(0x9C, 0x9C, 'C');
    set(0x9F, 0x9F, 'Y');
    set(0xC0, 0xC6, 'A');
    set(0xE0, 0xE6, 'A');
    set(0xC7, 0xC7, 'C');
    set(0xE7, 0xE7, 'C');
    set(0xC8, 0xCB, 'E');
    set(0xE8, 0xEB, 'E');
    set(0xCC, 0xCF, 'I');
    set(0xEC, 0xEF, 'I');
    set(0xD0, 0xD0, 'D');
    set(0xD1, 0xD1, 'N');
    set(0xF1, 0xF1, 'N');
    set(0xD2, 0xD6, 'O');
    set(0xD8, 0xD8, 'O');
    set(0xF0, 0xF0, 'O');
    set(0xF2, 0xF6, 'O');
    set(0xF8, 0xF8, 'O');
    set(0xD9, 0xDC, 'U');
    set(0xF9, 0xFC, 'U');
    set(0xDD, 0xDD, 'Y');
    set(0xFD, 0xFD, 'Y');
    set(0xFF, 0xFF, 'Y');
    set(0xDE, 0xDE, 'P');
    set(0xFE, 0xFE, 'P');
    set(0xDF, 0xDF, 'B');
    return t;
}

constexpr auto kFold = MakeFoldTable();

bool IsVowel(unsigned char c) { return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U'; }

bool IsVoiced(unsigned char c) {
    switch (c) {
        case 'B':
        case 'D':
        case 'G':
        case 'J':
        case 'L':
        case 'M':
        case 'N':
        case 'R':
        case 'V':
        case 'W':
        case 'Z':
            return true;
        default:
            return false;
    }
}

bool IsFront(unsigned char c) { return c == 'E' || c == 'I' || c == 'Y'; }

bool IsExact(unsigned char symbol) { return symbol == ' ' || symbol == '\\' || (symbol >= 'A' && symbol <= 'Z'); }

}  // namespace

std::string TPhonemeTranslator::Prepare(std::string_view word) {
    std::string text = TLetterCodes::Upper(word);
    for (auto& c : text) c = static_cast<char>(kFold[static_cast<unsigned char>(c)]);
    text.push_back(' ');
    return text;
}

std::string TPhonemeTranslator::Translate(std::string_view word) const {
    const std::string text = Prepare(word);
    const std::string_view view(text);
    const auto& rules = rules_.Rules();
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t r = rules_.GroupStart(static_cast<unsigned char>(text[i]));
        bool advanced = false;
        for (; r < rules.size(); ++r) {
            const TSoundRule& rule = rules[r];
            if (rule.pattern.empty()) break;
            // Most rules fail on their second or third character, well before
            // a library compare would pay off.
            const std::string& pattern = rule.pattern;
            if (pattern.size() > text.size() - i) continue;
            std::size_t m = 0;
            while (m < pattern.size() && text[i + m] == pattern[m]) ++m;
            if (m < pattern.size()) continue;
            if (!LeftMatches(rule.left, view, static_cast<std::ptrdiff_t>(i) - 1)) continue;
            if (!RightMatches(rule.right, view, i + rule.pattern.size())) continue;
            out += rule.phonemes;
            i += rule.pattern.size();
            advanced = true;
            break;
        }
        if (!advanced) ++i;
    }
    return out;
}

bool TPhonemeTranslator::LeftMatches(std::string_view context, std::string_view text, std::ptrdiff_t pos) {
    const auto at = [&](std::ptrdiff_t p) -> int {
        return p >= 0 && p < static_cast<std::ptrdiff_t>(text.size()) ? static_cast<unsigned char>(text[p]) : -1;
    };
    for (std::ptrdiff_t k = static_cast<std::ptrdiff_t>(context.size()) - 1; k >= 0; --k) {
        const unsigned char symbol = static_cast<unsigned char>(context[k]);
        const int c = at(pos);
        if (IsExact(symbol)) {
            if (c != symbol) return false;
            --pos;
        } else if (symbol == '#') {
            if (c < 0 || !IsVowel(static_cast<unsigned char>(c))) return false;
            --pos;
            while (at(pos) >= 0 && IsVowel(static_cast<unsigned char>(at(pos)))) --pos;
        } else if (symbol == ':') {
            while (at(pos) >= 0 && !IsVowel(static_cast<unsigned char>(at(pos)))) --pos;
        } else if (symbol == '^') {
            if (c < 0 || IsVowel(static_cast<unsigned char>(c))) return false;
            --pos;
        } else if (symbol == '.') {
            if (c < 0 || !IsVoiced(static_cast<unsigned char>(c))) return false;
            --pos;
        } else if (symbol == '+') {
            if (c < 0 || !IsFront(static_cast<unsigned char>(c))) return false;
            --pos;
        } else {
            return false;
        }
    }
    return true;
}

bool TPhonemeTranslator::RightMatches(std::string_view context, std::string_view text, std::size_t pos) {
    const auto at = [&](std::size_t p) -> int { return p < text.size() ? static_cast<unsigned char>(text[p]) : -1; };
    for (unsigned char symbol : context) {
        const int c = at(pos);
        if (IsExact(symbol)) {
            if (c != symbol) return false;
            ++pos;
        } else if (symbol == '#') {
            if (c < 0 || !IsVowel(static_cast<unsigned char>(c))) return false;
            ++pos;
            while (at(pos) >= 0 && IsVowel(static_cast<unsigned char>(at(pos)))) ++pos;
        } else if (symbol == ':') {
            while (at(pos) >= 0 && !IsVowel(static_cast<unsigned char>(at(pos)))) ++pos;
        } else if (symbol == '^') {
            if (c < 0 || IsVowel(static_cast<unsigned char>(c))) return false;
            ++pos;
        } else if (symbol == '.') {
            if (c < 0 || !IsVoiced(static_cast<unsigned char>(c))) return false;
            ++pos;
        } else if (symbol == '+') {
            if (c < 0 || !IsFront(static_cast<unsigned char>(c))) return false;
            ++pos;
        } else if (symbol == '%') {
            const std::string_view rest = pos < text.size() ? text.substr(pos) : std::string_view();
            if (rest.starts_with("ER") || rest.starts_with("ES") || rest.starts_with("ED"))
                pos += 2;
            else if (rest.starts_with("ING") || rest.starts_with("ELY"))
                pos += 3;
            else if (rest.starts_with("E"))
                pos += 1;
            else
                return false;
        } else {
            return false;
        }
    }
    return true;
}
