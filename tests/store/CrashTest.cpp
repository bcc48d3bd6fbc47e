// Kills a process in the middle of body saves, moves and compactions and
// checks that the next start finds every message whole.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <random>

#include "StoreFixture.h"
#include "mail/MessageDestroyer.h"
#include "store/MailboxOperations.h"

namespace {

const std::vector<std::string> kBoxes{"In Box", "Out Box", "Sent Box"};
constexpr int kRecords = 24;
constexpr int kKills = 40;

// A body that names its record and can be checked on its own: a torn or
// foreign body never passes.
std::string MakeBody(int id, int version, int length) {
    std::string body =
        "id=" + std::to_string(id) + " v=" + std::to_string(version) + " len=" + std::to_string(length) + "|";
    for (int i = 0; static_cast<int>(body.size()) < length; ++i)
        body += static_cast<char>('a' + (id * 31 + version * 7 + i) % 26);
    return body;
}

bool BodyIsWhole(const std::string& body, int id) {
    int bid = -1, version = -1, length = -1;
    if (std::sscanf(body.c_str(), "id=%d v=%d len=%d|", &bid, &version, &length) != 3) return false;
    return bid == id && body == MakeBody(id, version, length);
}

int IdOf(const THeaderItem& item) { return std::stoi(item.Subject.str().substr(3)); }

// Runs operations until it is killed. Before each one the record it touches
// goes to the log, so the parent knows which one was in flight.
[[noreturn]] void RunChild(const std::string& folder, unsigned seed, const std::string& logPath) {
    TRecordingPrompt prompt;
    TSleepPump pump;
    TIniFile config(folder + cfg::kConfigFile, &prompt);
    TMailStore store(folder, config, prompt, pump);
    store.LoadTree();
    TMailboxOperations ops(store);
    const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    std::mt19937 rng(seed);
    int version = static_cast<int>(seed % 1000) * 1000;
    for (;;) {
        const auto& headers = store.Headers();
        const THeaderItem* item = nullptr;
        int handle = -1;
        while (!item) item = headers.At(handle = static_cast<int>(rng() % static_cast<unsigned>(headers.Length())));
        const std::string note = std::to_string(IdOf(*item)) + "\n";
        if (::write(log, note.data(), note.size()) < 0) ::_exit(4);
        bool ok = true;
        switch (rng() % 4) {
            case 0:
            case 1:
                ok = store.RewriteBody(handle, MakeBody(IdOf(*item), ++version, 20 + static_cast<int>(rng() % 3000)));
                break;
            case 2: {
                const std::string source = item->Mailbox;
                std::size_t from = 0;
                while (kBoxes[from] != source) ++from;
                const std::string target = kBoxes[(from + 1 + rng() % 2) % kBoxes.size()];
                ok = store.MoveRecord(handle, target) != TMoveResult::Failed && ops.CompactWithReport(source);
                break;
            }
            default:
                ok = ops.CompactWithReport(kBoxes[rng() % kBoxes.size()]);
        }
        if (!ok || !prompt.Texts().empty()) ::_exit(3);
    }
}

}  // namespace

TEST_F(StoreFixture, KilledAtRandomPointsTheStoreReloadsWhole) {
    Reopen(true);
    for (int id = 0; id < kRecords; ++id) {
        AddWithBody(kBoxes[id % kBoxes.size()], "rec" + std::to_string(id), MakeBody(id, 0, 50 + id * 40));
    }
    const std::string logPath = dir.File("ops.log");
    std::mt19937 rng(20261207);
    int duplicates = 0;
    for (int round = 0; round < kKills; ++round) {
        store.reset();
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) RunChild(dir.Path(), 1000u + static_cast<unsigned>(round), logPath);
        ::usleep(static_cast<useconds_t>(5000 + rng() % 60000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself with " << WEXITSTATUS(status);

        const std::string log = ReadFileOrEmpty(logPath);
        const auto lastStart = log.rfind('\n', log.size() - 2);
        const int inFlight =
            log.empty() ? -1 : std::stoi(log.substr(lastStart == std::string::npos ? 0 : lastStart + 1));

        Reopen(true);
        EXPECT_TRUE(prompt.Texts().empty()) << round;
        std::map<int, std::vector<int>> handlesOf;
        for (int h = 0; h < store->Headers().Length(); ++h) handlesOf[IdOf(*store->Headers().At(h))].push_back(h);
        ASSERT_EQ(handlesOf.size(), static_cast<std::size_t>(kRecords)) << "a record was lost in round " << round;
        for (auto& [id, handles] : handlesOf) {
            if (handles.size() > 1) {
                // Moved into the target, not yet compacted out of the source.
                ASSERT_EQ(id, inFlight) << round;
                ASSERT_EQ(handles.size(), 2u);
                ++duplicates;
            }
            for (int h : handles) {
                const THeaderItem& item = *store->Headers().At(h);
                std::string body;
                ASSERT_TRUE(store->Files().ReadBody(item, body)) << "round " << round << " record " << id;
                ASSERT_TRUE(BodyIsWhole(body, id))
                    << "round " << round << " record " << id << " in flight " << inFlight;
            }
            if (handles.size() > 1) TMessageDestroyer(*store).Destroy({handles.back()});
        }
        for (const auto& box : kBoxes) ASSERT_TRUE(store->Compact(box));
    }
    RecordProperty("duplicates_in_flight", duplicates);
}
