#pragma once

#include <QDialog>

#include "config/Account.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QTabWidget;
class QVBoxLayout;
class TAccountList;
class IUserPrompt;

// The account dialog, "Fenmarch Skiffpost Accounts": the six fields of one
// account besides its alias. "&Apply" and "&Close" hand them over through
// Applied, and the caller writes them into the row. While the list holds one
// account only, the dialog cannot be closed in any way until that account
// has an SMTP and a POP3 server.
class TFrmAccounts : public QDialog {
    Q_OBJECT

public:
    TFrmAccounts(const TAccountList& list, IUserPrompt& prompt, QWidget* parent = nullptr);

    void Load(const TAccount& account);
    // The fields as entered; the alias is left empty (it is edited in the list).
    TAccount Fields() const;

    void accept() override;
    void reject() override;

    QTabWidget* Pages = nullptr;
    QLineEdit* POPSERVER = nullptr;
    QLineEdit* PopUserName = nullptr;
    QLineEdit* PopPass = nullptr;
    QLineEdit* SMTPServer = nullptr;
    QLineEdit* ReturnAddress = nullptr;
    QLineEdit* NickName = nullptr;
    // The account's transport security, offered on both pages (one setting:
    // each page names the usual port of its own server for every mode).
    QComboBox* PopSecurity = nullptr;
    QComboBox* SmtpSecurity = nullptr;
    // Beside the password: shown while the password would travel unprotected.
    QLabel* ClearTextWarning = nullptr;
    // The field rows of the two pages, where per-account connection settings
    // (such as the transport security) take their place.
    QFormLayout* ReceivingForm = nullptr;
    QFormLayout* SendingForm = nullptr;

signals:
    void Applied(const TAccount& fields);

private:
    QWidget* BuildReceivingPage();
    QWidget* BuildSendingPage();
    // An explanation, then a labelled field in `form` (or a form of its
    // own), both added to the group's column.
    QLineEdit* ExplainedField(QVBoxLayout* column, const char* explanation, const char* label, const char* name,
                              const char* hint, QFormLayout* form = nullptr);
    // The closing rule; shows its box, page and field when it refuses.
    bool MayClose();
    void ShowSecurity(TSecurity mode);
    TSecurity ChosenSecurity() const;
    // An account without a stored mode keeps following its server fields
    // until the user picks one, so an unchanged account writes no new key.
    void FollowServers();

    const TAccountList& list_;
    IUserPrompt& prompt_;
    bool securityChosen_ = false;
};
