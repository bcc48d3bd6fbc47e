#pragma once

#include <array>
#include <string>
#include <vector>

// The English letter-to-sound rules of the Naval Research Laboratory
// (Elovitz, Johnson, McHugh and Shore, NRL Report 7948, 1976): 381 rule
// places in 27 groups, the group for characters that are not letters first,
// then one group per letter, each group ended by a rule with an empty pattern.
struct TSoundRule {
    static constexpr std::size_t kMaxField = 6;
    std::string left;
    std::string pattern;
    std::string right;
    std::string phonemes;
};

class TLetterToSoundRules {
public:
    static constexpr int kGroups = 27;
    static constexpr int kPlaces = 381;

    // Builds the rule list and the index of group starts.
    TLetterToSoundRules();

    const std::vector<TSoundRule>& Rules() const { return rules_; }
    // The first rule place of the group serving character c (upper case).
    std::size_t GroupStart(unsigned char c) const;
    std::size_t GroupStartOf(int group) const { return starts_[static_cast<std::size_t>(group)]; }

private:
    std::vector<TSoundRule> rules_;
    std::array<std::size_t, kGroups> starts_{};
};
