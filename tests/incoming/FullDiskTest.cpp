// Processing on a disk that fills up: every failed write (an attachment, a
// body, an index) keeps the download, the user is told once, and no message
// is ever stored twice nor lost.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "incoming/Base64Decoder.h"
#include "support/TempDir.h"
#include "support/ToolRunner.h"

namespace {

const std::string kFixtures = std::string(SKFP_TEST_DATA) + "/incoming/";
constexpr std::size_t kBigSize = 3u << 20;

std::string BigAttachment() {
    std::string bytes(kBigSize, '\0');
    std::mt19937 random(7);
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

// A download with a text body, a quoted-printable attachment and a 3 MB
// base64 one, as the POP3 client writes it.
std::string Download(const std::string& big) {
    std::string m =
        "From: Ann <ann@example.org>\r\nTo: bob@example.org\r\nSubject: Big file\r\n"
        "Date: Tue, 01 Dec 2026 10:00:00 +0000\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=\"BND\"\r\n\r\n"
        "--BND\r\nContent-Type: text/plain\r\n\r\nHere it is.\r\n"
        "--BND\r\nContent-Type: text/plain; name=\"notes.txt\"\r\n"
        "Content-Disposition: attachment; filename=\"notes.txt\"\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n\r\nnotes=20line\r\n"
        "--BND\r\nContent-Type: application/octet-stream; name=\"big.bin\"\r\n"
        "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\"big.bin\"\r\n\r\n";
    for (std::size_t at = 0; at < big.size(); at += base64::kLineBytes)
        m += base64::EncodeLine(std::string_view(big).substr(at, base64::kLineBytes)) + "\r\n";
    m += "--BND--\r\n.\r\n";
    return m;
}

struct TFolders {
    TTempDir dir;
    std::string data = dir.Path() + "data/", attach = dir.Path() + "attach/";
    TFolders() {
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(attach);
        std::filesystem::copy_file(kFixtures + "Internet.fmt", data + "Internet.fmt");
    }
    std::vector<std::string> Args(const std::string& command) const {
        return {"--data", data, "--attach", attach, command};
    }
    // How many rows the In Box holds for the message; -1 when it does not load.
    int Stored() const {
        auto args = Args("list");
        args.push_back("In Box");
        const auto r = RunTool(args);
        if (r.exitCode != 0 || !r.err.empty()) return -1;
        int rows = 0;
        for (std::size_t at = 0; (at = r.out.find("Big file", at)) != std::string::npos; ++at) ++rows;
        return rows;
    }
};

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++n;
    return n;
}

// Whether user and mount namespaces are to be had (a container may refuse them).
bool CanMount() {
    static const bool can = [] {
        const int status = std::system("unshare -Urm sh -c 'mount -t tmpfs -o size=64k tmpfs /mnt' >/dev/null 2>&1");
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }();
    return can;
}

}  // namespace

// The kernel cuts every file at a size limit, as a full disk or a quota
// does: writes come back short, then fail. Each limit fails a different
// write of the run (the attachment's temporary file, the decoded
// attachment, the message file, the index); after each, the message is
// either stored once, with its attachments whole or its download kept, or
// not stored and its download still there; the next run without a limit
// stores what is missing and never anything twice.
TEST(FullDisk, EveryWriteThatFailsKeepsTheDownloadAndNothingIsStoredTwice) {
    const std::string big = BigAttachment();
    const std::string download = Download(big);
    for (const unsigned long limit : {100ul, 600ul, 1500ul, 4096ul, 1ul << 20, (3ul << 20) + 100}) {
        SCOPED_TRACE("file size limit " + std::to_string(limit));
        TFolders f;
        WriteFileOrDie(f.data + "m.tsg", download);
        const auto cut = RunToolUnder({"/bin/sh", "-c", "trap '' XFSZ; exec \"$@\"", "sh", "prlimit",
                                       "--fsize=" + std::to_string(limit)},
                                      f.Args("process"));
        const int stored = f.Stored();
        ASSERT_GE(stored, 0) << "the index does not load";
        ASSERT_LE(stored, 1);
        const bool whole = std::filesystem::exists(f.attach + "big.bin") &&
                           ReadFileOrEmpty(f.attach + "big.bin") == big &&
                           ReadFileOrEmpty(f.attach + "notes.txt") == "notes line";
        const bool kept = ReadFileOrEmpty(f.data + "m.kept") == download;
        const bool pending = ReadFileOrEmpty(f.data + "m.tsg") == download;
        if (stored == 1) {
            EXPECT_TRUE(whole || kept) << cut.err;
            EXPECT_FALSE(pending);
        } else {
            EXPECT_TRUE(pending) << cut.err;
        }
        // Whatever failed was said, and said once.
        if (!(stored == 1 && whole)) {
            EXPECT_FALSE(cut.err.empty());
            EXPECT_LE(Count(cut.err, "could not decode attachment big.bin."), 1u) << cut.err;
        }

        const auto again = RunTool(f.Args("process"));
        EXPECT_EQ(again.exitCode, 0) << again.err;
        EXPECT_EQ(f.Stored(), 1);
        EXPECT_FALSE(std::filesystem::exists(f.data + "m.tsg"));
        if (stored == 0) {
            EXPECT_EQ(ReadFileOrEmpty(f.attach + "big.bin"), big);
            EXPECT_EQ(ReadFileOrEmpty(f.attach + "notes.txt"), "notes line");
        }
        EXPECT_EQ(RunTool(f.Args("process")).out, "");
    }
}

