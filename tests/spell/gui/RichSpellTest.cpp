// The spell checker driven through its dialog on the offscreen platform, over
// rich text boxes with misspellings: the user's part is played by a timer
// that acts whenever the dialog waits for an answer, as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <functional>

#include "common/AppTitle.h"
#include "compose/gui/SRichEdit.h"
#include "spell/SpellEngine.h"
#include "spell/SpellFixture.h"
#include "spell/gui/RichEditText.h"
#include "spell/gui/RichSpell.h"
#include "spell/gui/SugDialog.h"
#include "support/RecordingPrompt.h"

namespace {

struct TAsked {
    QString word;      // NotWord
    QString selected;  // the highlight in the box
    QStringList suggestions;
    QString caption;
    bool highlightKept;  // the inactive selection colour is the active one
    bool dialogOffWord;
};

// Plays the user: each time the dialog waits, records what it shows and
// runs the next step (the default answer is "&Ignore").
class TUser : public QObject {
public:
    TUser(TRichSpell& spell, TSRichEdit*& box) : spell_(spell), box_(box) {
        timer_.setInterval(2);
        connect(&timer_, &QTimer::timeout, this, &TUser::Tick);
        timer_.start();
    }

    QList<std::function<void(TSugDialog&)>> steps;
    QList<TAsked> asked;

    QStringList Words() const {
        QStringList words;
        for (const auto& a : asked) words << a.word;
        return words;
    }

private:
    void Tick() {
        TSugDialog& d = *spell_.Dialog();
        if (!spell_.Checking() || !d.isVisible() || !d.BtnIgnore->isEnabled() || d.Result() != 0 || !box_) return;
        TAsked a;
        a.word = d.NotWord->text();
        a.selected = box_->textCursor().selectedText();
        for (int i = 0; i < d.SuggestList->count(); ++i) a.suggestions << d.SuggestList->item(i)->text();
        a.caption = d.windowTitle();
        const QPalette p = box_->palette();
        a.highlightKept =
            p.color(QPalette::Inactive, QPalette::Highlight) == p.color(QPalette::Active, QPalette::Highlight);
        const QRect local = box_->cursorRect();
        const QRect word(box_->viewport()->mapToGlobal(local.topLeft()), local.size());
        a.dialogOffWord = !d.frameGeometry().intersects(word);
        asked << a;
        if (steps.isEmpty())
            d.BtnIgnore->click();
        else
            steps.takeFirst()(d);
    }

    TRichSpell& spell_;
    TSRichEdit*& box_;
    QTimer timer_;
};

class RichSpellTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(780, 560);
        spell.DictionaryMain =
            WriteMainDictionary(dir, {"THE", "DOG", "DOGS", "BARKED", "AT", "CAT", "THERE", "WAS", "NO", "END", "IS",
                                      "NEAR", "BOLD", "WORD", "HERE", "AND", "THEN", "SOME", "MORE"});
        spell.DictionaryUser = dir.File("User.Dct");
        box = new TSRichEdit(&window);
        box->setGeometry(0, 0, 780, 560);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override { delete box; }

    TSRichEdit* Box(const QString& html) {
        box->setHtml(html);
        return box;
    }

    TTempDir dir;
    TRecordingPrompt prompt;
    QWidget window;
    TRichSpell spell{prompt, &window};
    TSRichEdit* box = nullptr;
};

void Say(TSugDialog& d, const QString& text, QPushButton* button) {
    d.WordEdit->setText(text);
    button->click();
}

}  // namespace

TEST_F(RichSpellTest, DialogHasItsCaptionsAndStartsHidden) {
    TSugDialog& d = *spell.Dialog();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.BtnIgnore->text(), "&Ignore");
    EXPECT_EQ(d.BtnIgnoreAll->text(), "I&gnore All");
    EXPECT_EQ(d.BtnChange->text(), "&Change");
    EXPECT_EQ(d.BtnChangeAll->text(), "Change Al&l");
    EXPECT_EQ(d.BtnAdd->text(), "&Add");
    EXPECT_EQ(d.BtnSuggest->text(), "&Suggest");
    EXPECT_EQ(d.BtnPhoneme->text(), "&Phoneme");
    EXPECT_EQ(d.BtnCancel->text(), "Cancel");
    EXPECT_EQ(d.NotWordLabel->text(), "Not in Dictionary:");
    EXPECT_EQ(d.WordEditLabel->text(), "Change To:");
    EXPECT_TRUE(d.NotWord->isReadOnly());
    EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(d.isModal());
    // The title bar's help button: every control says what it does.
    EXPECT_TRUE(d.windowFlags() & Qt::WindowContextHelpButtonHint);
    for (QWidget* w : std::initializer_list<QWidget*>{d.NotWord, d.WordEdit, d.SuggestList})
        EXPECT_FALSE(w->whatsThis().isEmpty()) << w->objectName().toStdString();
    for (QPushButton* b : d.findChildren<QPushButton*>())
        EXPECT_FALSE(b->whatsThis().isEmpty()) << b->objectName().toStdString();
}

