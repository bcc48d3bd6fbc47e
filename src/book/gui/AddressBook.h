#pragma once

#include <QDialog>

#include "book/MemberForm.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QTabWidget;
class QToolButton;

// The member dialog, "Fenmarch Address Book": the member's phone, fax,
// signature, postal address, addresses with their distribution, document
// format and notes. "&Apply" and "&Close" hand the form over through
// Applied; the caller writes it into the row.
class TAddressBook : public QDialog {
    Q_OBJECT

public:
    explicit TAddressBook(const QStringList& signatures, QWidget* parent = nullptr);

    void Load(const TMemberForm& form);
    TMemberForm Form() const;

    QTabWidget* Pages = nullptr;
    QLineEdit* PN1 = nullptr;
    // Dials PN1 once the phone dialer exists; disabled until then.
    QToolButton* DialButton = nullptr;
    QLineEdit* FN1 = nullptr;
    QComboBox* SigFile = nullptr;
    QPlainTextEdit* Memo1 = nullptr;  // addresses
    QPlainTextEdit* Memo2 = nullptr;  // postal address
    QPlainTextEdit* Memo3 = nullptr;  // notes
    QRadioButton* BCC = nullptr;
    QRadioButton* CC = nullptr;
    QRadioButton* PlainText = nullptr;
    QRadioButton* EnhancedText = nullptr;

signals:
    void Applied(const TMemberForm& form);

private:
    QWidget* BuildPersonalPage();
    QWidget* BuildAddressPage();
    // The distribution rule, run on every change of the three memos.
    void FollowAddresses();
    void SetDistribution(bool enabled, TMemberForm::TDistribution checked);
};
