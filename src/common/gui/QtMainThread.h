#pragma once

#include <QObject>

#include "common/MainThread.h"

// Posts work into Qt's event loop of the thread the object lives on (the
// user-interface thread). Tasks posted after the object is gone are dropped.
class TQtMainThread : public QObject, public IMainThread {
    Q_OBJECT

public:
    explicit TQtMainThread(QObject* parent = nullptr) : QObject(parent) {}
    void Post(std::function<void()> task) override;
};
