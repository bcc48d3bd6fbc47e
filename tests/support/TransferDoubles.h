#pragma once

#include <ctime>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/Clock.h"
#include "common/EventPump.h"
#include "transport/PasswordPrompt.h"
#include "transport/TransferDisplay.h"

// A clock the test moves: the pump moves both readings a second a pass; a
// test may set the wall clock anywhere without moving the monotonic one.
class TManualClock : public IClock {
public:
    std::time_t now = 1'000'000'000;
    std::int64_t monotonicMs = 0;
    std::time_t Now() const override { return now; }
    std::int64_t MonotonicMs() const override { return monotonicMs; }
};

// A pump that makes a second pass on every call, so time-outs come after
// that many passes; onPump runs at each pass (to press Stop, say).
class TTickPump : public IEventPump {
public:
    explicit TTickPump(TManualClock& clock) : clock_(clock) {}
    void Pump() override {
        ++passes;
        ++clock_.now;
        clock_.monotonicMs += 1000;
        if (onPump) onPump(passes);
    }
    bool IsPumpThread() const override { return true; }
    int passes = 0;
    std::function<void(int)> onPump;

private:
    TManualClock& clock_;
};

class TRecordingDisplay : public ITransferDisplay {
public:
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }
    void SetProgress(int percent) override {
        progress.push_back(percent);
        if (onProgress) onProgress(percent);
    }
    void ShowProgress(bool visible) override { shown = visible; }
    bool Saw(const std::string& text) const;
    std::vector<std::string> statuses;
    std::vector<int> progress;
    bool shown = false;
    std::function<void(int)> onProgress;
};

// Answers the password dialog from a queue; an empty queue cancels.
class TQueuedPasswordPrompt : public IPasswordPrompt {
public:
    void Queue(std::string user, std::string password) { answers.emplace_back(std::move(user), std::move(password)); }
    bool Ask(const std::string& caption, std::string& userName, std::string& password) override;
    std::deque<std::pair<std::string, std::string>> answers;
    std::vector<std::string> captions;
    std::vector<std::string> offeredUsers;
};
