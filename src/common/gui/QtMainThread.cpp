#include "common/gui/QtMainThread.h"

#include <QMetaObject>

void TQtMainThread::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}
