// Speed of the incoming side: base64 decoding, and the whole road from
// downloaded ".tsg" files to stored bodies, decoded attachments and saved
// indexes, over a generated mix of messages as mailers write them. The peak
// memory of a message with a very large attachment is reported as a counter.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "book/FilterActions.h"
#include "common/Clock.h"
#include "common/SleepPump.h"
#include "common/UserPrompt.h"
#include "config/IniFile.h"
#include "incoming/Base64Decoder.h"
#include "incoming/DecodeGroup.h"
#include "incoming/EncodedWords.h"
#include "incoming/MessageParser.h"
#include "incoming/MimeDecodeThread.h"
#include "incoming/ProcessThread.h"
#include "mail/DownloadProcessing.h"
#include "store/MailStore.h"
#include "store/MailboxName.h"
#include "support/QuietPrompt.h"

namespace {

namespace fs = std::filesystem;

// Where the benchmarks make their folders: SKFP_BENCH_DIR, else /tmp.
std::string BenchRoot(const std::string& name) {
    const char* dir = std::getenv("SKFP_BENCH_DIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/skfp-bench-" + name + "-" + std::to_string(::getpid()) + "/";
}

class TNoActions : public IFilterActions {
public:
    bool IsMailbox(const std::string&) const override { return false; }
    void RunProgram(const std::string&) override {}
    void PlaySound(const std::string&) override {}
    void Print(const std::string&, const std::string&, const std::string&) override {}
};

std::string RandomBytes(std::size_t n, std::mt19937& g) {
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(g());
    return s;
}

std::string Base64Lines(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() * 4 / 3 + bytes.size() / 28);
    for (std::size_t i = 0; i < bytes.size(); i += 57) {
        out += base64::EncodeLine(std::string_view(bytes).substr(i, 57));
        out += "\r\n";
    }
    return out;
}

std::string Words(std::size_t n, std::mt19937& g) {
    static const char* kWords[] = {"mail", "report",  "the",      "quarterly", "caf=C3=A9", "numbers",
                                   "and",  "meeting", "tomorrow", "please",    "review",    "draft"};
    std::string out;
    std::size_t col = 0;
    while (out.size() < n) {
        const char* w = kWords[g() % 12];
        out += w;
        col += std::strlen(w) + 1;
        if (col > 70) {
            out += "\r\n";
            col = 0;
        } else {
            out += ' ';
        }
    }
    return out + "\r\n";
}

std::string Headers(int i, const std::string& contentType) {
    return "Received: from mx.example.org by mail.example.com; Tue, 7 May 1996 14:15:00 -0400\r\n"
           "From: \"Sender " +
           std::to_string(i) + "\" <s" + std::to_string(i) +
           "@example.org>\r\n"
           "To: bob@example.com\r\nSubject: =?UTF-8?Q?Message_" +
           std::to_string(i) +
           "?=\r\n"
           "Date: Tue, 7 May 1996 14:15:00 -0400\r\nMIME-Version: 1.0\r\nContent-Type: " +
           contentType + "\r\n";
}

// One of five kinds, about 50 KB on average.
std::string Message(int i, std::mt19937& g) {
    switch (i % 5) {
        case 0:
            return Headers(i, "text/plain; charset=utf-8") + "Content-Transfer-Encoding: quoted-printable\r\n\r\n" +
                   Words(20000, g);
        case 1:
            return Headers(i, "text/html; charset=utf-8") + "\r\n<html><head><style>p{}</style></head><body><p>" +
                   Words(30000, g) + "</p></body></html>\r\n";
        case 2:
            return Headers(i, "multipart/alternative; boundary=\"ALT\"") +
                   "\r\n--ALT\r\nContent-Type: text/plain\r\n\r\n" + Words(10000, g) +
                   "--ALT\r\nContent-Type: text/html\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n<b>" +
                   Words(15000, g) + "</b>\r\n--ALT--\r\n";
        case 3:
            return Headers(i, "multipart/mixed; boundary=\"MIX\"") + "\r\n--MIX\r\nContent-Type: text/plain\r\n\r\n" +
                   Words(3000, g) +
                   "--MIX\r\nContent-Type: application/octet-stream; name=\"data.bin\"\r\n"
                   "Content-Transfer-Encoding: base64\r\n\r\n" +
                   Base64Lines(RandomBytes(100000, g)) + "--MIX--\r\n";
        default:
            return Headers(i, "multipart/mixed; boundary=\"MIX\"") + "\r\n--MIX\r\nContent-Type: text/plain\r\n\r\n" +
                   Words(3000, g) +
                   "--MIX\r\nContent-Type: text/plain; name=\"notes.txt\"\r\n"
                   "Content-Transfer-Encoding: quoted-printable\r\n\r\n" +
                   Words(40000, g) + "--MIX--\r\n";
    }
}

void BM_Base64Decode(benchmark::State& state) {
    std::mt19937 g(1);
    const std::string text = Base64Lines(RandomBytes(16 << 20, g));
    std::string out;
    out.reserve(17 << 20);
    for (auto _ : state) {
        out.clear();
        TBase64Decoder d;
        d.Feed(text, out);
        d.Finish(out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Base64Decode)->Unit(benchmark::kMillisecond)->UseRealTime();

// A megabyte of a subject: encoded words that never close, and whole ones.
void BM_MegabyteSubject(benchmark::State& state) {
    std::string subject;
    while (subject.size() < (1u << 20)) subject += state.range(0) ? "=?utf-8?Q?caf=C3=A9?= " : "=?x?B?abcd ";
    for (auto _ : state) benchmark::DoNotOptimize(encodedwords::DecodeToUtf8(subject).size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * subject.size()));
}
BENCHMARK(BM_MegabyteSubject)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Base64DecodeFile(benchmark::State& state) {
    const std::string root = BenchRoot("b64");
    fs::create_directories(root);
    std::mt19937 g(2);
    const std::string text = Base64Lines(RandomBytes(32 << 20, g));
    TQuietPrompt prompt;
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(root + "1.att", std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
        state.ResumeTiming();
        TDecodeGroup group;
        TMimeDecodeThread::Start(root + "1.att", root + "out.bin", prompt, group);
        group.WaitAll();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    fs::remove_all(root);
}
BENCHMARK(BM_Base64DecodeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProcessMessages(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string root = BenchRoot("process");
    std::mt19937 g(3);
    std::vector<std::string> messages;
    std::size_t bytes = 0;
    for (int i = 0; i < count; ++i) {
        messages.push_back(Message(i, g));
        bytes += messages.back().size();
    }
    TQuietPrompt prompt;
    TSleepPump pump;
    TSystemClock clock;
    TNoActions actions;
    std::vector<TListRow> filters;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(root);
        fs::create_directories(root + "data");
        fs::create_directories(root + "attach");
        const std::string data = root + "data/", attach = root + "attach/";
        for (int i = 0; i < count; ++i)
            std::ofstream(data + "acct" + std::to_string(100000 + i) + ".tsg", std::ios::binary)
                << messages[static_cast<std::size_t>(i)];
        std::ofstream(data + "Internet.fmt") << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\r\n";
        TIniFile config(data + "Internet.ini");
        TMailStore store(data, config, prompt, pump);
        store.LoadTree();
        state.ResumeTiming();
        TDownloadProcessing(store, filters, actions, prompt, clock, data, attach).Run(TMailboxName::kInBox, nullptr);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["messages"] = count;
    state.counters["avg_KB"] = static_cast<double>(bytes) / count / 1024.0;
    fs::remove_all(root);
}
BENCHMARK(BM_ProcessMessages)
    ->Arg(500)
    ->Arg(2000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// A newsletter as bulk mailers send it: nested layout tables, inline
// styles, a hidden preview text and a tracking address behind every link,
// about 50 KB of HTML in quoted-printable lines.
std::string Newsletter(int i, std::mt19937& g) {
    std::string html =
        "<!DOCTYPE html><html><head><meta charset=3D\"utf-8\"><style>td{font-family:Arial}</style></head><body>"
        "<div style=3D\"display:none;max-height:0;overflow:hidden\">Preview text " +
        std::to_string(i) + "</div>=\r\n<table role=3D\"presentation\" width=3D\"100%\"><tr><td align=3D\"center\">";
    int item = 0;
    while (html.size() < 50000) {
        html += "<table width=3D\"600\"><tr><td style=3D\"padding:12px;font-size:14px\"><h2>Story " +
                std::to_string(item) + "</h2>=\r\n<p>" + Words(600, g) + "</p>=\r\n<p><a href=3D\"https://click." +
                "example.com/ls/click?upn=3DaHR0cHM6Ly9leGFtcGxlLmNvbS9hcnRpY2xl" + std::to_string(item) +
                "\" style=3D\"color:#0366d6\">Read more &rarr;</a></p></td></tr></table>=\r\n";
        ++item;
    }
    html += "</td></tr></table></body></html>\r\n";
    return Headers(i, "text/html; charset=utf-8") + "Content-Transfer-Encoding: quoted-printable\r\n\r\n" + html;
}

// Received HTML alone, 10,000 newsletters of 50 KB, from downloaded files to
// stored bodies: the HTML parser and the conversion set the pace.
void BM_ProcessHtmlMessages(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string root = BenchRoot("html");
    std::mt19937 g(4);
    std::vector<std::string> messages;
    std::size_t bytes = 0;
    for (int i = 0; i < count; ++i) {
        messages.push_back(Newsletter(i, g));
        bytes += messages.back().size();
    }
    TQuietPrompt prompt;
    TSleepPump pump;
    TSystemClock clock;
    TNoActions actions;
    std::vector<TListRow> filters;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(root);
        fs::create_directories(root + "data");
        fs::create_directories(root + "attach");
        const std::string data = root + "data/", attach = root + "attach/";
        for (int i = 0; i < count; ++i)
            std::ofstream(data + "acct" + std::to_string(100000 + i) + ".tsg", std::ios::binary)
                << messages[static_cast<std::size_t>(i)];
        std::ofstream(data + "Internet.fmt") << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\r\n";
        TIniFile config(data + "Internet.ini");
        TMailStore store(data, config, prompt, pump);
        store.LoadTree();
        state.ResumeTiming();
        TDownloadProcessing(store, filters, actions, prompt, clock, data, attach).Run(TMailboxName::kInBox, nullptr);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["messages"] = count;
    state.counters["avg_KB"] = static_cast<double>(bytes) / count / 1024.0;
    fs::remove_all(root);
}
BENCHMARK(BM_ProcessHtmlMessages)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The processing thread's half alone: reading, decoding, converting and
// extracting, without the store's writes.
void BM_ParseMessages(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string root = BenchRoot("parse");
    std::mt19937 g(3);
    fs::remove_all(root);
    fs::create_directories(root + "data");
    fs::create_directories(root + "attach");
    const std::string data = root + "data/", attach = root + "attach/";
    std::size_t bytes = 0;
    for (int i = 0; i < count; ++i) {
        const std::string m = Message(i, g);
        bytes += m.size();
        std::ofstream(data + "acct" + std::to_string(100000 + i) + ".tsg", std::ios::binary) << m;
    }
    std::ofstream(data + "Internet.fmt") << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\r\n";
    TQuietPrompt prompt;
    TSystemClock clock;
    const auto files = TProcessQueue::DownloadedFiles(data);
    for (auto _ : state) {
        TDecodeGroup decoders;
        TMessageParser parser(data, attach, prompt, decoders, clock);
        for (const auto& f : files) benchmark::DoNotOptimize(parser.Parse(f));
        decoders.WaitAll();
        state.PauseTiming();
        fs::remove_all(attach);
        fs::create_directories(attach);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    fs::remove_all(root);
}
BENCHMARK(BM_ParseMessages)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();

// Written to disk line by line, never held whole, so the figure shows the
// processing's own footprint.
void BM_LargeAttachmentPeakMemory(benchmark::State& state) {
    const std::size_t size = static_cast<std::size_t>(state.range(0)) << 20;
    const std::string root = BenchRoot("large");
    TQuietPrompt prompt;
    TSleepPump pump;
    TSystemClock clock;
    TNoActions actions;
    std::vector<TListRow> filters;
    long before = 0, after = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(root);
        fs::create_directories(root + "data");
        fs::create_directories(root + "attach");
        const std::string data = root + "data/", attach = root + "attach/";
        {
            std::ofstream out(data + "big1.tsg", std::ios::binary);
            out << Headers(1, "multipart/mixed; boundary=\"MIX\"")
                << "\r\n--MIX\r\nContent-Type: text/plain\r\n\r\nsee attachment\r\n--MIX\r\n"
                   "Content-Type: application/octet-stream; name=\"big.bin\"\r\nContent-Transfer-Encoding: "
                   "base64\r\n\r\n";
            std::mt19937 g(4);
            std::string chunk = RandomBytes(57 * 1024, g);
            for (std::size_t done = 0; done < size; done += chunk.size()) out << Base64Lines(chunk);
            out << "--MIX--\r\n";
        }
        TIniFile config(data + "Internet.ini");
        TMailStore store(data, config, prompt, pump);
        store.LoadTree();
        rusage ru{};
        ::getrusage(RUSAGE_SELF, &ru);
        before = ru.ru_maxrss;
        state.ResumeTiming();
        TDownloadProcessing(store, filters, actions, prompt, clock, data, attach).Run(TMailboxName::kInBox, nullptr);
        ::getrusage(RUSAGE_SELF, &ru);
        after = ru.ru_maxrss;
    }
    state.counters["peak_rss_MB"] = static_cast<double>(after) / 1024.0;
    state.counters["rss_before_MB"] = static_cast<double>(before) / 1024.0;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size * 4 / 3));
    fs::remove_all(root);
}
// The peak is the whole process's: run it alone (--benchmark_filter=Large) for its own figure.
BENCHMARK(BM_LargeAttachmentPeakMemory)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
