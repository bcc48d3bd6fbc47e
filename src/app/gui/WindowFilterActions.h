#pragma once

#include "app/gui/DesktopNotifier.h"
#include "book/FilterActions.h"

class TMailStore;

// What a filter does from the main window: programs and sounds through the
// desktop. Printing comes with the print support of the windows.
class TWindowFilterActions : public IFilterActions {
public:
    explicit TWindowFilterActions(TMailStore& store) : store_(store) {}
    bool IsMailbox(const std::string& name) const override;
    void RunProgram(const std::string& path) override { desktop_.RunProgram(path); }
    void PlaySound(const std::string& path) override { desktop_.PlaySound(path); }
    void Print(const std::string&, const std::string&) override {}

private:
    TMailStore& store_;
    TDesktopNotifier desktop_;
};
