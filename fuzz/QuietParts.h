#pragma once

// What the fuzz targets give the code for its prompts, displays and filter
// actions: everything answered, nothing shown.
#include <string>

#include "book/FilterActions.h"
#include "common/UserPrompt.h"
#include "transport/TransferDisplay.h"

struct TQuietPrompt : IUserPrompt {
    void Error(const std::string&) override {}
    void Information(const std::string&) override {}
    bool YesNo(const std::string&) override { return false; }
    TPromptAnswer YesNoAll(const std::string&) override { return TPromptAnswer::No; }
};

struct TQuietDisplay : TQuietPrompt, ITransferDisplay {
    void ShowStatus(const std::string&) override {}
    void SetProgress(int) override {}
    void ShowProgress(bool) override {}
};

struct TNoFilterActions : IFilterActions {
    bool IsMailbox(const std::string&) const override { return false; }
    void RunProgram(const std::string&) override {}
    void PlaySound(const std::string&) override {}
    void Print(const std::string&, const std::string&) override {}
};
