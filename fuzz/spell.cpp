// Arbitrary bytes as a main and as a user dictionary: opening, lookups, adds
// and both suggestion searches must neither crash, read outside the file nor
// walk forever. The words come from the input's tail, so they reach every
// byte value.
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "spell/SpellEngine.h"

namespace {

void Exercise(SpellEngine& engine, int identity, const std::vector<std::string>& words) {
    for (const auto& w : words) {
        (void)engine.Lookup(w);
        if (identity > 0) (void)engine.AddWord(identity, w);
        (void)engine.Suggest(w, stCloseMatch, 10);
        (void)engine.Suggest(w, stPhoneme, 5);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/skfp-fuzz-spell-" + std::to_string(::getpid()) + ".dct";
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The last 40 bytes (at most) give the words, split at 0x00 bytes; the
    // whole input is the file.
    std::vector<std::string> words{"", "A", "'S", "cat's", "inthe", "abcdefghijklmnopqrstuvwxyz"};
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
    for (int asUser = 0; asUser < 2; ++asUser) {
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out << input;
        }
        SpellEngine engine;
        int identity = 0;
        if (asUser)
            identity = engine.OpenUserDictionary(path);
        else
            (void)engine.OpenMainDictionary(path);
        Exercise(engine, identity, words);
        engine.CloseAll();
    }
    ::unlink(path.c_str());
    return 0;
}
