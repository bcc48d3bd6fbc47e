#pragma once

#include <QAbstractButton>
#include <QString>
#include <QWidget>

// The push button of a window with this caption ("&Close"), or nullptr.
inline QAbstractButton* ButtonOf(QWidget* window, const QString& caption) {
    for (auto* button : window->findChildren<QAbstractButton*>())
        if (button->text() == caption) return button;
    return nullptr;
}
