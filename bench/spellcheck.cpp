// Checking a whole message: 5,000 words, every one known to the main
// dictionary, with punctuation, walked and looked up from the first line to
// the end of the last; in lines of twelve words, and as one paragraph. The
// target is under 100 ms per message (bench_richspell measures the same
// through the text box of the client).
#include "spell/SpellCheck.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "spell/LinesText.h"
#include "spell/SpellEngine.h"
#include "spell/SpellLists.h"
#include "support/KnownText.h"

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

void BM_CheckKnownMessage(benchmark::State& state) {
    SpellEngine engine;
    if (!engine.OpenMainDictionary(SKFP_DICTIONARY)) {
        state.SkipWithError("no main dictionary");
        return;
    }
    const std::string message = KnownText(engine, 5000, static_cast<int>(state.range(0)));
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
    state.counters["words_per_s"] =
        benchmark::Counter(static_cast<double>(checked) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CheckKnownMessage)->Arg(12)->Arg(5000)->ArgName("words_per_line")->Unit(benchmark::kMillisecond);

}  // namespace
