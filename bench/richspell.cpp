// Checking a 5,000-word message in the client's text box, every word known,
// from the call to the end of the check: the words of the box's paragraphs,
// the dictionary lookups and the pauses that keep the window responsive.
// In paragraphs of twelve words, and as one paragraph. Target: under 100 ms.
#include "spell/gui/RichSpell.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/UserPrompt.h"
#include "common/gui/QtText.h"
#include "compose/gui/SRichEdit.h"
#include "spell/SpellEngine.h"
#include "support/KnownText.h"

namespace {

class TNoBoxes : public IUserPrompt {
public:
    void Error(const std::string& text) override { Fail(text); }
    void Information(const std::string& text) override { Fail(text); }
    bool YesNo(const std::string& text) override { return Fail(text); }
    TPromptAnswer YesNoAll(const std::string& text) override {
        Fail(text);
        return TPromptAnswer::No;
    }

private:
    static bool Fail(const std::string& text) {
        std::fprintf(stderr, "unexpected box: %s\n", text.c_str());
        std::abort();
    }
};

QString KnownMessage(int wordCount, int wordsPerLine) {
    SpellEngine engine;
    if (!engine.OpenMainDictionary(SKFP_DICTIONARY)) std::abort();
    return qttext::FromStored(KnownText(engine, wordCount, wordsPerLine));
}

int argc = 1;
char arg0[] = "bench_richspell";
char* argv[] = {arg0, nullptr};

void CheckKnownMessageInTheBox(benchmark::State& state) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TNoBoxes prompt;
    QWidget window;
    TRichSpell spell(prompt, &window);
    spell.DictionaryMain = SKFP_DICTIONARY;
    spell.DictionaryUser = "/tmp/skfp-bench-richspell-User.Dct";
    TSRichEdit box(&window);
    box.setPlainText(KnownMessage(5000, static_cast<int>(state.range(0))));
    window.show();
    QApplication::processEvents();
    spell.CheckRich(&box);  // opens the dictionaries, as the first check of a run does
    for (auto _ : state) {
        if (!spell.CheckRich(&box)) state.SkipWithError("check cancelled");
    }
    std::remove("/tmp/skfp-bench-richspell-User.Dct");
}
BENCHMARK(CheckKnownMessageInTheBox)->Arg(12)->Arg(5000)->ArgName("words_per_line")->Unit(benchmark::kMillisecond);

}  // namespace
