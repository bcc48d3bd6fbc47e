#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "compose/gui/PadHost.h"
#include "config/ConfigKeys.h"
#include "config/gui/KeychainStore.h"

class QAction;
class QWidget;
class TListPages;
class TMailCommands;
class TMessageWindows;
class IFilterActions;
class TPrintService;
class TRichSpell;
class TSendRunner;

// Opens stored messages in their windows and makes new ones: a message
// opens in the reader or the composer by its status, once per record (the
// registry raises a window already open); new messages come from the
// "Message" button and its member menu, "Ne&w", files dropped on the main
// window, an address handed over at start-up, replies and forwards. It is
// what the message windows ask for services.
class TMessageOpener : public QObject, public IPadHost {
    Q_OBJECT

public:
    TMessageOpener(TMailStore& store, std::string dataFolder, TMessageWindows& windows, TMailCommands& commands,
                   TSendRunner& sender, QWidget* mainWindow);
    ~TMessageOpener() override;

    // Opens the message of handle in the window its status asks for; a
    // received message is marked read before its window shows. Null when
    // the record opens in no window.
    QWidget* Open(int handle);

    // The "new message" command: a message from the format file in the
    // "Out Box", to a member of the address book or to nobody.
    void NewMessage(const std::string& to);
    // One message per dropped file, its text the body, in drop order. A
    // folder stops the drop with a box; a file that cannot be read makes no
    // message and is named in one box at the end.
    void FilesDropped(const std::vector<std::string>& paths);
    // A new message to an address handed over on the command line.
    void WriteTo(const std::string& address);

    static std::string NoFormatFileError();
    static std::string FolderDropError();
    static std::string UnreadableDropError();

    // IPadHost
    TMailStore& Store() override { return store_; }
    int CreateMessage(TNewMessage message, bool show) override;
    TAccountList AccountsForSending() override;
    bool Send(int handle, const std::vector<std::string>& attachments, TAccountList& accounts) override;
    std::vector<std::string> SmtpAccounts() override;
    // What opens the new-account editor (the "Internet Servers" page's).
    void SetNewAccountEditor(std::function<void()> open) { newAccount_ = std::move(open); }
    // When the program has no server account at all, opens the new-account
    // editor (modally) and answers true; false when there is an account.
    bool OpenEditorWhenNoAccount();
    // The "Message" button's command: disabled while a message is made.
    void SetNewMessageButton(QAction* button) { newMessageButton_ = button; }
    // Shows the "Mail Messages" page, where a new message's row appears.
    void SetMailPageShower(std::function<void()> show) { showMailPage_ = std::move(show); }
    std::vector<TListRow> AddressBook() override;
    std::vector<TListRow> Signatures() override;
    // The spell checker the composers' "Spelling" button runs; the main
    // window owns it for the whole run.
    void SetSpell(TRichSpell* spell) { spell_ = spell; }
    bool CanCheckSpelling() const override { return spell_ != nullptr; }
    void CheckSpelling(TSRichEdit& body) override;
    void SetPrinting(TPrintService* printing) { printing_ = printing; }
    // The main window's list pages: the address book and signatures the
    // composers offer are their rows (until set, the list files').
    void SetListPages(const TListPages* pages) { listPages_ = pages; }
    // Every open composer follows the signature list and the accounts.
    void SignaturesChanged();
    // Composers that chose the signature keep it under its new name.
    void SignatureRenamed(const QString& from, const QString& to);
    void AccountsChanged();
    // What the outgoing filters do: the main window's filter actions.
    void SetFilterActions(IFilterActions* actions) { filterActions_ = actions; }
    bool CanPrint() const override { return printing_ != nullptr; }
    void Print(const QString& title, const QTextDocument& body) override;
    // Where "&From" of a reader adds the sender: the address book page.
    void SetSenderAdder(std::function<void(const std::string& from)> add) { addSender_ = std::move(add); }
    bool CanAddSender() const override { return static_cast<bool>(addSender_); }
    void AddSender(const std::string& from) override;
    void ShowMainWindow() override;
    std::vector<std::string> DraggedMembers(const QMimeData* mime) const override;
    int DraggedMessage(const QMimeData* mime) const override;

private:
    void MarkRead(int handle);

    TMailStore& store_;
    std::string dataFolder_;
    // Where the accounts' passwords may live.
    TKeychainStore secrets_{cfg::kKeyringService};
    TMessageWindows& windows_;
    TMailCommands& commands_;
    TSendRunner& sender_;
    QWidget* mainWindow_;
    TRichSpell* spell_ = nullptr;
    TPrintService* printing_ = nullptr;
    IFilterActions* filterActions_ = nullptr;
    std::function<void(const std::string&)> addSender_;
    std::function<void()> newAccount_;
    std::function<void()> showMailPage_;
    QAction* newMessageButton_ = nullptr;
    const TListPages* listPages_ = nullptr;
};
