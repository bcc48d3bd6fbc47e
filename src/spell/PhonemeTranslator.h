#pragma once

#include <string>
#include <string_view>

class TLetterToSoundRules;

// Turns a word into its phoneme string by the letter-to-sound rules, after
// folding look-alike characters (digits, accented letters) into letters.
class TPhonemeTranslator {
public:
    explicit TPhonemeTranslator(const TLetterToSoundRules& rules) : rules_(rules) {}

    std::string Translate(std::string_view word) const;
    // The text the rules see: upper-cased, folded, one blank appended.
    static std::string Prepare(std::string_view word);

private:
    static bool LeftMatches(std::string_view context, std::string_view text, std::ptrdiff_t pos);
    static bool RightMatches(std::string_view context, std::string_view text, std::size_t pos);

    const TLetterToSoundRules& rules_;
};
