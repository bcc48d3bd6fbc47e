// Checking a whole message: 5,000 words, every one known to the main
// dictionary, with punctuation, walked and looked up from the first line to
// the end of the last; in lines of twelve words, and as one paragraph. The
// target is under 100 ms per message (bench_richspell measures the same
// through the text box of the client).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/FileUtil.h"
#include "spell/LinesText.h"
#include "spell/SpellCheck.h"
#include "spell/SpellEngine.h"
#include "spell/SpellLists.h"

namespace {

class TNeverAsked : public ISpellUser {
public:
    void Highlight(const TWordSpan&) override {}
    TSpellAnswer Ask(const TWordSpan& word, std::string&) override {
        std::fprintf(stderr, "unexpected unknown word %s\n", word.text.c_str());
        std::abort();
    }
    bool Pump() override { return false; }
};

std::string KnownMessage(SpellEngine& engine, int wordCount, int wordsPerLine) {
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

void BM_CheckKnownMessage(benchmark::State& state) {
    SpellEngine engine;
    if (!engine.OpenMainDictionary(SKFP_DICTIONARY)) {
        state.SkipWithError("no main dictionary");
        return;
    }
    const std::string message = KnownMessage(engine, 5000, static_cast<int>(state.range(0)));
    TSpellLists lists;
    TNeverAsked user;
    int checked = 0;
    for (auto _ : state) {
        TLinesText text(message);
        TSpellCheck check(engine, lists, 0);
        const int last = text.LineCount() - 1;
        const auto result = check.Run(text, {0, 0}, {last, static_cast<int>(text.Line(last).size())}, user);
        checked = result.checked;
        benchmark::DoNotOptimize(result);
    }
    state.counters["words"] = checked;
    state.counters["words_per_s"] = benchmark::Counter(static_cast<double>(checked) * state.iterations(),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CheckKnownMessage)->Arg(12)->Arg(5000)->ArgName("words_per_line")->Unit(benchmark::kMillisecond);

}  // namespace
