#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The find dialog of a message window: the text to find, "Match whole word
// only", "Match case" and "Find Next". It stays open beside its window
// (modeless) and only asks; the window searches its body.
class TBodyFindDialog : public QDialog {
    Q_OBJECT

public:
    explicit TBodyFindDialog(QWidget* parent);

    QString Text() const;
    void SetText(const QString& text);
    bool MatchCase() const;
    bool WholeWord() const;

    QLineEdit* FindText = nullptr;
    QCheckBox* WholeWordBox = nullptr;
    QCheckBox* MatchCaseBox = nullptr;
    QPushButton* FindNextButton = nullptr;
    QPushButton* CancelButton = nullptr;

signals:
    void FindNext();
};
