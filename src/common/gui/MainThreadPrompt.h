#pragma once

#include <QObject>

#include "common/UserPrompt.h"

// Lets worker threads use the user's prompt: a box asked for off the
// user-interface thread is shown there while the worker waits.
class TMainThreadPrompt : public QObject, public IUserPrompt {
    Q_OBJECT

public:
    explicit TMainThreadPrompt(IUserPrompt& inner, QObject* parent = nullptr) : QObject(parent), inner_(inner) {}
    void Error(const std::string& text) override;
    void Information(const std::string& text) override;
    bool YesNo(const std::string& text) override;
    TPromptAnswer YesNoAll(const std::string& text) override;

private:
    template <typename F>
    void OnMainThread(F work);

    IUserPrompt& inner_;
};
