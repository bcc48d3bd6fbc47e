#pragma once

#include <QPointer>
#include <QWidget>

#include "common/UserPrompt.h"

// Message boxes of the client, titled with the program title and owned by
// the window given (or by none).
class TQtPrompt : public IUserPrompt {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Error(const std::string& text) override;
    void Information(const std::string& text) override;
    bool YesNo(const std::string& text) override;
    TPromptAnswer YesNoAll(const std::string& text) override;

private:
    QPointer<QWidget> parent_;
};
