#pragma once

#include <mutex>

#include "common/UserPrompt.h"

// A prompt that worker threads may share: one text at a time reaches the
// prompt behind it.
class TLockedPrompt : public IUserPrompt {
public:
    explicit TLockedPrompt(IUserPrompt& inner) : inner_(inner) {}
    void Error(const std::string& text) override {
        std::lock_guard lock(mutex_);
        inner_.Error(text);
    }
    void Information(const std::string& text) override {
        std::lock_guard lock(mutex_);
        inner_.Information(text);
    }
    bool YesNo(const std::string& text) override {
        std::lock_guard lock(mutex_);
        return inner_.YesNo(text);
    }
    TPromptAnswer YesNoAll(const std::string& text) override {
        std::lock_guard lock(mutex_);
        return inner_.YesNoAll(text);
    }

private:
    IUserPrompt& inner_;
    std::mutex mutex_;
};
