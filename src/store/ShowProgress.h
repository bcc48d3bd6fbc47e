#pragma once

#include <string>

// Told how far "show mailbox" has come: the progress bar and the first
// status panel of the main window.
class IShowProgress {
public:
    virtual ~IShowProgress() = default;
    virtual void Begin(int /*maximum*/) {}
    // Called about a hundred times per fill, not once per record.
    virtual void Step(int /*position*/) {}
    virtual void End() {}
    virtual void Status(const std::string& /*text*/) {}
};
