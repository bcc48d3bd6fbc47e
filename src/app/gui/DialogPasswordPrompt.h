#pragma once

#include "transport/PasswordPrompt.h"

class QWidget;

// Asks for a POP3 login in the "Password Dialog", modal over the window.
// The caption ("Validation required for" the server) becomes the dialog's
// title and its first line, so the user knows which server asks.
class TDialogPasswordPrompt : public IPasswordPrompt {
public:
    explicit TDialogPasswordPrompt(QWidget* parent) : parent_(parent) {}
    bool Ask(const std::string& caption, std::string& userName, std::string& password) override;

private:
    QWidget* parent_;
};
