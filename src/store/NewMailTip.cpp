#include "store/NewMailTip.h"

std::string TNewMailTip::TipFor(int count) {
    if (count < 1) return "You have no new mail.";
    if (count == 1) return "You have one new message.";
    return "You have " + std::to_string(count) + " new messages.";
}

std::string TNewMailTip::IconFor(int count) { return count < 1 ? "MAINICON" : "NEWMAIL"; }

int TNewMailTip::AddListener(Listener listener) {
    listeners_.emplace_back(++nextId_, std::move(listener));
    return nextId_;
}

void TNewMailTip::RemoveListener(int id) {
    std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

void TNewMailTip::Refresh() const {
    const std::string tip = Tip(), icon = Icon();
    // A copy: a listener may add or remove listeners while it is told.
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners)
        if (listener) listener(tip, icon);
}
