#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "transport/TransferDisplay.h"

class QAction;
class QProgressBar;
class QTimer;
class IFilterActions;
class TAccountList;
class TMailStore;
class TMessageSender;

// The window side of sending one message: while the send runs the "Stop"
// button cancels it, the check interval timer is held, and the status line
// and progress bar show the transfer. The store and network side is
// TMessageSender's. One send at a time; a check may run beside it.
class TSendRunner : public QObject, private ITransferDisplay {
    Q_OBJECT

public:
    using StatusSink = std::function<void(const QString&)>;

    TSendRunner(TMailStore& store, std::string dataFolder, QAction& stop, QProgressBar& progress, StatusSink status,
                QObject* parent = nullptr);
    ~TSendRunner() override;

    // The timer of automatic checks, held while a send runs.
    void SetIntervalTimer(QTimer* timer) { interval_ = timer; }
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
    void ShowStatus(const std::string& text) override;
    void SetProgress(int percent) override;
    void ShowProgress(bool visible) override;

    TMailStore& store_;
    std::string dataFolder_;
    QAction& stop_;
    QProgressBar& progress_;
    StatusSink status_;
    QPointer<QTimer> interval_;
    IFilterActions* filterActions_ = nullptr;
    TMessageSender* sender_ = nullptr;
};
