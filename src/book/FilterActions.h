#pragma once

#include <string>

// What a matching filter does beyond choosing a mailbox. The client opens
// programs through the desktop, plays sounds with libcanberra and prints on
// the user-interface thread; tests record the calls.
class IFilterActions {
public:
    virtual ~IFilterActions() = default;
    // Whether a mailbox of this exact name is in the mailbox tree.
    virtual bool IsMailbox(const std::string& name) const = 0;
    virtual void RunProgram(const std::string& path) = 0;
    // Asynchronous; called only for a file that exists.
    virtual void PlaySound(const std::string& path) = 0;
    // The message body (RTF) with the subject as the print job's title, on
    // the printer the filter names when the system has it, else on the
    // default printer.
    virtual void Print(const std::string& body, const std::string& subject, const std::string& printer) = 0;
};
