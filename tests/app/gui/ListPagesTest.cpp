#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "app/gui/AccountPage.h"
#include "app/gui/AddressPage.h"
#include "app/gui/ControlCenter.h"
#include "app/gui/FMListView.h"
#include "app/gui/FilterPage.h"
#include "app/gui/ListPages.h"
#include "app/gui/MainActions.h"
#include "app/gui/MainToolbar.h"
#include "app/gui/SignaturePage.h"
#include "book/AddressList.h"
#include "book/FilterActions.h"
#include "book/FilterEngine.h"
#include "book/FilterFields.h"
#include "book/FilterList.h"
#include "book/gui/AddressBook.h"
#include "book/gui/FiltersForm.h"
#include "common/gui/ListRowsModel.h"
#include "compose/SignatureList.h"
#include "compose/gui/Signitures.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "config/gui/FrmAccounts.h"
#include "config/gui/Setup.h"
#include "store/MailStore.h"
#include "support/ListFileCheck.h"
#include "support/TempDir.h"
#include "support/gui/DialogButtons.h"
#include "support/gui/WhenShown.h"
#include "support/gui/WindowFixture.h"

namespace {

class ListPagesTest : public WindowFixture<> {
protected:
    std::unique_ptr<TMailStore> restarted;

    void Open() { WindowFixture::Open(Showing::Shown); }
    // A new start of the program on the same data folder.
    void Restart() {
        w.reset();
        restarted = std::make_unique<TMailStore>(dir.Path(), ini, prompt, pump);
        Build(*restarted);
        Start(Showing::Shown);
    }
    TListPages& L() { return *w->ListPages(); }
    void Show(int tab) {
        w->Pages()->setCurrentIndex(tab);
        QApplication::processEvents();
    }
};

}  // namespace

TEST_F(ListPagesTest, NewMemberFromTheMenuIsKeptAndFoundAgainAfterARestart) {
    Open();
    WhenShown<TAddressBook>([](TAddressBook* d) {
        d->Memo1->setPlainText("ann@example.com\nbob@example.com\ncy@example.com");
        d->BCC->setChecked(true);
        ButtonOf(d, "&Close")->click();
    });
    w->Actions().newMember->trigger();
    EXPECT_EQ(w->Pages()->currentIndex(), 1);
    ASSERT_EQ(L().Book().Count(), 1);
    EXPECT_EQ(L().Book().Row(0).caption, "New Member");
    EXPECT_EQ(L().Book().Row(0).SubItem(4), "2");

    // A second one, cancelled: the row goes again.
    WhenShown<TAddressBook>([](TAddressBook* d) { ButtonOf(d, "&Cancel")->click(); });
    w->RunCommand(TPageCommand::New);
    EXPECT_EQ(L().Book().Count(), 1);

    // The "Message" button offers the member.
    QMenu* members = w->Toolbar()->BNewStickit->menu();
    ASSERT_NE(members, nullptr);
    QStringList captions;
    for (QAction* a : members->actions()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{"Default", "New Member"}));

    // Rename in place onto itself in capitals, then delete from the Edit menu.
    auto* list = L().AddressPage().List();
    EXPECT_TRUE(list->model()->setData(list->model()->index(0, 0), "NEW MEMBER", Qt::EditRole));
    Restart();
    ASSERT_EQ(L().Book().Count(), 1);
    EXPECT_EQ(L().Book().Row(0).caption, "NEW MEMBER");
    Show(1);
    L().AddressPage().Select(0);
    w->Actions().remove->trigger();
    EXPECT_EQ(L().Book().Count(), 0);
    EXPECT_EQ(w->Toolbar()->BNewStickit->menu(), nullptr);
}

