#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include "compose/gui/BodyFindDialog.h"
#include "compose/gui/BodyFinder.h"
#include "support/RecordingPrompt.h"

namespace {

struct TFindRig {
    QWidget window;
    QTextEdit* body = new QTextEdit(&window);
    TRecordingPrompt prompt;
    TBodyFinder finder{*body, prompt, &window};

    explicit TFindRig(const QString& text) {
        body->setPlainText(text);
        window.show();
    }
    void Select(int from, int to) {
        QTextCursor c = body->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        body->setTextCursor(c);
    }
    int At() const { return body->textCursor().selectionStart(); }
    QString Selected() const { return body->textCursor().selectedText(); }
    std::size_t Boxes() const { return prompt.Texts().size(); }
};

}  // namespace

TEST(BodyFind, TheDialogStartsFromTheSelectionAndFindsOnwardToTheEnd) {
    TFindRig rig(QStringLiteral("Cat scan.\nThe cat sat on the Catalogue.\ncat"));
    rig.Select(20, 23);  // "sat"... then the selection is the text to find
    rig.Select(14, 17);  // "cat" on the second line
    rig.finder.Open();
    TBodyFindDialog* dialog = rig.finder.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Find"));
    EXPECT_EQ(dialog->Text(), QStringLiteral("cat"));
    EXPECT_TRUE(dialog->FindNextButton->isEnabled());

    // Onward from the end of the selection, case ignored: "Catalogue".
    dialog->FindNextButton->click();
    EXPECT_EQ(rig.At(), 29);
    EXPECT_EQ(rig.Selected(), QStringLiteral("Cat"));
    // Match case: the last line's "cat".
    dialog->MatchCaseBox->setChecked(true);
    dialog->FindNextButton->click();
    EXPECT_EQ(rig.At(), 40);
    EXPECT_EQ(rig.Boxes(), 0u);

    // Nothing further: the box, and the dialog closes.
    dialog->FindNextButton->click();
    ASSERT_EQ(rig.Boxes(), 1u);
    EXPECT_EQ(rig.prompt.Texts()[0].text, TBodyFinder::kFinished);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(rig.At(), 40);  // the caret's paragraph shows its hit
}

TEST(BodyFind, WholeWordsAndTheCaretsParagraphAtTheEnd) {
    TFindRig rig(QStringLiteral("catalogue cat\nconcat"));
    rig.finder.Open();
    TBodyFindDialog* dialog = rig.finder.Dialog();
    dialog->SetText(QStringLiteral("cat"));
    dialog->WholeWordBox->setChecked(true);
    rig.Select(0, 0);
    dialog->FindNextButton->click();
    EXPECT_EQ(rig.At(), 10);  // not inside "catalogue"
    // "concat" is no whole word: the end, and the first paragraph's hit stays shown.
    EXPECT_FALSE(rig.finder.FindNext());
    EXPECT_EQ(rig.At(), 10);
    EXPECT_EQ(rig.Selected(), QStringLiteral("cat"));

    // Opened again, the dialog keeps its text and options; a caret in a
    // paragraph without the text is left where it is at the end.
    rig.Select(16, 16);
    rig.finder.Open();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Text(), QStringLiteral("cat"));
    EXPECT_TRUE(dialog->WholeWord());
    EXPECT_FALSE(rig.finder.FindNext());
    EXPECT_EQ(rig.At(), 16);
    EXPECT_EQ(rig.Selected(), QString());
    EXPECT_EQ(rig.Boxes(), 2u);

    // An empty text searches nothing.
    dialog->SetText(QString());
    EXPECT_FALSE(dialog->FindNextButton->isEnabled());
    EXPECT_FALSE(rig.finder.FindNext());
    EXPECT_EQ(rig.Boxes(), 2u);
}
