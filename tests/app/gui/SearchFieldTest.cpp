#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>

#include "app/gui/ControlCenter.h"
#include "app/gui/FMListView.h"
#include "app/gui/MailCommands.h"
#include "app/gui/SearchBar.h"
#include "compose/gui/FromPad.h"
#include "compose/gui/SRichEdit.h"
#include "mail/MessageDestroyer.h"
#include "search/MailSearch.h"
#include "store/MailStore.h"
#include "support/gui/WindowFixture.h"

namespace {

class SearchFieldTest : public WindowFixture<> {
protected:
    int Add(const std::string& mailbox, const std::string& subject, const std::string& date, const std::string& body) {
        auto item = Record(mailbox, subject);
        item->Who = "Ann";
        item->Date = date;
        const int handle = Put(std::move(item), body);
        EXPECT_TRUE(store.SaveIndex(mailbox));
        return handle;
    }
    // Lets the event loop run until done() holds, at most a few seconds.
    template <class F>
    bool WaitFor(F done) {
        for (int i = 0; i < 500 && !done(); ++i) QTest::qWait(10);
        return done();
    }
    QStringList Column(int column) {
        QStringList s;
        for (int r = 0; r < List()->model()->rowCount(); ++r) s << List()->model()->index(r, column).data().toString();
        return s;
    }
};

}  // namespace

// The user's way through a search: Ctrl+K, typing, the hits of every
// mailbox newest first with their mailbox, a hit opened with its words
// marked, a hit destroyed meanwhile, Escape back to the mailbox.
TEST_F(SearchFieldTest, TypingShowsHitsOfEveryMailboxAndEscapeGoesBack) {
    Open(Showing::Active);
    ASSERT_TRUE(C().SelectMailbox("In Box"));
    // Stored while the window runs: the index follows the store.
    Add("In Box", "older", "01/02/26 10:00 AM", "The caf\xE9 budget is ready.");
    const int newest = Add("Out Box", "newest", "03/04/26 09:00 AM", "Budget numbers for the caf\xE9.");
    Add("In Box", "other", "02/03/26 09:00 AM", "Nothing to see here.");
    ASSERT_EQ(List()->model()->rowCount(), 2);

    // The field stays in sight however narrow the window.
    TSearchBar& bar = *w->SearchBar();
    EXPECT_TRUE(bar.Field()->isVisible());
    bar.FocusAction()->trigger();
    EXPECT_TRUE(bar.Field()->hasFocus());
    QTest::keyClicks(bar.Field(), "cafe budg*");
    WaitFor([&] { return store.ShowsFound(); });
    ASSERT_EQ(Column(0), (QStringList{"newest", "older"}));
    ASSERT_EQ(List()->model()->columnCount(), 6);
    EXPECT_EQ(List()->model()->headerData(5, Qt::Horizontal).toString(), "Mailbox");
    EXPECT_EQ(Column(5), (QStringList{"Out Box", "In Box"}));
    EXPECT_EQ(w->StatusText(), "2 messages found.");

    // The older hit opened from the list shows the words found.
    SelectRows({1});
    C().OpenSelected();
    auto* reader = dynamic_cast<TFromPad*>(OpenPad("FromPad"));
    ASSERT_NE(reader, nullptr);
    QStringList marked;
    for (const auto& mark : reader->Body()->extraSelections()) marked << mark.cursor.selectedText();
    EXPECT_EQ(marked, (QStringList{QString::fromUtf8("caf\xC3\xA9"), "budget"})) << "the whole word of a prefix";
    reader->close();

    // A hit destroyed elsewhere leaves the list at once.
    ASSERT_EQ(TMessageDestroyer(store).Destroy({newest}), 1);
    EXPECT_EQ(Column(0), (QStringList{"older"}));

    // A query that cannot mean anything says why.
    bar.Field()->clear();
    QTest::keyClicks(bar.Field(), "before:yesterday");
    WaitFor([&] { return w->StatusText().startsWith(QStringLiteral("\"before")); });
    EXPECT_EQ(w->StatusText(), QStringLiteral("\"before:\" needs a date written yyyy-mm-dd."));

    QTest::keyClick(bar.Field(), Qt::Key_Escape);
    EXPECT_TRUE(bar.Field()->text().isEmpty());
    EXPECT_EQ(List()->model()->columnCount(), 5);
    EXPECT_EQ(Column(0).size(), 2) << "the In Box again";
    EXPECT_EQ(QString::fromStdString(store.Viewed()), QStringLiteral("In Box"));
}
