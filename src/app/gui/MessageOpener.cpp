#include "app/gui/MessageOpener.h"

#include <QAction>
#include <QWidget>
#include <ctime>
#include <fstream>

#include "app/gui/ListPages.h"
#include "app/gui/MailCommands.h"
#include "app/gui/MessageListModel.h"
#include "app/gui/MessageWindows.h"
#include "app/gui/PrintService.h"
#include "app/gui/SendRunner.h"
#include "app/gui/ToolButton.h"
#include "book/AddressList.h"
#include "book/gui/AddressListModel.h"
#include "common/AppTitle.h"
#include "common/DisplayDate.h"
#include "common/FileUtil.h"
#include "common/UserPrompt.h"
#include "common/gui/QtText.h"
#include "compose/PadKind.h"
#include "compose/SignatureList.h"
#include "compose/gui/FromPad.h"
#include "compose/gui/MessageWindow.h"
#include "compose/gui/NewPad.h"
#include "compose/gui/SRichEdit.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "mail/MessageCreator.h"
#include "spell/gui/RichSpell.h"
#include "store/MailStore.h"

namespace {
std::vector<std::string> FileLines(const std::string& path, bool* ok) {
    std::ifstream in(path, std::ios::binary);
    *ok = static_cast<bool>(in);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    // A read that failed part way (not the end of the file) is no file's text.
    if (in.bad()) *ok = false;
    return lines;
}
}  // namespace

TMessageOpener::TMessageOpener(TMailStore& store, std::string dataFolder, TMessageWindows& windows,
                               TMailCommands& commands, TSendRunner& sender, QWidget* mainWindow)
    : QObject(mainWindow),
      store_(store),
      dataFolder_(std::move(dataFolder)),
      windows_(windows),
      commands_(commands),
      sender_(sender),
      mainWindow_(mainWindow) {}

TMessageOpener::~TMessageOpener() = default;

void TMessageOpener::MarkRead(int handle) {
    const THeaderItem* item = store_.Headers().At(handle);
    if (!item || !item->Has(mfNew)) return;
    // The row, the mailbox's mark and the tip follow the change.
    store_.ChangeRecord(handle, [](THeaderItem& record) {
        record.Flags = static_cast<std::uint8_t>((record.Flags & ~(mfNew | mfRead)) | mfRead);
    });
}

QWidget* TMessageOpener::Open(int handle) {
    const THeaderItem* item = store_.Headers().At(handle);
    if (!item) return nullptr;
    IMessageWindow* window = nullptr;
    switch (PadKindOf(item->Flags)) {
        case TPadKind::None:
            return nullptr;
        case TPadKind::Reader:
            MarkRead(handle);
            window = windows_.Open(handle, [this, handle] { return new TFromPad(*this, handle); });
            break;
        case TPadKind::Composer:
            window = windows_.Open(handle, [this, handle] { return new TNewPad(*this, handle); });
            break;
    }
    return window ? window->Widget() : nullptr;
}

int TMessageOpener::CreateMessage(TNewMessage message, bool show) {
    const auto filters = listfile::Read(fileutil::FindNoCase(dataFolder_, cfg::kFilterFile));
    const int handle = TMessageCreator(store_, filters, *filterActions_).CreateMessage(message);
    if (const THeaderItem* item = store_.Headers().At(handle)) commands_.SelectMailbox(item->Mailbox.str());
    if (show) Open(handle);
    return handle;
}

std::string TMessageOpener::NoFormatFileError() {
    return std::string(kAppTitle) + " could not create a new message." + "\n" +
           "Reason: Invalid or missing format file." + "\n" +
           "Fix: Please setup your preferences for default messages.";
}

void TMessageOpener::NewMessage(const std::string& to) {
    if (mainWindow_ && (mainWindow_->isMinimized() || !mainWindow_->isVisible())) {
        ShowMainWindow();
        commands_.FocusList();
    }
    // Without an account nothing could be sent: the account comes first.
    if (OpenEditorWhenNoAccount()) return;
    // The button makes one message at a time: off until this one is made
    // (or refused), on every way out.
    struct TButtonOff {
        QAction* button;
        explicit TButtonOff(QAction* b) : button(b) {
            if (button) button->setEnabled(false);
        }
        ~TButtonOff() {
            if (button) button->setEnabled(true);
        }
    } off(newMessageButton_);
    if (showMailPage_) showMailPage_();
    bool ok = false;
    auto lines = FileLines(fileutil::FindNoCase(dataFolder_, cfg::kFormatFile), &ok);
    if (!ok) {
        store_.Prompt().Error(NoFormatFileError());
        return;
    }
    lines.emplace_back("\\par }");
    TIniFile& config = store_.Config();
    TNewMessage message;
    message.subject = config.Read(cfg::NewMessageCommand);
    message.to = to;
    message.flags = mfQueued;
    message.body = std::move(lines);
    message.date = displaydate::Format(std::time(nullptr));
    CreateMessage(std::move(message), config.Read(cfg::ShowMessageOnCreationNew));
}

