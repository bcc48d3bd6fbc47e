#pragma once

#include "app/gui/TransferState.h"
#include "transport/TransferDisplay.h"

// One transfer's view of the main window's progress bar and status line;
// what the window then shows is the transfer state's to decide, since a
// check and a send may report at once.
class TWindowTransferDisplay : public ITransferDisplay {
public:
    TWindowTransferDisplay(TTransferState& state, TTransferState::TKind kind) : state_(state), kind_(kind) {}

    void ShowStatus(const std::string& text) override;
    void SetProgress(int percent) override;
    void ShowProgress(bool visible) override;

private:
    TTransferState& state_;
    TTransferState::TKind kind_;
};
