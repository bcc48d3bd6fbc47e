#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <memory>
#include <string>

#include "spell/SpellCheck.h"
#include "spell/SpellEngine.h"
#include "spell/SpellLists.h"
#include "spell/SuggestType.h"

class IUserPrompt;
class QTextEdit;
class TRichEditText;
class TSugDialog;

// The spell checker of the whole program: the main window keeps one for the
// run, so the dictionaries stay open and the "Ignore All" and "Change All"
// decisions hold for every message checked. A check walks the words of a
// text box and puts each unknown one to the user in the suggestion dialog,
// while the rest of the program keeps working.
class TRichSpell : public QObject, private ISpellUser {
    Q_OBJECT

public:
    TRichSpell(IUserPrompt& prompt, QWidget* window);
    ~TRichSpell() override;

    TSuggestType SuggestType = stCloseMatch;
    std::string DictionaryMain = "belvn.dct";
    std::string DictionaryUser = "custom.dct";
    int MaxSuggestions = 10;
    bool LeaveDictionariesOpen = true;
    // Keeps the dialog off the word it asks about.
    bool AvoidHighlight = true;

    // Checks the whole text of the box; false when the check was cancelled,
    // could not run, or another check is still running.
    bool CheckRich(QTextEdit* box);
    // Checks the selection of the box widened to whole words; nothing when
    // nothing is selected.
    bool CheckRichSelection(QTextEdit* box);
    void ClearLists() { lists_.Clear(); }

    bool Checking() const { return checking_; }
    TSugDialog* Dialog() const { return dialog_; }
    const TSpellLists& Lists() const { return lists_; }

private:
    bool Check(QTextEdit* box, TTextPoint from, TTextPoint to);
    bool OpenDictionaries();
    void KeepHighlightVisible(QTextEdit* box);
    void MoveOffWord();

    void Highlight(const TWordSpan& word) override;
    TSpellAnswer Ask(const TWordSpan& word, std::string& replacement) override;
    bool Pump() override;

    IUserPrompt& prompt_;
    SpellEngine engine_;
    TSpellLists lists_;
    TSugDialog* dialog_;
    bool open_ = false;
    int userIdentity_ = 0;
    bool checking_ = false;
    QPointer<QTextEdit> box_;
    std::unique_ptr<TRichEditText> text_;
    QPalette boxPalette_;
    QElapsedTimer sincePump_;
};
