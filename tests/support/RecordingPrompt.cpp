#include "support/RecordingPrompt.h"

std::vector<std::string> TRecordingPrompt::Errors() const {
    std::vector<std::string> out;
    for (const auto& s : shown_)
        if (s.kind == Shown::Kind::Error) out.push_back(s.text);
    return out;
}

TPromptAnswer TRecordingPrompt::Next() {
    if (answers_.empty()) return TPromptAnswer::No;
    const TPromptAnswer a = answers_.front();
    answers_.pop_front();
    return a;
}

void TRecordingPrompt::Show(Shown::Kind kind, const std::string& text) {
    shown_.push_back({kind, text});
    if (whileShown) {
        // Copies: the hook may show a box itself.
        const auto hook = whileShown;
        const Shown shown = shown_.back();
        hook(shown);
    }
}

bool TRecordingPrompt::YesNo(const std::string& text) {
    Show(Shown::Kind::YesNo, text);
    return Next() != TPromptAnswer::No;
}

TPromptAnswer TRecordingPrompt::YesNoAll(const std::string& text) {
    Show(Shown::Kind::YesNoAll, text);
    return Next();
}
