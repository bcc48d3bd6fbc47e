#pragma once

#include "transport/TransferDisplay.h"

// The status line of the command line: each status text on its own line of
// stderr, in UTF-8. Progress is not shown.
class TConsoleDisplay : public ITransferDisplay {
public:
    void ShowStatus(const std::string& text) override;
    void SetProgress(int) override {}
    void ShowProgress(bool) override {}
};
