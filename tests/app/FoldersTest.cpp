#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/CheckInterval.h"
#include "app/CommandRequest.h"
#include "app/Folders.h"
#include "common/FileUtil.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "support/RecordingPrompt.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {
class FoldersTest : public ::testing::Test {
protected:
    TTempDir dir;
    TRecordingPrompt prompt;
    std::string program = dir.File("prog/");

    void SetUp() override { std::filesystem::create_directories(program); }

    TFolderSetup::Options Options() const {
        TFolderSetup::Options o;
        o.programFolder = program;
        o.configHome = dir.File("config");
        o.dataHome = dir.File("share");
        return o;
    }
    std::optional<TFolders> Run() { return TFolderSetup(prompt).Run(Options()); }
};
}  // namespace

TEST_F(FoldersTest, PortableDefaultsAreBesideTheProgram) {
    const auto f = Run();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->program, program);
    EXPECT_EQ(f->resources, program);
    EXPECT_EQ(f->locationFile, program + "Skiffpost.Ini");
    EXPECT_EQ(f->data, program + "Data/");
    EXPECT_EQ(f->attach, program + "Attach/");
    EXPECT_TRUE(f->firstRun);
    EXPECT_TRUE(fileutil::IsDirectory(f->data));
    EXPECT_TRUE(fileutil::IsDirectory(f->attach));
    // Once the configuration exists, it is no longer a first run.
    WriteFileOrDie(f->data + "Internet.ini", "");
    EXPECT_FALSE(Run()->firstRun);
}

// A data folder others may write to is used, and the user is told so.
TEST_F(FoldersTest, ADataFolderOthersMayWriteToIsReported) {
    ASSERT_TRUE(Run());
    EXPECT_TRUE(prompt.Texts().empty());
    ::chmod((program + "Data").c_str(), 0777);
    const auto f = Run();
    ASSERT_TRUE(f);
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_NE(prompt.Errors()[0].find("other users may write to the folder"), std::string::npos);
    EXPECT_NE(prompt.Errors()[0].find(f->data), std::string::npos);
}

TEST_F(FoldersTest, ProgramFolderWithoutTrailingSlash) {
    auto o = Options();
    o.programFolder = dir.File("prog");
    const auto f = TFolderSetup(prompt).Run(o);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->data, program + "Data/");
}

TEST_F(FoldersTest, LocationValuesGetATrailingSlashOnce) {
    TIniFile loc(program + "Skiffpost.Ini");
    loc.WriteString("X-Information", "Data Folder", dir.File("mydata"));
    loc.WriteString("X-Information", "Attach Folder", dir.File("myattach/"));
    const auto f = Run();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->data, dir.File("mydata/"));
    EXPECT_EQ(f->attach, dir.File("myattach/"));
}

TEST_F(FoldersTest, OverridesWinOverTheLocationFile) {
    auto o = Options();
    o.dataFolder = dir.File("d");
    o.attachFolder = dir.File("a");
    const auto f = TFolderSetup(prompt).Run(o);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->data, dir.File("d/"));
    EXPECT_EQ(f->attach, dir.File("a/"));
}

TEST_F(FoldersTest, ReadOnlyInstallUsesTheXdgFolders) {
    auto o = Options();
    o.isWritable = [](const std::string&) { return false; };
    const auto f = TFolderSetup(prompt).Run(o);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->locationFile, dir.File("config/Skiffpost/Skiffpost.Ini"));
    EXPECT_EQ(f->data, dir.File("share/Skiffpost/Data/"));
    EXPECT_EQ(f->attach, dir.File("share/Skiffpost/Attach/"));
    EXPECT_TRUE(fileutil::IsDirectory(f->data));
    EXPECT_FALSE(fileutil::Exists(program + "Data"));  // nothing written beside the program
    // A location file already beside the program keeps the installation portable.
    WriteFileOrDie(program + "Skiffpost.Ini", "");
    EXPECT_EQ(TFolderSetup(prompt).Run(o)->data, program + "Data/");
}

// Started without HOME (a service, a cron job), the XDG folders are found
// from the user's account, not in the shared /tmp.
TEST_F(FoldersTest, WithoutHomeTheXdgFoldersAreTheAccountsOwn) {
    TScopedEnv home("HOME", ""), config("XDG_CONFIG_HOME", ""), data("XDG_DATA_HOME", "");
    const auto o = TFolderSetup::FromEnvironment(program);
    const std::string own = ::getpwuid(::getuid())->pw_dir;
    EXPECT_EQ(o.configHome, own + "/.config");
    EXPECT_EQ(o.dataHome, own + "/.local/share");
}

// The installation leaves the program folder without write bits; even root,
// whom the file system lets write anywhere, must then use the XDG folders.
TEST_F(FoldersTest, FolderWithoutWriteBitsCountsAsInstalled) {
    ASSERT_EQ(::chmod(program.c_str(), 0555), 0);
    const auto f = Run();
    ::chmod(program.c_str(), 0755);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->data, dir.File("share/Skiffpost/Data/"));
    EXPECT_FALSE(fileutil::Exists(program + "Data"));
}

