#pragma once

#include <QComboBox>

// The phone dialer's member chooser: a combo box whose text the user may
// type, telling when its list drops down and when the user moves into or
// out of it within its window (focus lost to a box or another window is no
// leaving: a box shown on leaving would otherwise bring itself back).
class TMemberBox : public QComboBox {
    Q_OBJECT

public:
    explicit TMemberBox(QWidget* parent = nullptr);

    void showPopup() override;

signals:
    void DroppedDown();
    void Entered();
    void Left();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