TEST_F(ListPagesTest, AFilterEditedOnThePageReachesTheNextProcessingRun) {
    Open();
    WhenShown<TFiltersForm>([](TFiltersForm* d) {
        d->InFilter->setChecked(true);
        d->SearchString1->setText("@lists.example.org");
        d->MailBoxes->setCurrentText("Trash Can");
        ButtonOf(d, "&Close")->click();
    });
    w->Actions().newFilter->trigger();
    ASSERT_EQ(L().Filters().Count(), 1);
    ExpectListFile(
        dir.File("Internet.flt"),
        {{"New Filter", {"Yes", "No", "Trash Can", "", "",  "No", "No", "No", "", "", "", "@lists.example.org",
                         "1",   "",   "0",         "", "1", "",   "0",  "0"}}});
    // The rows the processing is given are the page's: a filter added after
    // it was set up still applies.
    class TActions : public IFilterActions {
    public:
        bool IsMailbox(const std::string& n) const override { return n == "Trash Can" || n == "In Box"; }
        void RunProgram(const std::string&) override {}
        void PlaySound(const std::string&) override {}
        void Print(const std::string&, const std::string&, const std::string&) override {}
    } actions;
    const std::vector<TListRow>& rows = L().Filters().Rows();
    std::string target = "In Box";
    WhenShown<TFiltersForm>([](TFiltersForm* d) {
        d->InFilter->setChecked(true);
        d->SearchString1->setText("spam");
        d->MailBoxes->setCurrentText("Trash Can");
        ButtonOf(d, "&Close")->click();
    });
    w->RunCommand(TPageCommand::New);
    ASSERT_EQ(rows.size(), 2u);
    filterengine::Apply(rows, "spam@example.com", "hi", filterengine::kIncoming, "", target, 255, actions);
    EXPECT_EQ(target, "Trash Can");
}

TEST_F(ListPagesTest, SignaturesSortByHeaderAndAccountsNeedTheirServers) {
    Open();
    WhenShown<TSignitures>([](TSignitures* d) {
        d->Sig->setPlainText("Ann\nFenmarch Boats\n555-0100");
        ButtonOf(d, "&Close")->click();
    });
    w->Actions().newSignature->trigger();
    EXPECT_EQ(w->Pages()->currentIndex(), 2);
    ExpectListFile(dir.File("Internet.sig"), {{"Default Signature", {""}},
                                              {"New Signature",
                                               {"Ann\x02"
                                                "Fenmarch Boats\x02"
                                                "555-0100"}}});

    // A cancelled edit puts back what "&Apply" changed.
    L().SignaturePage().Select(1);
    WhenShown<TSignitures>([](TSignitures* d) {
        d->Sig->setPlainText("changed");
        ButtonOf(d, "&Apply")->click();
        ButtonOf(d, "&Cancel")->click();
    });
    w->RunCommand(TPageCommand::Edit);
    EXPECT_EQ(L().Signatures().Lines(1).size(), 3u);

    WhenShown<TFrmAccounts>([this](TFrmAccounts* d) {
        ButtonOf(d, "&Cancel")->click();  // refused: one account without servers
        EXPECT_TRUE(d->isVisible());
        d->SMTPServer->setText("smtp.example.com");
        d->POPSERVER->setText("pop.example.com");
        ButtonOf(d, "&Close")->click();
    });
    w->Actions().newServer->trigger();
    EXPECT_EQ(w->Pages()->currentIndex(), 4);
    ASSERT_EQ(L().Accounts().Accounts().size(), 1u);
    EXPECT_EQ(prompt.Errors(),
              std::vector<std::string>{"Fenmarch Skiffpost needs a SMTP Server for only one account."});
    EXPECT_EQ(L().Accounts().Accounts()[0].security, TSecurity::Tls);

    // A security mode applied and then cancelled is put back; a closed one is kept.
    const auto pickAndLeave = [](const char* button) {
        return [button](TFrmAccounts* d) {
            d->PopSecurity->setCurrentIndex(1);
            emit d->PopSecurity->activated(1);
            ButtonOf(d, "&Apply")->click();
            ButtonOf(d, button)->click();
        };
    };
    ASSERT_EQ(L().AccountPage().SelectedRow(), 0);  // the new account stays selected
    WhenShown<TFrmAccounts>(pickAndLeave("&Cancel"));
    w->RunCommand(TPageCommand::Edit);
    EXPECT_EQ(L().Accounts().Accounts()[0].security, TSecurity::Tls);
    WhenShown<TFrmAccounts>(pickAndLeave("&Close"));
    w->RunCommand(TPageCommand::Edit);
    EXPECT_EQ(L().Accounts().Accounts()[0].security, TSecurity::StartTls);
    EXPECT_NE(ReadFileOrEmpty(dir.File("Internet.ini")).find("New Account=STARTTLS"), std::string::npos);
}

