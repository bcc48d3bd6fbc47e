#pragma once

#include <string>

#include "common/UserPrompt.h"

// What a probe of a server would have told its user, kept for the probe's
// report instead of shown: the reason of the last box, and no to every
// question (a probe trusts no certificate on its own).
class TProbeNotes : public IUserPrompt {
public:
    void Error(const std::string& text) override { Keep(text); }
    void Information(const std::string& text) override { Keep(text); }
    bool YesNo(const std::string& text) override {
        Keep(text);
        return false;
    }
    TPromptAnswer YesNoAll(const std::string& text) override {
        Keep(text);
        return TPromptAnswer::No;
    }
    // The "Reason: ..." line of the last box, without its label; empty when
    // no box came.
    const std::string& Reason() const { return reason_; }
    void Clear() { reason_.clear(); }

private:
    void Keep(const std::string& text);
    std::string reason_;
};
