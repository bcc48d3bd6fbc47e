// Arbitrary bytes as a main and as a user dictionary, walked for the words a
// few edits from a word: each walk must end within its visit budget, report
// only words within the allowance, and never read outside the file.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "spell/DictionarySection.h"
#include "spell/EditWalk.h"
#include "spell/LetterCodes.h"
#include "spell/SpellEngine.h"

namespace {

constexpr std::size_t kVisits = 5000;

void Walk(SpellEngine& engine, const std::string& word) {
    const std::string upper = TLetterCodes::Upper(word);
    for (int edits = 0; edits <= TEditWalk::kMaxEdits + 1; ++edits) {
        TEditWalk walk(upper, edits);
        const int allowed = std::min(edits, TEditWalk::kMaxEdits);
        for (const auto& section : engine.Sections()) {
            std::size_t reported = 0;
            const std::size_t left = walk.Run(*section, kVisits, [&](std::string_view found, int d) {
                ++reported;
                if (d < 0 || d > allowed || TEditWalk::Distance(found, upper.substr(0, TEditWalk::kMaxWord), 2) != d)
                    std::abort();
            });
            // A word is reported at a visit, so never more words than visits.
            if (left > kVisits || reported > kVisits - left) std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/skfp-fuzz-spellwalk-" + std::to_string(::getpid()) + ".dct";
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The last 40 bytes (at most) give the words, split at 0x00 bytes; the
    // whole input is the file.
    std::vector<std::string> words{"A", "CAT", "ABCDEFGHIJ", "abcdefghijklmnopqrstuvwxyz0123"};
    std::string w;
    for (std::size_t i = size > 40 ? size - 40 : 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(w);
            w.clear();
        } else {
            w.push_back(static_cast<char>(data[i]));
        }
    }
    words.push_back(w);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << input;
    }
    for (int asUser = 0; asUser < 2; ++asUser) {
        SpellEngine engine;
        if (asUser)
            (void)engine.OpenUserDictionary(path);
        else
            (void)engine.OpenMainDictionary(path);
        for (const auto& word : words) Walk(engine, word);
        engine.CloseAll();
    }
    ::unlink(path.c_str());
    return 0;
}
