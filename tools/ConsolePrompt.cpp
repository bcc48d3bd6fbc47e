#include "ConsolePrompt.h"

#include <iostream>

#include "common/Windows1252.h"

namespace {
void Print(const std::string& text) { std::cerr << cp1252::ToUtf8(text) << std::endl; }
}  // namespace

void TConsolePrompt::Error(const std::string& text) {
    ++errors_;
    Print(text);
}

void TConsolePrompt::Information(const std::string& text) { Print(text); }

bool TConsolePrompt::YesNo(const std::string& text) {
    Print(text);
    return yes_;
}

TPromptAnswer TConsolePrompt::YesNoAll(const std::string& text) {
    Print(text);
    return yes_ ? TPromptAnswer::Yes : TPromptAnswer::No;
}
