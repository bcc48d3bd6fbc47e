#include "support/TransferDoubles.h"

#include <algorithm>

bool TRecordingDisplay::Saw(const std::string& text) const {
    return std::find(statuses.begin(), statuses.end(), text) != statuses.end();
}

bool TQueuedPasswordPrompt::Ask(const std::string& caption, std::string& userName, std::string& password) {
    captions.push_back(caption);
    offeredUsers.push_back(userName);
    if (answers.empty()) return false;
    userName = answers.front().first;
    password = answers.front().second;
    answers.pop_front();
    return true;
}
