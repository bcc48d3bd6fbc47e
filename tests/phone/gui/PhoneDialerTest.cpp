#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/gui/AddressPage.h"
#include "app/gui/ControlCenter.h"
#include "app/gui/ListPages.h"
#include "app/gui/MainActions.h"
#include "book/AddressList.h"
#include "book/MemberFields.h"
#include "book/gui/AddressBook.h"
#include "phone/Telephony.h"
#include "phone/gui/EditAndDial.h"
#include "phone/gui/MemberBox.h"
#include "phone/gui/PhoneDialer.h"
#include "phone/gui/PhoneDialers.h"
#include "support/RecordingPrompt.h"
#include "support/RecordingTelephony.h"
#include "support/gui/DialogButtons.h"
#include "support/gui/WhenShown.h"
#include "support/gui/WindowFixture.h"

namespace {

TListRow Member(const std::string& name, const std::string& phone) {
    TListRow row{name, std::vector<std::string>(memberfield::Count)};
    row.subItems[memberfield::Phone] = phone;
    return row;
}

class PhoneDialerTest : public ::testing::Test {
protected:
    void SetUp() override {
        book.Add(Member("Ann Lee", "555-0100"));
        book.Add(Member("Bob", ""));
    }

    // The dialer shown and active, so focus moves as the user's would.
    std::unique_ptr<TPhoneDialer> Shown() {
        auto dialer = std::make_unique<TPhoneDialer>(book, &phone, prompt);
        dialer->setAttribute(Qt::WA_DeleteOnClose, false);
        dialer->show();
        dialer->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialer.get()));
        return dialer;
    }
    static void Choose(TPhoneDialer& d, int index) {
        d.ToText->setCurrentIndex(index);
        emit d.ToText->activated(index);
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const auto& shown : prompt.Texts()) texts.push_back(shown.text);
        return texts;
    }

    TAddressList book;
    TRecordingPrompt prompt;
    TRecordingTelephony phone;
};

}  // namespace

