#include "phone/gui/MemberBox.h"

#include <QFocusEvent>

namespace {

bool WithinWindow(Qt::FocusReason reason) {
    return reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::ShortcutFocusReason || reason == Qt::OtherFocusReason;
}

}  // namespace

TMemberBox::TMemberBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Names are looked up exactly as typed.
    setCompleter(nullptr);
}

void TMemberBox::showPopup() {
    emit DroppedDown();
    QComboBox::showPopup();
}

void TMemberBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    if (WithinWindow(event->reason())) emit Entered();
}

void TMemberBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (WithinWindow(event->reason())) emit Left();
}
