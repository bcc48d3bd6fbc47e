// Importing an mbox file against storing the same messages as downloads:
// both go through the same parsing, conversion and storing, so an import
// should run close to the speed of processing downloads. Messages of about
// 50 KB (text with an occasional attachment), as mailboxes of years hold.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "book/FilterActions.h"
#include "common/Base64.h"
#include "common/Clock.h"
#include "common/SleepPump.h"
#include "config/IniFile.h"
#include "mail/DownloadProcessing.h"
#include "mail/MailboxImport.h"
#include "store/MailStore.h"
#include "store/MailboxName.h"
#include "support/BenchFolder.h"
#include "support/QuietPrompt.h"

namespace {

namespace fs = std::filesystem;

class TNoActions : public IFilterActions {
public:
    bool IsMailbox(const std::string&) const override { return false; }
    void RunProgram(const std::string&) override {}
    void PlaySound(const std::string&) override {}
    void Print(const std::string&, const std::string&, const std::string&) override {}
};

std::string Message(int i, std::mt19937& g) {
    static const char* const kWords[] = {"the", "report", "figures", "meeting", "tomorrow", "quarter",
                                         "please", "attached", "budget", "review", "café", "From"};
    std::string m = "From: Sender " + std::to_string(i % 97) + " <sender" + std::to_string(i % 97) +
                    "@example.org>\r\nTo: Me <me@example.com>\r\nSubject: Message number " + std::to_string(i) +
                    "\r\nDate: Mon, 30 Nov 2026 09:15:00 +0000\r\nMessage-ID: <" + std::to_string(i) +
                    "@example.org>\r\nMIME-Version: 1.0\r\n";
    const bool attach = i % 10 == 0;
    if (attach) m += "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n";
    m += "Content-Type: text/plain; charset=utf-8\r\n\r\n";
    const std::size_t text = attach ? 30000 : 50000;
    std::string line;
    std::size_t written = 0;
    while (written < text) {
        line.clear();
        while (line.size() < 70) (line += kWords[g() % 12]) += ' ';
        m += line + "\r\n";
        written += line.size() + 2;
    }
    if (attach) {
        m += "--b\r\nContent-Type: application/octet-stream; name=\"data.bin\"\r\n"
             "Content-Transfer-Encoding: base64\r\n\r\n";
        std::string bytes(15000, '\0');
        for (char& c : bytes) c = static_cast<char>(g());
        for (std::size_t at = 0; at < bytes.size(); at += 57) {
            base64::Append(m, reinterpret_cast<const unsigned char*>(bytes.data()) + at,
                           std::min<std::size_t>(57, bytes.size() - at));
            m += "\r\n";
        }
        m += "--b--\r\n";
    }
    return m;
}

struct TCorpus {
    std::vector<std::string> messages;
    std::size_t bytes = 0;
    explicit TCorpus(int count) {
        std::mt19937 g(7);
        for (int i = 0; i < count; ++i) {
            messages.push_back(Message(i, g));
            bytes += messages.back().size();
        }
    }
};

struct TFreshStore {
    explicit TFreshStore(const std::string& root)
        : data(root + "data/"), attach(root + "attach/"), config((Make(root), data + "Internet.ini")),
          store(data, config, prompt, pump) {
        store.LoadTree();
    }
    void Make(const std::string& root) {
        fs::remove_all(root + "data");
        fs::remove_all(root + "attach");
        fs::create_directories(root + "data");
        fs::create_directories(root + "attach");
        std::ofstream(root + "data/Internet.fmt") << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\r\n";
    }
    std::string data, attach;
    TQuietPrompt prompt;
    TSleepPump pump;
    TIniFile config;
    TMailStore store;
};

void BM_ImportMbox(benchmark::State& state) {
    const TCorpus corpus(static_cast<int>(state.range(0)));
    const std::string root = BenchFolder("mbox");
    {
        std::ofstream mbox(root + "Archive.mbox", std::ios::binary);
        for (const auto& m : corpus.messages) {
            std::string escaped;
            escaped.reserve(m.size() + 64);
            for (std::size_t at = 0; at < m.size();) {
                const auto end = std::min(m.find('\n', at), m.size() - 1) + 1;
                if (m.compare(at, 5, "From ") == 0) escaped += '>';
                escaped.append(m, at, end - at);
                at = end;
            }
            mbox << "From sender@example.org Mon Nov 30 09:15:00 2026\n" << escaped << "\n";
        }
    }
    const auto mboxBytes = fs::file_size(root + "Archive.mbox");
    TSystemClock clock;
    TNoActions actions;
    std::vector<TListRow> filters;
    for (auto _ : state) {
        state.PauseTiming();
        TFreshStore fresh(root);
        state.ResumeTiming();
        TMailboxImport import(fresh.store, filters, actions, fresh.prompt, clock, fresh.data, fresh.attach);
        std::string error;
        if (!import.Run(root + "Archive.mbox", {}, error) ||
            import.Summary().imported != corpus.messages.size())
            state.SkipWithError("the import did not store every message");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * mboxBytes));
    state.counters["messages"] = static_cast<double>(corpus.messages.size());
    fs::remove_all(root);
}
BENCHMARK(BM_ImportMbox)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_StoreAsDownloads(benchmark::State& state) {
    const TCorpus corpus(static_cast<int>(state.range(0)));
    const std::string root = BenchFolder("downloads");
    TSystemClock clock;
    TNoActions actions;
    std::vector<TListRow> filters;
    for (auto _ : state) {
        state.PauseTiming();
        TFreshStore fresh(root);
        for (std::size_t i = 0; i < corpus.messages.size(); ++i)
            std::ofstream(fresh.data + "acct" + std::to_string(100000 + i) + ".tsg", std::ios::binary)
                << corpus.messages[i];
        state.ResumeTiming();
        TDownloadProcessing(fresh.store, filters, actions, fresh.prompt, clock, fresh.data, fresh.attach)
            .Run(TMailboxName::kInBox, nullptr);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.bytes));
    state.counters["messages"] = static_cast<double>(corpus.messages.size());
    fs::remove_all(root);
}
BENCHMARK(BM_StoreAsDownloads)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
