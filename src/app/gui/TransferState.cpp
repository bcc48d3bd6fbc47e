#include "app/gui/TransferState.h"

#include <QAction>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>

#include "app/gui/WindowTransferDisplay.h"

TTransferState::TTransferState(QAction& stop, QProgressBar& progress, StatusSink status, QObject* parent)
    : QObject(parent),
      stop_(stop),
      progress_(progress),
      status_(std::move(status)),
      checkDisplay_(std::make_unique<TWindowTransferDisplay>(*this, TKind::Check)),
      sendDisplay_(std::make_unique<TWindowTransferDisplay>(*this, TKind::Send)) {
    connect(&stop_, &QAction::triggered, this, &TTransferState::Stop);
    stop_.setEnabled(false);
}

TTransferState::~TTransferState() = default;

ITransferDisplay& TTransferState::Display(TKind kind) { return kind == TKind::Check ? *checkDisplay_ : *sendDisplay_; }

bool TTransferState::Running(TKind kind) const { return Of(kind).running; }

void TTransferState::Begin(TKind kind, std::function<void()> cancel) {
    TTransfer& transfer = Of(kind);
    transfer = {std::move(cancel), true, false, 0};
    if (timer_) timer_->stop();
    UpdateStop();
}

void TTransferState::End(TKind kind) {
    Of(kind) = {};
    if (!Running() && timer_ && timer_->interval() > 0) timer_->start();
    UpdateStop();
    UpdateBar();
}

void TTransferState::Stop() {
    // The cancel may run the rest of the transfer's unwinding; it works on a
    // copy, since End clears the stored one.
    if (check_.running && check_.cancel) {
        auto cancel = check_.cancel;
        cancel();
    } else if (send_.running && send_.cancel) {
        auto cancel = send_.cancel;
        cancel();
    }
}

void TTransferState::ShowStatus(const QString& text) {
    if (status_) status_(text);
}

void TTransferState::SetProgress(TKind kind, int percent) {
    Of(kind).percent = std::clamp(percent, progress_.minimum(), progress_.maximum());
    UpdateBar();
}

void TTransferState::ShowProgress(TKind kind, bool visible) {
    Of(kind).showing = visible;
    UpdateBar();
}

void TTransferState::UpdateStop() { stop_.setEnabled(Running()); }

void TTransferState::UpdateBar() {
    const TTransfer* shown = check_.showing ? &check_ : send_.showing ? &send_ : nullptr;
    progress_.setValue(shown ? shown->percent : Running(TKind::Check) ? check_.percent : send_.percent);
    progress_.setVisible(shown != nullptr);
}
