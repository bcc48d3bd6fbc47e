#pragma once

#include <string>
#include <vector>

#include "common/ListFile.h"
#include "config/AccountList.h"
#include "mail/MessageCreator.h"

class THeaderItem;
class TMailStore;
class TSRichEdit;
class QMimeData;
class QString;
class QTextDocument;

// What the message windows ask of the program around them: the store,
// creating and sending messages, the lists the composer offers, the main
// window. The windows hold no store sequences of their own.
class IPadHost {
public:
    virtual ~IPadHost() = default;

    virtual TMailStore& Store() = 0;
    // Creates a message in the "Out Box" (or where a filter sends it) and,
    // when show is set, opens it in the composer. Its handle.
    virtual int CreateMessage(TNewMessage message, bool show) = 0;
    // The accounts a send chooses from, read once for it: when the program
    // has no server account at all, the new-account editor opens (modally)
    // first and the accounts are the ones it left.
    virtual TAccountList AccountsForSending() = 0;
    // Sends a stored message with these attachments through the record's
    // account of accounts; true when the server took it.
    virtual bool Send(int handle, const std::vector<std::string>& attachments, TAccountList& accounts) = 0;
    // The names of the accounts that have an SMTP server, in list order.
    virtual std::vector<std::string> SmtpAccounts() = 0;
    // The rows of the address book and of the signature list.
    virtual std::vector<TListRow> AddressBook() = 0;
    virtual std::vector<TListRow> Signatures() = 0;
    // Adding a correspondent to the address book; false while the program
    // has no address book page to add it to.
    virtual bool CanAddSender() const = 0;
    virtual void AddSender(const std::string& from) = 0;
    // The program's spell checker over a body; false while there is none.
    virtual bool CanCheckSpelling() const = 0;
    virtual void CheckSpelling(TSRichEdit& body) = 0;
    // The program's print service: the body under the heading of title.
    virtual bool CanPrint() const = 0;
    virtual void Print(const QString& title, const QTextDocument& body) = 0;
    // Shows, restores and raises the main window.
    virtual void ShowMainWindow() = 0;
    // What a drag from the main window's lists carries: the names of the
    // address-book members dragged (none when it carries no member), and
    // the handle of the first message row dragged (-1 when none).
    virtual std::vector<std::string> DraggedMembers(const QMimeData* mime) const = 0;
    virtual int DraggedMessage(const QMimeData* mime) const = 0;
};
