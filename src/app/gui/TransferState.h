#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

class QAction;
class QProgressBar;
class ITransferDisplay;
class TWindowTransferDisplay;

// The one owner of the main window's transfers: which run (a mail check, a
// send, or both at once, since a composer may send while a check waits on
// the network), the "Stop" action (enabled while any runs; it cancels the
// check when one runs, else the send), the progress bar and the status
// line they report to, and the hold on the timed checks while any runs.
// Without one owner, a transfer that ended took down what another still
// needed: the bar, "Stop" and the timer.
class TTransferState : public QObject {
    Q_OBJECT

public:
    enum class TKind { Check, Send };
    using StatusSink = std::function<void(const QString&)>;

    TTransferState(QAction& stop, QProgressBar& progress, StatusSink status, QObject* parent = nullptr);
    ~TTransferState() override;

    // The timer of the timed checks: stopped while a transfer runs and
    // started again after the last one when it has a period.
    void HoldTimer(QTimer& timer) { timer_ = &timer; }

    // A transfer of kind begins; cancel is what "Stop" does to it.
    void Begin(TKind kind, std::function<void()> cancel);
    // The transfer of kind has ended: its share of the bar goes; the bar
    // and "Stop" stay while the other transfer runs.
    void End(TKind kind);
    bool Running(TKind kind) const;
    bool Running() const { return Running(TKind::Check) || Running(TKind::Send); }

    // "Stop": the running check, else the running send.
    void Stop();

    // What a transfer of kind reports to. While both show progress the bar
    // is the check's: it is the longer, and the one the timer started.
    ITransferDisplay& Display(TKind kind);

    // Called by the displays.
    void ShowStatus(const QString& text);
    void SetProgress(TKind kind, int percent);
    void ShowProgress(TKind kind, bool visible);

private:
    struct TTransfer {
        std::function<void()> cancel;
        bool running = false;
        bool showing = false;
        int percent = 0;
    };
    TTransfer& Of(TKind kind) { return kind == TKind::Check ? check_ : send_; }
    const TTransfer& Of(TKind kind) const { return kind == TKind::Check ? check_ : send_; }
    void UpdateStop();
    // The bar is only touched when a transfer reports or ends: between
    // transfers it is the mail page's, which shows compaction on it.
    void UpdateBar();

    QAction& stop_;
    QProgressBar& progress_;
    StatusSink status_;
    QPointer<QTimer> timer_;
    TTransfer check_;
    TTransfer send_;
    std::unique_ptr<TWindowTransferDisplay> checkDisplay_;
    std::unique_ptr<TWindowTransferDisplay> sendDisplay_;
};
