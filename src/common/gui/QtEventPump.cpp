#include "common/gui/QtEventPump.h"

#include <QCoreApplication>
#include <QThread>

void TQtEventPump::Pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // A short pause, so that a wait does not keep a core busy.
    QThread::msleep(2);
}

bool TQtEventPump::IsPumpThread() const {
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}
