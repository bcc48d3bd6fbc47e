#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <map>

#include "Form1.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Every file under a folder with its content and modification time: two
// equal snapshots mean nothing was written, not even the same bytes again.
using TSnapshot = std::map<std::string, std::pair<std::string, fs::file_time_type>>;
TSnapshot Snapshot(const std::string& root) {
    TSnapshot s;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (e.is_symlink() || !e.is_regular_file()) {
            s[e.path().string()] = {};
            continue;
        }
        s[e.path().string()] = {ReadFileOrEmpty(e.path().string()), e.last_write_time()};
    }
    return s;
}

class UninstallTest : public ::testing::Test {
protected:
    TTempDir dir;
    std::string prefix = dir.File("prefix");
    std::string program = dir.File("prefix/lib/skiffpost/");
    std::string config = dir.File("home/config/");
    std::string share = dir.File("home/share/");

    void SetUp() override {
        fs::create_directories(config);
        fs::create_directories(share);
        // The desktop tools and the programs see only this user's folders.
        qputenv("HOME", dir.File("home").c_str());
        qputenv("XDG_CONFIG_HOME", config.c_str());
        qputenv("XDG_DATA_HOME", share.c_str());
        qputenv("XDG_CONFIG_DIRS", dir.File("none").c_str());
        qputenv("XDG_DATA_DIRS", dir.File("none").c_str());
        for (const char* v : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                              "SKFP_REGISTER", "DESTDIR"})
            qunsetenv(v);
    }
    void TearDown() override {
        // The installation left its program folder read-only.
        if (fs::exists(program)) fs::permissions(program, fs::perms::owner_all, fs::perm_options::add);
    }

    static QString Run(const QString& program, const QStringList& args, int* exitCode = nullptr) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        EXPECT_TRUE(p.waitForFinished(300000)) << program.toStdString();
        if (exitCode) *exitCode = p.exitCode();
        return QString::fromUtf8(p.readAll());
    }
    static QString MailtoHandler() {
        return Run(QStringLiteral("xdg-mime"),
                   {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/mailto")})
            .trimmed();
    }
    void Install(bool autostart) {
        qputenv("SKFP_AUTOSTART", autostart ? "1" : "0");
        int rc = -1;
        const QString out = Run(QStringLiteral(SKFP_CMAKE),
                                {QStringLiteral("--install"), QStringLiteral(SKFP_BUILD_DIR),
                                 QStringLiteral("--prefix"), QString::fromStdString(prefix)},
                                &rc);
        ASSERT_EQ(rc, 0) << out.toStdString();
    }
    // The window as the user sees it, answered with one of its buttons.
    void Answer(bool ok) {
        TForm1 form(TRegistrations(TRegistrations::FromEnvironment(QString::fromStdString(program))));
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Uninstalling Fenmarch Skiffpost"));
        EXPECT_EQ(form.okButton()->text(), QStringLiteral("&OK"));
        EXPECT_EQ(form.cancelButton()->text(), QStringLiteral("&Cancel"));
        QTest::mouseClick(ok ? form.okButton() : form.cancelButton(), Qt::LeftButton);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), ok ? QDialog::Accepted : QDialog::Rejected);
        // It shows nothing else: no box, no other window.
        for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible()) << w->metaObject()->className();
    }
};

}  // namespace

