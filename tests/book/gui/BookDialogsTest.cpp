#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>

#include "book/AddressList.h"
#include "book/FilterFields.h"
#include "book/FilterList.h"
#include "book/MemberFields.h"
#include "book/gui/AddressBook.h"
#include "book/gui/AddressListModel.h"
#include "book/gui/FilterListModel.h"
#include "book/gui/FiltersForm.h"
#include "common/BusyFlag.h"
#include "common/SleepPump.h"
#include "phone/Telephony.h"
#include "phone/gui/EditAndDial.h"
#include "support/ListFileCheck.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"
#include "support/gui/DialogButtons.h"

namespace {

namespace mf = memberfield;
namespace ff = filterfield;

struct TListFixture {
    TTempDir dir;
    TBusyFlags flags;
    TSleepPump pump;
    TRecordingPrompt prompt;
    TListFileContext Context(const char* file) { return {dir.File(file), flags.listFill, pump, prompt}; }
};

}  // namespace

TEST(AddressBookDialog, DistributionFollowsTheAddressLines) {
    TAddressBook dialog({"Default Signature", "Work"});
    EXPECT_EQ(dialog.windowTitle(), "Fenmarch Address Book");
    EXPECT_FALSE(dialog.DialButton->isEnabled());
    EXPECT_EQ(dialog.DialButton->toolTip().toStdString(), ITelephony::kNoDialerTip);  // no dialer given
    // Empty on creation: no choice.
    EXPECT_FALSE(dialog.CC->isEnabled());
    EXPECT_FALSE(dialog.BCC->isEnabled());

    dialog.Memo1->setPlainText("ann@example.com");
    EXPECT_FALSE(dialog.CC->isEnabled());
    dialog.Memo1->setPlainText("ann@example.com\nbob@example.com\n");
    EXPECT_TRUE(dialog.CC->isEnabled());
    EXPECT_TRUE(dialog.CC->isChecked());
    dialog.BCC->setChecked(true);
    dialog.Memo1->setPlainText("ann@example.com\nbob@example.com\ncy@example.com");
    EXPECT_TRUE(dialog.BCC->isChecked());  // a choice made stays
    // Back to one address: both unchecked and disabled.
    dialog.Memo1->setPlainText("ann@example.com\n");
    EXPECT_FALSE(dialog.CC->isEnabled());
    EXPECT_FALSE(dialog.CC->isChecked());
    EXPECT_FALSE(dialog.BCC->isChecked());
    // A trailing line break starts no line: one address, no choice.
    EXPECT_EQ(dialog.Form().addresses.size(), 1u);
}

