#include "store/NewMailTip.h"

std::string TNewMailTip::TipFor(int count) {
    if (count < 1) return "You have no new mail.";
    if (count == 1) return "You have one new message.";
    return "You have " + std::to_string(count) + " new messages.";
}

std::string TNewMailTip::IconFor(int count) { return count < 1 ? "MAINICON" : "NEWMAIL"; }

void TNewMailTip::Refresh() const {
    if (listener_) listener_(Tip(), Icon());
}