TEST_F(UninstallTest, InstallRegistersAndOkRemovesOnlyTheRegistrations) {
    Install(true);
    for (const char* f : {"skfp", "skfp-tool", "skfp-uninstall"}) EXPECT_TRUE(fs::exists(program + f)) << f;
    for (const char* f :
         {"bin/skfp", "share/skiffpost/Internet.Dct", "share/skiffpost/Internet.hlp",
          "share/applications/skiffpost.desktop", "share/metainfo/org.fenmarch.skiffpost.metainfo.xml",
          "share/icons/hicolor/scalable/apps/skiffpost.svg", "share/icons/hicolor/16x16/apps/skiffpost.png",
          "share/icons/hicolor/256x256/apps/skiffpost.png", "share/man/man1/skfp.1.gz", "share/man/man1/skfp-tool.1.gz",
          "share/man/man1/skfp-uninstall.1.gz"})
        EXPECT_TRUE(fs::exists(prefix + "/" + f)) << f;
    EXPECT_EQ(fs::status(program).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_exec |
                                                                      fs::perms::group_read | fs::perms::group_exec |
                                                                      fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EQ(MailtoHandler(), QStringLiteral("skiffpost.desktop"));
    EXPECT_TRUE(fs::exists(config + "autostart/skiffpost.desktop"));
    EXPECT_NE(ReadFileOrEmpty(share + "applications/skiffpost.desktop").find("Exec=\"" + program + "skfp\" %u"),
              std::string::npos);

    // The installed client, started by the user, finds the dictionary and
    // the guide in the share folder and keeps its data in the XDG folders;
    // some mail of the user's own lies there too.
    int rc = -1;
    const QString folders = Run(QString::fromStdString(program + "skfp-tool"), {QStringLiteral("folders")}, &rc);
    ASSERT_EQ(rc, 0) << folders.toStdString();
    EXPECT_TRUE(folders.contains(QString::fromStdString("data=" + share + "Skiffpost/Data/"))) << folders.toStdString();
    EXPECT_TRUE(folders.contains(QString::fromStdString("resources=" + prefix + "/share/skiffpost/\n")))
        << folders.toStdString();
    WriteFileOrDie(share + "Skiffpost/Data/Mailbox1.msg", "kept");
    const TSnapshot data = Snapshot(share + "Skiffpost");
    const TSnapshot programFiles = Snapshot(prefix);
    const std::string location = config + "Skiffpost/Skiffpost.Ini";
    const bool hadLocation = fs::exists(location);

    Answer(true);
    EXPECT_FALSE(fs::exists(share + "applications/skiffpost.desktop"));
    EXPECT_FALSE(fs::exists(config + "autostart/skiffpost.desktop"));
    EXPECT_FALSE(fs::exists(config + "Skiffpost/Install.ini"));
    EXPECT_EQ(MailtoHandler(), QString());
    EXPECT_EQ(ReadFileOrEmpty(config + "mimeapps.list").find("mailto"), std::string::npos);
    EXPECT_EQ(Snapshot(share + "Skiffpost"), data);
    EXPECT_EQ(Snapshot(prefix), programFiles);
    EXPECT_EQ(fs::exists(location), hadLocation);

    // The second run finds nothing to remove and writes nothing.
    const TSnapshot after = Snapshot(dir.Path());
    Answer(true);
    EXPECT_EQ(Snapshot(dir.Path()), after);
}

TEST_F(UninstallTest, CancelChangesNothing) {
    int rc = -1;
    Run(QStringLiteral(SKFP_TOOL_PATH),
        {QStringLiteral("desktop"), QStringLiteral("register"), QStringLiteral("--autostart")}, &rc);
    ASSERT_EQ(rc, 0);
    const TSnapshot before = Snapshot(dir.Path());
    Answer(false);
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

// A mail handler the user chose after installing stays theirs; only the
// program's own entries go.
TEST_F(UninstallTest, AnotherMailHandlerIsLeftAlone) {
    int rc = -1;
    Run(QStringLiteral(SKFP_TOOL_PATH), {QStringLiteral("desktop"), QStringLiteral("register")}, &rc);
    ASSERT_EQ(rc, 0);
    const std::string chosen = "[Default Applications]\nx-scheme-handler/mailto=other.desktop;skiffpost.desktop;\n";
    WriteFileOrDie(config + "mimeapps.list", chosen);
    Answer(true);
    EXPECT_EQ(ReadFileOrEmpty(config + "mimeapps.list"), chosen);
    EXPECT_FALSE(fs::exists(share + "applications/skiffpost.desktop"));

    // Where the program is the first of several, the others stay behind it.
    WriteFileOrDie(
        config + "mimeapps.list",
        "[Added Associations]\nx-scheme-handler/mailto=skiffpost.desktop;\n"
        "[Default Applications]\nx-scheme-handler/mailto=skiffpost.desktop;other.desktop;\ntext/html=b.desktop\n");
    Answer(true);
    EXPECT_EQ(ReadFileOrEmpty(config + "mimeapps.list"),
              "[Added Associations]\nx-scheme-handler/mailto=skiffpost.desktop;\n"
              "[Default Applications]\nx-scheme-handler/mailto=other.desktop;\ntext/html=b.desktop\n");
}
