#include "app/gui/PasswordDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TPasswordDlg::TPasswordDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Password Dialog"));
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("Caption"));
    caption_->setTextFormat(Qt::PlainText);
    caption_->setWordWrap(true);
    caption_->setVisible(false);
    user_ = new QLineEdit(this);
    user_->setObjectName(QStringLiteral("UserName"));
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("Password"));
    password_->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* login = buttons->addButton(QStringLiteral("Login"), QDialogButtonBox::AcceptRole);
    login->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &TPasswordDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TPasswordDlg::reject);
    auto* form = new QFormLayout(this);
    form->addRow(caption_);
    form->addRow(QStringLiteral("Username:"), user_);
    form->addRow(QStringLiteral("Password:"), password_);
    form->addRow(buttons);
}

void TPasswordDlg::SetCaption(const QString& caption) {
    setWindowTitle(caption);
    caption_->setText(caption);
    caption_->setVisible(!caption.isEmpty());
}

QString TPasswordDlg::Caption() const { return windowTitle(); }

void TPasswordDlg::accept() {
    if (user_->text().trimmed().isEmpty()) {
        user_->setFocus();
        return;
    }
    QDialog::accept();
}
