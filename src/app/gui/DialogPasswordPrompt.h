#pragma once

#include "transport/PasswordPrompt.h"

class QWidget;

// Asks for a POP3 login in the "Password Dialog", modal over the window.
// The caption is the status line's text of the moment; the dialog keeps its
// own title.
class TDialogPasswordPrompt : public IPasswordPrompt {
public:
    explicit TDialogPasswordPrompt(QWidget* parent) : parent_(parent) {}
    bool Ask(const std::string& caption, std::string& userName, std::string& password) override;

private:
    QWidget* parent_;
};