TEST_F(ListPagesTest, TheDeleteKeyRemovesTheSelectedRowOnEveryListPage) {
    WriteFileOrDie(dir.File("Internet.pab"), "Ann\x01\r\nBob\x01\r\n");
    WriteFileOrDie(dir.File("Internet.sig"), "Formal\x01Regards\x01\r\nShort\x01-- A\x01\r\n");
    WriteFileOrDie(dir.File("Internet.flt"), "Junk\x01\r\nNews\x01\r\n");
    {
        TAccountList accounts(dir.Path());
        accounts.Add({"Home", "pop.example.org", "smtp.example.org", "ann", "", "ann@example.org", "Ann"});
        accounts.Add({"Work", "pop.example.com", "smtp.example.com", "ann", "", "ann@example.com", "Ann"});
        ASSERT_TRUE(accounts.Save(store.Flags().listFill, pump));
    }
    Open();
    // The Edit menu names the key.
    EXPECT_EQ(w->Actions().remove->shortcut(), QKeySequence(Qt::Key_Delete));
    const auto deleteKey = [this](int tab, TListPage& page) {
        Show(tab);
        page.Select(0);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(page.List(), &press);
    };
    deleteKey(1, L().AddressPage());
    ASSERT_EQ(L().Book().Count(), 1);
    EXPECT_EQ(L().Book().Row(0).caption, "Bob");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Internet.pab")).rfind("Bob\x01", 0), 0u);
    // The list begins with the built-in "Default Signature", then the file's.
    ASSERT_EQ(L().Signatures().Count(), 3);
    deleteKey(2, L().SignaturePage());
    deleteKey(2, L().SignaturePage());
    ASSERT_EQ(L().Signatures().Count(), 1);
    EXPECT_EQ(L().Signatures().Row(0).caption, "Short");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Internet.sig")).find("Formal"), std::string::npos);
    EXPECT_NE(ReadFileOrEmpty(dir.File("Internet.sig")).find("Short"), std::string::npos);
    deleteKey(3, L().FilterPage());
    ASSERT_EQ(L().Filters().Count(), 1);
    EXPECT_EQ(L().Filters().Row(0).caption, "News");
    EXPECT_NE(ReadFileOrEmpty(dir.File("Internet.flt")).find("News"), std::string::npos);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Internet.flt")).find("Junk"), std::string::npos);
    deleteKey(4, L().AccountPage());
    ASSERT_EQ(L().Accounts().Accounts().size(), 1u);
    EXPECT_EQ(L().Accounts().Accounts()[0].alias, "Work");
    EXPECT_EQ(TAccountList::Read(dir.Path()).Accounts().size(), 1u);
    EXPECT_TRUE(prompt.Texts().empty());
}

TEST_F(ListPagesTest, ImportsAskWithTheirTitleAndFiltersAndARichTextSignatureGivesItsText) {
    WriteFileOrDie(dir.File("sig.rtf"), "{\\rtf1\\ansi {\\b Ann} Smith\\par Fenmarch Boats\\par }");
    WriteFileOrDie(dir.File("nndbase.txt"), "alias carl carl@example.org\r\n");
    Open();
    QStringList asked;
    QString answer;
    L().SetFileChooser([&](QWidget*, const QString& title, const QString&, const QString& filters) {
        asked << title + QStringLiteral(" | ") + filters;
        return answer;
    });
    answer = QString::fromStdString(dir.File("nndbase.txt"));
    w->ImportFor(1);
    answer = QString::fromStdString(dir.File("sig.rtf"));
    WhenShown<TSignitures>([](TSignitures* d) { ButtonOf(d, "&Close")->click(); });
    w->ImportFor(2);
    EXPECT_EQ(asked, (QStringList{"Import a file. | Eudora NickNames (nndbase.txt);;All Files (*)",
                                  "Import a file. | Text Files (*.txt);;Rich Text Format (RTF) Files (*.rtf);;"
                                  "All Files  (*)"}));
    ASSERT_EQ(L().Book().Count(), 1);
    EXPECT_EQ(L().Book().Row(0).caption, "carl");
    ASSERT_EQ(L().Signatures().Count(), 2);  // after the built-in "Default Signature"
    EXPECT_EQ(L().Signatures().Row(1).caption, "New Signature");
    EXPECT_EQ(L().Signatures().Lines(1), (std::vector<std::string>{"Ann Smith", "Fenmarch Boats"}));
}