void TMessageOpener::FilesDropped(const std::vector<std::string>& paths) {
    TIniFile& config = store_.Config();
    const std::string to = config.Read(cfg::UserFirstDropped) + " " + config.Read(cfg::UserLastDropped) + " <" +
                           config.Read(cfg::ReplyTo) + ">";
    bool unreadable = false;
    bool folder = false;
    for (const auto& path : paths) {
        // A folder stops the drop; the files before it have made their messages.
        if (fileutil::IsDirectory(path)) {
            folder = true;
            break;
        }
        bool ok = false;
        auto lines = FileLines(path, &ok);
        if (!ok) {
            // The others still make their messages; one box names the failure.
            unreadable = true;
            continue;
        }
        TNewMessage message;
        message.subject = config.Read(cfg::NewMessage);
        message.to = to;
        message.flags = mfQueued;
        message.body = std::move(lines);
        message.date = displaydate::Format(std::time(nullptr));
        CreateMessage(std::move(message), config.Read(cfg::ShowMessageOnCreationNew));
    }
    if (unreadable) store_.Prompt().Error(UnreadableDropError());
    if (folder) store_.Prompt().Error(FolderDropError());
}

std::string TMessageOpener::FolderDropError() { return std::string(kAppTitle) + " can not yet attach folders."; }

std::string TMessageOpener::UnreadableDropError() { return std::string(kAppTitle) + " could not open this file(s)."; }

void TMessageOpener::Print(const QString& title, const QTextDocument& body) {
    if (printing_) printing_->Print(title, body);
}

void TMessageOpener::CheckSpelling(TSRichEdit& body) {
    if (spell_) spell_->CheckRich(&body);
}

void TMessageOpener::WriteTo(const std::string& address) {
    TNewMessage message;
    message.subject = store_.Config().Read(cfg::NewMessage);
    message.to = "Internet User <" + address + ">";
    message.flags = mfQueued;
    message.date = displaydate::Format(std::time(nullptr));
    CreateMessage(std::move(message), true);
}

TAccountList TMessageOpener::AccountsForSending() {
    TAccountList accounts = TAccountList::Read(dataFolder_, &secrets_);
    if (!accounts.Accounts().empty() || !newAccount_) return accounts;
    newAccount_();
    // What the editor wrote: the account just made is the one to send through.
    return TAccountList::Read(dataFolder_, &secrets_);
}

bool TMessageOpener::Send(int handle, const std::vector<std::string>& attachments, TAccountList& accounts) {
    return sender_.Send(handle, attachments, accounts);
}

std::vector<std::string> TMessageOpener::SmtpAccounts() { return TSendRunner::SmtpAccounts(dataFolder_); }
bool TMessageOpener::OpenEditorWhenNoAccount() {
    if (!TAccountList::Read(dataFolder_).Accounts().empty()) return false;
    if (newAccount_) newAccount_();
    return true;
}

std::vector<TListRow> TMessageOpener::AddressBook() {
    if (listPages_) return listPages_->Book().Rows();
    return listfile::Read(fileutil::FindNoCase(dataFolder_, cfg::kAddressFile));
}

std::vector<TListRow> TMessageOpener::Signatures() {
    if (listPages_) return listPages_->Signatures().Rows();
    return listfile::Read(fileutil::FindNoCase(dataFolder_, cfg::kSignatureFile));
}

void TMessageOpener::SignaturesChanged() {
    for (IMessageWindow* window : windows_.All()) window->SignaturesChanged();
}

void TMessageOpener::SignatureRenamed(const QString& from, const QString& to) {
    for (IMessageWindow* window : windows_.All()) window->SignatureRenamed(from, to);
}

void TMessageOpener::AccountsChanged() {
    for (IMessageWindow* window : windows_.All()) window->AccountsChanged();
}

void TMessageOpener::AddSender(const std::string& from) {
    if (!addSender_) return;
    ShowMainWindow();
    addSender_(from);
}

void TMessageOpener::ShowMainWindow() {
    if (!mainWindow_) return;
    mainWindow_->show();
    mainWindow_->setWindowState(mainWindow_->windowState() & ~Qt::WindowMinimized);
    mainWindow_->raise();
    mainWindow_->activateWindow();
}

std::vector<std::string> TMessageOpener::DraggedMembers(const QMimeData* mime) const {
    return TAddressListModel::NamesOf(mime);
}

int TMessageOpener::DraggedMessage(const QMimeData* mime) const {
    const QList<int> handles = TMessageListModel::HandlesOf(mime);
    return handles.isEmpty() ? -1 : handles.front();
}
