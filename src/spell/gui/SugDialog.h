#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "spell/SuggestType.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class SpellEngine;

// The suggestion dialog: shows an unknown word with suggestions and keeps
// the user's choice as a result code (0 while waiting). It stays on top and
// is not modal, so the text behind it can still be read, scrolled and typed in.
class TSugDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kCancel = 100;
    static constexpr int kChange = 101;
    static constexpr int kAdd = 102;
    static constexpr int kIgnore = 103;
    static constexpr int kIgnoreAll = 104;
    static constexpr int kChangeAll = 105;

    explicit TSugDialog(SpellEngine& engine, QWidget* parent = nullptr);

    int Result() const { return result_; }
    void ResetResult() { result_ = 0; }
    void SetMaxSuggestions(int count) { maxSuggestions_ = count; }
    int MaxSuggestions() const { return maxSuggestions_; }

    void ShowScanning();
    void ShowWaiting();
    // Every control but "Cancel", which stays usable while the checker scans.
    void SetControlsEnabled(bool enabled);
    // The word as the text shows it and its suggestions (Windows-1252),
    // with "&Ignore" focused.
    void ShowWord(const QString& word, const std::vector<std::string>& suggestions);
    void Clear();
    void FillSuggestions(TSuggestType type);

    QLabel* NotWordLabel;
    QLineEdit* NotWord;
    QLabel* WordEditLabel;
    QLineEdit* WordEdit;
    QListWidget* SuggestList;
    QPushButton* BtnIgnore;
    QPushButton* BtnIgnoreAll;
    QPushButton* BtnChange;
    QPushButton* BtnChangeAll;
    QPushButton* BtnAdd;
    QPushButton* BtnSuggest;
    QPushButton* BtnPhoneme;
    QPushButton* BtnCancel;

signals:
    // A result other than 0 was set.
    void Answered(int result);

public slots:
    // Escape, the window's close button and "Cancel".
    void reject() override;

private:
    void SetResult(int result);
    void SetSuggestions(const std::vector<std::string>& suggestions);

    SpellEngine& engine_;
    int maxSuggestions_ = 10;
    int result_ = 0;
};
