#include "app/gui/WindowTransferDisplay.h"

#include "common/gui/QtText.h"

void TWindowTransferDisplay::ShowStatus(const std::string& text) { state_.ShowStatus(qttext::FromStored(text)); }

void TWindowTransferDisplay::SetProgress(int percent) { state_.SetProgress(kind_, percent); }

void TWindowTransferDisplay::ShowProgress(bool visible) { state_.ShowProgress(kind_, visible); }
