#include "spell/gui/SugDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "common/AppTitle.h"
#include "common/gui/QtText.h"
#include "spell/SpellEngine.h"
#include "spell/gui/RichEditText.h"

TSugDialog::TSugDialog(SpellEngine& engine, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowSystemMenuHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint),
      engine_(engine) {
    setObjectName(QStringLiteral("SugDialog"));
    setModal(false);
    NotWordLabel = new QLabel(QStringLiteral("Not in Dictionary:"), this);
    NotWord = new QLineEdit(this);
    NotWord->setObjectName(QStringLiteral("NotWord"));
    NotWord->setReadOnly(true);
    NotWordLabel->setBuddy(NotWord);
    WordEditLabel = new QLabel(QStringLiteral("Change To:"), this);
    WordEdit = new QLineEdit(this);
    WordEdit->setObjectName(QStringLiteral("WordEdit"));
    WordEditLabel->setBuddy(WordEdit);
    SuggestList = new QListWidget(this);
    SuggestList->setObjectName(QStringLiteral("SuggestList"));

    auto button = [this](const char* caption, const char* name) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        // Enter acts on the focused button, never on a remembered default.
        b->setAutoDefault(false);
        return b;
    };
    BtnIgnore = button("&Ignore", "BtnIgnore");
    BtnIgnoreAll = button("I&gnore All", "BtnIgnoreAll");
    BtnChange = button("&Change", "BtnChange");
    BtnChangeAll = button("Change Al&l", "BtnChangeAll");
    BtnAdd = button("&Add", "BtnAdd");
    BtnSuggest = button("&Suggest", "BtnSuggest");
    BtnPhoneme = button("&Phoneme", "BtnPhoneme");
    BtnCancel = button("Cancel", "BtnCancel");

    auto* grid = new QGridLayout(this);
    grid->addWidget(NotWordLabel, 0, 0);
    grid->addWidget(NotWord, 0, 1);
    grid->addWidget(WordEditLabel, 1, 0);
    grid->addWidget(WordEdit, 1, 1);
    grid->addWidget(SuggestList, 2, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {BtnIgnore, BtnIgnoreAll, BtnChange, BtnChangeAll, BtnAdd, BtnSuggest, BtnPhoneme, BtnCancel})
        buttons->addWidget(b);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 3, 1);

    connect(BtnIgnore, &QPushButton::clicked, this, [this] { SetResult(kIgnore); });
    connect(BtnIgnoreAll, &QPushButton::clicked, this, [this] { SetResult(kIgnoreAll); });
    connect(BtnChange, &QPushButton::clicked, this, [this] { SetResult(kChange); });
    connect(BtnChangeAll, &QPushButton::clicked, this, [this] { SetResult(kChangeAll); });
    connect(BtnAdd, &QPushButton::clicked, this, [this] { SetResult(kAdd); });
    connect(BtnCancel, &QPushButton::clicked, this, &TSugDialog::reject);
    connect(BtnSuggest, &QPushButton::clicked, this, [this] { FillSuggestions(stCloseMatch); });
    connect(BtnPhoneme, &QPushButton::clicked, this, [this] { FillSuggestions(stPhoneme); });
    connect(WordEdit, &QLineEdit::returnPressed, this, [this] {
        if (BtnChange->isEnabled()) SetResult(kChange);
    });
    connect(SuggestList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { WordEdit->setText(item->text()); });
    connect(SuggestList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        WordEdit->setText(item->text());
        SetResult(kChange);
    });
    // The title bar's help button asks what a control does; each answers.
    const std::pair<QWidget*, const char*> help[] = {
        {NotWord, "The word the dictionaries do not know, highlighted in the text behind this window."},
        {WordEdit, "The word to put in its place. Type it, or click a suggestion; Enter changes the word."},
        {SuggestList,
         "Known words close to the unknown one. A click copies one to \"Change To:\", a double click "
         "also changes the word."},
        {BtnIgnore, "Leaves the word as it is, this time."},
        {BtnIgnoreAll, "Leaves the word, in any capitalisation, in every message until the program ends."},
        {BtnChange, "Puts \"Change To:\" in place of the word."},
        {BtnChangeAll,
         "Puts \"Change To:\" in place of the word, and of the same word wherever it comes again "
         "until the program ends, without asking."},
        {BtnAdd, "Adds the word to your own dictionary (User.Dct in the data folder), so it is known from now on."},
        {BtnSuggest, "Lists known words spelled like \"Change To:\"."},
        {BtnPhoneme, "Lists known words that sound like \"Change To:\"."},
        {BtnCancel, "Ends the check; the text keeps every change made so far. Escape does the same."},
    };
    for (const auto& [widget, text] : help) widget->setWhatsThis(QString::fromLatin1(text));
    ShowScanning();
}

void TSugDialog::ShowScanning() { setWindowTitle(QStringLiteral("Suggestions: Scanning...")); }

void TSugDialog::ShowWaiting() {
    setWindowTitle(QString::fromLatin1(kAppTitle) + QStringLiteral(" Spell Checker Available Suggestions"));
}

void TSugDialog::SetControlsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{NotWord, WordEdit, SuggestList, BtnIgnore, BtnIgnoreAll,
                                                      BtnChange, BtnChangeAll, BtnAdd, BtnSuggest, BtnPhoneme})
        w->setEnabled(enabled);
    BtnCancel->setEnabled(true);
}

void TSugDialog::Clear() {
    NotWord->clear();
    WordEdit->clear();
    SuggestList->clear();
}

void TSugDialog::ShowWord(const QString& word, const std::vector<std::string>& suggestions) {
    SetSuggestions(suggestions);
    NotWord->setText(word);
    WordEdit->setText(word);
    BtnIgnore->setFocus();
}

void TSugDialog::FillSuggestions(TSuggestType type) {
    if (type == stNoSuggest) {
        SuggestList->clear();
        return;
    }
    const std::string word = TRichEditText::DictionaryForm(WordEdit->text());
    SetSuggestions(word.empty() ? std::vector<std::string>{} : engine_.Suggest(word, type, maxSuggestions_));
}

void TSugDialog::SetSuggestions(const std::vector<std::string>& suggestions) {
    SuggestList->clear();
    for (const auto& s : suggestions) SuggestList->addItem(qttext::FromStored(s));
}

void TSugDialog::reject() { SetResult(kCancel); }

void TSugDialog::SetResult(int result) {
    result_ = result;
    emit Answered(result);
}
