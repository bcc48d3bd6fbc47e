#include "app/gui/HintTime.h"

#include <QEvent>
#include <QWidget>

bool THintTime::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->toolTipDuration() < 0) widget->setToolTipDuration(kHintMs);
    }
    return QObject::eventFilter(watched, event);
}
