#pragma once

#include <QDialog>

class QLabel;

// "Size Box": a window the user drags to the size new message windows take.
// Clicking the panel along its bottom, or Esc, closes it.
class TSizeBox : public QDialog {
    Q_OBJECT

public:
    TSizeBox(QSize outerSize, QWidget* parent = nullptr);
    // The outer size the box has now (frame included).
    QSize OuterSize() const;

    QLabel* Panel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