TEST_F(ListPagesTest, PreferencesTakeEffectAtOnce) {
    ini.WriteString("User", "First", "Ann");
    TAccountList accounts(dir.Path());
    accounts.Add({"Home", "pop", "smtp", "", "", "", ""});
    TBusyFlag flag;
    ASSERT_TRUE(accounts.Save(flag, pump));
    Open();
    EXPECT_FALSE(w->InternetTimer().isActive());
    WhenShown<TSetup>([](TSetup* d) {
        EXPECT_EQ(d->Pages->currentIndex(), TSetup::SendingAndReceiving);
        d->CheckInterval->setValue(5);
        d->MenuSystem->setChecked(false);
        ButtonOf(d, "&Done")->click();
    });
    w->Actions().setupSending->trigger();
    EXPECT_EQ(w->InternetTimer().interval(), 300000);
    EXPECT_TRUE(w->InternetTimer().isActive());
    QStringList shown;
    for (QAction* a : w->menuBar()->actions())
        if (a->isVisible()) shown << a->text();
    EXPECT_EQ(shown, (QStringList{"Utilities", "&View"}));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.File("Internet.fmt"))));
}

TEST_F(ListPagesTest, FirstRunAsksForAnAccountThenThePreferences) {
    Build();
    bool sawAccount = false;
    WhenShown<TFrmAccounts>([&](TFrmAccounts* d) {
        sawAccount = true;
        EXPECT_EQ(d->PopSecurity->currentText(), "TLS (port 995)");
        EXPECT_FALSE(d->ClearTextWarning->isVisible());
        d->SMTPServer->setText("smtp.example.com");
        d->POPSERVER->setText("pop.example.com");
        ButtonOf(d, "&Close")->click();
        WhenShown<TSetup>([](TSetup* s) {
            EXPECT_EQ(s->DefServer->count(), 1);
            ButtonOf(s, "&Done")->click();  // refused: no first name
            EXPECT_TRUE(s->isVisible());
            s->FirstName->setText("Ann");
            ButtonOf(s, "&Done")->click();
        });
    });
    w->RunFirstRun();
    EXPECT_TRUE(sawAccount);
    EXPECT_NE(ReadFileOrEmpty(dir.File("Internet.ini")).find("New Account=TLS"), std::string::npos);
    EXPECT_EQ(ini.ReadString("User", "First", ""), "Ann");
    EXPECT_EQ(prompt.Texts().back().text, "Please enter in your First Name.");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.File("Internet.fmt"))));
}

TEST_F(ListPagesTest, RenameInPlaceThroughTheListAndItsRefusal) {
    Open();
    for (int i = 0; i < 2; ++i) {
        WhenShown<TFiltersForm>([](TFiltersForm* d) { ButtonOf(d, "&Close")->click(); });
        w->Actions().newFilter->trigger();
    }
    ASSERT_EQ(L().Filters().Count(), 2);
    const auto renameTo = [&](int row, const QString& name) {
        L().FilterPage().Select(row);
        w->Actions().rename->trigger();  // F2
        QApplication::processEvents();
        const auto editors = L().FilterPage().List()->viewport()->findChildren<QLineEdit*>();
        ASSERT_EQ(editors.size(), 1);
        QLineEdit* editor = editors.front();
        editor->setText(name);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    };
    renameTo(0, QStringLiteral("new filter (2)"));
    EXPECT_EQ(prompt.Errors(), std::vector<std::string>{"Fenmarch Skiffpost can not rename this filter.\n\rReason: "
                                                        "Alias (Name) already in list\n\rFix: Choose another Alias."});
    EXPECT_EQ(L().Filters().Row(0).caption, "New Filter");
    renameTo(0, QStringLiteral("Zeta"));
    EXPECT_EQ(L().Filters().Row(1).caption, "Zeta");
    // The renamed row stays selected where name order put it.
    EXPECT_EQ(L().FilterPage().SelectedRow(), 1);
    EXPECT_EQ(ReadListFileStrictly(dir.File("Internet.flt"))[1].caption, "Zeta");
}
