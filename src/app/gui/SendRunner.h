#pragma once

#include <QObject>
#include <string>
#include <vector>

class IFilterActions;
class TAccountList;
class TMailStore;
class TMessageSender;
class TTransferState;

// The window side of sending one message: the send is a transfer of the
// window's TTransferState ("Stop" cancels it unless a check runs, the timed
// checks wait, the status line and progress bar show it). The store and
// network side is TMessageSender's. One send at a time; a check may run
// beside it.
class TSendRunner : public QObject {
    Q_OBJECT

public:
    TSendRunner(TMailStore& store, std::string dataFolder, TTransferState& transfers, QObject* parent = nullptr);
    ~TSendRunner() override;
    // What the outgoing filters do: the main window's filter actions.
    void SetFilterActions(IFilterActions* actions) { filterActions_ = actions; }

    // Sends the message of handle with these attachments through its
    // account of accounts (read by the caller for this send); true when the
    // server took it. False at once while another send runs.
    bool Send(int handle, const std::vector<std::string>& attachments, TAccountList& accounts);
    bool Running() const { return sender_ != nullptr; }
    void Cancel();

    // The names of the accounts that have an SMTP server, in list order.
    static std::vector<std::string> SmtpAccounts(const std::string& dataFolder);

signals:
    void RunningChanged(bool running);

private:
    TMailStore& store_;
    std::string dataFolder_;
    TTransferState& transfers_;
    IFilterActions* filterActions_ = nullptr;
    TMessageSender* sender_ = nullptr;
};
