#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/UserPrompt.h"

// A prompt that records every text shown and answers questions from a queue
// (No once the queue is empty).
class TRecordingPrompt : public IUserPrompt {
public:
    struct Shown {
        enum class Kind { Error, Information, YesNo, YesNoAll } kind;
        std::string text;
    };

    void QueueAnswer(TPromptAnswer answer) { answers_.push_back(answer); }
    const std::vector<Shown>& Texts() const { return shown_; }
    std::vector<std::string> Errors() const;
    void Clear() { shown_.clear(); }
    // Run while each box is "up", after its text is recorded: what the user
    // could do in the box's event loop.
    std::function<void(const Shown&)> whileShown;

    void Error(const std::string& text) override { Show(Shown::Kind::Error, text); }
    void Information(const std::string& text) override { Show(Shown::Kind::Information, text); }
    bool YesNo(const std::string& text) override;
    TPromptAnswer YesNoAll(const std::string& text) override;

private:
    TPromptAnswer Next();
    void Show(Shown::Kind kind, const std::string& text);
    std::vector<Shown> shown_;
    std::deque<TPromptAnswer> answers_;
};