// A real full file system: the attachment folder on a 1 MB tmpfs (in a
// namespace of the test's own, so on another file system than the data
// folder) takes the small attachment but not the 3 MB one; then a data
// folder filled to the last byte takes no body at all.
TEST(FullDisk, ATmpfsThatFillsUpKeepsTheDownloadAndSaysSoOnce) {
    if (!CanMount()) GTEST_SKIP() << "no user and mount namespaces here";
    const std::string big = BigAttachment();
    const std::string download = Download(big);
    {
        TFolders f;
        WriteFileOrDie(f.data + "m.tsg", download);
        // The small attachment, on another file system than the data
        // folder, is copied across whole; it is what the folder shows after.
        const auto r = RunToolUnder(
            {"unshare", "-Urm", "sh", "-c",
             "mount -t tmpfs -o size=1m tmpfs \"$0\" && \"$@\"; echo; cat \"$0/notes.txt\"", f.attach},
            f.Args("process"));
        EXPECT_EQ(r.out, "0\tIn Box\tBig file\n\nnotes line") << r.err;
        EXPECT_EQ(Count(r.err, "could not decode attachment big.bin.\nReason: No space left on device."), 1u)
            << r.err;
        EXPECT_EQ(Count(r.err, "could not decode"), 1u) << r.err;
        EXPECT_EQ(f.Stored(), 1);
        EXPECT_FALSE(std::filesystem::exists(f.data + "m.tsg"));
        EXPECT_EQ(ReadFileOrEmpty(f.data + "m.kept"), download);
        const auto again = RunTool(f.Args("process"));
        EXPECT_EQ(again.out, "");
        EXPECT_EQ(again.err, "");
        EXPECT_EQ(f.Stored(), 1);
    }
    {
        // The data folder is the tmpfs: the download, then a filler to the
        // last byte; processing stores nothing and keeps the download; once
        // the filler is gone the message is stored, once.
        TFolders f;
        const std::string from = f.dir.Path() + "from/";
        std::filesystem::create_directories(from);
        for (const char* name : {"plain.tsg", "Internet.fmt"}) std::filesystem::copy_file(kFixtures + name, from + name);
        const std::string script =
            "set -e; data=$1; tool=$2; attach=$3; out=$4;"
            "mount -t tmpfs -o size=256k,mode=0700 tmpfs \"$data\"; cp \"$out\"/from/* \"$data/\";"
            "cat /dev/zero > \"$data/filler\" 2>/dev/null || true;"
            "\"$tool\" --data \"$data\" --attach \"$attach\" process > \"$out/first.out\" 2> \"$out/first.err\" || true;"
            "ls \"$data\" > \"$out/first.ls\"; rm \"$data/filler\";"
            "\"$tool\" --data \"$data\" --attach \"$attach\" process > \"$out/second.out\" 2> \"$out/second.err\";"
            "\"$tool\" --data \"$data\" --attach \"$attach\" process > \"$out/third.out\" 2> \"$out/third.err\";"
            "\"$tool\" --data \"$data\" --attach \"$attach\" list \"In Box\" > \"$out/list.out\"";
        const int status = std::system(("unshare -Urm sh -c '" + script + "' sh '" + f.data + "' '" SKFP_TOOL_PATH
                                        "' '" + f.attach + "' '" + f.dir.Path() + "'")
                                           .c_str());
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFileOrEmpty(f.dir.Path() + "first.err");
        const std::string first = ReadFileOrEmpty(f.dir.Path() + "first.err");
        EXPECT_NE(ReadFileOrEmpty(f.dir.Path() + "first.ls").find("plain.tsg"), std::string::npos);
        EXPECT_FALSE(first.empty());
        EXPECT_EQ(Count(first, "Fenmarch Skiffpost"), 1u) << first;
        EXPECT_NE(ReadFileOrEmpty(f.dir.Path() + "second.out"), "") << ReadFileOrEmpty(f.dir.Path() + "second.err");
        EXPECT_EQ(ReadFileOrEmpty(f.dir.Path() + "third.out"), "");
        const std::string list = ReadFileOrEmpty(f.dir.Path() + "list.out");
        EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 1) << list;
    }
}
