#pragma once

#include <QDialog>

#include "book/MemberForm.h"

class ITelephony;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QTabWidget;
class QToolButton;
class TEditAndDial;

// The member dialog, "Fenmarch Address Book": the member's phone, fax,
// signature, postal address, addresses with their distribution, document
// format and notes. "&Apply" and "&Close" hand the form over through
// Applied; the caller writes it into the row. The phone number's dial
// button calls through telephony (disabled without one).
class TAddressBook : public QDialog {
    Q_OBJECT

public:
    explicit TAddressBook(const QStringList& signatures, QWidget* parent = nullptr, ITelephony* telephony = nullptr);

    void Load(const TMemberForm& form);
    TMemberForm Form() const;

    QTabWidget* Pages = nullptr;
    // The caller gives the called party's name (PN1->SetBeforeDial).
    TEditAndDial* PN1 = nullptr;
    QToolButton* DialButton = nullptr;  // PN1's
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
    QWidget* BuildPersonalPage(ITelephony* telephony);
    QWidget* BuildAddressPage();
    // The distribution rule, run on every change of the three memos.
    void FollowAddresses();
    void SetDistribution(bool enabled, TMemberForm::TDistribution checked);
};
