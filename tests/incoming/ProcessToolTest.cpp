#include <gtest/gtest.h>

#include <filesystem>

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
