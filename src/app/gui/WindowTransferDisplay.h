#pragma once

#include <QString>
#include <functional>

#include "transport/TransferDisplay.h"

class QProgressBar;

// The main window's progress bar and status line as a transfer sees them.
// The bar is only hidden when no other transfer still shows on it.
class TWindowTransferDisplay : public ITransferDisplay {
public:
    using StatusSink = std::function<void(const QString&)>;
    TWindowTransferDisplay(QProgressBar& progress, StatusSink status)
        : progress_(progress), status_(std::move(status)) {}

    void ShowStatus(const std::string& text) override;
    void SetProgress(int percent) override;
    void ShowProgress(bool visible) override;

private:
    QProgressBar& progress_;
    StatusSink status_;
};