// An installation keeps the dictionary and the guide in its share folder and
// the data in the user's folders, even when the program folder is writable
// (root, an install into the user's own prefix). A build folder has the
// dictionary beside the program and stays portable.
TEST_F(FoldersTest, AnInstallationsResourcesAreInItsShareFolder) {
    const std::string shared = dir.File("usr/share/skiffpost/");
    std::filesystem::create_directories(shared);
    WriteFileOrDie(shared + "Internet.Dct", "");
    auto o = Options();
    o.sharedFolder = shared;
    o.isWritable = [](const std::string&) { return true; };
    auto f = TFolderSetup(prompt).Run(o);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->resources, shared);
    EXPECT_EQ(f->data, dir.File("share/Skiffpost/Data/"));
    EXPECT_FALSE(fileutil::Exists(program + "Data"));

    WriteFileOrDie(program + "Internet.Dct", "");
    f = TFolderSetup(prompt).Run(o);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->resources, program);
    EXPECT_EQ(f->data, program + "Data/");

    // The share folder lies where the installation puts it beside lib/.
    const auto env = TFolderSetup::FromEnvironment("/usr/lib/skiffpost");
    EXPECT_EQ(env.sharedFolder, "/usr/share/skiffpost/");
}

TEST_F(FoldersTest, OldConfigurationMovesIntoTheDataFolder) {
    WriteFileOrDie(program + "Internet.ini", "[Pop Settings]\r\nInterval=9\r\n");
    const auto f = Run();
    ASSERT_TRUE(f);
    EXPECT_FALSE(fileutil::Exists(program + "Internet.ini"));
    EXPECT_EQ(ReadFileOrEmpty(f->data + "Internet.ini"), "[Pop Settings]\r\nInterval=9\r\n");
    EXPECT_FALSE(f->firstRun);
    TIniFile loc(program + "Skiffpost.Ini");
    EXPECT_EQ(loc.ReadString("X-Information", "Data Folder", ""), program + "Data/");
    EXPECT_EQ(loc.ReadString("X-Information", "Attach Folder", ""), program + "Attach/");
}

TEST_F(FoldersTest, FailedMoveKeepsTheOldConfiguration) {
    // The data folder named by the location file cannot be made: a file stands
    // in its parent's place.
    WriteFileOrDie(dir.File("blocker"), "");
    TIniFile loc(program + "Skiffpost.Ini");
    loc.WriteString("X-Information", "Data Folder", dir.File("blocker/Data/"));
    WriteFileOrDie(program + "Internet.ini", "keep me");
    const auto f = Run();
    EXPECT_FALSE(f);  // the data folder cannot be created either
    EXPECT_EQ(ReadFileOrEmpty(program + "Internet.ini"), "keep me");
    EXPECT_EQ(loc.ReadString("X-Information", "Data Folder", ""), dir.File("blocker/Data/"));
    ASSERT_FALSE(prompt.Errors().empty());
    EXPECT_NE(prompt.Errors()[0].find("Fenmarch Skiffpost could not create the folder"), std::string::npos);
}

TEST_F(FoldersTest, MigrationNeverOverwritesAConfigurationInTheDataFolder) {
    std::filesystem::create_directories(program + "Data");
    WriteFileOrDie(program + "Data/Internet.ini", "current");
    WriteFileOrDie(program + "Internet.ini", "old");
    ASSERT_TRUE(Run());
    EXPECT_EQ(ReadFileOrEmpty(program + "Data/Internet.ini"), "current");
    EXPECT_EQ(ReadFileOrEmpty(program + "Internet.ini"), "old");
}

TEST(CommandRequest, MailtoInAnyCaseIsRemovedAndBlanksTrimmed) {
    EXPECT_EQ(TCommandRequest::FromArgument("MAILTO:jane@example.com"), "jane@example.com");
    EXPECT_EQ(TCommandRequest::FromArgument("mailto: jane@example.com "), "jane@example.com");
    EXPECT_EQ(TCommandRequest::FromArgument("  /c "), "/c");
    EXPECT_EQ(TCommandRequest::FromArgument(""), "");
}

TEST(CommandRequest, ParseTellsCheckFromAddress) {
    EXPECT_EQ(TCommandRequest::Parse("").kind, TCommandRequest::Kind::None);
    EXPECT_EQ(TCommandRequest::Parse("/C").kind, TCommandRequest::Kind::CheckMail);
    const auto w = TCommandRequest::Parse("jane@example.com");
    EXPECT_EQ(w.kind, TCommandRequest::Kind::WriteTo);
    EXPECT_EQ(w.address, "jane@example.com");
}

TEST(CheckInterval, LimitsWithoutOverflow) {
    EXPECT_EQ(checkinterval::Milliseconds(0), 0);
    EXPECT_EQ(checkinterval::Milliseconds(-5), 0);
    EXPECT_EQ(checkinterval::Milliseconds(30), 1800000);
    EXPECT_EQ(checkinterval::Milliseconds(35791), 35791 * 60000);
    EXPECT_EQ(checkinterval::Milliseconds(35792), 35791 * 60000);
    EXPECT_EQ(checkinterval::Milliseconds(2147483647), 35791 * 60000);
}
