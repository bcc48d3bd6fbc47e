#include "support/KnownText.h"

#include <cstdlib>
#include <vector>

#include "common/FileUtil.h"
#include "spell/SpellEngine.h"

std::string KnownText(SpellEngine& engine, int wordCount, int wordsPerLine) {
    const auto list = fileutil::ReadAll(SKFP_WORDLIST).value_or("");
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < list.size() && words.size() < 20000) {
        std::size_t end = list.find('\n', start);
        if (end == std::string::npos) end = list.size();
        const std::string w = list.substr(start, end - start);
        start = end + 1;
        bool plain = !w.empty();
        for (char c : w) plain = plain && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '\'');
        if (plain && engine.Lookup(w)) words.push_back(w);
    }
    if (words.empty()) std::abort();
    std::string text;
    for (int i = 0; i < wordCount; ++i) {
        text += words[(static_cast<std::size_t>(i) * 7919) % words.size()];
        text += (i % wordsPerLine == wordsPerLine - 1) ? ".\n" : (i % 5 == 4 ? ", " : " ");
    }
    return text;
}
