#pragma once

#include <string>

#include "book/FilterActions.h"

class TMailStore;

// The tool runs unattended: a filter's move happens, its notifications are
// only told on stderr.
class TToolFilterActions : public IFilterActions {
public:
    explicit TToolFilterActions(TMailStore& store) : store_(store) {}
    bool IsMailbox(const std::string& name) const override;
    void RunProgram(const std::string& path) override { Tell("run program " + path); }
    void PlaySound(const std::string& path) override { Tell("play sound " + path); }
    void Print(const std::string&, const std::string& subject, const std::string&) override {
        Tell("print \"" + subject + "\"");
    }

private:
    static void Tell(const std::string& what);
    TMailStore& store_;
};