TEST_F(PhoneDialerTest, WindowKeyPadAndChosenMember) {
    auto d = Shown();
    EXPECT_EQ(d->windowTitle(), "Phone Dialer");
    QStringList groups;
    for (auto* g : d->findChildren<QGroupBox*>()) groups << g->title();
    EXPECT_EQ(groups, (QStringList{"Key Pad", "Phone Number", "Address Book Members"}));
    ASSERT_EQ(d->Keys.size(), 12);
    EXPECT_EQ(d->Keys[9]->text(), "0");
    EXPECT_EQ(d->Finished->text(), "&Finished");
    EXPECT_EQ(d->PN->objectName(), "PN");
    EXPECT_EQ(d->PN->Button()->toolTip(), "Dial Phone Number");
    EXPECT_EQ(d->PN->Button()->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    EXPECT_EQ(d->ToText->count(), 2);
    EXPECT_EQ(d->ToText->itemText(0), "Ann Lee");
    EXPECT_TRUE(d->PN->text().isEmpty());

    Choose(*d, 0);
    EXPECT_EQ(d->PN->text(), "555-0100");
    for (int i = 0; i < 3; ++i) QTest::mouseClick(d->Keys[4], Qt::LeftButton);  // "5"
    EXPECT_EQ(d->PN->text(), "555-0100555");
    QTest::mouseClick(d->Keys[10], Qt::LeftButton);  // "*"
    QTest::mouseClick(d->Keys[11], Qt::LeftButton);  // "#"
    EXPECT_EQ(d->PN->text(), "555-0100555");
    // A member without a number empties the field.
    Choose(*d, 1);
    EXPECT_TRUE(d->PN->text().isEmpty());
    EXPECT_TRUE(prompt.Texts().empty());
}

TEST_F(PhoneDialerTest, ANameOfNoMemberAsksOnceAndAnEmptyChooserNever) {
    auto d = Shown();
    // Entering and leaving an empty chooser, and dropping its list: no box.
    d->ToText->setFocus(Qt::TabFocusReason);
    d->PN->Edit()->setFocus(Qt::TabFocusReason);
    d->ToText->showPopup();
    d->ToText->hidePopup();
    EXPECT_TRUE(prompt.Texts().empty());

    Choose(*d, 0);
    d->ToText->setFocus(Qt::TabFocusReason);
    d->ToText->setEditText("ann lee");  // letter case counts
    d->PN->Edit()->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(prompt.Texts().size(), 1u);
    EXPECT_EQ(prompt.Texts()[0].kind, TRecordingPrompt::Shown::Kind::Information);
    EXPECT_EQ(prompt.Texts()[0].text,
              "You have entered an incorrect User.\rPlease add this member to your address book.");
    EXPECT_EQ(d->PN->text(), "555-0100");  // the number stays

    // The box takes the focus from the window and gives it back: neither is
    // a move of the user's, so the box does not come again.
    d->ToText->setFocus(Qt::ActiveWindowFocusReason);
    d->PN->Edit()->setFocus(Qt::ActiveWindowFocusReason);
    EXPECT_EQ(prompt.Texts().size(), 1u);
}

TEST_F(PhoneDialerTest, DialHandsTheLinkAndTheChosenNameToTheDialer) {
    auto d = Shown();
    QSignalSpy dialed(d->PN, &TEditAndDial::Dialed);
    Choose(*d, 0);
    QTest::mouseClick(d->PN->Button(), Qt::LeftButton);
    ASSERT_EQ(phone.calls.size(), 1u);
    EXPECT_EQ(phone.calls[0].link, "tel:5550100");
    EXPECT_EQ(phone.calls[0].calledParty, "Ann Lee");
    ASSERT_EQ(dialed.count(), 1);
    EXPECT_EQ(dialed[0][0].toString(), "tel:5550100");

    // Ctrl+D dials what the field holds now; an empty number goes as well.
    d->PN->setText("");
    d->PN->Edit()->setFocus();
    d->PN->setText("9");
    d->PN->Edit()->setCursorPosition(0);
    QTest::keyClick(d->PN->Edit(), Qt::Key_D, Qt::ControlModifier);
    QTest::qWait(300);              // a button's shortcut clicks it after its animation
    EXPECT_EQ(d->PN->text(), "9");  // the number field took no Ctrl+D of its own
    d->PN->setText("");
    QTest::mouseClick(d->PN->Button(), Qt::LeftButton);
    ASSERT_EQ(phone.calls.size(), 3u);
    EXPECT_EQ(phone.calls[1].link, "tel:9");
    EXPECT_EQ(phone.calls[2].link, "tel:");
}

TEST_F(PhoneDialerTest, WithoutADialerProgramTheButtonSaysWhyAndTheRestWorks) {
    TRecordingTelephony none(false);
    TPhoneDialer d(book, &none, prompt);
    d.setAttribute(Qt::WA_DeleteOnClose, false);
    d.show();
    EXPECT_FALSE(d.PN->Button()->isEnabled());
    EXPECT_EQ(d.PN->Button()->toolTip().toStdString(), ITelephony::kNoDialerTip);
    d.PN->Dial();
    QTest::keyClick(d.PN->Edit(), Qt::Key_D, Qt::ControlModifier);
    QTest::qWait(300);
    EXPECT_TRUE(none.calls.empty());
    Choose(d, 0);
    QTest::mouseClick(d.Keys[0], Qt::LeftButton);
    EXPECT_EQ(d.PN->text(), "555-01001");
    // The user's own switch cannot turn it on either.
    d.PN->SetButtonEnabled(true);
    EXPECT_FALSE(d.PN->Button()->isEnabled());
}

TEST_F(PhoneDialerTest, TheDialButtonSitsAtTheRightEdge) {
    TEditAndDial field(&phone);
    field.resize(200, 30);
    field.show();
    QApplication::processEvents();
    EXPECT_EQ(field.Button()->geometry(), QRect(176, 0, 24, 30));
    EXPECT_EQ(field.Edit()->geometry(), QRect(0, 0, 170, 30));
    EXPECT_GE(field.minimumHeight(), 24);
}

TEST_F(PhoneDialerTest, OpenDialersFollowTheBookAndEscapeClosesOne) {
    QWidget window;
    TPhoneDialers dialers(book, prompt, &window);
    dialers.SetTelephony(&phone);
    QPointer<TPhoneDialer> first = dialers.Open();
    QPointer<TPhoneDialer> second = dialers.Open();
    EXPECT_EQ(dialers.OpenDialers().size(), 2);
    Choose(*first, 0);
    second->ToText->setEditText("Bob");

    // A new number and a renamed member, in one burst of changes.
    book.SetSubItems(0, Member("", "555-0199").subItems);
    book.Add(Member("Cy", "555-0111"));
    book.Rename(book.IndexOf("Bob"), "Robert", prompt);
    dialers.BookChanged();
    dialers.BookChanged();
    QApplication::processEvents();
    EXPECT_EQ(first->ToText->count(), 3);
    EXPECT_EQ(first->ToText->itemText(2), "Robert");
    EXPECT_EQ(first->PN->text(), "555-0199");
    EXPECT_EQ(second->ToText->currentText(), "Bob");                             // what was typed stays
    EXPECT_EQ(Boxes(), std::vector<std::string>{TPhoneDialer::kIncorrectUser});  // once, for "Bob"

    QTest::keyClick(second.data(), Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(dialers.OpenDialers().size(), 1);
    QTest::mouseClick(first->Finished, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
}

namespace {
class PhoneDialerWindow : public WindowFixture<> {};
}  // namespace

// The main window: Utilities, "Phone Dialer" opens a dialer on the book; an
// applied member edit reaches it; the member dialog dials with the member's
// name.
TEST_F(PhoneDialerWindow, MenuMemberDialogAndRefresh) {
    Build();
    auto owned = std::make_unique<TRecordingTelephony>();
    TRecordingTelephony& phone = *owned;
    w->SetTelephony(std::move(owned));
    Start(Showing::Shown);

    QAction* menu = w->Actions().phoneDialer;
    EXPECT_TRUE(menu->isEnabled());
    EXPECT_EQ(menu->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    // A new member, named and numbered in its dialog.
    WhenShown<TAddressBook>([](TAddressBook* d) {
        d->PN1->setText("555 0100");
        ButtonOf(d, "&Close")->click();
    });
    w->Actions().newMember->trigger();
    ASSERT_EQ(w->ListPages()->Book().Count(), 1);

    menu->trigger();
    ASSERT_EQ(w->PhoneDialers()->OpenDialers().size(), 1);
    TPhoneDialer* dialer = w->PhoneDialers()->OpenDialers()[0];
    ASSERT_EQ(dialer->ToText->count(), 1);
    dialer->ToText->setCurrentIndex(0);
    emit dialer->ToText->activated(0);
    EXPECT_EQ(dialer->PN->text(), "555 0100");

    // "&Apply" in the member dialog reaches the open dialer; its dial button
    // calls with the member's name.
    w->ListPages()->AddressPage().Select(0);
    WhenShown<TAddressBook>([](TAddressBook* d) {
        d->PN1->setText("555 0199");
        ButtonOf(d, "&Apply")->click();
        QApplication::processEvents();
        EXPECT_TRUE(d->DialButton->isEnabled());
        d->DialButton->click();
        ButtonOf(d, "&Cancel")->click();
    });
    w->RunCommand(TPageCommand::Edit);
    ASSERT_EQ(phone.calls.size(), 1u);
    EXPECT_EQ(phone.calls[0].link, "tel:5550199");
    EXPECT_EQ(phone.calls[0].calledParty, "New Member");
    EXPECT_EQ(dialer->PN->text(), "555 0199");
    EXPECT_TRUE(prompt.Texts().empty());
}