TEST_F(RichSpellTest, ChecksARichBodyChangingFromTheSuggestionsAndKeepingTheLook) {
    Box("<p>The dog <b>barkd</b> at the cat.</p><p>Thare was no end, I x q.</p>");
    QPalette before = box->palette();
    before.setColor(QPalette::Inactive, QPalette::Highlight, Qt::lightGray);
    box->setPalette(before);
    TUser user(spell, box);
    user.steps << [](TSugDialog& d) {
        // A click on a suggestion copies it; the double click acts as "&Change".
        auto items = d.SuggestList->findItems("barked", Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        emit d.SuggestList->itemDoubleClicked(items.first());
    };
    user.steps << [](TSugDialog& d) {
        d.WordEdit->setText("There");
        QTest::keyClick(d.WordEdit, Qt::Key_Return);  // Enter in the edit acts as "&Change"
    };
    EXPECT_TRUE(spell.CheckRich(box));
    ASSERT_EQ(user.Words(), (QStringList{"barkd", "Thare"}));
    EXPECT_EQ(user.asked[0].selected, "barkd");
    EXPECT_TRUE(user.asked[0].suggestions.contains("barked"));
    EXPECT_LE(user.asked[0].suggestions.size(), 10);
    EXPECT_EQ(user.asked[0].caption, QString(kAppTitle) + " Spell Checker Available Suggestions");
    EXPECT_TRUE(user.asked[0].highlightKept);
    EXPECT_EQ(box->toPlainText(), "The dog barked at the cat.\nThere was no end, I x q.");
    // The replacement keeps the look of the word it replaced.
    QTextCursor at(box->document());
    at.setPosition(10);
    EXPECT_EQ(at.charFormat().fontWeight(), QFont::Bold);
    // Afterwards: dialog hidden, scanning caption, caret at the start, colours back.
    EXPECT_FALSE(spell.Dialog()->isVisible());
    EXPECT_EQ(spell.Dialog()->windowTitle(), "Suggestions: Scanning...");
    EXPECT_EQ(box->textCursor().position(), 0);
    EXPECT_FALSE(box->textCursor().hasSelection());
    EXPECT_EQ(box->palette(), before);
}

TEST_F(RichSpellTest, OneLetterWordsAndPossessivesAreNeverReported) {
    Box("<p>I a x. The dog's end; the dogs' end, 'dog' Z.</p>");
    TUser user(spell, box);
    EXPECT_TRUE(spell.CheckRich(box));
    EXPECT_TRUE(user.Words().isEmpty()) << user.Words().join(",").toStdString();
}

TEST_F(RichSpellTest, IgnoreAllHoldsAcrossMessagesInAnyCapitalisation) {
    Box("<p>the smurf barked</p>");
    {
        TUser user(spell, box);
        user.steps << [](TSugDialog& d) { d.BtnIgnoreAll->click(); };
        EXPECT_TRUE(spell.CheckRich(box));
        EXPECT_EQ(user.Words(), QStringList{"smurf"});
    }
    Box("<p>SMURF and Smurf then sMurf</p>");
    {
        TUser user(spell, box);
        EXPECT_TRUE(spell.CheckRich(box));
        EXPECT_TRUE(user.Words().isEmpty()) << user.Words().join(",").toStdString();
    }
    spell.ClearLists();
    {
        TUser user(spell, box);
        EXPECT_TRUE(spell.CheckRich(box));
        EXPECT_EQ(user.Words(), (QStringList{"SMURF", "Smurf", "sMurf"}));
    }
}

TEST_F(RichSpellTest, ChangeAllReplacesLaterWordsWithoutTheDialog) {
    Box("<p>teh dog</p><p>at teh end</p>");
    {
        TUser user(spell, box);
        user.steps << [](TSugDialog& d) { Say(d, "the", d.BtnChangeAll); };
        EXPECT_TRUE(spell.CheckRich(box));
        EXPECT_EQ(user.Words(), QStringList{"teh"});
    }
    EXPECT_EQ(box->toPlainText(), "the dog\nat the end");
    Box("<p>no Teh cat</p>");
    {
        TUser user(spell, box);
        EXPECT_TRUE(spell.CheckRich(box));
        EXPECT_TRUE(user.Words().isEmpty());
    }
    EXPECT_EQ(box->toPlainText(), "no the cat");
}

TEST_F(RichSpellTest, LongerReplacementOnTheLastLineStillChecksTheWordsAfterIt) {
    Box("<p>the dog</p><p>thr end is nera</p>");
    TUser user(spell, box);
    user.steps << [](TSugDialog& d) { Say(d, "thereafter", d.BtnChange); };
    user.steps << [](TSugDialog& d) { Say(d, "near", d.BtnChange); };
    EXPECT_TRUE(spell.CheckRich(box));
    EXPECT_EQ(user.Words(), (QStringList{"thr", "nera"}));
    EXPECT_EQ(box->toPlainText(), "the dog\nthereafter end is near");
}

TEST_F(RichSpellTest, EscapeEndsTheCheckAndReturnsTheCaret) {
    Box("<p>the dog</p><p>xyzzy plugh here</p>");
    QTextCursor c = box->textCursor();
    c.setPosition(12);
    box->setTextCursor(c);
    {
        TUser user(spell, box);
        user.steps << [](TSugDialog& d) { QTest::keyClick(d.BtnIgnore, Qt::Key_Escape); };
        EXPECT_FALSE(spell.CheckRich(box));
        EXPECT_EQ(user.Words(), QStringList{"xyzzy"});
    }
    EXPECT_EQ(box->textCursor().position(), 0);
    EXPECT_FALSE(box->textCursor().hasSelection());
    EXPECT_FALSE(spell.Dialog()->isVisible());
    EXPECT_EQ(box->toPlainText(), "the dog\nxyzzy plugh here");
    // The next check starts afresh and asks again.
    TUser again(spell, box);
    EXPECT_TRUE(spell.CheckRich(box));
    EXPECT_EQ(again.Words(), (QStringList{"xyzzy", "plugh"}));
}

TEST_F(RichSpellTest, AddPutsTheWordInTheUserDictionaryFile) {
    Box("<p>the frobnitz and the frobnitz</p>");
    TUser user(spell, box);
    user.steps << [](TSugDialog& d) { d.BtnAdd->click(); };
    EXPECT_TRUE(spell.CheckRich(box));
    EXPECT_EQ(user.Words(), QStringList{"frobnitz"});
    SpellEngine reader;
    ASSERT_GT(reader.OpenUserDictionary(dir.File("User.Dct")), 0);
    EXPECT_TRUE(reader.Lookup("FROBNITZ"));
}

TEST_F(RichSpellTest, SuggestAndPhonemeButtonsFillTheListForTheEditedWord) {
    Box("<p>the dgo</p>");
    TUser user(spell, box);
    QStringList closeMatch, phoneme;
    user.steps << [&](TSugDialog& d) {
        d.WordEdit->setText("nera");
        d.BtnSuggest->click();
        for (int i = 0; i < d.SuggestList->count(); ++i) closeMatch << d.SuggestList->item(i)->text();
        d.WordEdit->setText("thear");
        d.BtnPhoneme->click();
        for (int i = 0; i < d.SuggestList->count(); ++i) phoneme << d.SuggestList->item(i)->text();
        emit d.SuggestList->itemClicked(d.SuggestList->item(0));
        d.BtnChange->click();
    };
    EXPECT_TRUE(spell.CheckRich(box));
    EXPECT_TRUE(closeMatch.contains("near")) << closeMatch.join(",").toStdString();
    ASSERT_FALSE(phoneme.isEmpty());
    EXPECT_EQ(box->toPlainText(), "the " + phoneme.first());
}

TEST_F(RichSpellTest, DialogMovesOffTheWordItAsksAbout) {
    Box("<p>the dog xyzzy</p><p><br></p><p><br></p><p>the cat plugh</p>");
    TUser user(spell, box);
    user.steps << [this](TSugDialog& d) {
        // Put the dialog right over the next unknown word.
        QTextCursor next(box->document());
        next.setPosition(box->document()->findBlockByNumber(3).position() + 9);
        const QPoint word = box->viewport()->mapToGlobal(box->cursorRect(next).center());
        d.move(word - QPoint(d.frameGeometry().width() / 2, d.frameGeometry().height() / 2));
        d.BtnIgnore->click();
    };
    EXPECT_TRUE(spell.CheckRich(box));
    ASSERT_EQ(user.Words(), (QStringList{"xyzzy", "plugh"}));
    EXPECT_TRUE(user.asked[1].dialogOffWord);
}

TEST_F(RichSpellTest, ClosingTheBoxWhileTheDialogWaitsEndsTheCheck) {
    Box("<p>xyzzy plugh</p>");
    TUser user(spell, box);
    user.steps << [this](TSugDialog&) {
        delete box;
        box = nullptr;
    };
    EXPECT_FALSE(spell.CheckRich(box));
    EXPECT_FALSE(spell.Checking());
    EXPECT_FALSE(spell.Dialog()->isVisible());
}

TEST_F(RichSpellTest, TypingInTheBoxWhileTheDialogWaitsIsKept) {
    Box("<p>the dgx barked</p>");
    TUser user(spell, box);
    user.steps << [this](TSugDialog& d) {
        // The user goes back to the text and mends the word there himself.
        QTextCursor c(box->document());
        c.setPosition(6);
        c.deleteChar();
        c.insertText("o");
        Say(d, "cat", d.BtnChange);
    };
    EXPECT_TRUE(spell.CheckRich(box));
    EXPECT_EQ(box->toPlainText(), "the dgo barked");
}

TEST_F(RichSpellTest, SelectionIsWidenedToWholeWords) {
    Box("<p>the xyzzy dog plugh qwerty</p>");
    QTextCursor c(box->document());
    c.setPosition(6);
    c.setPosition(16, QTextCursor::KeepAnchor);  // "zzy dog pl"
    box->setTextCursor(c);
    TUser user(spell, box);
    EXPECT_TRUE(spell.CheckRichSelection(box));
    EXPECT_EQ(user.Words(), (QStringList{"xyzzy", "plugh"}));
    box->setTextCursor(QTextCursor(box->document()));
    EXPECT_FALSE(spell.CheckRichSelection(box));
    EXPECT_EQ(user.Words().size(), 2);
}

TEST_F(RichSpellTest, MissingMainDictionarySaysSoAndChecksNothing) {
    spell.DictionaryMain = dir.File("absent.dct");
    Box("<p>xyzzy</p>");
    TUser user(spell, box);
    EXPECT_FALSE(spell.CheckRich(box));
    EXPECT_EQ(prompt.Errors(), std::vector<std::string>{"Could not open dictionary"});
    EXPECT_TRUE(user.Words().isEmpty());
    EXPECT_FALSE(spell.Dialog()->isVisible());
    EXPECT_EQ(box->toPlainText(), "xyzzy");
}

// Letters Windows-1252 lacks belong to their word: the word is asked about
// whole, shown as written, suggested for by its nearest dictionary spelling,
// and changed in place; the known words around it are still known.
TEST_F(RichSpellTest, LettersBeyondTheCodePageStayInsideTheirWord) {
    Box(
        QString::fromUtf8("<p>The dog Dvořák barked at the Łódź cat.</p>"
                          "<p>\xD1\x81\xD0\xBE\xD0\xB1\xD0\xB0\xD0\xBA\xD0\xB0 and \xF0\x9D\x90\x80"
                          "dog near Dvořák.</p>"));
    TUser user(spell, box);
    user.steps << [](TSugDialog& d) { d.BtnIgnoreAll->click(); };
    user.steps << [](TSugDialog& d) { Say(d, "Lodz", d.BtnChange); };
    EXPECT_TRUE(spell.CheckRich(box));
    EXPECT_EQ(user.Words(), (QStringList{QString::fromUtf8("Dvořák"), QString::fromUtf8("Łódź"),
                                         QString::fromUtf8("\xD1\x81\xD0\xBE\xD0\xB1\xD0\xB0\xD0\xBA\xD0\xB0"),
                                         QString::fromUtf8("\xF0\x9D\x90\x80"
                                                           "dog")}))
        << user.Words().join(",").toStdString();
    EXPECT_EQ(user.asked[0].selected, QString::fromUtf8("Dvořák"));
    EXPECT_EQ(box->toPlainText(), QString::fromUtf8("The dog Dvořák barked at the Lodz cat.\n"
                                                    "\xD1\x81\xD0\xBE\xD0\xB1\xD0\xB0\xD0\xBA\xD0\xB0 and "
                                                    "\xF0\x9D\x90\x80"
                                                    "dog near Dvořák."));
}

TEST(RichEditTextForm, LettersTheCodePageLacksBecomeTheirBaseLetter) {
    EXPECT_EQ(TRichEditText::DictionaryForm(QString::fromUtf8("Dvořák")), "Dvor\xE1k");
    EXPECT_EQ(TRichEditText::DictionaryForm(QString::fromUtf8("Łódź")),
              "?\xF3"
              "dz");  // "Ł" has no base letter
    EXPECT_EQ(TRichEditText::DictionaryForm(QString::fromUtf8("cafe\xCC\x81")), "cafe");
    EXPECT_EQ(TRichEditText::DictionaryForm(QStringLiteral("dog")), "dog");
}
