#include "app/gui/ToolButton.h"

#include <QActionEvent>

void TToolButton::SetHint(const QString& hint) {
    hint_ = hint;
    ApplyHint();
}

void TToolButton::SetHintVisible(bool visible) {
    hintVisible_ = visible;
    ApplyHint();
}

void TToolButton::Show(QAction* action) {
    setDefaultAction(action);
    ApplyHint();
}

void TToolButton::actionEvent(QActionEvent* event) {
    QToolButton::actionEvent(event);
    ApplyHint();
}

void TToolButton::ApplyHint() { setToolTip(hintVisible_ ? hint_ : QString()); }
