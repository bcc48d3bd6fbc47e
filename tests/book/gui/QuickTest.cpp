#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "book/gui/Quick.h"
#include "support/BookMember.h"

namespace {

std::vector<TListRow> Book() {
    return {BookMember("Ann Smith",
                       "ann@example.org\x02"
                       "ann@work.example"),
            BookMember("Bob", "bob@example.net")};
}

QStringList Items(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

}  // namespace

TEST(QuickDialog, PagesButtonsAndCaptions) {
    TQuick quick(Book());
    EXPECT_EQ(quick.windowTitle(), "Fenmarch Quick Addressee Book");
    ASSERT_EQ(quick.Pages->count(), 3);
    EXPECT_EQ(quick.Pages->tabText(0), "To Recipients");
    EXPECT_EQ(quick.Pages->tabText(1), "CC Recipients");
    EXPECT_EQ(quick.Pages->tabText(2), "BCC Recipients");
    EXPECT_TRUE(quick.Done->isDefault());
    EXPECT_EQ(quick.Page(1).members->toolTip(), "Drop down an address book member.");
    EXPECT_EQ(quick.Page(1).members->count(), 2);
    EXPECT_EQ(quick.Page(1).add->text(), "&Add >>");
    EXPECT_EQ(quick.Page(1).remove->text(), "<< &Remove");

    // Back is off on the first page, Next on the last.
    quick.ShowPage(0);
    EXPECT_FALSE(quick.Back->isEnabled());
    EXPECT_TRUE(quick.Next->isEnabled());
    quick.Next->click();
    quick.Next->click();
    EXPECT_EQ(quick.Pages->currentIndex(), 2);
    EXPECT_FALSE(quick.Next->isEnabled());
    EXPECT_TRUE(quick.Back->isEnabled());
    quick.Back->click();
    EXPECT_EQ(quick.Pages->currentIndex(), 1);
    EXPECT_TRUE(quick.Next->isEnabled() && quick.Back->isEnabled());
}

TEST(QuickDialog, AddTakesTheDropDownOrTheChosenAddressAndEachRecipientOnce) {
    TQuick quick(Book());
    quick.Load("Bob", "", "");
    quick.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&quick));
    quick.ShowPage(0);
    const auto& to = quick.Page(0);
    EXPECT_EQ(Items(to.recipients), QStringList{"Bob"});

    // Choosing a member lists its addresses; the list's address is added
    // once the list was used.
    to.members->setFocus();
    to.members->setCurrentIndex(0);
    emit to.members->textActivated(to.members->currentText());
    EXPECT_EQ(Items(to.available), (QStringList{"ann@example.org", "ann@work.example"}));
    to.available->setFocus();
    to.available->setCurrentRow(1);
    to.add->click();
    EXPECT_EQ(Items(to.recipients), (QStringList{"Bob", "ann@work.example"}));

    // Back in the drop-down, its text is what goes.
    emit to.members->textActivated(to.members->currentText());
    to.add->click();
    EXPECT_EQ(Items(to.recipients), (QStringList{"Bob", "ann@work.example", "Ann Smith"}));

    // The same member on the CC page: already a To recipient.
    quick.ShowPage(1);
    const auto& cc = quick.Page(1);
    cc.members->setFocus();
    cc.members->setEditText(QStringLiteral("ann smith"));
    cc.add->click();
    EXPECT_EQ(cc.recipients->count(), 0);
    // A typed address is a recipient too; blanks alone are not.
    cc.members->setEditText(QStringLiteral("  dan@example.com "));
    cc.add->click();
    cc.members->setEditText(QStringLiteral("   "));
    cc.add->click();
    EXPECT_EQ(Items(cc.recipients), QStringList{"dan@example.com"});

    // Remove takes the selected entry of the page showing.
    quick.ShowPage(0);
    to.recipients->setCurrentRow(0);
    to.remove->click();
    EXPECT_EQ(Items(to.recipients), (QStringList{"ann@work.example", "Ann Smith"}));
    to.recipients->clearSelection();
    to.remove->click();
    EXPECT_EQ(to.recipients->count(), 2);

    QSignalSpy applied(&quick, &TQuick::Applied);
    quick.ApplyButton->click();
    ASSERT_EQ(applied.size(), 1);
    EXPECT_EQ(applied[0][0].toString(), "ann@work.example, Ann Smith");
    EXPECT_EQ(applied[0][1].toString(), "dan@example.com");
    EXPECT_EQ(applied[0][2].toString(), "");
    EXPECT_TRUE(quick.isVisible());
    quick.Done->click();
    EXPECT_EQ(applied.size(), 2);
    EXPECT_FALSE(quick.isVisible());
    EXPECT_EQ(quick.result(), QDialog::Accepted);
}

TEST(QuickDialog, EnterInTheDropDownChoosesTheTypedMemberAndKeepsTheBookOpen) {
    TQuick quick(Book());
    quick.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&quick));
    const auto& bcc = quick.Page(2);
    quick.ShowPage(2);
    bcc.members->setFocus();
    bcc.members->setEditText(QStringLiteral("bob"));
    QTest::keyClick(bcc.members->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(quick.isVisible());
    EXPECT_EQ(Items(bcc.available), QStringList{"bob@example.net"});
    EXPECT_EQ(bcc.members->count(), 2);  // typed text joins no list
    // Escape closes without applying.
    QSignalSpy applied(&quick, &TQuick::Applied);
    QTest::keyClick(bcc.members->lineEdit(), Qt::Key_Escape);
    EXPECT_FALSE(quick.isVisible());
    EXPECT_EQ(applied.size(), 0);
}

TEST(QuickDialog, DropsOntoTheRecipientsComeFromTheBooksOwnLists) {
    TQuick quick(Book());
    quick.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&quick));
    const auto& to = quick.Page(0);
    const auto& cc = quick.Page(1);
    emit to.members->textActivated(QStringLiteral("Ann Smith"));
    to.available->setCurrentRow(1);
    // A drag from elsewhere (another program, another page) is turned away.
    QMimeData data;
    data.setText(QStringLiteral("eve@example.com"));
    const QPoint at = to.recipients->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(to.recipients->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_FALSE(quick.DropFrom(0, nullptr));
    EXPECT_FALSE(quick.DropFrom(0, cc.available));
    EXPECT_EQ(to.recipients->count(), 0);
    // From the available list: its selected address; from the drop-down:
    // its text.
    EXPECT_TRUE(quick.DropFrom(0, to.available));
    to.members->setEditText(QStringLiteral("Bob"));
    EXPECT_TRUE(quick.DropFrom(0, to.members->lineEdit()));
    EXPECT_EQ(Items(to.recipients), (QStringList{"ann@work.example", "Bob"}));
    // Dropped twice, still once.
    EXPECT_TRUE(quick.DropFrom(0, to.available));
    EXPECT_EQ(to.recipients->count(), 2);
}
