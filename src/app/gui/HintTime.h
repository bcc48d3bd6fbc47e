#pragma once

#include <QObject>

// Keeps every hint (tool tip) of the program on screen for the same time,
// kHintMs, instead of a time that grows with the length of its text.
// Installed on the application, it sets the time on each widget as its
// first hint is asked for; a widget that chose its own time keeps it.
class THintTime : public QObject {
    Q_OBJECT

public:
    static constexpr int kHintMs = 7000;

    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
