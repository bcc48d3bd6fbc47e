#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Clock.h"
#include "common/SleepPump.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"
#include "support/TransferDoubles.h"
#include "transport/MailBase.h"
#include "transport/PosixSocketFactory.h"

// What a check or a send against the real local servers runs with: the
// real network, sleep and clock, and a prompt, display and password
// prompt that record what the user would have been told and asked.
struct TRealRig {
    TPosixSocketFactory net;
    TSleepPump pump;
    TSystemClock clock;
    TRecordingPrompt prompt;
    TRecordingDisplay display;
    TQueuedPasswordPrompt passwords;
    TMailEnv Env() { return {net, pump, clock, prompt, display}; }
};

// The contents of the downloads (".tsg") in a folder, sorted.
inline std::vector<std::string> DownloadsIn(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().extension() == ".tsg") out.push_back(ReadFileOrEmpty(e.path().string()));
    std::sort(out.begin(), out.end());
    return out;
}
