#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QFileSystemWatcher;
class QMenu;
class QToolButton;
class QWidget;
class TCheckAccounts;
class TIniFile;
class TMailCheck;
class TTransferState;
class IUserPrompt;

// The window's side of mail operations: what starts a check (the automatic
// timer "InternetTimer", the "Check" button and its menu "MCPopup", "Check
// Mail" with the account chooser, a request given at start-up) and the
// check commands' busy state. "Stop", the progress bar, the status line and
// the hold on the timer are the window's TTransferState, which a send from a
// composer shares. The check itself is the core's TMailCheck; it runs on
// this thread and lets the window run inside its waits, so the user keeps
// working. Downloads are handed to the processing afterwards.
class TMailCheckController : public QObject {
    Q_OBJECT

public:
    struct TControls {
        QToolButton* checkButton;  // "Check"; its own action is the button's
        QAction* checkMail;        // "Check Mail" of the main menu
    };
    TMailCheckController(TIniFile& config, IUserPrompt& prompt, std::string dataFolder, TControls controls,
                         TTransferState& transfers, QWidget* window);
    ~TMailCheckController() override;

    // Another "Check Mail" item (the tray menu's) that follows the busy state.
    void AddCheckMailAction(QAction* action);
    // Runs after every check, failed or not: the processing of the download
    // files in the data folder.
    void SetProcessing(std::function<void()> start) { processing_ = std::move(start); }
    // Runs when a check of all accounts finds no account at all.
    void SetNoAccounts(std::function<void()> handler) { noAccounts_ = std::move(handler); }

    // Checks these accounts in order; false when a check already runs or an
    // account failed.
    bool Check(const std::vector<std::string>& aliases);
    bool CheckAll();
    // A check of all accounts asked for from outside (a "/c" handed over):
    // at once, or right after the check that runs now, whatever that one
    // covers. Requests made during one check give one check after it.
    void RequestCheckAll();
    // "Check Mail": all accounts, or the chooser with two or more.
    void CheckMail();
    // The "Check" button's own click: a check with fewer than two accounts;
    // with more the button only opens its menu.
    void CheckButtonClicked();
    // Cancels the running check; it ends at its next wait.
    void Cancel();
    bool Running() const { return check_ != nullptr; }

    // Sets the automatic check's period from "Interval" (minutes; 0 or less
    // never fires). Called at start-up and when the preferences change.
    void ApplyInterval();
    // Reads the account list again and rebuilds the "Check" button's menu;
    // called when the list changed.
    void AccountsChanged();

    QTimer InternetTimer;
    QMenu* MCPopup() const { return popup_; }
    QAction* AllServers() const { return allServers_; }
    QStringList Aliases() const { return aliases_; }
    // The chooser while it is open.
    TCheckAccounts* Chooser() const;
    // Messages the last check downloaded.
    int LastNewMessages() const { return lastNew_; }

signals:
    void CheckStarted();
    // A check ended; newMessages were downloaded by it.
    void CheckFinished(int newMessages);

private:
    static constexpr qint64 kProcessEveryMs = 250;

    void EnterBusy();
    void LeaveBusy();
    void RebuildMenu();

    struct Parts;
    TIniFile& config_;
    IUserPrompt& prompt_;
    std::string dataFolder_;
    TControls controls_;
    TTransferState& transfers_;
    QWidget* window_;
    std::unique_ptr<Parts> parts_;
    QList<QAction*> checkActions_;
    QMenu* popup_;
    QAction* allServers_;
    QStringList aliases_;
    QFileSystemWatcher* watcher_;
    QPointer<TCheckAccounts> chooser_;
    TMailCheck* check_ = nullptr;
    std::function<void()> processing_;
    std::function<void()> noAccounts_;
    int lastNew_ = 0;
    bool checkAllAfter_ = false;  // a request came during a check
};
