#pragma once

#include <QPointer>
#include <QWidget>

#include "common/UserPrompt.h"

// Message boxes of the client, titled with the program title and owned by
// the window given (or by none).
class TQtPrompt : public IUserPrompt {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    // With nobody to answer (the self-test), each text goes to stderr
    // instead of a box, questions are answered No and errors are counted.
    void SetUnattended(bool unattended) { unattended_ = unattended; }
    int ErrorCount() const { return errors_; }
    void Error(const std::string& text) override;
    void Information(const std::string& text) override;
    bool YesNo(const std::string& text) override;
    TPromptAnswer YesNoAll(const std::string& text) override;

private:
    bool Told(const std::string& text);

    QPointer<QWidget> parent_;
    bool unattended_ = false;
    int errors_ = 0;
};