TEST(AddressBookDialog, LoadApplyAndTheRowsOnThePage) {
    TListFixture f;
    TAddressList book;
    TAddressListModel model(book, f.Context("Internet.pab"));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Member Name");
    EXPECT_EQ(model.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Fax Number");
    const int first = model.AddNew();
    const int second = model.AddNew();
    EXPECT_EQ(model.Name(second), "New Member (2)");

    // Edit the first member the way the page does: keep a copy, apply, close.
    const TListRow kept = model.Row(first);
    TAddressBook dialog({"Default Signature", "Work"});
    QObject::connect(&dialog, &TAddressBook::Applied, &model, [&](const TMemberForm& form) {
        TListRow row = model.Row(first);
        form.ApplyTo(row);
        model.SetSubItems(first, row.subItems);
    });
    dialog.Load(TMemberForm::FromRow(kept));
    dialog.Memo1->setPlainText("ann@example.com\nbob@example.com\ncy@example.com");
    dialog.BCC->setChecked(true);
    dialog.PN1->setText("555-0100");
    dialog.SigFile->setCurrentText("Work");
    dialog.EnhancedText->setChecked(true);
    ButtonOf(&dialog, "&Apply")->click();
    EXPECT_EQ(model.data(model.index(first, 1), Qt::DisplayRole).toString(), "Blind Carbon Copy List...");
    EXPECT_EQ(model.Row(first).SubItem(mf::ListKind), "2");
    // Cancel undoes what "&Apply" put into the row.
    ButtonOf(&dialog, "&Cancel")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    model.Restore(first, kept);
    EXPECT_EQ(model.Row(first), kept);

    dialog.Load(TMemberForm::FromRow(kept));
    dialog.Memo1->setPlainText("ann@example.com\nbob@example.com\ncy@example.com");
    dialog.BCC->setChecked(true);
    ButtonOf(&dialog, "&Close")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(model.Save());

    // Renames in place: onto another member refused, case only allowed.
    EXPECT_FALSE(model.setData(model.index(first, 0), "new member (2)", Qt::EditRole));
    ASSERT_EQ(f.prompt.Errors().size(), 1u);
    EXPECT_NE(f.prompt.Errors()[0].find(" can not rename this member."), std::string::npos);
    EXPECT_TRUE(model.setData(model.index(first, 0), "NEW MEMBER", Qt::EditRole));
    ExpectListFile(f.dir.File("Internet.pab"), {{"NEW MEMBER",
                                                 {mf::kBccList, "", "", "", "2", "",
                                                  "ann@example.com\x02"
                                                  "bob@example.com\x02"
                                                  "cy@example.com",
                                                  "", "0"}},
                                                {"New Member (2)", std::vector<std::string>(9)}});

    // Loading a row with list kind "2" checks BCC.
    dialog.Load(TMemberForm::FromRow(model.Row(0)));
    EXPECT_TRUE(dialog.BCC->isEnabled());
    EXPECT_TRUE(dialog.BCC->isChecked());

    // The nickname import adds and writes at once.
    QSignalSpy changed(&model, &TListRowsModel::Changed);
    EXPECT_EQ(model.Import("alias pals a@x, b@y,\r\nnote pals <phone:555>\r\n"), 1);
    EXPECT_EQ(changed.count(), 1);
    const auto rows = ReadListFileStrictly(f.dir.File("Internet.pab"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].caption, "pals");
    EXPECT_EQ(rows[2].subItems[mf::Addresses],
              "a@x\x02"
              "b@y");

    // Deleting writes at once.
    EXPECT_TRUE(model.Remove(0));
    EXPECT_EQ(ReadListFileStrictly(f.dir.File("Internet.pab")).size(), 2u);
}

TEST(FiltersDialog, DefaultsLoadAndApply) {
    TListFixture f;
    TFilterList filters;
    TFilterListModel model(filters, f.Context("Internet.flt"));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const int row = model.AddNew();
    EXPECT_EQ(model.AddNew(), 1);
    EXPECT_EQ(model.Name(1), "New Filter (2)");

    TFiltersForm dialog({"In Box", "Out Box", "Lists"}, {"Office Laser"}, {"Ann", "Bob"});
    EXPECT_EQ(dialog.windowTitle(), "Skiffpost Filter Properties");
    dialog.Load(model.Row(row).subItems);
    EXPECT_EQ(dialog.Op1->currentText(), "Or");
    EXPECT_EQ(dialog.Op2->currentText(), "And");
    EXPECT_EQ(dialog.Op3->currentText(), "Or");
    EXPECT_EQ(dialog.MailBoxes->currentIndex(), -1);
    dialog.SetFileChooser([](QWidget*, const QString& title, const QString&, const QString& filter) {
        EXPECT_EQ(title, "Fenmarch Skiffpost choose a sound file.");
        EXPECT_EQ(filter, "Sounds (*.wav)");
        return QStringLiteral("/usr/share/sounds/ding.wav");
    });
    ButtonOf(&dialog, "&Browse")->click();
    EXPECT_EQ(dialog.NSndFile->text(), "/usr/share/sounds/ding.wav");

    dialog.InFilter->setChecked(true);
    dialog.SearchString1->setText("@lists.example.org");
    dialog.Op1->setCurrentIndex(ff::opAndNot);
    dialog.MailBoxes->setCurrentText("Lists");
    dialog.MPrinters->setCurrentIndex(0);
    dialog.NPlaySound->setChecked(true);
    dialog.SReverse->setChecked(true);
    QObject::connect(&dialog, &TFiltersForm::Applied, &model,
                     [&](const std::vector<std::string>& items) { model.SetSubItems(row, items); });
    ButtonOf(&dialog, "&Close")->click();
    ASSERT_TRUE(model.Save());
    ExpectListFile(f.dir.File("Internet.flt"), {{"New Filter",
                                                 {"Yes",
                                                  "No",
                                                  "Lists",
                                                  "Office Laser",
                                                  "",
                                                  "Yes",
                                                  "No",
                                                  "No",
                                                  "/usr/share/sounds/ding.wav",
                                                  "",
                                                  "",
                                                  "@lists.example.org",
                                                  "3",
                                                  "",
                                                  "0",
                                                  "",
                                                  "1",
                                                  "",
                                                  "0",
                                                  "1"}},
                                                {"New Filter (2)", std::vector<std::string>(20)}});

    // Loading picks only exact entries; "Clear" empties a choice.
    auto items = model.Row(row).subItems;
    items[ff::MoveTo] = "lists";
    dialog.Load(items);
    EXPECT_EQ(dialog.MailBoxes->currentIndex(), -1);
    dialog.Load(model.Row(row).subItems);
    EXPECT_EQ(dialog.MailBoxes->currentText(), "Lists");
    EXPECT_EQ(dialog.Op1->currentText(), "& Not");
    ButtonOf(&dialog, "Clear")->click();
    EXPECT_EQ(dialog.SubItems()[ff::MoveTo], "");
}
