#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

// Runs work on the first visible top-level window of type T once the event
// loop runs (a modal dialog's own loop included), then stops looking.
template <class T, class F>
void WhenShown(F work) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, work] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<T*>(top); window && window->isVisible()) {
                timer->stop();
                timer->deleteLater();
                work(window);
                return;
            }
    });
    timer->start();
}
