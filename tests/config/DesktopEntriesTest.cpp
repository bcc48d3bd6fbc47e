#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/FileUtil.h"
#include "config/DesktopEntries.h"
#include "support/TempDir.h"

namespace {
class DesktopEntriesTest : public ::testing::Test {
protected:
    TTempDir dir;
    TDesktopEntries Entries(const std::string& program = "/opt/skiffpost/lib/skiffpost") {
        return TDesktopEntries({program, dir.File("config"), dir.File("share")});
    }
    std::string MimeApps() { return ReadFileOrEmpty(dir.File("config/mimeapps.list")); }
};
}  // namespace

TEST_F(DesktopEntriesTest, RegisterWritesTheMenuEntryHandlerAndRecord) {
    auto e = Entries();
    ASSERT_TRUE(e.Register(false));
    const std::string entry = ReadFileOrEmpty(dir.File("share/applications/skiffpost.desktop"));
    EXPECT_NE(entry.find("Exec=\"/opt/skiffpost/lib/skiffpost/skfp\" %u\n"), std::string::npos);
    EXPECT_NE(entry.find("MimeType=x-scheme-handler/mailto;\n"), std::string::npos);
    EXPECT_NE(entry.find("Icon=skiffpost\n"), std::string::npos);
    EXPECT_EQ(MimeApps(), "[Default Applications]\nx-scheme-handler/mailto=skiffpost.desktop\n");
    EXPECT_TRUE(e.IsMailtoHandler());
    EXPECT_NE(ReadFileOrEmpty(e.RegistrationPath()).find("Program Folder=/opt/skiffpost/lib/skiffpost/"),
              std::string::npos);
    EXPECT_FALSE(e.IsAutostart());
    // The desktop reads the entries under any user's umask.
    struct stat st {};
    ASSERT_EQ(::stat(e.MenuEntryPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

// The user's other associations and groups stay; an earlier mail handler is
// replaced in place rather than doubled.
TEST_F(DesktopEntriesTest, HandlerIsMergedIntoTheUsersAssociations) {
    fileutil::CreateFolders(dir.File("config"));
    WriteFileOrDie(dir.File("config/mimeapps.list"),
                   "[Added Associations]\nx-scheme-handler/mailto=other.desktop;\n\n"
                   "[Default Applications]\ntext/html=firefox.desktop\n x-scheme-handler/mailto = other.desktop\n"
                   "image/png=viewer.desktop\n");
    auto e = Entries();
    EXPECT_FALSE(e.IsMailtoHandler());
    ASSERT_TRUE(e.Register(false));
    EXPECT_EQ(MimeApps(),
              "[Added Associations]\nx-scheme-handler/mailto=other.desktop;\n\n"
              "[Default Applications]\ntext/html=firefox.desktop\nx-scheme-handler/mailto=skiffpost.desktop\n"
              "image/png=viewer.desktop\n");
    ASSERT_TRUE(e.Register(false));  // a second installation changes nothing more
    EXPECT_EQ(MimeApps().find("skiffpost"), MimeApps().rfind("skiffpost"));

    // A file without the group gets it at its end.
    WriteFileOrDie(dir.File("config/mimeapps.list"), "[Added Associations]\ntext/plain=ed.desktop;\n");
    ASSERT_TRUE(e.Register(false));
    EXPECT_EQ(MimeApps(),
              "[Added Associations]\ntext/plain=ed.desktop;\n\n[Default Applications]\n"
              "x-scheme-handler/mailto=skiffpost.desktop\n");
    // The group followed by another one: the line stays inside its group.
    WriteFileOrDie(dir.File("config/mimeapps.list"),
                   "[Default Applications]\ntext/html=a.desktop\n\n[Removed Associations]\n");
    ASSERT_TRUE(e.Register(false));
    EXPECT_EQ(MimeApps(),
              "[Default Applications]\ntext/html=a.desktop\nx-scheme-handler/mailto=skiffpost.desktop\n\n"
              "[Removed Associations]\n");
}

TEST_F(DesktopEntriesTest, AutostartCanBeSwitchedOnAndOff) {
    auto e = Entries();
    ASSERT_TRUE(e.Register(true));
    ASSERT_TRUE(e.IsAutostart());
    const std::string entry = ReadFileOrEmpty(e.AutostartPath());
    EXPECT_NE(entry.find("Exec=\"/opt/skiffpost/lib/skiffpost/skfp\"\n"), std::string::npos);
    EXPECT_EQ(entry.find("MimeType"), std::string::npos);
    ASSERT_TRUE(e.SetAutostart(false));
    EXPECT_FALSE(e.IsAutostart());
    EXPECT_TRUE(e.SetAutostart(false));  // already off is no failure
    ASSERT_TRUE(e.SetAutostart(true));
    EXPECT_TRUE(e.IsAutostart());
    // Reinstalling without the option removes it.
    ASSERT_TRUE(e.Register(false));
    EXPECT_FALSE(e.IsAutostart());
}

// A program folder with blanks, quotes, "$", "%" or a backslash still gives
// an Exec line the desktop runs as one program path.
TEST_F(DesktopEntriesTest, ExecLineQuotesUnusualFolders) {
    const std::string text = Entries("/home/a b/$x\"%q\\z").EntryText(false);
    EXPECT_NE(text.find("Exec=\"/home/a b/\\\\$x\\\\\"%%q\\\\\\\\z/skfp\" %u\n"), std::string::npos) << text;
}
