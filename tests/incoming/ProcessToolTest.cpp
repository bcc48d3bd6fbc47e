#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/FieldText.h"
#include "support/TempDir.h"
#include "support/ToolRunner.h"

TEST(ProcessTool, StoresEveryDownloadAndWaitsForTheAttachments) {
    TTempDir dir;
    const std::string data = dir.Path() + "data/", attach = dir.Path() + "attach/";
    std::filesystem::create_directories(data);
    std::filesystem::create_directories(attach);
    const std::string fixtures = std::string(SKFP_TEST_DATA) + "/incoming/";
    for (const char* f : {"plain.tsg", "mixed.tsg", "Internet.fmt"}) std::filesystem::copy_file(fixtures + f, data + f);
    const auto r = RunTool({"--data", data, "--attach", attach, "process"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "0\tIn Box\tReport attached\n1\tIn Box\tCaf\xc3\xa9 tonight\n");
    EXPECT_FALSE(std::filesystem::exists(data + "plain.tsg"));
    // Complete when the tool has exited.
    EXPECT_EQ(std::filesystem::file_size(attach + "r\xc3\xa9sum\xc3\xa9.pdf"), 5120u);
    const auto list = RunTool({"--data", data, "--attach", attach, "list", "In Box"});
    EXPECT_NE(list.out.find("Report attached"), std::string::npos);
    // Nothing left: nothing printed.
    const auto again = RunTool({"--data", data, "--attach", attach, "process"});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(RunTool({"--data", data, "process", "extra"}).exitCode, 2);
}

TEST(ProcessTool, MailInEveryScriptIsStoredWholeAndWesternMailAsBefore) {
    TTempDir dir;
    const std::string data = dir.Path() + "data/", attach = dir.Path() + "attach/";
    std::filesystem::create_directories(data);
    std::filesystem::create_directories(attach);
    const std::string fixtures = std::string(SKFP_TEST_DATA) + "/incoming/";
    for (const char* f : {"plain.tsg", "world.tsg", "Internet.fmt"}) std::filesystem::copy_file(fixtures + f, data + f);
    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--data", data, "--attach", attach});
        return RunTool(args);
    };
    const auto r = run({"process"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string subject = "Привет — café ✓项目进度报告";
    EXPECT_EQ(r.out, "0\tIn Box\tCaf\xc3\xa9 tonight\n1\tIn Box\t" + subject + "\n");
    const auto list = run({"list", "In Box"});
    EXPECT_NE(list.out.find("\tΓειά σου\t" + subject + "\n"), std::string::npos) << list.out;
    // The attachment keeps its name in UTF-8 on disk, and the reader finds it.
    const std::string file = attach + "会議の議事録🎉.pdf";
    EXPECT_EQ(std::filesystem::file_size(file), 6u);
    // The Western record is the line older versions wrote, byte for byte; the
    // other one keeps its texts in encoded words of UTF-8, within 255 bytes.
    const std::string index = ReadFileOrEmpty(data + "In Box.Mbx");
    EXPECT_NE(index.find("Caf\xe9 tonight\x01Jane Doe\x01"), std::string::npos);
    EXPECT_NE(index.find(fieldtext::Encode(subject) + "\x01" + fieldtext::Encode("Γειά σου") + "\x01"),
              std::string::npos);
    EXPECT_NE(index.find(fieldtext::Encode(file, fieldtext::kNoLimit) + "\x02"), std::string::npos);
    // "—" and "é" are Windows-1252's own, "✓" and the Chinese words are not.
    EXPECT_NE(index.find("=?UTF-8?B?0J/RgNC40LLQtdGC?= \x97 caf\xe9 =?UTF-8?B?4pyT6aG555uu6L+b5bqm5oql5ZGK?=\x01"),
              std::string::npos);
    // The body arrived in its charset.
    const auto text = run({"show", "--text", "1"});
    EXPECT_NE(text.out.find("Привет, мир!"), std::string::npos) << text.out;

    // Mailboxes and composed messages take any text too.
    ASSERT_EQ(run({"mkbox", "Входящие ✓"}).exitCode, 0);
    EXPECT_NE(run({"mailboxes"}).out.find("Входящие ✓\t0\t0\n"), std::string::npos);
    const auto made = run({"compose", "--to", "Иван <ivan@example.ru>", "--subject", "Ответ: 日本 🎉"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_NE(run({"list", "Out Box"}).out.find("\tОтвет: 日本 🎉\n"), std::string::npos);
}
