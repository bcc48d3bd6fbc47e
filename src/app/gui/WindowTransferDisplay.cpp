#include "app/gui/WindowTransferDisplay.h"

#include <QProgressBar>
#include <algorithm>

#include "common/gui/QtText.h"

void TWindowTransferDisplay::ShowStatus(const std::string& text) {
    if (status_) status_(qttext::FromStored(text));
}

void TWindowTransferDisplay::SetProgress(int percent) {
    progress_.setValue(std::clamp(percent, progress_.minimum(), progress_.maximum()));
}

void TWindowTransferDisplay::ShowProgress(bool visible) { progress_.setVisible(visible); }
