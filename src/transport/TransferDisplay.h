#pragma once

#include <string>

// The status line and progress bar a transfer reports to. Texts are
// Windows-1252 bytes; progress runs from 0 to 100.
class ITransferDisplay {
public:
    virtual ~ITransferDisplay() = default;
    virtual void ShowStatus(const std::string& text) = 0;
    virtual void SetProgress(int percent) = 0;
    virtual void ShowProgress(bool visible) = 0;
};
