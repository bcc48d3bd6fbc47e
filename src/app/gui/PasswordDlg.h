#pragma once

#include <QDialog>

class QLineEdit;

// "Password Dialog": asks for a user name and a password before a POP3
// login. It compares nothing itself; the login fills it and reads it back.
class TPasswordDlg : public QDialog {
    Q_OBJECT

public:
    explicit TPasswordDlg(QWidget* parent = nullptr);

    QLineEdit* UserName() const { return user_; }
    QLineEdit* Password() const { return password_; }

    // "Login" is refused while the user name is blank.
    void accept() override;

private:
    QLineEdit* user_;
    QLineEdit* password_;
};
