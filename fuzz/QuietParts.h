#pragma once

// What the fuzz targets give the code for its prompts, displays and filter
// actions: everything answered, nothing shown.
#include <cstdint>
#include <ctime>
#include <string>

#include "book/FilterActions.h"
#include "common/Clock.h"
#include "common/EventPump.h"
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
    void Print(const std::string&, const std::string&, const std::string&) override {}
};

// A clock that moves a second at every pass through the pump, so that every
// wait of a transport client ends by its time-out.
struct TTicking : IClock, IEventPump {
    std::time_t now = 0;
    std::time_t Now() const override { return now; }
    std::int64_t MonotonicMs() const override { return static_cast<std::int64_t>(now) * 1000; }
    void Pump() override { ++now; }
    bool IsPumpThread() const override { return true; }
};
