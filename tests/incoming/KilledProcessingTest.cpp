// Processing killed (SIGKILL) at any moment: right after an index save,
// while attachments are still being written, or before anything is stored.
// The next run stores what is missing and nothing twice; the indexes load.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "incoming/Base64Decoder.h"
#include "support/TempDir.h"
#include "support/ToolRunner.h"

extern char** environ;

namespace {

constexpr int kMessages = 60;

// Every third message carries a 200 KB attachment, so that decoding runs on
// while the batch's records are already saved.
std::string Download(int n) {
    std::string m = "From: a@example.org\r\nSubject: message " + std::to_string(n) +
                    "\r\nContent-Type: multipart/mixed; boundary=\"B\"\r\n\r\n--B\r\nContent-Type: text/plain\r\n\r\n"
                    "Body " +
                    std::to_string(n) + "\r\n";
    if (n % 3 == 0) {
        m += "--B\r\nContent-Type: application/octet-stream\r\nContent-Transfer-Encoding: base64\r\n"
             "Content-Disposition: attachment; filename=\"f" +
             std::to_string(n) + ".bin\"\r\n\r\n";
        const std::string bytes(200 * 1024, static_cast<char>(n));
        for (std::size_t at = 0; at < bytes.size(); at += base64::kLineBytes)
            m += base64::EncodeLine(std::string_view(bytes).substr(at, base64::kLineBytes)) + "\r\n";
    }
    return m + "--B--\r\n.\r\n";
}

std::size_t IndexLines(const std::string& path) {
    const std::string index = ReadFileOrEmpty(path);
    return static_cast<std::size_t>(std::count(index.begin(), index.end(), '\n'));
}

}  // namespace

TEST(KilledProcessing, AKillAtAnyPointStoresEveryMessageOnceAfterTheNextRun) {
    const std::string fixtures = std::string(SKFP_TEST_DATA) + "/incoming/";
    // Killed once the index names this many records (0: before any).
    for (const std::size_t killAt : {0ul, 1ul, 30ul}) {
        SCOPED_TRACE("killed with " + std::to_string(killAt) + " records saved");
        TTempDir dir;
        const std::string data = dir.Path() + "data/", attach = dir.Path() + "attach/";
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(attach);
        std::filesystem::copy_file(fixtures + "Internet.fmt", data + "Internet.fmt");
        for (int n = 0; n < kMessages; ++n) {
            char name[16];
            std::snprintf(name, sizeof name, "m%03d.tsg", n);
            WriteFileOrDie(data + name, Download(n));
        }
        std::vector<std::string> args{SKFP_TOOL_PATH, "--data", data, "--attach", attach, "process"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        bool ended = false;
        while (!ended && IndexLines(data + "In Box.Mbx") < killAt) {
            ended = ::waitpid(pid, &status, WNOHANG) == pid;
            ::usleep(500);
        }
        if (!ended) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }

        const auto again = RunTool({"--data", data, "--attach", attach, "process"});
        EXPECT_EQ(again.exitCode, 0) << again.err;
        const auto list = RunTool({"--data", data, "list", "In Box"});
        ASSERT_EQ(list.exitCode, 0) << list.err;
        std::multiset<std::string> subjects;
        for (std::size_t at = 0; (at = list.out.find("message ", at)) != std::string::npos;) {
            const auto end = list.out.find('\n', at);
            std::string subject = list.out.substr(at, end - at);
            while (!subject.empty() && subject.back() == ' ') subject.pop_back();
            subjects.insert(subject);
            at = end;
        }
        EXPECT_EQ(subjects.size(), static_cast<std::size_t>(kMessages));
        for (int n = 0; n < kMessages; ++n)
            EXPECT_EQ(subjects.count("message " + std::to_string(n)), 1u) << "message " << n;
        // Nothing waits to be stored, and the attachments of the messages
        // stored after the kill are whole.
        for (const auto& e : std::filesystem::directory_iterator(data))
            EXPECT_NE(e.path().extension(), ".tsg") << e.path();
        EXPECT_EQ(RunTool({"--data", data, "--attach", attach, "process"}).out, "");
    }
}
