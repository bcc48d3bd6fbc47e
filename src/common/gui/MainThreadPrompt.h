#pragma once

#include <QObject>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "common/UserPrompt.h"

// Lets worker threads use the user's prompt: a box asked for off the
// user-interface thread is shown there while the worker waits. Once closed
// (the program is ending and about to wait for its workers) a worker no
// longer waits for a box: its text goes to the standard error stream and a
// question counts as answered No, so that the wait for the workers ends.
class TMainThreadPrompt : public QObject, public IUserPrompt {
    Q_OBJECT

public:
    explicit TMainThreadPrompt(IUserPrompt& inner, QObject* parent = nullptr);
    ~TMainThreadPrompt() override;
    void Error(const std::string& text) override;
    void Information(const std::string& text) override;
    bool YesNo(const std::string& text) override;
    TPromptAnswer YesNoAll(const std::string& text) override;
    // From the user-interface thread; releases every worker waiting now.
    void Close();

private:
    struct TShared {
        std::mutex mutex;
        std::condition_variable answered;
        bool closed = false;
    };
    // Runs ask on the user-interface thread and returns its answer, or
    // fallback once closed. ask gets the prompt behind this one.
    template <typename R, typename F>
    R OnMainThread(const std::string& text, F ask, R fallback);

    IUserPrompt& inner_;
    std::shared_ptr<TShared> shared_ = std::make_shared<TShared>();
};
