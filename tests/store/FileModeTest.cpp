#include <sys/stat.h>

#include "StoreFixture.h"
#include "common/FileUtil.h"
#include "common/ListFile.h"

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// The usual desktop umask, which would leave new files readable by everyone.
class FileModes : public StoreFixture {
protected:
    mode_t saved_ = ::umask(022);
    ~FileModes() override { ::umask(saved_); }
};

}  // namespace

TEST_F(FileModes, MailConfigurationAndListsArePrivateAndRewritesKeepTheUsersMode) {
    const THeaderItem& item = AddWithBody("Work", "private", "body");
    ASSERT_TRUE(store->SaveIndex("Work"));
    config->WriteString("Pop Settings", "Name", "Jane");
    ASSERT_TRUE(listfile::Write(dir.File("Internet.svr"), {{"Home", {"pop.example.com", "", "jane", "secret"}}},
                                store->Flags().listFill, pump));
    for (const char* name : {"Work.msg", "Work.Mbx", "Internet.ini", "Internet.svr"})
        EXPECT_EQ(ModeOf(dir.File(name)), 0600u) << name;

    // A mode the user chose survives every kind of rewrite.
    for (const char* name : {"Work.msg", "Work.Mbx", "Internet.ini", "Internet.svr"})
        ASSERT_EQ(::chmod(dir.File(name).c_str(), 0640), 0);
    ASSERT_TRUE(store->RewriteBody(HandleOf(item), std::string(500, 'x')));  // index saved again
    ASSERT_TRUE(store->Compact("Work"));                                     // message file replaced
    config->WriteString("Pop Settings", "Name", "June");
    ASSERT_TRUE(
        listfile::Write(dir.File("Internet.svr"), {{"Home", {"pop.example.com"}}}, store->Flags().listFill, pump));
    for (const char* name : {"Work.msg", "Work.Mbx", "Internet.ini", "Internet.svr"})
        EXPECT_EQ(ModeOf(dir.File(name)), 0640u) << name;
    EXPECT_EQ(::umask(022), 022u);  // nothing changed the process umask
}

TEST_F(FileModes, FoldersAreCreatedPrivateWithTheirParents) {
    const std::string nested = dir.File("share/Skiffpost/Data");
    ASSERT_TRUE(fileutil::CreateFolders(nested));
    EXPECT_EQ(ModeOf(nested), 0700u);
    EXPECT_EQ(ModeOf(dir.File("share/Skiffpost")), 0700u);
    EXPECT_TRUE(fileutil::CreateFolders(nested));  // an existing folder is fine
    WriteFileOrDie(dir.File("plain"), "");
    EXPECT_FALSE(fileutil::CreateFolders(dir.File("plain/below")));
}
