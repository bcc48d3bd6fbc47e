#include "app/gui/DialogPasswordPrompt.h"

#include <QLineEdit>

#include "app/gui/PasswordDlg.h"
#include "common/gui/QtText.h"

bool TDialogPasswordPrompt::Ask(const std::string& caption, std::string& userName, std::string& password) {
    TPasswordDlg dialog(parent_);
    dialog.SetCaption(qttext::FromStored(caption));
    dialog.UserName()->setText(qttext::FromStored(userName));
    dialog.Password()->setText(qttext::FromStored(password));
    if (dialog.exec() != QDialog::Accepted) return false;
    userName = qttext::ToStored(dialog.UserName()->text());
    password = qttext::ToStored(dialog.Password()->text());
    return true;
}
