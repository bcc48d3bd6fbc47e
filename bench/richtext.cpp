// Reading and writing a 1 MB RTF document: a mail body of many paragraphs
// with formatting changes, Windows-1252 accents and some other scripts.
#include <benchmark/benchmark.h>

#include <string>

#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

namespace {

TRichDocument MakeDocument(std::size_t targetBytes) {
    TRichDocument doc;
    TCharFormat plain;
    plain.fontName = "Arial";
    plain.halfPoints = 20;
    TCharFormat bold = plain;
    bold.bold = true;
    bold.color = 0x0000C0;
    TCharFormat other = plain;
    other.fontName = "Courier New";
    other.italic = true;
    std::size_t bytes = 0;
    for (int i = 0; bytes < targetBytes; ++i) {
        TParaFormat pf;
        pf.bullet = i % 10 == 0;
        pf.leftIndent = pf.bullet ? 200 : 0;
        pf.alignment = i % 17 == 0 ? TAlignment::Center : TAlignment::Left;
        auto& p = doc.AddParagraph(U"The quick brown fox jumps over the lazy dog, caf\u00E9 cr\u00E8me ", plain, pf);
        p.runs.push_back({U"br\u00FBl\u00E9e {important}", bold});
        p.runs.push_back(
            {U" and \u041F\u0440\u0438\u0432\u0435\u0442 \u2014 a\\b\tend of line " + std::u32string(20, U'x'),
             i % 3 ? plain : other});
        bytes += 200;
    }
    return doc;
}

const std::string& Rtf() {
    static const std::string rtf = [] {
        std::string s = TRtfWriter::Write(MakeDocument(1 << 20));
        return s;
    }();
    return rtf;
}

void BM_ReadOneMegabyte(benchmark::State& state) {
    const std::string& rtf = Rtf();
    for (auto _ : state) {
        TRichDocument doc = TRtfReader::Read(rtf);
        benchmark::DoNotOptimize(doc);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_ReadOneMegabyte)->Unit(benchmark::kMillisecond);

void BM_WriteOneMegabyte(benchmark::State& state) {
    const TRichDocument doc = TRtfReader::Read(Rtf());
    std::size_t size = 0;
    for (auto _ : state) {
        std::string out = TRtfWriter::Write(doc);
        size = out.size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["rtf_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_WriteOneMegabyte)->Unit(benchmark::kMillisecond);

}  // namespace
