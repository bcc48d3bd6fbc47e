#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// "Password Dialog": asks for a user name and a password before a POP3
// login. It compares nothing itself; the login fills it and reads it back.
class TPasswordDlg : public QDialog {
    Q_OBJECT

public:
    explicit TPasswordDlg(QWidget* parent = nullptr);

    // "Validation required for" the server: the caption, and the line above
    // the fields, so it is read even where the title bar cuts it short.
    void SetCaption(const QString& caption);
    QString Caption() const;

    QLineEdit* UserName() const { return user_; }
    QLineEdit* Password() const { return password_; }

    // "Login" is refused while the user name is blank.
    void accept() override;

private:
    QLabel* caption_;
    QLineEdit* user_;
    QLineEdit* password_;
};
