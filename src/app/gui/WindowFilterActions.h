#pragma once

#include "app/gui/DesktopNotifier.h"
#include "book/FilterActions.h"

class TMailStore;
class TPrintService;

// What a filter does from the main window: programs and sounds through the
// desktop, printing through the print service. Filters run where messages are stored, on the user-interface
// thread, for the processing of downloads, sending and new messages alike.
class TWindowFilterActions : public IFilterActions {
public:
    TWindowFilterActions(TMailStore& store, TPrintService& printing) : store_(store), printing_(printing) {}
    bool IsMailbox(const std::string& name) const override;
    void RunProgram(const std::string& path) override { desktop_.RunProgram(path); }
    void PlaySound(const std::string& path) override { desktop_.PlaySound(path); }
    // The body prints through the window's print service; a printer the
    // system does not know gives way to the default one.
    void Print(const std::string& body, const std::string& subject, const std::string& printer) override;

private:
    TMailStore& store_;
    TPrintService& printing_;
    TDesktopNotifier desktop_;
};
